// busprobe's message file reader (*.MSG, INI text) on arbitrary file text: it
// never reads past what it was given, keeps at most 50 fields and never more
// data than a message carries, and a file it accepts whole is written back
// and read again as the same message.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "fuzz_touch.h"
#include "message_file.h"

namespace {

std::string scratch(const char* name) {
    static std::string dir = [] {
        char pattern[] = "/dev/shm/vek-fuzz-msg-XXXXXX";
        return std::string(::mkdtemp(pattern) != nullptr ? pattern : "/tmp");
    }();
    return dir + "/" + name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string path = scratch("FUZZ.MSG");
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    busprobe::MessageFileRead read = busprobe::readMessageFile(path);
    if (!read.error.empty()) {
        fuzz::require(read.message.fields.empty());
        return 0;
    }
    fuzz::require(read.message.fields.size() <= static_cast<size_t>(busprobe::kMaxFields));
    std::vector<uint8_t> bytes = busprobe::messageData(read.message);
    fuzz::require(bytes.size() <= busprobe::kMaxMessageData);
    fuzz::touch(bytes);
    if (read.badFields.empty()) {
        std::string copy = scratch("COPY.MSG");
        fuzz::require(busprobe::writeMessageFile(copy, read.message));
        busprobe::MessageFileRead again = busprobe::readMessageFile(copy);
        fuzz::require(again.error.empty() && again.badFields.empty());
        fuzz::require(again.message.objectId == read.message.objectId &&
                      again.message.messageId == read.message.messageId);
        fuzz::require(busprobe::messageData(again.message) == bytes);
    }
    return 0;
}
