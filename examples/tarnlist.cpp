// tarnlist: lists the objects of a Tarn device through libobjlink, with the
// request and reply encoders of the objscope core.
//
//   tarnlist ADDRESS [DEVICE-NUMBER [TIMEOUT-MS]]
//
// Asks page after page (TarnGetAllObjsPlus) until the device says the list is
// complete, then prints one line per object: handle, class ID, class name
// from the catalogue and the object's name.
#include <arpa/inet.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "model/class_catalogue.h"
#include "protocol/tarn_replies.h"
#include "protocol/tarn_requests.h"
#include "protocol/tarn_status.h"
#include "example_options.h"
#include "objlink.h"

namespace {

constexpr const char kHelp[] =
    "usage: tarnlist ADDRESS [DEVICE-NUMBER [TIMEOUT-MS]]\n"
    "Lists the objects of a Tarn device through libobjlink, page after page,\n"
    "one line per object: handle, class ID, class name and name.\n"
    "\n"
    "  ADDRESS        the device, dotted IPv4 (for example 127.0.0.2, tarnsim)\n"
    "  DEVICE-NUMBER  0 to 65535, default 1\n"
    "  TIMEOUT-MS     1 to 600000 per page, default 2000\n"
    "\n" VEK_EXAMPLE_OPTIONS_HELP "\n" VEK_EXAMPLE_ENVIRONMENT_HELP
    "\n"
    "Exit status: 0 for a complete list, 1 when the device or the server fails,\n"
    "2 for a wrong command line.\n";

constexpr int kMaxPages = 256;                     // a device that never finishes cannot hold us
constexpr objscope::TarnRequester kMe{0, 0x8001};  // network 0, machine 0

bool parseNumber(const char* text, unsigned long limit, unsigned long& out) {
    char* end = nullptr;
    unsigned long value = std::strtoul(text, &end, 0);
    if (end == text || *end != '\0' || value > limit)
        return false;
    out = value;
    return true;
}

// One synchronous exchange; the reply's data, or nothing after a time-out.
bool exchange(int32_t registration, uint32_t address, uint32_t timeoutMs,
              objscope::TarnRequest& request, std::vector<uint8_t>& reply) {
    VEKMessage_t message{};
    message.ObjectID = objscope::kTarnObjectId;
    message.MessageID = request.messageId;
    message.DataLength = static_cast<uint16_t>(request.data.size());
    message.DataPtr = request.data.data();
    message.Address.AddressType = FullAddress;
    message.Address.Address = address;
    reply.assign(4096, 0);
    VEKMessageResponse_t response{};
    response.DataPtr = reply.data();
    response.MaxDataLength = static_cast<uint16_t>(reply.size());
    int32_t sent = SendVEKMessage(registration, timeoutMs, &message, &response);
    if (sent < 0) {
        std::fprintf(stderr, "tarnlist: not sent (%d)\n", sent);
        return false;
    }
    if (response.Status != MessageResponseSuccess) {
        std::fprintf(stderr, "tarnlist: %s\n",
                     response.Status == MessageResponseTimeOut ? "Time Out" : "reply too long");
        return false;
    }
    reply.resize(response.DataLength);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int optionsStatus = handleExampleOptions(argc, argv, "tarnlist", kHelp);
    if (optionsStatus >= 0) {
        return optionsStatus;
    }
    in_addr address{};
    unsigned long device = 1;
    unsigned long timeout = 2000;
    if (argc < 2 || argc > 4 || inet_pton(AF_INET, argv[1], &address) != 1 ||
        (argc > 2 && !parseNumber(argv[2], 0xFFFF, device)) ||
        (argc > 3 && (!parseNumber(argv[3], 600000, timeout) || timeout == 0))) {
        std::fprintf(stderr, "usage: tarnlist ADDRESS [DEVICE-NUMBER [TIMEOUT-MS]]\n");
        return 2;
    }
    int32_t registration = VEKNetStartup();
    if (registration < 1) {
        std::fprintf(stderr, "tarnlist: no connection to hubserver (%d)\n", registration);
        return 1;
    }
    std::vector<objscope::ObjectEntry> objects;
    uint16_t start = 0;
    bool complete = false;
    for (int page = 0; page < kMaxPages && !complete; ++page) {
        auto request = objscope::buildGetAllObjsPlus(kMe, 0, static_cast<uint16_t>(device), start);
        std::vector<uint8_t> reply;
        if (!exchange(registration, ntohl(address.s_addr), static_cast<uint32_t>(timeout), request,
                      reply))
            break;
        int32_t status = objscope::replyStatusValue(reply);
        if (status != 0 && status != objscope::kStatusPartialResponse) {
            std::fprintf(stderr, "tarnlist: %s\n", objscope::StatusText(status).c_str());
            break;
        }
        auto listing = objscope::decodeObjectPlusListing(reply);
        objects.insert(objects.end(), listing.entries.begin(), listing.entries.end());
        auto next = objscope::nextPageStart(start, listing.entries.size());
        complete = !listing.partial || !next;
        if (next)
            start = *next;
    }
    VEKNetCleanup(registration);
    if (!complete)
        return 1;
    std::printf("Objects of device %lu at %s:\n", device, argv[1]);
    std::printf("  %6s  %5s  %-26s  %s\n", "Handle", "Class", "Class name", "Name");
    for (const auto& object : objects) {
        std::printf("  %6u  %5u  %-26s  %s\n", object.objectHandle, object.classId,
                    objscope::LookupClass(object.classId).displayName, object.name.c_str());
    }
    std::printf("%zu objects\n", objects.size());
    return 0;
}
