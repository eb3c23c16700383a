#include "version_info.h"

namespace hub {

std::string buildVersionInfo() {
    return std::string("VEK Network Server (HUBSERVER.EXE) Version ") + "1.18.1";
}

}  // namespace hub
