// The server's settings from VEKMAIN.INI, read once while the services start;
// a changed file takes effect at the next start. A missing file, section or
// key gives the default; text where a number belongs reads as its leading
// digits (0 when there are none).
#pragma once

#include <cstdint>
#include <string>

namespace hub {

constexpr const char* kMainIniName = "VEKMAIN.INI";
constexpr const char* kSection32 = "VEK BASE 32";
constexpr const char* kSectionBase = "VEK BASE";  // holds "PacketTimeout" only
constexpr const char* kDebugFileName = "VDEBUG32.TXT";

constexpr int32_t kDefaultPacketTimeout = 5000;
constexpr int32_t kMaxPacketTimeout = 60000;

struct ServerConfig {
    std::string debugFile;  // full path of the debug log
    int32_t noNetworkSupport = 0;
    int32_t sendSocketPort = 3049;
    int32_t recvSocketPort = 3048;
    std::string vekBaseAddress = "0.0.0.0";
    int32_t messageDelayTime = 100;
    int32_t doubleUpBroadcasts = 0;
    int32_t doubleUpDelayTime = 100;
    int32_t messagesOut = 0;
    int32_t autoShutdown = 1;
    int32_t packetTimeout = kDefaultPacketTimeout;
    // What received file transfers may keep in the receive folder; a start
    // that would pass either is refused.
    int32_t receiveFolderMaxBytes = 64 * 1024 * 1024;
    int32_t receiveFolderMaxFiles = 64;
};

// The state folder + "/VDEBUG32.TXT" (the folder is created when missing), or
// "VDEBUG32.TXT" alone when there is no state folder.
std::string defaultDebugFile();

// The "DebugFile" setting as a path: empty or over-long values give the
// default; a relative name is taken inside the state folder.
std::string debugFileFromSetting(const std::string& setting);

// A packet time-out above 60000 ms (or below 0) becomes 5000 ms.
int32_t packetTimeoutFromSetting(int32_t setting);

// Reads the whole table; `iniName` without '/' lives in the config folder.
ServerConfig readServerConfig(const std::string& iniName = kMainIniName);

}  // namespace hub
