// A platform window owned by a QObject: the handle other threads and
// processes post and send to, with a procedure that runs on the owner's (Qt)
// thread. The window is destroyed with the object, so no message reaches a
// procedure whose owner has gone.
#pragma once

#include <QObject>

#include "platform/window.h"

namespace plat::qt {

class QtPlatformWindow : public QObject {
    Q_OBJECT
  public:
    // Creates the window on the calling thread (which needs a QtMessagePump
    // for its messages to run from Qt's event loop).
    explicit QtPlatformWindow(WindowProc procedure, QObject* parent = nullptr);
    ~QtPlatformWindow() override;

    Hwnd handle() const { return handle_; }
    bool valid() const { return handle_ != kNoWindow; }

  private:
    Hwnd handle_ = kNoWindow;
};

}  // namespace plat::qt
