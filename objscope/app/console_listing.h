// The console form of the object listing (no display needed).
#pragma once

#include <cstdint>
#include <cstdio>

#include "comm/tarn_monitor.h"

namespace objscope {

// Lists the objects of `device` on `out` in the main window's line format,
// then the total line. Returns 0 when objects came, 1 otherwise.
int PrintObjectListing(TTarn_Monitor& monitor, uint16_t device, std::FILE* out);

}  // namespace objscope
