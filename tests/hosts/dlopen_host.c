/*
 * A plug-in host as language bindings are: it loads libhubclient.so or
 * libobjlink.so with dlopen at run time (it is not linked with either), starts
 * up, sends a message to a device peer on 127.0.0.2, receives the peer's
 * answer through a callback and returns from main. How it ends is chosen on
 * the command line:
 *
 *   dlopen_host <library folder> hubclient|objlink cleanup|keep|dlclose|bare
 *
 *   cleanup  cleans the registration up, then returns
 *   keep     returns with the registration and its callback still in place
 *   dlclose  cleans up and unloads the library itself, then returns
 *   bare     starts up and returns at once (no callback, nothing sent)
 *
 * It prints "main returned" just before returning, so a caller can measure
 * how long the process takes to end after its main code. The caller gives it
 * private VEK_* folders and VEK_HUBSERVER; the host picks free UDP ports and
 * writes VEKMAIN.INI itself.
 */
#include <arpa/inet.h>
#include <dlfcn.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#define LIVENESS_MS 5000

typedef struct Message {
    uint32_t Address;
    uint32_t Length;
    uint8_t* Dataptr;
    struct Message* next;
} Message;

#pragma pack(push, 1)
typedef struct NetAddress {
    int32_t AddressType;
    uint32_t Address;
} NetAddress;

typedef struct NetMessage {
    uint16_t ObjectID;
    uint16_t MessageID;
    uint16_t DataLength;
    uint8_t* DataPtr;
    NetAddress Address;
} NetMessage;

typedef struct NetResponse {
    int32_t Status;
    uint16_t ObjectID;
    uint16_t MessageID;
    uint16_t MessageNumber;
    uint16_t DataLength;
    uint16_t MaxDataLength;
    uint8_t* DataPtr;
    NetAddress Address;
} NetResponse;
#pragma pack(pop)

typedef void (*ReceiveFn)(Message*, uint32_t);
typedef void (*ObjectFn)(uint32_t, NetResponse*);

static pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
static pthread_cond_t changed = PTHREAD_COND_INITIALIZER;
static int received = 0;

static void noteReceived(void) {
    pthread_mutex_lock(&lock);
    ++received;
    pthread_cond_broadcast(&changed);
    pthread_mutex_unlock(&lock);
}

static void onReceive(Message* m, uint32_t parameter) {
    (void)m;
    (void)parameter;
    noteReceived();
}

static void onObjectMessage(uint32_t parameter, NetResponse* r) {
    (void)parameter;
    (void)r;
    noteReceived();
}

static int waitReceived(void) {
    struct timespec deadline;
    clock_gettime(CLOCK_REALTIME, &deadline);
    deadline.tv_sec += LIVENESS_MS / 1000;
    pthread_mutex_lock(&lock);
    while (received == 0 && pthread_cond_timedwait(&changed, &lock, &deadline) == 0) {
    }
    int ok = received > 0;
    pthread_mutex_unlock(&lock);
    return ok;
}

static int fail(const char* what) {
    fprintf(stderr, "dlopen_host: %s\n", what);
    return 1;
}

static int freeUdpPort(void) {
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    struct sockaddr_in a;
    memset(&a, 0, sizeof a);
    a.sin_family = AF_INET;
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

/* The device: a UDP socket on 127.0.0.2 at the server's receive port. */
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
        close(fd);
        return -1;
    }
    return fd;
}

/* Sends the first datagram it receives back to the server unchanged. */
static int peerAnswer(int fd, int port) {
    struct pollfd p = {fd, POLLIN, 0};
    uint8_t d[1500];
    if (poll(&p, 1, LIVENESS_MS) != 1) {
        return 0;
    }
    ssize_t n = recv(fd, d, sizeof d, 0);
    if (n < 9) {
        return 0;
    }
    struct sockaddr_in to;
    memset(&to, 0, sizeof to);
    to.sin_family = AF_INET;
    to.sin_port = htons((uint16_t)port);
    inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
    return sendto(fd, d, (size_t)n, 0, (struct sockaddr*)&to, sizeof to) == n;
}

static void* symbol(void* library, const char* name) {
    void* s = dlsym(library, name);
    if (s == NULL) {
        fprintf(stderr, "dlopen_host: no %s\n", name);
        exit(1);
    }
    return s;
}

