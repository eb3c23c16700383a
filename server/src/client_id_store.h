// The next client ID, kept in the runtime folder across server runs: a
// server that starts after another one died goes on where it stopped, so an
// ID handed out by the dead server never names a client of the new one.
#pragma once

#include <cstdint>

namespace hub {

// The stored next ID, or 1 when none is stored or it is not a valid ID.
int32_t loadNextClientNumber();

// Stores the next ID (best effort: a folder that cannot be written only
// loses the memory across runs).
void saveNextClientNumber(int32_t next);

}  // namespace hub
