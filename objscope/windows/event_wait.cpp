#include "windows/event_wait.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace objscope {
namespace {

constexpr int kSliceMs = 10;

}  // namespace

bool RunEventsUntil(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limitMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(kSliceMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

}  // namespace objscope
