#include "send_route.h"

#include "endpoint.h"

namespace plat::detail {

void ConnectionRoute::deliver(std::optional<int64_t> result, const Payload& reply) {
    OutgoingDatagram d;
    d.header = makeHeader(DatagramKind::Reply, 0);
    d.header.seq = seq_;
    Payload holder;
    if (result) {
        d.header.flags = kFlagDelivered;
        d.header.result = *result;
        if (!attachPayload(d, reply, holder)) {
            d.header.flags = 0;  // no memory for the reply data: report no result
        }
    }
    sendRecord(connection_->get(), d, false);
}

void LocalReply::set(std::optional<int64_t> result, const Payload& reply) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        done_ = true;
        if (result) {
            result_ = SendResult{*result, reply};
        }
    }
    ready_.notify_all();
}

std::optional<SendResult> LocalReply::waitUntil(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock<std::mutex> lock(mutex_);
    ready_.wait_until(lock, deadline, [this] { return done_; });
    return done_ ? result_ : std::nullopt;
}

}  // namespace plat::detail
