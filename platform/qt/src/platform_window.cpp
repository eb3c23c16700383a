#include "platform/qt/platform_window.h"

namespace plat::qt {

QtPlatformWindow::QtPlatformWindow(WindowProc procedure, QObject* parent)
    : QObject(parent), handle_(createWindow(std::move(procedure))) {}

QtPlatformWindow::~QtPlatformWindow() {
    if (handle_ != kNoWindow) {
        destroyWindow(handle_);
    }
}

}  // namespace plat::qt
