#include "debuglog.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "append_file.h"
#include "config.h"
#include "wire/hexdump.h"

namespace {

constexpr const char* kTruncationNotice =
    "Maximum Debug File Length of 512 KB Exceded, Truncating to 0 KB\n\n";

struct DebugLog {
    std::mutex lock;
    bool available = false;  // false before the start and after the stop
    std::string fileName;
    uint64_t length = 0;  // bytes written since the file was last emptied
    hub::Clock clock;
};

DebugLog& debugLog() {
    static DebugLog log;
    return log;
}

uint64_t fileSize(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

// Caller holds the lock.
void appendCounted(DebugLog& log, std::string_view text) {
    log.length += hub::appendToFile(log.fileName, text);
}

// Caller holds the lock.
void truncateWhenOverLimit(DebugLog& log) {
    if (log.length <= kDebugFileLimit) {
        return;
    }
    unlink(log.fileName.c_str());
    hub::appendToFile(log.fileName, kTruncationNotice);
    log.length = 0;
}

// Formats into at most `size` bytes (terminator included); returns the
// length actually kept.
size_t formatBounded(char* buffer, size_t size, const char* format, va_list args) {
    if (size == 0) {
        return 0;
    }
    int n = std::vsnprintf(buffer, size, format, args);
    if (n < 0) {
        buffer[0] = '\0';
        return 0;
    }
    return std::min(static_cast<size_t>(n), size - 1);
}

// Caller holds the lock.
void writeEntry(DebugLog& log, bool timeStamp, const char* format, va_list args) {
    truncateWhenOverLimit(log);
    char buffer[kDebugEntryMax];
    size_t used = 0;
    if (timeStamp) {
        std::string stamp = hub::formatTimeStamp(log.clock ? log.clock() : hub::localTimeNow());
        used = std::min(stamp.size(), sizeof buffer - 1);
        std::memcpy(buffer, stamp.data(), used);
    }
    used += formatBounded(buffer + used, sizeof buffer - used, format, args);
    appendCounted(log, std::string_view(buffer, used));
}

void entry(DebugLog& log, bool timeStamp, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

void entry(DebugLog& log, bool timeStamp, const char* format, ...) {
    va_list args;
    va_start(args, format);
    writeEntry(log, timeStamp, format, args);
    va_end(args);
}

}  // namespace

void SetDebugClock(hub::Clock clock) {
    DebugLog& log = debugLog();
    std::lock_guard<std::mutex> guard(log.lock);
    log.clock = std::move(clock);
}

int32_t InitDebugInterface(const std::string& fileName) {
    DebugLog& log = debugLog();
    std::lock_guard<std::mutex> guard(log.lock);
    log.fileName = fileName;
    log.length = fileSize(fileName);
    log.available = true;
    if (log.length > 0) {
        entry(log, false, "\n");
    }
    entry(log, true, "** HUBSERVER (EXE) Starting....\n");
    entry(log, false, "   ** HUBSERVER (EXE) Started... (Debug).\n");
    return 1;
}

int32_t InitDebugInterface() {
    return InitDebugInterface(hub::readServerConfig().debugFile);
}

void RemoveDebugInterface() {
    DebugLog& log = debugLog();
    std::lock_guard<std::mutex> guard(log.lock);
    if (log.fileName.empty()) {
        return;
    }
    hub::appendToFile(log.fileName, "   ** HUBSERVER (EXE) Shutting Down... (Debug).\n");
    log.available = false;
    hub::appendToFile(log.fileName, "** HUBSERVER (EXE) Exiting...\n");
}

void _Debug_Internal(int32_t timeStamp, const char* format, ...) {
    DebugLog& log = debugLog();
    std::lock_guard<std::mutex> guard(log.lock);
    if (!log.available) {
        return;
    }
    va_list args;
    va_start(args, format);
    writeEntry(log, timeStamp != 0, format, args);
    va_end(args);
}

void _DumpData_Internal(uint32_t length, const void* data) {
    if (data == nullptr && length > 0) {
        return;
    }
    DebugLog& log = debugLog();
    std::lock_guard<std::mutex> guard(log.lock);
    if (!log.available) {
        return;
    }
    std::span<const uint8_t> bytes(static_cast<const uint8_t*>(data), length);
    wire::streamHexDump(bytes, kDumpFlushAt,
                        [&log](std::string_view piece) { appendCounted(log, piece); });
}

void _Debug(const char* fileName, const char* format, ...) {
    if (fileName == nullptr) {
        return;
    }
    char buffer[kDebugEntryMax];
    va_list args;
    va_start(args, format);
    size_t used = formatBounded(buffer, sizeof buffer, format, args);
    va_end(args);
    hub::appendToFile(fileName, std::string_view(buffer, used));
}

int32_t WriteInternalDebugFile(std::span<const uint8_t> clientText) {
    DebugLog& log = debugLog();
    std::lock_guard<std::mutex> guard(log.lock);
    if (!log.available) {
        return 1;
    }
    truncateWhenOverLimit(log);
    size_t length = 0;
    while (length < clientText.size() && clientText[length] != 0) {
        ++length;
    }
    appendCounted(log, std::string_view(reinterpret_cast<const char*>(clientText.data()), length));
    return 1;
}

std::string GetDebugFile() {
    DebugLog& log = debugLog();
    std::lock_guard<std::mutex> guard(log.lock);
    return log.fileName;
}
