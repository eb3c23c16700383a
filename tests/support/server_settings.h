// Settings and waits for tests that run the real hubserver in the private
// folders given by run_private.sh.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

namespace testing_support {

constexpr std::chrono::seconds kLiveness{15};

struct ServerPorts {
    uint16_t receive = 0;
    uint16_t send = 0;
};

// Writes VEKMAIN.INI into $VEK_CONFIG_DIR: free UDP ports, the own address
// 127.0.0.1 (so composed device addresses stay on loopback), no pacing, and
// `extra` lines appended to the section.
ServerPorts writeServerSettings(const std::string& extra = "");

// True once hubserver's named window is gone from $VEK_RUNTIME_DIR.
bool serverWindowGone();

// The pid of a running hubserver child of this process (the one the client
// library started), or -1.
pid_t serverChildPid();

// Polls `done` every `pause` until it holds or the time-out passes; returns
// `done()`.
bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = kLiveness,
               std::chrono::milliseconds pause = std::chrono::milliseconds(10));

}  // namespace testing_support
