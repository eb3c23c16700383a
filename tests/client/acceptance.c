/*
 * Acceptance test of libhubclient as a third-party C program sees it: built
 * against hubclient.h alone and linked with -lhubclient. ctest gives it
 * private VEK_CONFIG_DIR, VEK_STATE_DIR and VEK_RUNTIME_DIR folders and
 * VEK_HUBSERVER; the program picks free UDP ports, writes VEKMAIN.INI and
 * plays a device peer on 127.0.0.2 itself.
 */
#include <arpa/inet.h>
#include <errno.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "hubclient.h"

#define LIVENESS_MS 10000

static int failures = 0;
static int checks = 0;

#define CHECK(cond)                                                                  \
    do {                                                                             \
        ++checks;                                                                    \
        if (!(cond)) {                                                               \
            ++failures;                                                              \
            fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
        }                                                                            \
    } while (0)

/* ---- what the callbacks saw (they run on the library's thread) ---------- */

enum { kMaxSeen = 16, kMaxBytes = 64 };

typedef struct Seen {
    uint32_t address;
    uint32_t length;
    uint8_t bytes[kMaxBytes];
    uint32_t extra; /* reason for the monitor, parameter for the receiver */
} Seen;

typedef struct SeenList {
    Seen items[kMaxSeen];
    int count;
} SeenList;

static pthread_mutex_t seenLock = PTHREAD_MUTEX_INITIALIZER;
static pthread_cond_t seenChanged = PTHREAD_COND_INITIALIZER;
static SeenList monitorSeen;
static SeenList receiverSeen;
static int timerReports;

static void record(SeenList* list, const _Message* m, uint32_t extra) {
    pthread_mutex_lock(&seenLock);
    if (list->count < kMaxSeen) {
        Seen* s = &list->items[list->count++];
        s->address = m->Address;
        s->length = m->Length;
        memcpy(s->bytes, m->Dataptr, m->Length < kMaxBytes ? m->Length : kMaxBytes);
        s->extra = extra;
    }
    pthread_cond_broadcast(&seenChanged);
    pthread_mutex_unlock(&seenLock);
}

static void onMonitor(_Message* m, NetMonCBReason_t reason) {
    record(&monitorSeen, m, (uint32_t)reason);
}

static void onReceive(_Message* m, uint32_t parameter) {
    record(&receiverSeen, m, parameter);
}

static void onTimer(uint32_t parameter, int32_t timerId) {
    (void)parameter;
    (void)timerId;
    pthread_mutex_lock(&seenLock);
    ++timerReports;
    pthread_mutex_unlock(&seenLock);
}

static struct timespec deadlineIn(int ms) {
    struct timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    t.tv_sec += ms / 1000;
    t.tv_nsec += (long)(ms % 1000) * 1000000L;
    if (t.tv_nsec >= 1000000000L) {
        t.tv_sec += 1;
        t.tv_nsec -= 1000000000L;
    }
    return t;
}

/* Waits until the list holds `count` entries; false after the liveness limit. */
static int waitForSeen(SeenList* list, int count) {
    struct timespec deadline = deadlineIn(LIVENESS_MS);
    int ok = 1;
    pthread_mutex_lock(&seenLock);
    while (list->count < count && ok) {
        ok = pthread_cond_timedwait(&seenChanged, &seenLock, &deadline) == 0;
    }
    ok = list->count >= count;
    pthread_mutex_unlock(&seenLock);
    return ok;
}

static int seenCount(SeenList* list) {
    pthread_mutex_lock(&seenLock);
    int n = list->count;
    pthread_mutex_unlock(&seenLock);
    return n;
}

/* ---- environment: ports, settings, the peer ------------------------------ */

static int freeUdpPort(void) {
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    struct sockaddr_in a;
    memset(&a, 0, sizeof a);
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_ANY);
    socklen_t length = sizeof a;
    int port = -1;
    if (fd >= 0 && bind(fd, (struct sockaddr*)&a, sizeof a) == 0 &&
        getsockname(fd, (struct sockaddr*)&a, &length) == 0) {
        port = ntohs(a.sin_port);
    }
    if (fd >= 0) {
        close(fd);
    }
    return port;
}

