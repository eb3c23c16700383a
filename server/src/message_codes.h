// Window messages and menu commands of the server's main window. Client
// requests (1224 ... 1924) are handled by the services that own them.
#pragma once

#include <cstdint>

namespace hub {

constexpr const char* kWindowTitle = "VEKBASE Application (32 Bit)";
constexpr const char* kWindowClass = "VEKBASE WndClass";

constexpr uint32_t kMsgSocketReady = 1124;   // the receiving socket has data
constexpr uint32_t kMsgNetworkDebug = 5376;  // wParam 1 = network debugging on, 0 = off
// A shutdown signal (SIGTERM, SIGINT) arrived; private to the server process.
constexpr uint32_t kMsgShutdownSignal = 0x8001;
// The last client unregistered and automatic shutdown is on; private to the
// server process. The main window closes only when the client list is still
// empty as it handles this (see AutomaticShutdownDue).
constexpr uint32_t kMsgAutoShutdown = 0x8003;

// Commands of the "File" menu, delivered as kMsgCommand with the ID in wParam.
constexpr uint64_t kMenuHide = 272;      // "&Hide"
constexpr uint64_t kMenuDebugOn = 288;   // "Debug O&N"
constexpr uint64_t kMenuDebugOff = 304;  // "Debug O&FF"
constexpr uint64_t kMenuExit = 320;      // "E&xit"

}  // namespace hub
