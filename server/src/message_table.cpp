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
    return it != handlers_.end() ? it->second(message) : 0;
}

}  // namespace hub
