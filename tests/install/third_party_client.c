/*
 * A third-party program built against an installed suite: the public headers
 * from the installation, -lhubclient -lobjlink, nothing from the source tree.
 * Registers with hubserver (starting the installation's server), sends one
 * message to the device given as argument, opens and closes an objlink
 * registration and prints what it did.
 *
 *   third_party_client DEVICE-ADDRESS
 */
#include <arpa/inet.h>
#include <stdio.h>
#include <string.h>

#include "hubclient.h"
#include "objlink.h"

enum { kObject = 0x1234, kMessage = 0x0042 };

int main(int argc, char** argv) {
    struct in_addr device;
    if (argc != 2 || inet_pton(AF_INET, argv[1], &device) != 1) {
        fprintf(stderr, "usage: third_party_client DEVICE-ADDRESS\n");
        return 2;
    }
    int32_t registration = VEKBaseStartup();
    if (registration < 1) {
        fprintf(stderr, "VEKBaseStartup failed (%d)\n", (int)registration);
        return 1;
    }
    int32_t number = GetMessageNumber(registration);
    uint8_t datagram[] = {'V',
                          'E',
                          'K',
                          kObject & 0xFF,
                          kObject >> 8,
                          kMessage & 0xFF,
                          kMessage >> 8,
                          (uint8_t)(number & 0xFF),
                          (uint8_t)((number >> 8) & 0xFF),
                          'h',
                          'i'};
    _Message message;
    memset(&message, 0, sizeof message);
    message.Address = ntohl(device.s_addr);
    message.Length = sizeof datagram;
    message.Dataptr = datagram;
    int32_t sent = SendVEKNetMessage(registration, &message);

    int32_t objectLink = VEKNetStartup();
    if (objectLink > 0) {
        VEKNetCleanup(objectLink);
    }
    VEKBaseCleanup(registration);
    printf("sent %d number %d objlink %d\n", (int)sent, (int)number, (int)(objectLink > 0));
    return sent == 1 && objectLink > 0 ? 0 : 1;
}
