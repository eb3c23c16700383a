#include "platform/qt/message_pump.h"

#include <poll.h>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include "platform/wait.h"
#include "platform/window.h"

namespace plat::qt {
namespace {

thread_local QtMessagePump* tCurrentPump = nullptr;

bool isQuit(const Message& m) {
    return m.msg == kMsgQuit && m.hwnd == kNoWindow;
}

}  // namespace

QtMessagePump::QtMessagePump(QObject* parent) : QObject(parent) {
    queueNotifier_ = std::make_unique<QSocketNotifier>(queueFd(), QSocketNotifier::Read);
    connect(queueNotifier_.get(), &QSocketNotifier::activated, this, &QtMessagePump::drainQueue);
    tCurrentPump = this;
    setThreadWaitHook(
        [this](int extraFd, std::chrono::milliseconds timeout) { waitOnQt(extraFd, timeout); });
}

QtMessagePump::~QtMessagePump() {
    setThreadWaitHook({});
    queueNotifier_.reset();
    if (tCurrentPump == this) {
        tCurrentPump = nullptr;
    }
}

QtMessagePump* QtMessagePump::current() {
    return tCurrentPump;
}

// Dispatches every ready message. A procedure may wait and so run Qt's loop
// again, which may call this again from inside: each level takes messages
// one at a time from the same queue, so nothing runs twice.
void QtMessagePump::drainQueue() {
    Message m;
    while (peekMessage(m)) {
        if (isQuit(m)) {
            int code = static_cast<int>(static_cast<int64_t>(m.wParam));
            emit quitRequested(code);
            QCoreApplication::exit(code);
            break;
        }
        ++dispatched_;
        dispatchMessage(m);
    }
}

// One sleep of a platform wait: Qt's dispatcher waits on everything it
// watches (the platform queue among it), the waiter's descriptor and a timer
// for the time-out, and processes what arrives; the waiter then looks again.
void QtMessagePump::waitOnQt(int extraFd, std::chrono::milliseconds timeout) {
    if (QThread::currentThread() != thread() || QAbstractEventDispatcher::instance() == nullptr) {
        // No Qt loop to sleep in: sleep on the descriptors alone.
        pollfd fds[2] = {{queueFd(), POLLIN, 0}, {extraFd, POLLIN, 0}};
        ::poll(fds, extraFd >= 0 ? 2 : 1, static_cast<int>(timeout.count()));
        return;
    }
    std::unique_ptr<QSocketNotifier> extra;
    if (extraFd >= 0) {
        extra = std::make_unique<QSocketNotifier>(extraFd, QSocketNotifier::Read);
    }
    QTimer timer;
    timer.setSingleShot(true);
    timer.start(timeout);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

}  // namespace plat::qt
