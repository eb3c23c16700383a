// Notification callbacks of the communication layer: code with a context
// object, called with the monitor as the sender.
//
// A callback may name the liveness of its context (a window or control).
// Once that context has gone the callback counts as absent: the layer never
// calls it, and never touches the property or the result list the request
// was given, since they belonged to the same owner.
#pragma once

#include <functional>
#include <memory>
#include <utility>

namespace objscope {

class TTarn_Monitor;

struct TNotifyEvent {
    using Code = std::function<void(TTarn_Monitor& Sender)>;
    using Liveness = std::function<bool()>;

    TNotifyEvent() = default;
    TNotifyEvent(Code code) : code(std::move(code)) {}  // NOLINT: a plain function is a callback
    TNotifyEvent(Code code, Liveness alive) : code(std::move(code)), alive(std::move(alive)) {}

    // A callback whose context is the object `context` points to.
    template <typename T>
    static TNotifyEvent Bound(std::weak_ptr<T> context, Code code) {
        return TNotifyEvent(std::move(code), [context] { return !context.expired(); });
    }

    // True when there is code to call and its context is alive.
    bool Assigned() const { return code && (!alive || alive()); }
    // True when the callback was given but its context has gone.
    bool Detached() const { return code && alive && !alive(); }

    Code code;
    Liveness alive;
};

}  // namespace objscope
