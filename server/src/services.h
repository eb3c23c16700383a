// The server's services in start order. Each writes its own start and
// shutdown lines into the debug log. They start one after the other, stopping
// at the first failure, and stop in reverse order; a service that never
// started is not stopped unless it says so.
//
// Start order: debug log, network, client interface, COM interface, reserved
// message interface, WIN16 interface thread. Services join serviceList() in
// that order as they are built.
#pragma once

#include <cstddef>
#include <span>

#include "server_context.h"

namespace hub {

struct Service {
    const char* name;
    bool (*start)(ServerContext&);
    void (*stop)(ServerContext&);
    bool stopEvenIfNotStarted;  // writes its shutdown line in any case
};

std::span<const Service> serviceList();

class ServiceRunner {
  public:
    explicit ServiceRunner(std::span<const Service> services) : services_(services) {}

    // Starts the services in order; false at the first that fails.
    bool startAll(ServerContext& context);

    // Stops in reverse order every service that started (and those that stop
    // in any case).
    void stopAll(ServerContext& context);

  private:
    std::span<const Service> services_;
    size_t started_ = 0;
};

}  // namespace hub
