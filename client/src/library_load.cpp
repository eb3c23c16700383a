// What happens when the library is loaded into a process and unloaded again.
#include "library_thread.h"
#include "net_subscribers.h"
#include "registrations.h"
#include "serial_ports.h"
#include "server_launch.h"
#include "timers.h"

namespace hubclient {
namespace {

__attribute__((constructor)) void onLoad() {
    startLibraryThread();
}

// Order: timers, serial ports (each closed at the server), network
// subscribers (dropped here: the server removes them with the
// registration), registrations (each unregistration posted to the server),
// then the thread with its hidden window.
__attribute__((destructor)) void onUnload() {
    removeAllTimers();
    closeAllCommPorts();
    dropAllSubscribers();
    removeAllRegistrations();
    stopLibraryThread();
    forgetChildren();
}

}  // namespace
}  // namespace hubclient
