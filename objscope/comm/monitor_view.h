// What the communication layer shows: the monitor window "Tarn_Monitor (Com
// Layer)" and the message boxes and dialogs of the layer. The Qt window
// implements it; without a view nothing is shown and every question gets
// its time-out answer.
#pragma once

#include <cstddef>
#include <string>

namespace objscope {

// The answer of the 30-second download error dialog.
enum class TDownloadAnswer { Abort, Retry, Ignore, TimedOut };

class TTarnMonitorView {
  public:
    virtual ~TTarnMonitorView() = default;

    // The monitor window is shown at start-up ("Monitor" on).
    virtual void ShowMonitorWindow() = 0;
    virtual void ShowTicketCount(size_t count) = 0;
    virtual void ShowRetries(unsigned retries) = 0;
    virtual void ToggleRx() = 0;
    // The operation line (red).
    virtual void ShowOperation(const std::string& text) = 0;
    // One log line appended; the oldest dropped first (the log keeps 150).
    virtual void AppendLogLine(const std::string& text) = 0;
    virtual void RemoveOldestLogLine() = 0;

    // A modal message box with an OK button ("\r" separates lines).
    virtual void ShowMessage(const std::string& text) = 0;
    // The download error dialog (Abort, Retry, Ignore) that closes itself
    // after `seconds`, counting them down.
    virtual TDownloadAnswer AskDownloadError(const std::string& text, int seconds) = 0;
};

}  // namespace objscope
