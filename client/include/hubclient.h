/*
 * hubclient: the library every application loads to reach hubserver.
 *
 * Loading the library starts its own thread with a hidden window; every
 * callback and every window message of this library is issued from that
 * thread. VEKBaseStartup finds hubserver (or starts it), registers the
 * application and returns a registration ID that every other export takes
 * first. Exports may be called from any thread.
 *
 * Usable from C (C11) and C++. Link with -lhubclient.
 */
#ifndef HUBCLIENT_H
#define HUBCLIENT_H

#include <stddef.h>
#include <stdint.h>

#if defined(__GNUC__)
#define HUBCLIENT_API __attribute__((visibility("default")))
#define HUBCLIENT_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define HUBCLIENT_API
#define HUBCLIENT_PRINTF(fmt, args)
#endif

#ifdef __cplusplus
#define HUBCLIENT_STATIC_ASSERT(cond, text) static_assert(cond, text)
extern "C" {
#else
#define HUBCLIENT_STATIC_ASSERT(cond, text) _Static_assert(cond, text)
#endif

/*
 * A platform window handle: names a window of the platform layer in this or
 * another process ((pid << 32) | loop slot << 16 | window number). 0 is none.
 */
typedef uint64_t HUBWND;

/* ---- result codes of the exports ----------------------------------------- */

#define VEK_ERR_NOT_REGISTERED (-15) /* registration ID not registered in this process */
#define VEK_ERR_NO_SERVER (-14)      /* VEKBaseStartup: no server found, started or accepting */
#define VEK_ERR_COMM_DATA (-13)      /* serial data refused */
#define VEK_ERR_SERVER (-12)         /* no server known, no answer in time, or request refused */
#define VEK_ERR_BAD_ARG (-9)         /* bad argument, or ID not in the list concerned */
#define VEK_ERR_NOT_SENT (-7)        /* the server did not accept a network message */
#define VEK_ERR_NO_MEMORY (-5)

/* ---- records --------------------------------------------------------------- */

#pragma pack(push, 1)

/*
 * One network message. Dataptr points to the whole datagram of Length bytes:
 * "VEK", ObjectID, MessageID, MessageNumber (little-endian) and the data, so
 * Length is at least 9. Address is the peer's IPv4 address in host order
 * (first octet most significant): the destination when sending, the source or
 * destination when delivered. `next` links a list of messages to send; it is
 * NULL in delivered records. A delivered record and its data belong to the
 * library and are valid only during the callback or window message.
 */
typedef struct _Message {
    uint32_t Address;
    uint32_t Length;
    uint8_t* Dataptr;
    struct _Message* next;
} _Message;

/* Line settings of a serial port (StopBits a StopBit_type, Parity a Parity_type). */
#ifndef VEK_COMM_INFORMATION_DEFINED
#define VEK_COMM_INFORMATION_DEFINED
typedef struct COMM_INFORMATION {
    uint32_t BaudRate; /* bits per second */
    uint32_t DataBits; /* bits per character, 5 to 8 */
    uint32_t StopBits;
    uint32_t Parity;
    uint32_t Shareable; /* non-zero: other applications may open the port at the same speed */
    uint32_t XonXoff;   /* non-zero: XON/XOFF flow control in both directions */
} COMM_INFORMATION;
#endif

/*
 * Serial data: received (the record and its bytes belong to the library and
 * are valid only during the callback or window message) or to send.
 */
typedef struct COMM_DATA {
    uint32_t CommID; /* port ID */
    uint32_t Length; /* bytes at DataBuffer */
    uint8_t* DataBuffer;
} COMM_DATA;

#pragma pack(pop)

typedef enum StopBit_type {
    one_stop_bit = 0,
    one_and_half_stop_bits = 1,
    two_stop_bits = 2
} StopBit_type;

typedef enum Parity_type { no_parity = 0, odd_parity = 1, even_parity = 2 } Parity_type;

HUBCLIENT_STATIC_ASSERT(sizeof(COMM_INFORMATION) == 24, "COMM_INFORMATION layout");
HUBCLIENT_STATIC_ASSERT(offsetof(COMM_INFORMATION, StopBits) == 8, "COMM_INFORMATION.StopBits");
HUBCLIENT_STATIC_ASSERT(offsetof(COMM_INFORMATION, XonXoff) == 20, "COMM_INFORMATION.XonXoff");
HUBCLIENT_STATIC_ASSERT(sizeof(COMM_DATA) == 8 + sizeof(void*), "COMM_DATA layout");
HUBCLIENT_STATIC_ASSERT(offsetof(COMM_DATA, Length) == 4, "COMM_DATA.Length");
HUBCLIENT_STATIC_ASSERT(offsetof(COMM_DATA, DataBuffer) == 8, "COMM_DATA.DataBuffer");

HUBCLIENT_STATIC_ASSERT(sizeof(_Message) == 8 + 2 * sizeof(void*), "_Message layout");
HUBCLIENT_STATIC_ASSERT(offsetof(_Message, Address) == 0, "_Message.Address");
HUBCLIENT_STATIC_ASSERT(offsetof(_Message, Length) == 4, "_Message.Length");
HUBCLIENT_STATIC_ASSERT(offsetof(_Message, Dataptr) == 8, "_Message.Dataptr");
HUBCLIENT_STATIC_ASSERT(offsetof(_Message, next) == 8 + sizeof(void*), "_Message.next");

/* Why a network monitor sees a message. */
typedef enum NetMonCBReason_t { MessageSent = 0, MessageReceived = 1 } NetMonCBReason_t;

HUBCLIENT_STATIC_ASSERT(sizeof(NetMonCBReason_t) == 4, "NetMonCBReason_t is 32 bits");

/* ---- callbacks (all called on the library's thread) ------------------------ */

/* A message received from the network, with the subscriber's parameter. */
typedef void (*VEKReceiveCallback_t)(_Message* Message, uint32_t Parameter);

/* A message the PC sent or received, with the reason. */
typedef void (*VEKNetMonCallback_t)(_Message* Message, NetMonCBReason_t Reason);

/* A timer report: the timer's parameter and its ID. */
typedef void (*VEKTimerCallback_t)(uint32_t Parameter, int32_t TimerID);

/* Serial data received on a port: the port's parameter and the data. */
typedef void (*VEKCommCallback_t)(uint32_t Parameter, COMM_DATA* Data);

/* ---- registration ------------------------------------------------------------ */

/*
 * Finds hubserver (or starts it and waits up to 5000 ms for it) and registers
 * the application. Returns the registration ID (1 or more) or -14.
 */
HUBCLIENT_API int32_t VEKBaseStartup(void);

/*
 * Removes the registration's timers, network subscriptions and serial ports
 * and the registration itself. An unknown ID does nothing.
 */
HUBCLIENT_API void VEKBaseCleanup(int32_t RegistrationID);

/*
 * Version text: Flags bit 0 the library's line, bit 1 the server's line
 * (ending "\r\n"), both bits the two lines joined by "\r\n". NULL for neither
 * bit or an unknown registration ID. The text stays owned by the library.
 */
HUBCLIENT_API const char* GetVEKBaseVersion(int32_t RegistrationID, uint32_t Flags);

/* ---- network messages and subscriptions -------------------------------------- */

/*
 * Sends every message of the list in order until one fails. Returns 1 when
 * all were sent; -15; -12 no server; -9 a message without data or shorter
 * than its 9-byte header; -5; -7 the server did not accept a message or did
 * not answer in time (the rest of the list is not sent; a message reported
 * as not sent does not leave later).
 */
HUBCLIENT_API int32_t SendVEKNetMessage(int32_t RegistrationID, _Message* Message);

/*
 * Receive subscribers get the messages received from the network whose
 * ObjectID is not 0. A window subscriber is sent (synchronously, up to
 * 10000 ms) its MessageID with wParam 0 and lParam = a _Message pointer valid
 * during the call (meaningful for windows of this process). Result: the
 * subscriber ID; -15; -12; -9; -5.
 */
HUBCLIENT_API int32_t RegisterReceiveCallback_CB(int32_t RegistrationID,
                                                 VEKReceiveCallback_t Callback, uint32_t Parameter);
HUBCLIENT_API int32_t RegisterReceiveCallback_Window(int32_t RegistrationID, HUBWND Window,
                                                     uint32_t MessageID);

/*
 * Network-monitor subscribers get every message sent or received, reserved
 * ones included. A window gets wParam = the NetMonCBReason_t.
 */
HUBCLIENT_API int32_t RegisterNetMonCallback_CB(int32_t RegistrationID,
                                                VEKNetMonCallback_t Callback);
HUBCLIENT_API int32_t RegisterNetMonCallback_Window(int32_t RegistrationID, HUBWND Window,
                                                    uint32_t MessageID);

/*
 * Removes a subscriber of either kind: 1 removed; 0 removed here but unknown
 * to the server; -9 not a subscriber of this process; -12; -15.
 */
HUBCLIENT_API int32_t UnRegisterReceiveCallback(int32_t RegistrationID, int32_t SubscriberID);
HUBCLIENT_API int32_t UnRegisterNetMonCallback(int32_t RegistrationID, int32_t SubscriberID);

/* A new message number (0x8000..0xFFFF); 0 when unregistered or no answer. */
HUBCLIENT_API int32_t GetMessageNumber(int32_t RegistrationID);

/*
 * The PC's own IPv4 address in host order; 0 when unregistered or unknown.
 * Unsigned: an address is not a result code.
 */
HUBCLIENT_API uint32_t GetNetworkAddress(int32_t RegistrationID);

/* ---- timers ---------------------------------------------------------------------- */

/*
 * Periodic timers reporting on the library's thread every PeriodMs until
 * removed. A window timer posts MessageID with wParam = timer ID, lParam 0.
 * Result: the timer ID (1 or more); -15; -12; -9 target missing; -5.
 */
HUBCLIENT_API int32_t InstallTimer_Window(int32_t RegistrationID, uint32_t PeriodMs, HUBWND Window,
                                          uint32_t MessageID);
HUBCLIENT_API int32_t InstallTimer_CB(int32_t RegistrationID, uint32_t PeriodMs,
                                      VEKTimerCallback_t Callback, uint32_t Parameter);

/* 0 removed; -9 no such timer; -12; -15. */
HUBCLIENT_API int32_t RemoveTimer(int32_t RegistrationID, int32_t TimerID);

/* ---- serial ports ------------------------------------------------------------------ */

/*
 * Opens serial port "COM<PortNumber>" of the PC (hubserver maps it to a
 * device) with these line settings. Every block the port receives is handed
 * to the receiver on the library's thread: a window is sent (synchronously,
 * up to 2000 ms) MessageID with wParam = the port ID and lParam = a COMM_DATA
 * pointer valid during the call (meaningful for windows of this process); a
 * callback gets its parameter and the COMM_DATA. Result: the port ID (1 or
 * more); -9 refused by the server (bad settings, no such device, or open
 * elsewhere without sharing at the same speed); -5; -12; -15.
 */
HUBCLIENT_API int32_t OpenCommPort_Window(int32_t RegistrationID, uint32_t PortNumber,
                                          const COMM_INFORMATION* Info, HUBWND Window,
                                          uint32_t MessageID);
HUBCLIENT_API int32_t OpenCommPort_CB(int32_t RegistrationID, uint32_t PortNumber,
                                      const COMM_INFORMATION* Info, VEKCommCallback_t Callback,
                                      uint32_t Parameter);

/* 1 closed; 0 the server did not know the port; -12; -15. */
HUBCLIENT_API int32_t CloseCommPort(int32_t RegistrationID, int32_t CommID);

/*
 * Writes Data->Length bytes to port Data->CommID and returns when the server
 * has handed them to the device: the bytes written (fewer when the device
 * did not take them within the server's time bound, 0 after a device
 * error); -13 no data; -12; -5; -15.
 */
HUBCLIENT_API int32_t SendCommData(int32_t RegistrationID, const COMM_DATA* Data);

/* ---- debug text -------------------------------------------------------------------- */

/* Appends formatted text (at most 4096 bytes) to the named file. */
HUBCLIENT_API void _Debug(const char* FileName, const char* Format, ...) HUBCLIENT_PRINTF(2, 3);

/*
 * Writes an entry into the server's debug log, time-stamped when
 * TimeStampFlag is non-zero. Does nothing while no server is known.
 */
HUBCLIENT_API void _Debug_Internal(int32_t TimeStampFlag, const char* Format, ...)
    HUBCLIENT_PRINTF(2, 3);

/* Appends a hex dump of Length bytes to the named file. */
HUBCLIENT_API void DumpData(const char* FileName, uint32_t Length, const void* Data);

/* Writes a hex dump of Length bytes into the server's debug log. */
HUBCLIENT_API void DumpData_Internal(uint32_t Length, const void* Data);

#ifdef __cplusplus
}
#endif

#endif /* HUBCLIENT_H */
