// OpenCommPort_Window, OpenCommPort_CB, CloseCommPort and SendCommData.
#include "hubclient.h"
#include "serial_ports.h"

using namespace hubclient;

extern "C" int32_t OpenCommPort_Window(int32_t RegistrationID, uint32_t PortNumber,
                                       const COMM_INFORMATION* Info, HUBWND Window,
                                       uint32_t MessageID) {
    CommPort receiver;
    receiver.registrationId = RegistrationID;
    receiver.window = Window;
    receiver.parameter = MessageID;
    return openCommPort(PortNumber, Info, receiver);
}

extern "C" int32_t OpenCommPort_CB(int32_t RegistrationID, uint32_t PortNumber,
                                   const COMM_INFORMATION* Info, VEKCommCallback_t Callback,
                                   uint32_t Parameter) {
    CommPort receiver;
    receiver.registrationId = RegistrationID;
    receiver.callback = Callback;
    receiver.parameter = Parameter;
    return openCommPort(PortNumber, Info, receiver);
}

extern "C" int32_t CloseCommPort(int32_t RegistrationID, int32_t CommID) {
    return closeCommPort(RegistrationID, CommID);
}

extern "C" int32_t SendCommData(int32_t RegistrationID, const COMM_DATA* Data) {
    return sendCommData(RegistrationID, Data);
}