static int writeSettings(int recvPort, int sendPort) {
    const char* dir = getenv("VEK_CONFIG_DIR");
    if (dir == NULL) {
        return -1;
    }
    mkdir(dir, 0700);
    char path[512];
    snprintf(path, sizeof path, "%s/VEKMAIN.INI", dir);
    FILE* f = fopen(path, "w");
    if (f == NULL) {
        return -1;
    }
    fprintf(f,
            "[VEK BASE 32]\nRecvSocketPort=%d\nSendSocketPort=%d\nVEKBaseAddress=127.0.0.1\n"
            "MessageDelayTime=0\n",
            recvPort, sendPort);
    fclose(f);
    return 0;
}

/* A UDP socket on 127.0.0.2 at the server's receive port: the device. */
static int openPeer(int port) {
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &on, sizeof on);
    struct sockaddr_in a;
    memset(&a, 0, sizeof a);
    a.sin_family = AF_INET;
    a.sin_port = htons((uint16_t)port);
    inet_pton(AF_INET, "127.0.0.2", &a.sin_addr);
    if (bind(fd, (struct sockaddr*)&a, sizeof a) != 0) {
        perror("peer bind");
        close(fd);
        return -1;
    }
    return fd;
}

static int peerReceive(int fd, uint8_t* buffer, int capacity) {
    struct pollfd p = {fd, POLLIN, 0};
    if (poll(&p, 1, LIVENESS_MS) != 1) {
        return -1;
    }
    return (int)recv(fd, buffer, (size_t)capacity, 0);
}

static void peerSend(int fd, int port, const uint8_t* bytes, size_t length) {
    struct sockaddr_in to;
    memset(&to, 0, sizeof to);
    to.sin_family = AF_INET;
    to.sin_port = htons((uint16_t)port);
    inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
    sendto(fd, bytes, length, 0, (struct sockaddr*)&to, sizeof to);
}

static int serverTitleExists(void) {
    char path[512];
    snprintf(path, sizeof path, "%s/VEKBASE Application (32 Bit)", getenv("VEK_RUNTIME_DIR"));
    struct stat st;
    return stat(path, &st) == 0;
}

static int waitServerGone(void) {
    for (int waited = 0; waited < LIVENESS_MS; waited += 20) {
        if (!serverTitleExists()) {
            return 1;
        }
        usleep(20000);
    }
    return 0;
}

static void buildDatagram(uint8_t* d, unsigned object, unsigned message, unsigned number,
                          const char* data) {
    memcpy(d, "VEK", 3);
    d[3] = (uint8_t)object;
    d[4] = (uint8_t)(object >> 8);
    d[5] = (uint8_t)message;
    d[6] = (uint8_t)(message >> 8);
    d[7] = (uint8_t)number;
    d[8] = (uint8_t)(number >> 8);
    memcpy(d + 9, data, strlen(data));
}

/* ---- the scenario ------------------------------------------------------------ */

static void checkVersionLines(int32_t registration) {
    const char* all = GetVEKBaseVersion(registration, 3);
    CHECK(all != NULL);
    if (all == NULL) {
        return;
    }
    const char* dll = "VEK Network DLL (HUBCLIENT.DLL) Version 1.00\r\n";
    const char* server = "VEK Network Server (HUBSERVER.EXE) Version ";
    CHECK(strncmp(all, dll, strlen(dll)) == 0);
    const char* second = all + strlen(dll);
    CHECK(strncmp(second, server, strlen(server)) == 0);
    const char* end = strstr(second, "\r\n");
    CHECK(end != NULL && end[2] == '\0'); /* the third line is empty */
    CHECK(GetVEKBaseVersion(registration, 0) == NULL);
}

