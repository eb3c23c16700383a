// A client process for the IPC tests: registers with the running hubserver,
// adds one receive registration and prints "<client ID> <NetID>" on stdout.
// Then it reads nothing from the server until a line arrives on stdin; on
// each line it takes its messages for one second and prints how many 1624
// messages with a sent message (Parameter 0) it has received in total. The tests kill it or let it
// lag.
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "test_client.h"
#include "wire/datagram.h"
#include "wire/ipc.h"

int main() {
    testing_support::TestClient client;
    int64_t clientID = client.registerWin32();
    int64_t netID = clientID > 0 ? client.subscribe(static_cast<int32_t>(clientID)) : 0;
    std::cout << clientID << ' ' << netID << std::endl;
    size_t received = 0;
    std::string line;
    while (std::getline(std::cin, line)) {
        for (const auto& m : client.collectFor(std::chrono::seconds(1))) {
            bool sent = m.payload.size() >= 12 && wire::readLe32(m.payload.data() + 8) == 0;
            received += m.msg == wire::kMsgNetData && sent ? 1 : 0;
        }
        std::cout << received << std::endl;
    }
    return 0;
}
