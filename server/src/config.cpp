#include "config.h"

#include <climits>

#include "platform/dirs.h"
#include "platform/ini.h"

namespace hub {

std::string defaultDebugFile() {
    std::string dir = plat::stateDir();
    if (dir.empty() || !plat::makeDirs(dir)) {
        return kDebugFileName;
    }
    return dir + "/" + kDebugFileName;
}

std::string debugFileFromSetting(const std::string& setting) {
    if (setting.empty() || setting.size() >= PATH_MAX) {
        return defaultDebugFile();
    }
    if (setting.front() == '/') {
        return setting;
    }
    std::string dir = plat::stateDir();
    return dir.empty() ? setting : dir + "/" + setting;
}

int32_t packetTimeoutFromSetting(int32_t setting) {
    return setting > kMaxPacketTimeout || setting < 0 ? kDefaultPacketTimeout : setting;
}

ServerConfig readServerConfig(const std::string& iniName) {
    ServerConfig c;
    auto readInt = [&](const char* key, int32_t def) {
        return plat::ini::getInt(kSection32, key, def, iniName);
    };
    c.debugFile = debugFileFromSetting(plat::ini::getString(kSection32, "DebugFile", "", iniName));
    c.noNetworkSupport = readInt("NoNetworkSupport", c.noNetworkSupport);
    c.sendSocketPort = readInt("SendSocketPort", c.sendSocketPort);
    c.recvSocketPort = readInt("RecvSocketPort", c.recvSocketPort);
    c.vekBaseAddress =
        plat::ini::getString(kSection32, "VEKBaseAddress", c.vekBaseAddress, iniName);
    c.messageDelayTime = readInt("MessageDelayTime", c.messageDelayTime);
    c.doubleUpBroadcasts = readInt("DoubleUpBroadcasts", c.doubleUpBroadcasts);
    c.doubleUpDelayTime = readInt("DoubleUpDelayTime", c.doubleUpDelayTime);
    c.messagesOut = readInt("MessagesOut", c.messagesOut);
    c.autoShutdown = readInt("AutoShutdown", c.autoShutdown);
    c.receiveFolderMaxBytes = readInt("ReceiveFolderMaxBytes", c.receiveFolderMaxBytes);
    c.receiveFolderMaxFiles = readInt("ReceiveFolderMaxFiles", c.receiveFolderMaxFiles);
    c.packetTimeout = packetTimeoutFromSetting(
        plat::ini::getInt(kSectionBase, "PacketTimeout", kDefaultPacketTimeout, iniName));
    return c;
}

}  // namespace hub
