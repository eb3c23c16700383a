#include "serial_any_speed.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace hub {
namespace {

// A driver rounds an arbitrary speed to what its clock can make; within
// this the device still talks to equipment at the asked speed.
constexpr uint64_t kTolerancePercent = 2;

bool closeEnough(uint32_t actual, uint32_t wanted) {
    uint64_t difference = actual > wanted ? actual - wanted : wanted - actual;
    return difference * 100 <= static_cast<uint64_t>(wanted) * kTolerancePercent;
}

}  // namespace

bool setAnySpeed(int fd, uint32_t baudRate) {
    termios2 t{};
    if (baudRate == 0 || ::ioctl(fd, TCGETS2, &t) != 0) {
        return false;
    }
    t.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT));
    t.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    t.c_ispeed = baudRate;
    t.c_ospeed = baudRate;
    if (::ioctl(fd, TCSETS2, &t) != 0) {
        return false;
    }
    termios2 now{};
    return ::ioctl(fd, TCGETS2, &now) == 0 && closeEnough(now.c_ospeed, baudRate) &&
           closeEnough(now.c_ispeed, baudRate);
}

uint32_t currentSpeed(int fd) {
    termios2 t{};
    return ::ioctl(fd, TCGETS2, &t) == 0 ? t.c_ospeed : 0;
}

}  // namespace hub
