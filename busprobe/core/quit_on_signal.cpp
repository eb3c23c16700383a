#include "quit_on_signal.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>

namespace busprobe {
namespace {

int gPipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

void onSignal(int number) {
    int saved = errno;
    auto byte = static_cast<unsigned char>(number);
    // Async-signal-safe: one write, dropped when the socket is full (a quit
    // is already on its way then).
    [[maybe_unused]] ssize_t n = ::write(gPipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

QuitOnSignal::QuitOnSignal(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, gPipe) != 0) {
        gPipe[0] = gPipe[1] = -1;
        return;
    }
    notifier_ = new QSocketNotifier(gPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QuitOnSignal::readSignal);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : kSignals) {
        ::sigaction(number, &action, nullptr);
    }
}

QuitOnSignal::~QuitOnSignal() {
    for (int number : kSignals) {
        ::signal(number, SIG_DFL);
    }
    if (gPipe[0] >= 0) {
        ::close(gPipe[0]);
        ::close(gPipe[1]);
        gPipe[0] = gPipe[1] = -1;
    }
}

void QuitOnSignal::readSignal() {
    unsigned char byte = 0;
    while (::read(gPipe[0], &byte, 1) == 1) {
        last_ = byte;
    }
    QCoreApplication::quit();
}

}  // namespace busprobe
