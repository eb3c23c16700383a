#pragma once

#include <string>

namespace hub {

// "VEK Network Server (HUBSERVER.EXE) Version 1.18.1", handed to clients.
std::string buildVersionInfo();

}  // namespace hub
