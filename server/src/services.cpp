#include "services.h"

#include "debuglog.h"
#include "ipc_service.h"
#include "network_service.h"
#include "reserved_service.h"
#include "serial_service.h"

namespace hub {
namespace {

bool startDebugLog(ServerContext& context) {
    return InitDebugInterface(context.config.debugFile) != 0;
}

void stopDebugLog(ServerContext&) {
    RemoveDebugInterface();
}

const Service kServices[] = {
    {"debug log", startDebugLog, stopDebugLog, true},
    {"network", startNetworkService, stopNetworkService, false},
    {"client interface", startClientInterface, stopClientInterface, false},
    {"COM interface", startCommService, stopCommService, false},
    {"reserved message interface", startReservedService, stopReservedService, true},
    {"WIN16 interface", startWin16Interface, stopWin16Interface, false},
};

}  // namespace

std::span<const Service> serviceList() {
    return kServices;
}

bool ServiceRunner::startAll(ServerContext& context) {
    for (const Service& service : services_) {
        if (!service.start(context)) {
            return false;
        }
        ++started_;
    }
    return true;
}

void ServiceRunner::stopAll(ServerContext& context) {
    for (size_t i = services_.size(); i-- > 0;) {
        if (i < started_ || services_[i].stopEvenIfNotStarted) {
            services_[i].stop(context);
        }
    }
    started_ = 0;
}

}  // namespace hub
