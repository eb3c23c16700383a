// A device's contents as an object set file (*.tob), the file objscope's
// upload writes and its download reads: `tarnsim --load FILE.tob` serves one,
// `--save FILE.tob` writes one. The file carries only what a download sends;
// everything else of an object (the properties its lines leave out, limits,
// read-only flags) comes from the first object of its class in the default
// device, as a real device's firmware knows its classes.
#pragma once

#include <string>
#include <string_view>

#include "device_model.h"

namespace tarnsim {

// Throws DeviceFileError (with the line) for a malformed file.
DeviceContents parseObjectSetText(std::string_view text);
DeviceContents loadObjectSetFile(const std::string& path);

// The text objscope's upload of this device writes: object lines in listing
// order, then the data blocks of the BLOB (11) and linked list (254) objects
// in chunks as the device answers them.
std::string formatObjectSetText(const DeviceContents& contents);
void saveObjectSetFile(const DeviceContents& contents, const std::string& path);

// Whether a path names an object set file (by its extension, any case).
bool isObjectSetPath(const std::string& path);

// The first object of the class in the default device, if it has one.
const DeviceObject* classTemplate(uint16_t classId);

}  // namespace tarnsim
