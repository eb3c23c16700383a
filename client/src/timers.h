// Periodic timers of the applications, run as platform timers on the hidden
// window and reported on the library thread.
#pragma once

#include <cstdint>

#include "platform/window.h"

namespace hubclient {

// On the library thread: starts the platform timer of a timer that is still
// installed, or one of the library's own housekeeping timers.
void startTimerOnWindow(plat::Hwnd hidden, uint64_t timerId, uint32_t periodMs);

// On the library thread: a timer expired; report it to its owner.
void reportTimer(plat::Hwnd hidden, uint64_t timerId);

void removeTimersOf(int32_t registrationId);
void removeAllTimers();

}  // namespace hubclient
