#include "windows/application_title.h"

#include <QPointer>
#include <QWidget>

namespace objscope {
namespace {

struct TitleState {
    QString title;
    QPointer<QWidget> window;
};

TitleState& State() {
    static TitleState state;
    return state;
}

}  // namespace

void SetApplicationTitle(const QString& title) {
    State().title = title;
    if (State().window)
        State().window->setWindowIconText(title);
}

QString ApplicationTitle() {
    return State().title;
}

void SetApplicationTitleWindow(QWidget* window) {
    State().window = window;
    if (window)
        window->setWindowIconText(State().title);
}

}  // namespace objscope
