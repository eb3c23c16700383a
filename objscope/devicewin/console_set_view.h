// The object set flows on a console: progress as lines on stderr, messages
// on stderr, every question about going on answered No (the flow stops at
// the first failure).
#pragma once

#include <cstdio>

#include "devicewin/object_set_view.h"

namespace objscope {

class TConsoleSetView : public TObjectSetView {
  public:
    explicit TConsoleSetView(std::FILE* out = stderr) : out_(out) {}

    void ShowPanel(const std::string& title) override;
    void ShowProgress(const std::string& label, int percent) override;
    void HidePanel() override {}
    void ShowError(const std::string& text) override;
    void ShowMessage(const std::string& text) override;
    SetAnswer Ask(const std::string& text) override;
    // After an error the flow stops at its next step.
    bool CancelRequested() override { return failed_; }

    bool Failed() const { return failed_; }

  private:
    void Line(const std::string& text);
    std::FILE* out_;
    bool failed_ = false;
};

}  // namespace objscope
