/*
 * objping: sends a request to an object on a device and prints its response.
 *
 *   objping ADDRESS OBJECT-ID MESSAGE-ID [TIMEOUT-MS [DATA-HEX]]
 *
 * ADDRESS is dotted IPv4, the IDs are decimal or 0x-prefixed hexadecimal,
 * TIMEOUT-MS defaults to 1000, DATA-HEX gives the data bytes as hexadecimal
 * digit pairs (blanks allowed). Prints the response's data in hexadecimal, or
 * "Time Out" when the device did not answer in time.
 */
#include <arpa/inet.h>
#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "example_options.h"
#include "objlink.h"

static const char kHelp[] =
    "usage: objping ADDRESS OBJECT-ID MESSAGE-ID [TIMEOUT-MS [DATA-HEX]]\n"
    "Sends a request to an object on a device through libobjlink and prints the\n"
    "response's data in hexadecimal, or \"Time Out\" when the device did not\n"
    "answer in time.\n"
    "\n"
    "  ADDRESS      the device, dotted IPv4 (for example 127.0.0.2)\n"
    "  OBJECT-ID    0 to 65535, decimal or 0x-prefixed hexadecimal\n"
    "  MESSAGE-ID   0 to 32767, decimal or 0x-prefixed hexadecimal\n"
    "  TIMEOUT-MS   1 to 600000, default 1000\n"
    "  DATA-HEX     data bytes as hexadecimal digit pairs, blanks allowed\n"
    "\n" VEK_EXAMPLE_OPTIONS_HELP "\n" VEK_EXAMPLE_ENVIRONMENT_HELP
    "\n"
    "Exit status: 0 when the request went out (a response or \"Time Out\" is\n"
    "printed), 1 when it could not be sent, 2 for a wrong command line.\n";

enum { kMaxData = 1471, kMaxResponse = 4096 };

static int parseNumber(const char* text, unsigned long limit, unsigned long* out) {
    char* end = NULL;
    unsigned long value = strtoul(text, &end, 0);
    if (end == text || *end != '\0' || value > limit) {
        return -1;
    }
    *out = value;
    return 0;
}

static int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = (char)tolower((unsigned char)c);
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

/* Hexadecimal digit pairs into `out` (at most `capacity` bytes); the count,
 * or -1 for bad text. */
static int parseHex(const char* text, uint8_t* out, int capacity) {
    int count = 0;
    int high = -1;
    for (; *text != '\0'; ++text) {
        if (isspace((unsigned char)*text)) {
            continue;
        }
        int digit = hexDigit(*text);
        if (digit < 0) {
            return -1;
        }
        if (high < 0) {
            high = digit;
            continue;
        }
        if (count == capacity) {
            return -1;
        }
        out[count++] = (uint8_t)(high << 4 | digit);
        high = -1;
    }
    return high < 0 ? count : -1;
}

static void printResponse(const VEKMessageResponse_t* r) {
    if (r->Status == MessageResponseTimeOut) {
        printf("Time Out\n");
        return;
    }
    struct in_addr from = {htonl(r->Address.Address)};
    printf("Response from %s object 0x%04X message 0x%04X number 0x%04X: %u bytes%s\n",
           inet_ntoa(from), r->ObjectID, r->MessageID, r->MessageNumber, r->DataLength,
           r->Status == MessageResponseFailure ? " (truncated)" : "");
    unsigned shown = r->DataLength < r->MaxDataLength ? r->DataLength : r->MaxDataLength;
    for (unsigned i = 0; i < shown; ++i) {
        printf("%02X%s", r->DataPtr[i], i + 1 == shown || (i + 1) % 16 == 0 ? "\n" : " ");
    }
}

int main(int argc, char** argv) {
    int optionsStatus = handleExampleOptions(argc, argv, "objping", kHelp);
    if (optionsStatus >= 0) {
        return optionsStatus;
    }
    struct in_addr address;
    unsigned long object = 0;
    unsigned long id = 0;
    unsigned long timeout = 1000;
    static uint8_t data[kMaxData];
    static uint8_t answer[kMaxResponse];
    int length = 0;
    if (argc < 4 || argc > 6 || inet_pton(AF_INET, argv[1], &address) != 1 ||
        parseNumber(argv[2], 0xFFFF, &object) != 0 || parseNumber(argv[3], 0x7FFF, &id) != 0 ||
        (argc > 4 && (parseNumber(argv[4], 600000, &timeout) != 0 || timeout == 0)) ||
        (argc > 5 && (length = parseHex(argv[5], data, kMaxData)) < 0)) {
        fprintf(stderr, "usage: objping ADDRESS OBJECT-ID MESSAGE-ID [TIMEOUT-MS [DATA-HEX]]\n");
        return 2;
    }
    int32_t registration = VEKNetStartup();
    if (registration < 1) {
        fprintf(stderr, "objping: no connection to hubserver (%d)\n", registration);
        return 1;
    }
    VEKMessage_t request;
    memset(&request, 0, sizeof request);
    request.ObjectID = (uint16_t)object;
    request.MessageID = (uint16_t)id;
    request.DataLength = (uint16_t)length;
    request.DataPtr = length > 0 ? data : NULL;
    request.Address.AddressType = FullAddress;
    request.Address.Address = ntohl(address.s_addr);
    VEKMessageResponse_t response;
    memset(&response, 0, sizeof response);
    response.DataPtr = answer;
    response.MaxDataLength = sizeof answer;
    int32_t result = SendVEKMessage(registration, (uint32_t)timeout, &request, &response);
    if (result < 0) {
        fprintf(stderr, "objping: not sent (%d)\n", result);
    } else {
        printResponse(&response);
    }
    VEKNetCleanup(registration);
    return result < 0 ? 1 : 0;
}
