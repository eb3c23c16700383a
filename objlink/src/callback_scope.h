// Keeps track of the application callbacks running for each registration, so
// that VEKNetCleanup can return only after the last one finished: the caller
// may free its response records and unload its code right afterwards.
// Window reports are not tracked: a cleanup called on the window's thread
// would wait for a send that only this thread can answer.
#pragma once

#include <cstdint>

namespace objlink {

// Marks one callback of a registration as running for its lifetime. Make it
// while the list lock that found the callback is still held, so that a
// cleanup removing the record afterwards sees it.
class CallbackScope {
  public:
    explicit CallbackScope(int32_t registrationId);
    ~CallbackScope();
    CallbackScope(const CallbackScope&) = delete;
    CallbackScope& operator=(const CallbackScope&) = delete;

  private:
    int32_t registrationId_;
};

// Waits until no callback of the registration runs. Returns at once on a
// thread that is itself inside a callback (they all run on hubclient's one
// library thread, so any other is further up this very stack).
void waitForCallbacks(int32_t registrationId);

}  // namespace objlink
