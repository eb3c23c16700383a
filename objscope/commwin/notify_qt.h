// A callback of the communication layer whose context is a Qt object (a
// window or control): once the object is destroyed the callback counts as
// absent, so the layer neither calls it nor touches what it was given.
#pragma once

#include <QObject>
#include <QPointer>

#include "comm/notify_event.h"

namespace objscope {

inline TNotifyEvent NotifyFor(QObject* context, TNotifyEvent::Code code) {
    QPointer<QObject> guard(context);
    return TNotifyEvent(std::move(code), [guard] { return !guard.isNull(); });
}

}  // namespace objscope
