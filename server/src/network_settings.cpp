#include "network_settings.h"

namespace hub {

NetworkSettings& networkSettings() {
    static NetworkSettings settings;
    return settings;
}

}  // namespace hub
