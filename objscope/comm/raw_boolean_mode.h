// The raw-Boolean mode: a program-wide flag the object list window turns on
// while it writes or reads an object set file. While it is on, listings
// create Boolean properties as raw bytes (TU32BooleanRaw).
#pragma once

namespace objscope {

bool RawBooleanMode();
void SetRawBooleanMode(bool on);

}  // namespace objscope
