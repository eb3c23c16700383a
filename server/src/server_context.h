// What the services of the server share: the main window, the settings read
// at start, the version text and the main window's dispatch table.
#pragma once

#include <string>

#include "config.h"
#include "message_table.h"
#include "platform/window.h"

namespace hub {

struct ServerContext {
    plat::Hwnd BaseWindowHandle = plat::kNoWindow;
    std::string VersionInfo;
    ServerConfig config;
    MessageTable messages;
};

}  // namespace hub
