// The application title: "Tarn Property Viewer" until a device is chosen,
// then "OS-" and the device box's text. It titles the program's message
// boxes and names the program where the desktop shows it (the icon text of
// the window that carries it, the name a task bar shows). Window captions
// stay exactly their own: an application display name would be appended to
// every caption by the window system.
#pragma once

#include <QString>

class QWidget;

namespace objscope {

void SetApplicationTitle(const QString& title);
QString ApplicationTitle();

// The window that names the program on the desktop (the main window).
void SetApplicationTitleWindow(QWidget* window);

}  // namespace objscope
