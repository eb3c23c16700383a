// _Debug_Internal and DumpData_Internal: text and hex dumps for the server's
// debug log, handed over with request 1524 in an 8192-byte block.
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "hubclient.h"
#include "server_link.h"
#include "timestamp.h"
#include "wire/hexdump.h"
#include "wire/ipc.h"

using namespace hubclient;

namespace {

constexpr size_t kDumpFlushPoint = 8064;

// Sends text (cut to leave room for its terminator) to the server's log.
void sendToServerLog(std::string_view text) {
    std::vector<uint8_t> block(wire::kDebugTextSize, 0);
    size_t length = std::min(text.size(), wire::kDebugTextSize - 1);
    std::memcpy(block.data(), text.data(), length);
    request(wire::kReqDebugText, static_cast<uint64_t>(::getpid()), 0,
            plat::Payload::fromBytes(std::move(block)), kDebugTextTimeout);
}

}  // namespace

extern "C" void _Debug_Internal(int32_t TimeStampFlag, const char* Format, ...) {
    if (serverWindow() == plat::kNoWindow || Format == nullptr) {
        return;
    }
    std::string text = TimeStampFlag != 0 ? hub::formatTimeStamp(hub::localTimeNow()) : "";
    char message[wire::kDebugTextSize];
    va_list args;
    va_start(args, Format);
    int n = std::vsnprintf(message, sizeof message, Format, args);
    va_end(args);
    if (n > 0) {
        text.append(message, std::min(static_cast<size_t>(n), sizeof message - 1));
    }
    sendToServerLog(text);
}

extern "C" void DumpData_Internal(uint32_t Length, const void* Data) {
    if (serverWindow() == plat::kNoWindow || (Data == nullptr && Length != 0)) {
        return;
    }
    std::span<const uint8_t> bytes(static_cast<const uint8_t*>(Data), Length);
    wire::streamHexDump(bytes, kDumpFlushPoint, sendToServerLog);
}