static double secondsNow(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

/* A 100 ms timer reports about ten times per second (generous bounds: the
 * machine may be busy). */
static void checkTimer(int32_t registration) {
    double start = secondsNow();
    int32_t timer = InstallTimer_CB(registration, 100, onTimer, 7);
    CHECK(timer >= 1);
    usleep(1000000);
    CHECK(RemoveTimer(registration, timer) == 0);
    double elapsed = secondsNow() - start;
    pthread_mutex_lock(&seenLock);
    int reports = timerReports;
    pthread_mutex_unlock(&seenLock);
    double perSecond = reports / elapsed;
    printf("timer reports: %d in %.2f s\n", reports, elapsed);
    CHECK(perSecond >= 3.0 && perSecond <= 20.0);
    CHECK(RemoveTimer(registration, timer) == VEK_ERR_BAD_ARG);
}

int main(void) {
    int recvPort = freeUdpPort();
    int sendPort = freeUdpPort();
    CHECK(recvPort > 0 && sendPort > 0 && recvPort != sendPort);
    CHECK(writeSettings(recvPort, sendPort) == 0);
    int peer = openPeer(recvPort);
    CHECK(peer >= 0);
    if (failures > 0) {
        return 1;
    }

    int32_t first = VEKBaseStartup();
    int32_t second = VEKBaseStartup();
    CHECK(first >= 1 && second >= 1 && first != second);
    CHECK(serverTitleExists());
    if (first < 1 || second < 1) {
        return 1;
    }
    int32_t monitor = RegisterNetMonCallback_CB(first, onMonitor);
    int32_t receiver = RegisterReceiveCallback_CB(second, onReceive, 0x1234);
    CHECK(monitor >= 1 && receiver >= 1);

    int32_t number = GetMessageNumber(first);
    int32_t next = GetMessageNumber(first);
    CHECK(number >= 0x8000 && number <= 0xFFFF);
    CHECK(next == (number == 0xFFFF ? 0x8000 : number + 1));

    /* Sent to the peer: seen by the monitor as sent, never by the receiver. */
    uint8_t out[12];
    buildDatagram(out, 0x0010, 0x0020, (unsigned)number, "ABC");
    _Message message = {0x7F000002u, sizeof out, out, NULL};
    CHECK(SendVEKNetMessage(first, &message) == 1);
    uint8_t got[64];
    CHECK(peerReceive(peer, got, sizeof got) == (int)sizeof out &&
          memcmp(got, out, sizeof out) == 0);
    CHECK(waitForSeen(&monitorSeen, 1));
    CHECK(monitorSeen.items[0].extra == MessageSent);
    CHECK(monitorSeen.items[0].address == 0x7F000002u);
    CHECK(monitorSeen.items[0].length == sizeof out &&
          memcmp(monitorSeen.items[0].bytes, out, sizeof out) == 0);

    /* Received from the peer: seen by both. */
    uint8_t in[13];
    buildDatagram(in, 0x0011, 0x8020, (unsigned)number, "WXYZ");
    peerSend(peer, recvPort, in, sizeof in);
    CHECK(waitForSeen(&monitorSeen, 2));
    CHECK(waitForSeen(&receiverSeen, 1));
    CHECK(monitorSeen.items[1].extra == MessageReceived);
    CHECK(monitorSeen.items[1].address == 0x7F000002u);
    CHECK(receiverSeen.items[0].extra == 0x1234);
    CHECK(receiverSeen.items[0].address == 0x7F000002u);
    CHECK(receiverSeen.items[0].length == sizeof in &&
          memcmp(receiverSeen.items[0].bytes, in, sizeof in) == 0);
    CHECK(seenCount(&receiverSeen) == 1); /* the sent message never reached it */

    checkVersionLines(first);
    checkTimer(first);

    CHECK(UnRegisterNetMonCallback(first, monitor) == 1);
    CHECK(UnRegisterReceiveCallback(second, receiver) == 1);
    CHECK(UnRegisterReceiveCallback(second, receiver) == VEK_ERR_BAD_ARG);
    VEKBaseCleanup(first);
    CHECK(GetMessageNumber(first) == 0);
    CHECK(serverTitleExists());
    VEKBaseCleanup(second);
    CHECK(waitServerGone());
    close(peer);

    printf("%d passed, %d failed\n", checks - failures, failures);
    return failures == 0 ? 0 : 1;
}
