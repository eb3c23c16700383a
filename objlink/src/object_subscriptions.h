// Object subscriptions and the delivery pass of incoming messages that are
// not responses.
#pragma once

#include <cstdint>

#include "incoming_message.h"
#include "reports.h"

namespace objlink {

// Appends a subscription of a registered library registration; returns its
// ID, or -15 when the registration is unknown.
int32_t addObjectSubscription(int32_t registrationId, uint16_t objectId,
                              const ReportTarget& target);

void removeObjectSubscription(int32_t objectRegistrationId);
void removeObjectSubscriptions(int32_t registrationId);

// One delivery pass (on hubclient's thread): every subscription of the
// registration for the message's object gets its own copy of the message,
// each subscription visited exactly once even when deliveries add or remove
// subscriptions; those added during the pass are visited in it. A pass
// started from within a delivery on the same thread runs after the current
// pass has ended.
void deliverToObjectSubscribers(int32_t registrationId, const IncomingMessage& message);

}  // namespace objlink
