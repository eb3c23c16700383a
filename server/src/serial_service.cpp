#include "serial_service.h"

#include "config.h"
#include "debuglog.h"
#include "serial.h"

namespace hub {

bool startCommService(ServerContext& context) {
    if (InitCommInterface(context.BaseWindowHandle, kMainIniName) == 0) {
        _Debug_Internal(
            0, "   ** HUBSERVER (EXE) Startup Error (Unable to Initialize COM Interface).\n");
        return false;
    }
    return true;
}

void stopCommService(ServerContext&) {
    RemoveCommInterface();
}

}  // namespace hub
