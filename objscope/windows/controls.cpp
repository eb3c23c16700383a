#include "windows/controls.h"

#include <QPushButton>

namespace objscope {

QPushButton* Button(const char* name, const char* caption, const char* hint, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    if (hint)
        button->setToolTip(hint);
    button->setAutoDefault(false);
    return button;
}

}  // namespace objscope
