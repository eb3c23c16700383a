// The console forms of the object set flows (no window):
//   objscope --upload DEVICE FILE
//   objscope --download DEVICE FILE [--delete-existing]
//   objscope --compare DEVICE FILE
// Progress and messages go to stderr; the exit code is 0 when everything was
// read, accepted or equal, 1 at the first failure (or a difference).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "windows/device_requests.h"

namespace objscope {

int ConsoleUpload(TDeviceRequests& requests, uint16_t device, const std::string& path);
int ConsoleDownload(TDeviceRequests& requests, uint16_t device, const std::string& path,
                    bool deleteExisting);
// The differences go to `out`, one per line, then the total line.
int ConsoleCompare(TDeviceRequests& requests, uint16_t device, const std::string& path,
                   std::FILE* out);

}  // namespace objscope
