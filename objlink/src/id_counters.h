// The three ID counters of the library (registrations, object subscriptions,
// outstanding requests). Each hands out its current value, starting at 1,
// and continues at 1 after INT32_MAX. One lock guards all three.
#pragma once

#include <cstdint>

namespace objlink {

int32_t nextRegistrationNumber();
int32_t nextObjectSubscriberNumber();
int32_t nextResponseNumber();

}  // namespace objlink
