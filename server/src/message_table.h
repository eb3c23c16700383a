// The main window's dispatch: one handler per message code. The frame
// installs its own handlers; each service installs the handlers of the
// requests it serves when it starts.
#pragma once

#include <cstdint>
#include <functional>
#include <unordered_map>

#include "platform/window.h"

namespace hub {

class MessageTable {
  public:
    using Handler = std::function<int64_t(plat::Message&)>;

    void set(uint32_t msg, Handler handler);
    void remove(uint32_t msg);

    // The handler's result; 0 for a message nobody handles. A payload that
    // arrived as a section stays writable by the process that made it, so
    // the handler gets a private copy of its bytes, taken once: what a
    // handler checks is what it uses.
    int64_t dispatch(plat::Message& message) const;

  private:
    std::unordered_map<uint32_t, Handler> handlers_;
};

}  // namespace hub
