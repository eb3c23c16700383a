#include "message_table.h"

namespace hub {

void MessageTable::set(uint32_t msg, Handler handler) {
    handlers_[msg] = std::move(handler);
}

void MessageTable::remove(uint32_t msg) {
    handlers_.erase(msg);
}

int64_t MessageTable::dispatch(plat::Message& message) const {
    auto it = handlers_.find(message.msg);
    if (it == handlers_.end()) {
        return 0;
    }
    if (message.payload.isSection()) {
        message.payload = plat::Payload::copyOf(message.payload.data(), message.payload.size());
    }
    return it->second(message);
}

}  // namespace hub
