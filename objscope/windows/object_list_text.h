// The texts of the object list window: list lines, total labels, the device
// numbers offered by the settings file, and the upload progress labels.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/tini.h"

namespace objscope {

// "%5u    (%u)  %s": objects (with class names or their own names).
std::string ObjectListLine(uint16_t objectId, uint16_t classId, const std::string& name);
// "(%u)  %s": classes.
std::string ClassListLine(uint16_t classId, const std::string& name);
// "Total:  " + n + "  " and, after an upload, "Net Total:  " + n + "  ".
std::string TotalLabel(size_t count);
std::string NetTotalLabel(size_t count);

// "UpLoading Object n of  N" and "Processing Object n of  N".
std::string UploadingLabel(size_t n, size_t total);
std::string ProcessingLabel(size_t n, size_t total);

// The device numbers of the "MAP..." keys of section "Device Mappings", in
// key order, each range first to last (device-number rule for both ends).
std::vector<uint16_t> DeviceNumbersFromSettings(const TINI& ini);

// The 31 classes whose objects carry BLOB data.
bool IsBlobBearingClass(uint16_t classId);

}  // namespace objscope
