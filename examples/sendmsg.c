/*
 * sendmsg: sends one network message and prints the result.
 *
 *   sendmsg ADDRESS OBJECT-ID MESSAGE-ID [DATA-HEX]
 *
 * ADDRESS is dotted IPv4, the IDs are decimal or 0x-prefixed hexadecimal,
 * DATA-HEX the data bytes as hexadecimal digit pairs (blanks allowed). The
 * message number comes from the server.
 */
#include <arpa/inet.h>
#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "example_options.h"
#include "hubclient.h"

static const char kHelp[] =
    "usage: sendmsg ADDRESS OBJECT-ID MESSAGE-ID [DATA-HEX]\n"
    "Sends one network message through hubserver and prints the result and the\n"
    "message number the server gave it.\n"
    "\n"
    "  ADDRESS      the device, dotted IPv4 (for example 127.0.0.2)\n"
    "  OBJECT-ID    0 to 65535, decimal or 0x-prefixed hexadecimal\n"
    "  MESSAGE-ID   0 to 65535, decimal or 0x-prefixed hexadecimal\n"
    "  DATA-HEX     data bytes as hexadecimal digit pairs, blanks allowed\n"
    "\n" VEK_EXAMPLE_OPTIONS_HELP "\n" VEK_EXAMPLE_ENVIRONMENT_HELP
    "\n"
    "Exit status: 0 when the server took the message, 1 otherwise, 2 for a wrong\n"
    "command line.\n";

enum { kHeaderSize = 9, kMaxData = 1471 };

static int parseId(const char* text, unsigned* out) {
    char* end = NULL;
    unsigned long value = strtoul(text, &end, 0);
    if (end == text || *end != '\0' || value > 0xFFFF) {
        return -1;
    }
    *out = (unsigned)value;
    return 0;
}

static int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = (char)toupper((unsigned char)c);
    return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

/* Hex pairs into bytes; the count, or -1 for bad text or too many bytes. */
static int parseData(const char* text, uint8_t* out, int capacity) {
    int count = 0;
    while (*text != '\0') {
        if (isspace((unsigned char)*text)) {
            ++text;
            continue;
        }
        int high = hexDigit(text[0]);
        int low = text[1] != '\0' ? hexDigit(text[1]) : -1;
        if (high < 0 || low < 0 || count == capacity) {
            return -1;
        }
        out[count++] = (uint8_t)(high << 4 | low);
        text += 2;
    }
    return count;
}

static void putLe16(uint8_t* p, unsigned value) {
    p[0] = (uint8_t)(value & 0xFF);
    p[1] = (uint8_t)(value >> 8);
}

int main(int argc, char** argv) {
    int optionsStatus = handleExampleOptions(argc, argv, "sendmsg", kHelp);
    if (optionsStatus >= 0) {
        return optionsStatus;
    }
    struct in_addr address;
    unsigned objectId = 0;
    unsigned messageId = 0;
    uint8_t datagram[kHeaderSize + kMaxData];
    int dataLength = 0;
    if (argc < 4 || argc > 5 || inet_pton(AF_INET, argv[1], &address) != 1 ||
        parseId(argv[2], &objectId) != 0 || parseId(argv[3], &messageId) != 0 ||
        (argc == 5 && (dataLength = parseData(argv[4], datagram + kHeaderSize, kMaxData)) < 0)) {
        fprintf(stderr, "usage: sendmsg ADDRESS OBJECT-ID MESSAGE-ID [DATA-HEX]\n");
        return 2;
    }
    int32_t registration = VEKBaseStartup();
    if (registration < 1) {
        fprintf(stderr, "sendmsg: no server (%d)\n", (int)registration);
        return 1;
    }
    int32_t number = GetMessageNumber(registration);
    memcpy(datagram, "VEK", 3);
    putLe16(datagram + 3, objectId);
    putLe16(datagram + 5, messageId);
    putLe16(datagram + 7, (unsigned)number);

    _Message message;
    message.Address = ntohl(address.s_addr);
    message.Length = (uint32_t)(kHeaderSize + dataLength);
    message.Dataptr = datagram;
    message.next = NULL;
    int32_t result = SendVEKNetMessage(registration, &message);
    printf("result %d number 0x%04X\n", (int)result, (unsigned)number);
    VEKBaseCleanup(registration);
    return result == 1 ? 0 : 1;
}
