// Line settings of a serial device through termios: speed, character size,
// parity (checked on input when enabled), stop bits, raw binary transfer and
// optional XON/XOFF flow control in both directions.
#pragma once

#include <cstdint>
#include <optional>

#include "wire/ipc.h"

namespace hub {

enum StopBit_type : uint32_t {
    one_stop_bit = 0,
    one_and_half_stop_bits = 1,
    two_stop_bits = 2,
};

enum Parity_type : uint32_t {
    no_parity = 0,
    odd_parity = 1,
    even_parity = 2,
};

struct LineSettings {
    uint32_t baudRate = 0;
    uint32_t dataBits = 8;
    StopBit_type stopBits = one_stop_bit;
    Parity_type parity = no_parity;
    bool xonXoff = false;
};

// The settings of an open request; nullopt for stop bits or parity outside
// their tables, and for one and a half stop bits with other than 5 data
// bits.
std::optional<LineSettings> lineSettingsFrom(const COMM_INFORMATION& info);

// Applies the settings to an open terminal device and discards what is
// pending in both directions. Any speed the device supports is taken (the
// POSIX table, else termios2). False when the device refuses them or the
// character size has no termios value.
bool applyLineSettings(int fd, const LineSettings& settings);

}  // namespace hub
