#include "main_window.h"

#include <cstdio>

#include "client_registry.h"
#include "debuglog.h"
#include "message_codes.h"
#include "network_settings.h"
#include "shutdown_signals.h"
#include "version_info.h"

namespace hub {

MainWindow::MainWindow() : services_(serviceList()), view_(stderr) {
    installFrameHandlers();
}

MainWindow::~MainWindow() {
    if (signalFd_ >= 0) {
        removeShutdownSignals(signalFd_);
    }
}

void MainWindow::installFrameHandlers() {
    MessageTable& table = context_.messages;
    table.set(plat::kMsgClose, [this](plat::Message&) {
        close();
        return 0;
    });
    table.set(plat::kMsgDestroy, [](plat::Message&) {
        plat::postQuitMessage(0);
        return 0;
    });
    table.set(plat::kMsgCommand, [this](plat::Message& m) {
        menuCommand(m.wParam);
        return 0;
    });
    table.set(plat::kMsgShowWindow, [this](plat::Message& m) {
        m.wParam != 0 ? view_.showMinimized() : view_.hide();
        return 0;
    });
    table.set(kMsgNetworkDebug, [](plat::Message& m) {
        networkSettings().setNetworkDebug(m.wParam != 0);
        return 0;
    });
    table.set(kMsgAutoShutdown, [this](plat::Message&) {
        if (AutomaticShutdownDue()) {
            close();
        }
        return 0;
    });
    table.set(kMsgShutdownSignal, [this](plat::Message&) {
        drainShutdownSignals(signalFd_);
        plat::postMessage(context_.BaseWindowHandle, plat::kMsgClose, 0, 0);
        return 0;
    });
}

bool MainWindow::create() {
    // The title is the single-instance guard: it is taken before any service
    // (and so any UDP socket) exists.
    plat::Hwnd hwnd = plat::createWindow(
        [this](plat::Message& m) { return context_.messages.dispatch(m); }, kWindowTitle);
    if (hwnd == plat::kNoWindow) {
        return false;
    }
    context_.BaseWindowHandle = hwnd;
    signalFd_ = installShutdownSignals();
    if (signalFd_ >= 0) {
        plat::watchReadable(signalFd_, hwnd, kMsgShutdownSignal);
    }
    startServices();
    return true;
}

void MainWindow::startServices() {
    context_.VersionInfo = buildVersionInfo();
    context_.config = readServerConfig();
    networkSettings().setNetworkDebug(context_.config.messagesOut != 0);
    if (services_.startAll(context_)) {
        _Debug_Internal(0, "** HUBSERVER (EXE) Running...\n\n");
    } else {
        plat::postMessage(context_.BaseWindowHandle, plat::kMsgClose, 0, 0);
    }
}

void MainWindow::close() {
    if (closing_) {
        return;
    }
    closing_ = true;
    _Debug_Internal(1, "** HUBSERVER (EXE) Shutting Down....\n");
    services_.stopAll(context_);
    if (signalFd_ >= 0) {
        plat::unwatch(signalFd_);
    }
    plat::destroyWindow(context_.BaseWindowHandle);
}

void MainWindow::menuCommand(uint64_t id) {
    switch (id) {
        case kMenuHide:
            view_.hide();
            break;
        case kMenuDebugOn:
            networkSettings().setNetworkDebug(true);
            break;
        case kMenuDebugOff:
            networkSettings().setNetworkDebug(false);
            break;
        case kMenuExit:
            plat::postMessage(context_.BaseWindowHandle, plat::kMsgClose, 0, 0);
            break;
        default:
            break;
    }
}

int MainWindow::run(bool showMinimized) {
    if (showMinimized) {
        view_.showMinimized();
    }
    return plat::runMessageLoop();
}

}  // namespace hub
