// The countdown of a message dialog that answers by itself: once a second the
// remaining seconds go down by one and are shown; at 0 the dialog closes with
// the result kTimedOutResult, which the caller turns into its default answer.
// The label stays empty until the first tick, so a 30-second dialog shows 29
// first.
#pragma once

#include <string>

namespace objscope {

class TimedCountdown {
  public:
    static constexpr int kTimedOutResult = 255;

    explicit TimedCountdown(int seconds) : remaining_(seconds) {}

    // One timer tick. Returns true when the dialog must close now (the
    // countdown reached 0, or had nothing left to count).
    bool tick() {
        --remaining_;
        label_ = std::to_string(remaining_ > 0 ? remaining_ : 0);
        return remaining_ <= 0;
    }

    int remaining() const { return remaining_; }
    const std::string& label() const { return label_; }

    // The answer of a closed dialog: its button's result, or the default when
    // it closed by timing out.
    static int answer(int dialogResult, int defaultResult) {
        return dialogResult == kTimedOutResult ? defaultResult : dialogResult;
    }

  private:
    int remaining_;
    std::string label_;
};

}  // namespace objscope
