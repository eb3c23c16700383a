#include "audio/shared/bypass_question.h"

#include "windows/message_boxes.h"
#include "windows/tarn_controls.h"

namespace objscope::audio {

bool KeepBypassBeforeOk(QWidget* parent, TTarnButton& bypass) {
    if (!bypass.isChecked())
        return true;
    switch (AskWarning(parent, kKeepBypassQuestion)) {
        case BoxAnswer::Yes:
            return true;
        case BoxAnswer::No:
            bypass.setChecked(false);
            bypass.Tarn().SetValue(0);
            return true;
        default:
            return false;
    }
}

}  // namespace objscope::audio
