// The server's main window: created with the title clients look for, it
// starts the services on creation, dispatches every message by its code on
// the main thread, and on a close request stops the services in reverse
// order, destroys itself and ends the message loop with exit code 0.
#pragma once

#include "server_context.h"
#include "services.h"
#include "window_view.h"

namespace hub {

class MainWindow {
  public:
    MainWindow();
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Takes the title and starts the services. False when another process
    // holds the title (nothing was started then).
    bool create();

    // Shows the window minimized (SHOW at start) or leaves it hidden, then
    // runs the message loop; returns its exit code.
    int run(bool showMinimized);

    const ServerContext& context() const { return context_; }

  private:
    void installFrameHandlers();
    void startServices();
    void close();
    void menuCommand(uint64_t id);

    ServerContext context_;
    ServiceRunner services_;
    WindowView view_;
    int signalFd_ = -1;
    bool closing_ = false;
};

}  // namespace hub
