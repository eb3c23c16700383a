#include "serial_line_settings.h"

#include <termios.h>

#include <array>
#include <utility>

#include "serial_any_speed.h"

namespace hub {
namespace {

constexpr cc_t kXonCharacter = 0x11;
constexpr cc_t kXoffCharacter = 0x13;

constexpr std::array<std::pair<uint32_t, speed_t>, 24> kSpeeds{{
    {50, B50},         {75, B75},         {110, B110},         {134, B134},
    {150, B150},       {200, B200},       {300, B300},         {600, B600},
    {1200, B1200},     {1800, B1800},     {2400, B2400},       {4800, B4800},
    {9600, B9600},     {19200, B19200},   {38400, B38400},     {57600, B57600},
    {115200, B115200}, {230400, B230400}, {460800, B460800},   {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000}, {2000000, B2000000},
}};

std::optional<speed_t> speedOf(uint32_t baudRate) {
    for (const auto& [rate, speed] : kSpeeds) {
        if (rate == baudRate) {
            return speed;
        }
    }
    return std::nullopt;
}

std::optional<tcflag_t> characterSize(uint32_t dataBits) {
    switch (dataBits) {
        case 5:
            return CS5;
        case 6:
            return CS6;
        case 7:
            return CS7;
        case 8:
            return CS8;
        default:
            return std::nullopt;
    }
}

void setParity(termios& t, Parity_type parity) {
    t.c_cflag &= ~static_cast<tcflag_t>(PARENB | PARODD);
    t.c_iflag &= ~static_cast<tcflag_t>(INPCK);
    if (parity != no_parity) {
        t.c_cflag |= PARENB | (parity == odd_parity ? PARODD : 0);
        t.c_iflag |= INPCK;
    }
}

// termios has one and two stop bits; with 5-bit characters a UART sends
// one and a half when two are asked for (lineSettingsFrom lets one and a
// half through only with 5 data bits).
void setStopBits(termios& t, StopBit_type stopBits) {
    if (stopBits == one_stop_bit) {
        t.c_cflag &= ~static_cast<tcflag_t>(CSTOPB);
    } else {
        t.c_cflag |= CSTOPB;
    }
}

void setFlowControl(termios& t, bool xonXoff) {
    if (xonXoff) {
        t.c_iflag |= IXON | IXOFF;
        t.c_cc[VSTART] = kXonCharacter;
        t.c_cc[VSTOP] = kXoffCharacter;
    } else {
        t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF);
    }
}

}  // namespace

std::optional<LineSettings> lineSettingsFrom(const COMM_INFORMATION& info) {
    if (info.StopBits > two_stop_bits || info.Parity > even_parity) {
        return std::nullopt;
    }
    // Only a 5-bit character has one and a half stop bits; anything else
    // would silently get two.
    if (info.StopBits == one_and_half_stop_bits && info.DataBits != 5) {
        return std::nullopt;
    }
    LineSettings s;
    s.baudRate = info.BaudRate;
    s.dataBits = info.DataBits;
    s.stopBits = static_cast<StopBit_type>(info.StopBits);
    s.parity = static_cast<Parity_type>(info.Parity);
    s.xonXoff = info.XonXoff != 0;
    return s;
}

bool applyLineSettings(int fd, const LineSettings& settings) {
    // A speed outside the POSIX table is set through termios2 after the
    // rest; until then the line runs at a table speed.
    std::optional<speed_t> tableSpeed = speedOf(settings.baudRate);
    speed_t speed = tableSpeed.value_or(B38400);
    std::optional<tcflag_t> size = characterSize(settings.dataBits);
    termios t{};
    if (settings.baudRate == 0 || !size || ::tcgetattr(fd, &t) != 0) {
        return false;
    }
    // Binary mode: bytes pass unchanged in both directions.
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag = (t.c_cflag & ~static_cast<tcflag_t>(CSIZE)) | *size;
    setParity(t, settings.parity);
    setStopBits(t, settings.stopBits);
    setFlowControl(t, settings.xonXoff);
    // Reads return at once with what is there; the reader thread waits.
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    if (::cfsetispeed(&t, speed) != 0 || ::cfsetospeed(&t, speed) != 0 ||
        ::tcsetattr(fd, TCSANOW, &t) != 0) {
        return false;
    }
    if (!tableSpeed && !setAnySpeed(fd, settings.baudRate)) {
        return false;
    }
    ::tcflush(fd, TCIOFLUSH);
    return true;
}

}  // namespace hub
