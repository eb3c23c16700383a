/*
 * objlink: object-addressed messaging on top of hubclient.
 *
 * A message is addressed to an object (ObjectID) on a device and may expect a
 * response within a time-out. VEKNetStartup registers the application (one
 * hubclient registration and one receive subscription each); incoming
 * messages are delivered per object to the subscribers of that object;
 * requests are numbered by the server and matched to their responses by peer
 * address, message identifier (response flag cleared) and message number.
 *
 * Every callback and every window report is issued from hubclient's library
 * thread. Exports may be called from any thread. A window handle is the
 * platform handle of hubclient.h (HUBWND); window reports carry a pointer in
 * lParam and are therefore meaningful for windows of this process only.
 *
 * Usable from C (C11) and C++. Link with -lobjlink.
 */
#ifndef OBJLINK_H
#define OBJLINK_H

#include <stddef.h>
#include <stdint.h>

#include "hubclient.h"

#if defined(__GNUC__)
#define OBJLINK_API __attribute__((visibility("default")))
#else
#define OBJLINK_API
#endif

#ifdef __cplusplus
#define OBJLINK_STATIC_ASSERT(cond, text) static_assert(cond, text)
extern "C" {
#else
#define OBJLINK_STATIC_ASSERT(cond, text) _Static_assert(cond, text)
#endif

/* ---- result codes of the exports ----------------------------------------- */

#define VEKNET_ERR_NO_ADDRESS (-19)     /* no destination address was formed */
#define VEKNET_ERR_NO_WINDOW (-18)      /* window or window message ID missing */
#define VEKNET_ERR_BAD_RECORD (-17)     /* message or response record invalid, or no callback */
#define VEKNET_ERR_NOT_REGISTERED (-15) /* not a registration of this library */
#define VEKNET_ERR_STARTUP (-12)        /* startup failed, or waiting for a lock failed */
#define VEKNET_ERR_NO_TIMER (-11)       /* no time-out timer could be installed */
#define VEKNET_ERR_NOT_SENT (-7)        /* not sent: the server refused or gave no number */
#define VEKNET_ERR_NO_MEMORY (-5)       /* out of memory, or no message section was made */

/* ---- records --------------------------------------------------------------- */

/* How the four bytes of VEKAddress_t.Address are read. */
typedef enum VEKAddressType_t {
    Node = 0,                     /* byte 0 Node; the rest from the own address */
    SubGroupNode = 1,             /* bytes 0-1 Node, SubGroup */
    GroupSubGroupNode = 2,        /* bytes 0-2 Node, SubGroup, Group */
    NetworkGroupSubGroupNode = 3, /* bytes 0-3 Node, SubGroup, Group, Network */
    FullAddress = 4               /* one IPv4 address in host order */
} VEKAddressType_t;

/* Outcome of a message or request. */
typedef enum VEKMessageStatus_t {
    MessageSuccess = 0, /* an incoming message */
    MessageFailure = 1,
    MessageTimeOut = 2,
    MessageResponseSuccess = 3, /* the response was copied completely */
    MessageResponseFailure = 4, /* the response was longer than MaxDataLength */
    MessageResponseTimeOut = 5  /* no response within the time-out */
} VEKMessageStatus_t;

OBJLINK_STATIC_ASSERT(sizeof(VEKAddressType_t) == 4, "VEKAddressType_t is 32 bits");
OBJLINK_STATIC_ASSERT(sizeof(VEKMessageStatus_t) == 4, "VEKMessageStatus_t is 32 bits");

#pragma pack(push, 1)

/*
 * A device address. Address is little-endian in memory: byte 0 (the least
 * significant byte of the value) is the Node octet, byte 3 the Network octet,
 * so NetworkGroupSubGroupNode and FullAddress are the same four bytes.
 */
typedef struct VEKAddress_t {
    VEKAddressType_t AddressType;
    uint32_t Address;
} VEKAddress_t;

/* A message to send. DataPtr NULL (or all bits set) means no data. */
typedef struct VEKMessage_t {
    uint16_t ObjectID;
    uint16_t MessageID; /* bit 15 is set by RespondVEKMessage only */
    uint16_t DataLength;
    uint8_t* DataPtr;
    VEKAddress_t Address; /* destination */
} VEKMessage_t;

/*
 * A response to a request, or an incoming message. For a request the caller
 * provides DataPtr with capacity MaxDataLength; record and buffer must stay
 * valid until the request completed. Incoming messages handed to subscribers
 * belong to the library and are valid only during the call.
 */
typedef struct VEKMessageResponse_t {
    VEKMessageStatus_t Status;
    uint16_t ObjectID;      /* object that sent it */
    uint16_t MessageID;     /* response flag (bit 15) cleared */
    uint16_t MessageNumber; /* number from the datagram header */
    uint16_t DataLength;    /* data bytes of the message, even when more than were copied */
    uint16_t MaxDataLength; /* capacity of DataPtr */
    uint8_t* DataPtr;
    VEKAddress_t Address; /* sender (FullAddress for incoming messages) */
} VEKMessageResponse_t;

#pragma pack(pop)

OBJLINK_STATIC_ASSERT(sizeof(VEKAddress_t) == 8, "VEKAddress_t layout");
OBJLINK_STATIC_ASSERT(offsetof(VEKAddress_t, AddressType) == 0, "VEKAddress_t.AddressType");
OBJLINK_STATIC_ASSERT(offsetof(VEKAddress_t, Address) == 4, "VEKAddress_t.Address");

OBJLINK_STATIC_ASSERT(sizeof(VEKMessage_t) == 14 + sizeof(void*), "VEKMessage_t layout");
OBJLINK_STATIC_ASSERT(offsetof(VEKMessage_t, ObjectID) == 0, "VEKMessage_t.ObjectID");
OBJLINK_STATIC_ASSERT(offsetof(VEKMessage_t, MessageID) == 2, "VEKMessage_t.MessageID");
OBJLINK_STATIC_ASSERT(offsetof(VEKMessage_t, DataLength) == 4, "VEKMessage_t.DataLength");
OBJLINK_STATIC_ASSERT(offsetof(VEKMessage_t, DataPtr) == 6, "VEKMessage_t.DataPtr");
OBJLINK_STATIC_ASSERT(offsetof(VEKMessage_t, Address) == 6 + sizeof(void*), "VEKMessage_t.Address");

OBJLINK_STATIC_ASSERT(sizeof(VEKMessageResponse_t) == 22 + sizeof(void*),
                      "VEKMessageResponse_t layout");
OBJLINK_STATIC_ASSERT(offsetof(VEKMessageResponse_t, Status) == 0, "VEKMessageResponse_t.Status");
OBJLINK_STATIC_ASSERT(offsetof(VEKMessageResponse_t, ObjectID) == 4,
                      "VEKMessageResponse_t.ObjectID");
OBJLINK_STATIC_ASSERT(offsetof(VEKMessageResponse_t, MessageID) == 6,
                      "VEKMessageResponse_t.MessageID");
OBJLINK_STATIC_ASSERT(offsetof(VEKMessageResponse_t, MessageNumber) == 8,
                      "VEKMessageResponse_t.MessageNumber");
OBJLINK_STATIC_ASSERT(offsetof(VEKMessageResponse_t, DataLength) == 10,
                      "VEKMessageResponse_t.DataLength");
OBJLINK_STATIC_ASSERT(offsetof(VEKMessageResponse_t, MaxDataLength) == 12,
                      "VEKMessageResponse_t.MaxDataLength");
OBJLINK_STATIC_ASSERT(offsetof(VEKMessageResponse_t, DataPtr) == 14,
                      "VEKMessageResponse_t.DataPtr");
OBJLINK_STATIC_ASSERT(offsetof(VEKMessageResponse_t, Address) == 14 + sizeof(void*),
                      "VEKMessageResponse_t.Address");

/*
 * Callback of object subscriptions and asynchronous requests: its parameter
 * and the record (an incoming message, or the caller's response record).
 * Called on hubclient's library thread.
 */
typedef void (*VEKMessageCallback_t)(uint32_t Parameter, VEKMessageResponse_t* Response);

/* ---- registration ------------------------------------------------------------ */

/*
 * Registers the application with hubclient (starting hubserver if needed)
 * and subscribes to the messages received. Returns the registration ID
 * (1 or more), -5 or -12.
 */
OBJLINK_API int32_t VEKNetStartup(void);

/*
 * Removes the registration's object subscriptions, its outstanding requests
 * (silently, with their timers) and the registration with its hubclient
 * registration. When it returns, no callback of the registration runs any
 * more (unless it is called from within such a callback). Unknown IDs do
 * nothing.
 */
OBJLINK_API void VEKNetCleanup(int32_t RegistrationID);

/*
 * The library's version line (Flag 0), or that line, "\r\n" and hubclient's
 * version texts (Flag non-zero). NULL for an unknown registration ID or before
 * the texts were built. The text stays owned by the library.
 */
OBJLINK_API const char* GetVEKNetVersion(int32_t RegistrationID, uint32_t Flag);

/* ---- object subscriptions ---------------------------------------------------- */

/*
 * Every message received for ObjectID that is not a response is handed to the
 * callback with its parameter, or sent (synchronously) to the window as
 * MessageID with wParam 0 and lParam = a VEKMessageResponse_t pointer valid
 * during the call. Result: the subscription ID; -15; -5; -17 without callback
 * or -18 without window or message ID.
 */
OBJLINK_API int32_t RegisterVEKObjectMessages_CB(int32_t RegistrationID, uint16_t ObjectID,
                                                 VEKMessageCallback_t Callback, uint32_t Parameter);
OBJLINK_API int32_t RegisterVEKObjectMessages_Window(int32_t RegistrationID, uint16_t ObjectID,
                                                     HUBWND Window, uint32_t MessageID);

/* 1 (also when the subscription did not exist); -15; -12. */
OBJLINK_API int32_t UnRegisterVEKObjectMessages(int32_t RegistrationID,
                                                int32_t ObjectRegistrationID);

/* ---- sending ------------------------------------------------------------------- */

/*
 * Sends a message and, with a non-zero time-out, waits for its response on the
 * calling thread, which keeps dispatching its own platform messages meanwhile
 * (without using the CPU while nothing arrives). A quit request ends the wait
 * early and stays queued; the request is then withdrawn and the record reads
 * as timed out unless the response had already arrived.
 * Returns the message number used (positive) or a negative code; the response
 * record holds the outcome (Status 3, 4 or 5).
 */
OBJLINK_API int32_t SendVEKMessage(int32_t RegistrationID, uint32_t TimeOutMs,
                                   VEKMessage_t* Message, VEKMessageResponse_t* Response);

/*
 * Sends a request and reports its outcome later: a callback is called with
 * (Parameter, Response); a window is posted (response) or sent (time-out)
 * MessageID with wParam 0 and lParam = Response. With a time-out of 0 nothing
 * is reported. Returns the message number or a negative code (-17 without
 * callback, -18 without window or message ID).
 */
OBJLINK_API int32_t AsyncSendVEKMessage_CB(int32_t RegistrationID, uint32_t TimeOutMs,
                                           VEKMessage_t* Message, VEKMessageResponse_t* Response,
                                           VEKMessageCallback_t Callback, uint32_t Parameter);
OBJLINK_API int32_t AsyncSendVEKMessage_Window(int32_t RegistrationID, uint32_t TimeOutMs,
                                               VEKMessage_t* Message,
                                               VEKMessageResponse_t* Response, HUBWND Window,
                                               uint32_t MessageID);

/*
 * Answers a received message: sends the record's ObjectID, MessageID with
 * bit 15 set, data and address under the record's own MessageNumber. Returns
 * that number, -15 or -17.
 */
OBJLINK_API int32_t RespondVEKMessage(int32_t RegistrationID, VEKMessageResponse_t* Message);

#ifdef __cplusplus
}
#endif

#endif /* OBJLINK_H */
