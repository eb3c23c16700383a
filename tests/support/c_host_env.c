#include "c_host_env.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

int hostFreeUdpPort(void) {
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

int hostWriteSettings(int recvPort, int sendPort) {
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

int hostOpenPeer(const char* address, int port) {
    int fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0) {
        return -1;
    }
    int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEPORT, &on, sizeof on);
    struct sockaddr_in a;
    memset(&a, 0, sizeof a);
    a.sin_family = AF_INET;
    a.sin_port = htons((uint16_t)port);
    if (inet_pton(AF_INET, address, &a.sin_addr) != 1 ||
        bind(fd, (struct sockaddr*)&a, sizeof a) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}
