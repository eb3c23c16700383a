// The window through which a synchronous request's response reaches the
// thread that waits for it: the server posts the response straight to it
// (hubclient's VEKInternal_SendAwaitingResponse), so it does not travel
// through hubclient's thread first. One hidden window per thread, made on
// first use; the waiting thread dispatches it while it waits.
#pragma once

#include "platform/window.h"

namespace objlink {

// The calling thread's response window, made (again) when the thread has
// none; kNoWindow when none can be made.
plat::Hwnd threadResponseWindow();

}  // namespace objlink
