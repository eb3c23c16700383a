#include "net_subscribers.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "registrations.h"
#include "server_link.h"
#include "static_instance.h"
#include "wire/ipc.h"

namespace hubclient {
namespace {

struct Subscribers {
    std::mutex mutex;
    std::vector<NetSubscriber> list;  // in order of registration
};

Subscribers& subscribers() {
    return staticInstance<Subscribers>();
}

template <typename Match>
std::vector<NetSubscriber> takeMatching(Match match) {
    std::vector<NetSubscriber> taken;
    Subscribers& s = subscribers();
    std::lock_guard<std::mutex> lock(s.mutex);
    for (const NetSubscriber& x : s.list) {
        if (match(x)) {
            taken.push_back(x);
        }
    }
    std::erase_if(s.list, match);
    return taken;
}

// 1 when the server removed it, 0 when it did not know it, -12 without answer.
int32_t deregisterAtServer(int32_t registrationId, int32_t netId) {
    auto result = request(wire::kReqNetDeregister, static_cast<uint32_t>(registrationId), netId);
    if (!result) {
        return VEK_ERR_SERVER;
    }
    return *result == 0 ? 1 : 0;
}

}  // namespace

int32_t addSubscriber(NetSubscriber subscriber) {
    if (!isRegistered(subscriber.registrationId)) {
        return VEK_ERR_NOT_REGISTERED;
    }
    if (serverWindow() == plat::kNoWindow) {
        return VEK_ERR_SERVER;
    }
    // This library delivers batches in order, one message at a time, and a
    // receive subscriber only ever takes received application messages.
    int64_t kind = subscriber.type == NetRegistrationType::Monitor
                       ? wire::kNetMonitor | wire::kNetBatches
                       : wire::kNetReceive | wire::kNetReceivedOnly | wire::kNetBatches;
    auto result =
        request(wire::kReqNetRegister, static_cast<uint32_t>(subscriber.registrationId), kind);
    if (!result || *result <= 0) {
        return VEK_ERR_SERVER;
    }
    subscriber.id = static_cast<int32_t>(*result);
    Subscribers& s = subscribers();
    std::lock_guard<std::mutex> lock(s.mutex);
    // A record with the same NetID is left from a server that has gone: the
    // new server's deliveries belong to the new subscriber.
    std::erase_if(s.list, [&](const NetSubscriber& x) { return x.id == subscriber.id; });
    s.list.push_back(subscriber);
    return subscriber.id;
}

int32_t removeSubscriber(int32_t registrationId, int32_t subscriberId) {
    if (!isRegistered(registrationId)) {
        return VEK_ERR_NOT_REGISTERED;
    }
    auto taken = takeMatching([&](const NetSubscriber& x) { return x.id == subscriberId; });
    if (taken.empty()) {
        return VEK_ERR_BAD_ARG;
    }
    return deregisterAtServer(registrationId, subscriberId);
}

std::optional<NetSubscriber> findSubscriber(int32_t netId) {
    Subscribers& s = subscribers();
    std::lock_guard<std::mutex> lock(s.mutex);
    auto it = std::find_if(s.list.begin(), s.list.end(),
                           [&](const NetSubscriber& x) { return x.id == netId; });
    return it == s.list.end() ? std::nullopt : std::optional<NetSubscriber>(*it);
}

void dropWindowSubscriber(int32_t netId, plat::Hwnd window) {
    takeMatching([&](const NetSubscriber& x) { return x.id == netId && x.window == window; });
}

void removeSubscribersOf(int32_t registrationId) {
    auto taken =
        takeMatching([&](const NetSubscriber& x) { return x.registrationId == registrationId; });
    for (const NetSubscriber& x : taken) {
        deregisterAtServer(registrationId, x.id);
    }
}

void dropAllSubscribers() {
    Subscribers& s = subscribers();
    std::lock_guard<std::mutex> lock(s.mutex);
    std::vector<NetSubscriber>().swap(s.list);
}

}  // namespace hubclient

using namespace hubclient;

namespace {

int32_t addCallback(int32_t registrationId, NetRegistrationType type, VEKReceiveCallback_t receive,
                    VEKNetMonCallback_t monitor, uint32_t parameter) {
    if (isRegistered(registrationId) && receive == nullptr && monitor == nullptr) {
        return VEK_ERR_BAD_ARG;
    }
    NetSubscriber s;
    s.registrationId = registrationId;
    s.type = type;
    s.receiveCallback = receive;
    s.monitorCallback = monitor;
    s.parameter = parameter;
    return addSubscriber(s);
}

int32_t addWindow(int32_t registrationId, NetRegistrationType type, HUBWND window,
                  uint32_t messageId) {
    if (isRegistered(registrationId) && (window == 0 || messageId == 0)) {
        return VEK_ERR_BAD_ARG;
    }
    NetSubscriber s;
    s.registrationId = registrationId;
    s.type = type;
    s.window = window;
    s.parameter = messageId;
    return addSubscriber(s);
}

}  // namespace

extern "C" int32_t RegisterReceiveCallback_CB(int32_t RegistrationID, VEKReceiveCallback_t Callback,
                                              uint32_t Parameter) {
    return addCallback(RegistrationID, NetRegistrationType::Receive, Callback, nullptr, Parameter);
}

extern "C" int32_t RegisterReceiveCallback_Window(int32_t RegistrationID, HUBWND Window,
                                                  uint32_t MessageID) {
    return addWindow(RegistrationID, NetRegistrationType::Receive, Window, MessageID);
}

extern "C" int32_t RegisterNetMonCallback_CB(int32_t RegistrationID, VEKNetMonCallback_t Callback) {
    return addCallback(RegistrationID, NetRegistrationType::Monitor, nullptr, Callback, 0);
}

extern "C" int32_t RegisterNetMonCallback_Window(int32_t RegistrationID, HUBWND Window,
                                                 uint32_t MessageID) {
    return addWindow(RegistrationID, NetRegistrationType::Monitor, Window, MessageID);
}

extern "C" int32_t UnRegisterReceiveCallback(int32_t RegistrationID, int32_t SubscriberID) {
    return removeSubscriber(RegistrationID, SubscriberID);
}

extern "C" int32_t UnRegisterNetMonCallback(int32_t RegistrationID, int32_t SubscriberID) {
    return removeSubscriber(RegistrationID, SubscriberID);
}
