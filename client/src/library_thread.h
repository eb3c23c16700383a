// The library's own thread and its hidden window, through which every message
// from the server and every timer report arrives. Started when the library is
// loaded, ended when it is unloaded.
#pragma once

#include <cstdint>

#include "platform/window.h"

namespace hubclient {

// Private messages of the hidden window (posted by the library itself).
constexpr uint32_t kMsgStartTimer = 0x8101;  // wParam timer ID, lParam period in ms
constexpr uint32_t kMsgStopTimer = 0x8102;   // wParam timer ID
constexpr uint32_t kMsgWatchChild = 0x8103;  // wParam pidfd of a started server
constexpr uint32_t kMsgChildEnded = 0x8104;  // wParam that pidfd, now readable

// Starts the thread; it creates the hidden window and then runs its loop.
void startLibraryThread();

// Closes the hidden window, which ends the thread's loop, and joins the
// thread. Called once, at unload.
void stopLibraryThread();

// Waits until the thread has created its window (or given up) and returns
// the window; kNoWindow when there is none.
plat::Hwnd awaitHiddenWindow();

// The hidden window as far as it is known now, without waiting.
plat::Hwnd hiddenWindow();

// True on the library thread.
bool onLibraryThread();

}  // namespace hubclient
