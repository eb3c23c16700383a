/*
 * Exports of libhubclient.so meant for libobjlink.so only: not declared in
 * the public header and not installed.
 */
#ifndef HUBCLIENT_INTERNAL_H
#define HUBCLIENT_INTERNAL_H

#include "hubclient.h"

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Sends one message as SendVEKNetMessage does (same results) and asks the
 * server to post the message that answers it (from the destination, same
 * MessageID with bit 15 set, same MessageNumber) straight to `Waiter`, a
 * window of the calling thread, as message 1628 (wParam ReceiveNetID,
 * payload the envelope), instead of delivering it to the registration's
 * receive subscription `ReceiveNetID`; the server keeps this for TimeOutMs.
 * With a server that does not know the request the message is sent as by
 * SendVEKNetMessage and the answer arrives at the subscription as usual.
 */
HUBCLIENT_API int32_t VEKInternal_SendAwaitingResponse(int32_t RegistrationID, _Message* Message,
                                                       int32_t ReceiveNetID, HUBWND Waiter,
                                                       uint32_t TimeOutMs);

#ifdef __cplusplus
}
#endif

#endif /* HUBCLIENT_INTERNAL_H */
