// _Debug and DumpData: formatted text and hex dumps appended to a file the
// caller names, serialized by the process's own lock.
#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <span>
#include <string_view>

#include "hubclient.h"
#include "static_instance.h"
#include "wire/hexdump.h"

namespace {

constexpr size_t kDebugTextMax = 4096;
constexpr size_t kDumpFlushPoint = 3968;

// Serializes this process's writes to caller-named files.
struct FileLock {
    std::mutex mutex;
};

std::mutex& fileLock() {
    return hubclient::staticInstance<FileLock>().mutex;
}

// Appends to the named file, opened for each call; a file that cannot be
// opened is skipped silently.
class AppendFile {
  public:
    explicit AppendFile(const char* name)
        : file_(name != nullptr ? std::fopen(name, "ab") : nullptr) {}
    ~AppendFile() {
        if (file_ != nullptr) {
            std::fclose(file_);
        }
    }
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    void write(std::string_view text) {
        std::fwrite(text.data(), 1, text.size(), file_);
        std::fflush(file_);
    }

  private:
    std::FILE* file_;
};

}  // namespace

extern "C" void _Debug(const char* FileName, const char* Format, ...) {
    if (FileName == nullptr || Format == nullptr) {
        return;
    }
    char text[kDebugTextMax];
    va_list args;
    va_start(args, Format);
    int n = std::vsnprintf(text, sizeof text, Format, args);
    va_end(args);
    if (n <= 0) {
        return;
    }
    size_t length = std::min(static_cast<size_t>(n), sizeof text - 1);
    std::lock_guard<std::mutex> lock(fileLock());
    AppendFile file(FileName);
    if (file.isOpen()) {
        file.write(std::string_view(text, length));
    }
}

extern "C" void DumpData(const char* FileName, uint32_t Length, const void* Data) {
    if (FileName == nullptr || (Data == nullptr && Length != 0)) {
        return;
    }
    std::lock_guard<std::mutex> lock(fileLock());
    AppendFile file(FileName);
    if (!file.isOpen()) {
        return;
    }
    std::span<const uint8_t> bytes(static_cast<const uint8_t*>(Data), Length);
    wire::streamHexDump(bytes, kDumpFlushPoint, [&](std::string_view text) { file.write(text); });
}
