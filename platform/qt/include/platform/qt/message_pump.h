// The Qt adapter of the platform layer: platform messages for windows of a Qt
// thread run on that thread from Qt's event loop, and waits that keep
// dispatching platform messages (objlink's synchronous requests, the
// communication layer's waits) keep Qt's events flowing too.
//
// Create one QtMessagePump on the thread that runs Qt's event loop (the GUI
// thread), after the QCoreApplication. It watches the thread's platform
// queue descriptor with a QSocketNotifier and dispatches every ready message
// when it fires, and it installs the thread's wait hook (platform/wait.h):
// a wait then sleeps in Qt's event dispatcher on the queue, the waiter's
// descriptor, a timer and everything Qt watches, processing what arrives.
#pragma once

#include <QObject>
#include <chrono>
#include <memory>

class QSocketNotifier;

namespace plat::qt {

class QtMessagePump : public QObject {
    Q_OBJECT
  public:
    explicit QtMessagePump(QObject* parent = nullptr);
    ~QtMessagePump() override;

    // The pump of the calling thread, or nullptr.
    static QtMessagePump* current();

    // Platform messages dispatched through this pump so far (for tests and
    // diagnostics).
    quint64 dispatchedCount() const { return dispatched_; }

  signals:
    // A platform quit message arrived for the thread; the pump also asks
    // Qt's event loop to exit with the code.
    void quitRequested(int exitCode);

  private:
    void drainQueue();
    void waitOnQt(int extraFd, std::chrono::milliseconds timeout);

    std::unique_ptr<QSocketNotifier> queueNotifier_;
    quint64 dispatched_ = 0;
};

}  // namespace plat::qt
