// The timer that sends queued datagrams when they are due: a timerfd
// watched by a hidden window of the main thread, so the pacing never blocks
// the thread that serves requests and signals.
#pragma once

#include "platform/window.h"

namespace hub {

// Creates the timer and its window on the calling (main) thread.
bool openSendPacing();

// Drops whatever is still queued (logged), closes the timer and its window.
void closeSendPacing();

}  // namespace hub