typedef struct Session {
    void* library;
    int objlink;
    int32_t id;
} Session;

static int32_t startup(Session* s) {
    int32_t (*start)(void) =
        (int32_t(*)(void))symbol(s->library, s->objlink ? "VEKNetStartup" : "VEKBaseStartup");
    return start();
}

static void cleanup(Session* s) {
    void (*clean)(int32_t) =
        (void (*)(int32_t))symbol(s->library, s->objlink ? "VEKNetCleanup" : "VEKBaseCleanup");
    clean(s->id);
}

static int subscribe(Session* s) {
    if (s->objlink) {
        int32_t (*reg)(int32_t, uint16_t, ObjectFn, uint32_t) =
            (int32_t(*)(int32_t, uint16_t, ObjectFn, uint32_t))symbol(
                s->library, "RegisterVEKObjectMessages_CB");
        return reg(s->id, 0x0042, onObjectMessage, 1) >= 1;
    }
    int32_t (*reg)(int32_t, ReceiveFn, uint32_t) =
        (int32_t(*)(int32_t, ReceiveFn, uint32_t))symbol(s->library, "RegisterReceiveCallback_CB");
    return reg(s->id, onReceive, 1) >= 1;
}

/* Sends object 0x42 message 0x0007 to 127.0.0.2 under a number of the
 * server; the peer's echo reaches the receive callback or, for objlink, the
 * subscription of object 0x42 (it is not a response). */
static int sendToPeer(Session* s) {
    if (s->objlink) {
        int32_t (*send)(int32_t, uint32_t, NetMessage*, NetResponse*) = (int32_t(*)(
            int32_t, uint32_t, NetMessage*, NetResponse*))symbol(s->library, "SendVEKMessage");
        uint8_t data[3] = {1, 2, 3};
        NetMessage m = {0x0042, 0x0007, sizeof data, data, {4, 0x7F000002u}};
        NetResponse r;
        memset(&r, 0, sizeof r);
        return send(s->id, 0, &m, &r) > 0;
    }
    int32_t (*number)(int32_t) = (int32_t(*)(int32_t))symbol(s->library, "GetMessageNumber");
    int32_t (*send)(int32_t, Message*) =
        (int32_t(*)(int32_t, Message*))symbol(s->library, "SendVEKNetMessage");
    uint8_t d[12] = {'V', 'E', 'K', 0x42, 0, 0x07, 0, 0, 0, 1, 2, 3};
    int32_t n = number(s->id);
    d[7] = (uint8_t)n;
    d[8] = (uint8_t)(n >> 8);
    Message m = {0x7F000002u, sizeof d, d, NULL};
    return send(s->id, &m) == 1;
}

int main(int argc, char** argv) {
    if (argc != 4) {
        return fail("usage: dlopen_host <folder> hubclient|objlink cleanup|keep|dlclose|bare");
    }
    const char* mode = argv[3];
    Session s = {NULL, strcmp(argv[2], "objlink") == 0, 0};
    char path[1024];
    snprintf(path, sizeof path, "%s/lib%s.so", argv[1], argv[2]);

    int recvPort = freeUdpPort();
    int sendPort = freeUdpPort();
    if (recvPort <= 0 || sendPort <= 0 || recvPort == sendPort ||
        writeSettings(recvPort, sendPort) != 0) {
        return fail("no ports or settings");
    }
    int peer = openPeer(recvPort);
    if (peer < 0) {
        return fail("peer socket");
    }
    s.library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (s.library == NULL) {
        return fail(dlerror());
    }
    s.id = startup(&s);
    if (s.id < 1) {
        return fail("startup failed");
    }
    if (strcmp(mode, "bare") != 0) {
        if (!subscribe(&s) || !sendToPeer(&s) || !peerAnswer(peer, recvPort) || !waitReceived()) {
            return fail("send or receive failed");
        }
    }
    if (strcmp(mode, "cleanup") == 0 || strcmp(mode, "dlclose") == 0) {
        cleanup(&s);
    }
    if (strcmp(mode, "dlclose") == 0 && dlclose(s.library) != 0) {
        return fail("dlclose failed");
    }
    close(peer);
    printf("main returned\n");
    fflush(stdout);
    return 0;
}
