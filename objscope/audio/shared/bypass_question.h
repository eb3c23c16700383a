// The question an editor with a bypass button asks when OK is pressed while
// the bypass is on: Yes keeps it, No lets the button up and sends bypass off
// before the values are stored, Cancel abandons the OK.
#pragma once

class QWidget;

namespace objscope {
class TTarnButton;
}

namespace objscope::audio {

inline constexpr const char* kKeepBypassQuestion = "Keep ByPass in Effect?";

// True when the OK may go on.
bool KeepBypassBeforeOk(QWidget* parent, TTarnButton& bypass);

}  // namespace objscope::audio
