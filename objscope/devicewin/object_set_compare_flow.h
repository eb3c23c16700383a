// Compare Objs with File: reads an object set file and the device's object
// set (an upload into memory) and lists what a download of the file would
// change. Nothing is written, to the device or to a file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "devicewin/object_set_view.h"
#include "objectset/object_set_compare.h"
#include "windows/device_requests.h"

namespace objscope {

// Nothing when the file could not be read or the device gave no objects
// (the view was told why).
std::optional<ObjectSetDifferences> CompareDeviceWithFile(TDeviceRequests& requests,
                                                          TObjectSetView& view, uint16_t device,
                                                          const std::string& path,
                                                          Liveness alive = {});

}  // namespace objscope
