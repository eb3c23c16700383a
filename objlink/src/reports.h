// Reporting a record to the application: a callback, or a window message
// with wParam 0 and lParam = the record.
#pragma once

#include <cstdint>

#include "objlink.h"
#include "platform/window.h"

namespace objlink {

struct ReportTarget {
    plat::Hwnd window = plat::kNoWindow;  // none for a callback
    uint32_t parameter = 0;               // window message ID, or callback parameter
    VEKMessageCallback_t callback = nullptr;

    bool isAsynchronous() const { return window != plat::kNoWindow || callback != nullptr; }
};

enum class WindowReport {
    Post,  // queued; the window's thread handles it later
    Send,  // the library thread waits for the window procedure
};

void report(const ReportTarget& target, VEKMessageResponse_t* record, WindowReport how);

}  // namespace objlink
