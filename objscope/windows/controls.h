// Small helpers that make the windows' controls.
#pragma once

class QPushButton;
class QWidget;

namespace objscope {

// A push button with its object name, caption and hint (none when `hint` is
// null). It is never an auto-default button: Enter belongs to the editors.
QPushButton* Button(const char* name, const char* caption, const char* hint, QWidget* parent);

}  // namespace objscope
