// Serial speeds outside the POSIX speed table (14400, 28800, 56000, 128000,
// 256000, ...) through Linux's termios2 with BOTHER. Kept apart from
// <termios.h>, whose definitions clash with the kernel's.
#pragma once

#include <cstdint>

namespace hub {

// Sets both directions of the open terminal device to `baudRate` bits per
// second. False when the driver refuses it or settles more than 2% away from
// it (a UART whose clock cannot divide down to the speed).
bool setAnySpeed(int fd, uint32_t baudRate);

// The output speed the device runs at now (termios2), or 0.
uint32_t currentSpeed(int fd);

}  // namespace hub
