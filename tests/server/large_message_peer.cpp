// A client application for the two-PC test of the large-message transfer,
// using libhubclient as any application does.
//
//   large_message_peer receive LENGTH
//       registers a receiver, prints "ready", waits for one message of LENGTH
//       bytes and prints "received LENGTH intact" (or "damaged").
//   large_message_peer send ADDRESS LENGTH
//       sends a message of LENGTH bytes for object 5 to ADDRESS, prints
//       "sent RESULT", then watches the network until the peer acknowledged
//       the last packet and prints "done".
//
// The message is "VEK", object 5, message 0x0042, then bytes i % 251.
#include <arpa/inet.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "hubclient.h"

namespace {

constexpr std::chrono::seconds kPatience{60};
constexpr uint16_t kObject = 5;
constexpr uint16_t kMessage = 0x0042;

std::vector<uint8_t> theMessage(size_t length) {
    std::vector<uint8_t> m(length);
    const uint8_t header[9] = {'V', 'E', 'K', kObject, 0, kMessage, 0, 0x01, 0x80};
    for (size_t i = 0; i < length; ++i) {
        m[i] = i < sizeof header ? header[i] : static_cast<uint8_t>(i % 251);
    }
    return m;
}

uint16_t le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

struct Inbox {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<uint8_t> message;  // the awaited message, once it came
    bool done = false;
};

Inbox gInbox;
size_t gLength = 0;

void onReceived(_Message* m, uint32_t) {
    std::lock_guard<std::mutex> lock(gInbox.mutex);
    if (m->Length == gLength && !gInbox.done) {
        gInbox.message.assign(m->Dataptr, m->Dataptr + m->Length);
        gInbox.done = true;
        gInbox.changed.notify_all();
    }
}

// The sending server got the reply to the last packet: reply to message 2
// of object 0 whose count of packets received equals the total.
void onMonitored(_Message* m, NetMonCBReason_t reason) {
    const uint8_t* d = m->Dataptr;
    if (reason != MessageReceived || m->Length < 16 || le16(d + 3) != 0 || le16(d + 5) != 0x8002 ||
        d[9] != 0 || le16(d + 12) != le16(d + 14)) {
        return;
    }
    std::lock_guard<std::mutex> lock(gInbox.mutex);
    gInbox.done = true;
    gInbox.changed.notify_all();
}

bool awaitDone() {
    std::unique_lock<std::mutex> lock(gInbox.mutex);
    return gInbox.changed.wait_for(lock, kPatience, [] { return gInbox.done; });
}

int receive(int32_t registration) {
    if (RegisterReceiveCallback_CB(registration, onReceived, 0) < 1) {
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    if (!awaitDone()) {
        std::printf("nothing received\n");
        return 1;
    }
    bool intact = gInbox.message == theMessage(gLength);
    std::printf("received %zu %s\n", gInbox.message.size(), intact ? "intact" : "damaged");
    return intact ? 0 : 1;
}

int send(int32_t registration, const char* address) {
    in_addr to{};
    if (::inet_pton(AF_INET, address, &to) != 1 ||
        RegisterNetMonCallback_CB(registration, onMonitored) < 1) {
        return 1;
    }
    std::vector<uint8_t> bytes = theMessage(gLength);
    _Message m{ntohl(to.s_addr), static_cast<uint32_t>(bytes.size()), bytes.data(), nullptr};
    std::printf("sent %d\n", static_cast<int>(SendVEKNetMessage(registration, &m)));
    std::fflush(stdout);
    bool done = awaitDone();
    std::printf("%s\n", done ? "done" : "no acknowledgement of the last packet");
    return done ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "";
    bool sending = mode == "send" && argc == 4;
    if (!sending && !(mode == "receive" && argc == 3)) {
        std::fprintf(stderr, "usage: large_message_peer receive LENGTH | send ADDRESS LENGTH\n");
        return 2;
    }
    gLength = std::strtoul(argv[argc - 1], nullptr, 10);
    int32_t registration = VEKBaseStartup();
    if (registration < 1) {
        std::printf("no server (%d)\n", static_cast<int>(registration));
        return 1;
    }
    int status = sending ? send(registration, argv[2]) : receive(registration);
    VEKBaseCleanup(registration);
    return status;
}
