// The server's debug log: one text file shared by the server and, through
// it, every client application. Each piece of text is appended with an
// open-append-close cycle. A lock serializes every write (dumps included, so
// they never interleave with other text). Once more than 512 KB were written
// since the file was last emptied, the next entry empties it first and leaves
// a notice at its top. A file that cannot be opened is skipped silently.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "timestamp.h"

constexpr uint64_t kDebugFileLimit = 524288;  // bytes before the next entry truncates
constexpr size_t kDebugEntryMax = 4096;       // a formatted entry is cut to fit this buffer
constexpr size_t kDumpFlushAt = 3968;         // a dump is appended in pieces of this size

// Replaces the clock of the time stamps (tests); an empty function restores
// the local time.
void SetDebugClock(hub::Clock clock);

// Starts the log on `fileName`: measures the file and writes the start lines
// ("\n" first when the file already holds text). Returns 1.
int32_t InitDebugInterface(const std::string& fileName);

// As above, with the "DebugFile" setting of VEKMAIN.INI.
int32_t InitDebugInterface();

// Writes the last lines and ends the log: later writes are dropped.
void RemoveDebugInterface();

// A formatted entry, preceded by a time-stamp line when `timeStamp` is
// non-zero. Text beyond the 4096-byte entry buffer is cut off.
void _Debug_Internal(int32_t timeStamp, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// A hex dump of `length` bytes into the log (no time stamp).
void _DumpData_Internal(uint32_t length, const void* data);

// Formats (at most 4096 bytes) and appends to any file, without the lock and
// without counting towards the log size.
void _Debug(const char* fileName, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Appends the text a client sent: the bytes up to the first zero byte, or all
// of them when there is none. Always returns 1.
int32_t WriteInternalDebugFile(std::span<const uint8_t> clientText);

// The path of the log.
std::string GetDebugFile();
