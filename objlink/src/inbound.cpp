#include "inbound.h"

#include "incoming_message.h"
#include "object_subscriptions.h"
#include "outstanding_requests.h"

namespace objlink {

void receiveMessage(_Message* message, uint32_t registrationNumber) {
    std::optional<IncomingMessage> incoming = readIncoming(message);
    if (!incoming) {
        return;
    }
    if ((incoming->header.messageId & kResponseFlag) != 0) {
        completeWithResponse(*incoming);
    } else {
        deliverToObjectSubscribers(static_cast<int32_t>(registrationNumber), *incoming);
    }
}

}  // namespace objlink
