#include "ipc_payload.h"

#include <algorithm>
#include <cstring>

#include "wire/datagram.h"
#include "wire/netmsg.h"

namespace hub {

std::optional<std::span<const uint8_t>> checkedEnvelope(std::span<const uint8_t> payload) {
    std::optional<wire::EnvelopeView> view = wire::readEnvelope(payload);
    if (!view || view->datagram.size() < wire::kNetMsgHeaderSize) {
        return std::nullopt;
    }
    return payload.first(sizeof(_NetMessageInternal_t) + view->datagram.size());
}

std::optional<std::span<const uint8_t>> checkedDebugText(std::span<const uint8_t> payload) {
    payload = payload.first(std::min(payload.size(), wire::kDebugTextSize));
    auto zero = std::find(payload.begin(), payload.end(), uint8_t{0});
    if (zero == payload.end()) {
        return std::nullopt;
    }
    return payload.first(static_cast<size_t>(zero - payload.begin()));
}

std::optional<_CommRegInfo> checkedCommRegInfo(std::span<const uint8_t> payload) {
    if (payload.size() < sizeof(_CommRegInfo)) {
        return std::nullopt;
    }
    const uint8_t* p = payload.data();
    _CommRegInfo info{};
    info.CommPortNumber = wire::readLe32(p + offsetof(_CommRegInfo, CommPortNumber));
    const uint8_t* q = p + offsetof(_CommRegInfo, Info);
    info.Info.BaudRate = wire::readLe32(q + offsetof(COMM_INFORMATION, BaudRate));
    info.Info.DataBits = wire::readLe32(q + offsetof(COMM_INFORMATION, DataBits));
    info.Info.StopBits = wire::readLe32(q + offsetof(COMM_INFORMATION, StopBits));
    info.Info.Parity = wire::readLe32(q + offsetof(COMM_INFORMATION, Parity));
    info.Info.Shareable = wire::readLe32(q + offsetof(COMM_INFORMATION, Shareable));
    info.Info.XonXoff = wire::readLe32(q + offsetof(COMM_INFORMATION, XonXoff));
    return info;
}

std::optional<CommDataView> checkedCommData(std::span<const uint8_t> payload) {
    constexpr size_t fixed = sizeof(_CommDataInternal_t);
    if (payload.size() < fixed) {
        return std::nullopt;
    }
    uint32_t length = wire::readLe32(payload.data() + offsetof(_CommDataInternal_t, Length));
    if (length > payload.size() - fixed) {
        return std::nullopt;
    }
    CommDataView view;
    view.commID = wire::readLe32(payload.data() + offsetof(_CommDataInternal_t, CommID));
    view.data = payload.subspan(fixed, length);
    return view;
}

std::optional<AwaitingSendView> checkedAwaitingSend(std::span<const uint8_t> payload) {
    constexpr size_t fixed = sizeof(_AwaitedResponse);
    if (payload.size() < fixed) {
        return std::nullopt;
    }
    std::optional<std::span<const uint8_t>> envelope = checkedEnvelope(payload.subspan(fixed));
    if (!envelope) {
        return std::nullopt;
    }
    const uint8_t* p = payload.data();
    AwaitingSendView view;
    uint64_t low = wire::readLe32(p + offsetof(_AwaitedResponse, Waiter));
    uint64_t high = wire::readLe32(p + offsetof(_AwaitedResponse, Waiter) + 4);
    view.awaited.Waiter = low | (high << 32);
    view.awaited.NetID = wire::readLe32(p + offsetof(_AwaitedResponse, NetID));
    view.awaited.TimeOutMs = wire::readLe32(p + offsetof(_AwaitedResponse, TimeOutMs));
    view.envelope = *envelope;
    return view;
}

}  // namespace hub
