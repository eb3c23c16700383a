// Finding hubserver by its window title, or starting it and waiting for its
// window while the calling thread keeps handling its own messages.
#pragma once

#include <cstdint>

#include "platform/window.h"

namespace hubclient {

// Records the server window when one is found or started within 5000 ms.
// True when a server window is recorded afterwards.
bool findOrStartServer();

// Timer messages of the hidden window that belong to the launcher (reaping
// servers this process started once they end, where no pidfd can watch
// them). True when handled.
bool handleServiceTimer(plat::Hwnd hidden, uint64_t timerId);

// On the hidden window's thread: watch a started server's pidfd
// (kMsgWatchChild), and reap it once it became readable (kMsgChildEnded).
void watchChildOnWindow(plat::Hwnd hidden, int pidfd);
void childEnded();

// At unload: servers still running are no longer watched.
void forgetChildren();

}  // namespace hubclient
