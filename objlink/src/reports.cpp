#include "reports.h"

#include <chrono>

namespace objlink {
namespace {

// A window that does not answer within this time is given up for this one
// report, so that a hung application thread cannot stop every further
// delivery of the process for good.
constexpr std::chrono::milliseconds kWindowSendTimeout{10000};

}  // namespace

void report(const ReportTarget& target, VEKMessageResponse_t* record, WindowReport how) {
    auto lParam = static_cast<int64_t>(reinterpret_cast<intptr_t>(record));
    if (target.window != plat::kNoWindow) {
        if (how == WindowReport::Post) {
            plat::postMessage(target.window, target.parameter, 0, lParam);
        } else {
            plat::sendMessageTimeout(target.window, target.parameter, 0, lParam, {},
                                     kWindowSendTimeout);
        }
    } else if (target.callback != nullptr) {
        target.callback(target.parameter, record);
    }
}

}  // namespace objlink
