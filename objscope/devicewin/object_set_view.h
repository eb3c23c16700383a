// What the object set flows (upload, download, compare) show while they run:
// the main window's progress panel and message boxes, or the console form's
// lines on stderr.
#pragma once

#include <string>

namespace objscope {

enum class SetAnswer { Yes, No, Cancel };

class TObjectSetView {
  public:
    virtual ~TObjectSetView() = default;
    // The panel: shown with its title by the first call, then label and
    // percentage per step.
    virtual void ShowPanel(const std::string& title) = 0;
    virtual void ShowProgress(const std::string& label, int percent) = 0;
    virtual void HidePanel() = 0;
    virtual void ShowError(const std::string& text) = 0;
    virtual void ShowMessage(const std::string& text) = 0;
    virtual SetAnswer Ask(const std::string& text) = 0;
    // The user pressed the panel's Cancel (or the window is closing).
    virtual bool CancelRequested() = 0;
};

// The percentage of step `index` (from 0) of `count`, rounded.
int StepPercent(size_t index, size_t count);

}  // namespace objscope
