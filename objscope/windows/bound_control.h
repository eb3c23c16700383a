// What every property-bound control does with its communication object when
// it is made: the binding takes the window's permission and asks the control
// whether it is visible before it sends or reads anything.
#pragma once

#include <QWidget>

#include "binding/gui_com.h"

namespace objscope {

inline void OwnBinding(TTarnGuiComW& tarn, const QWidget* control) {
    tarn.Pswd_Parent_Permission = true;
    tarn.owner.visible = [control] { return control->isVisible(); };
}

}  // namespace objscope
