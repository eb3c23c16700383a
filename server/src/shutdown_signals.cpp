#include "shutdown_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace hub {
namespace {

volatile sig_atomic_t g_writeFd = -1;

void onShutdownSignal(int) {
    int savedErrno = errno;
    char byte = 1;
    if (g_writeFd >= 0) {
        [[maybe_unused]] ssize_t ignored = write(g_writeFd, &byte, 1);
    }
    errno = savedErrno;
}

void setHandler(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}

}  // namespace

int installShutdownSignals() {
    signal(SIGPIPE, SIG_IGN);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        return -1;
    }
    g_writeFd = fds[1];
    setHandler(SIGTERM, onShutdownSignal);
    setHandler(SIGINT, onShutdownSignal);
    return fds[0];
}

void drainShutdownSignals(int fd) {
    char buffer[64];
    while (read(fd, buffer, sizeof buffer) > 0) {
    }
}

void removeShutdownSignals(int fd) {
    int writeFd = g_writeFd;
    g_writeFd = -1;
    if (writeFd >= 0) {
        close(writeFd);
    }
    if (fd >= 0) {
        close(fd);
    }
}

}  // namespace hub
