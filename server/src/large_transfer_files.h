// Where received file transfers are written. A name that comes from the
// network is never used as a path as it stands: only a plain file name is
// accepted, and the file goes into one receive folder (the state folder +
// "/received").
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace hub {

// Longest name a start message may carry (the length must be below 256).
constexpr size_t kMaxTransferNameLength = 255;

// A plain file name: not empty, at most 255 bytes, no '/', '\\' or zero
// byte, not "." or "..".
bool isPlainFileName(std::string_view name);

// The path of the received file in the receive folder (created when
// missing), or nullopt when the name is not plain or there is no folder.
std::optional<std::string> receivedFilePath(std::string_view name);

// Appends to the file (created when missing; a symbolic link is not
// followed). False when it cannot be opened or not every byte was written.
bool appendToReceivedFile(const std::string& path, std::span<const uint8_t> bytes);

void removeReceivedFile(const std::string& path);

// The most the receive folder may hold: bytes of all its files and their
// number. Set when the transfers start.
struct ReceiveFolderLimits {
    uint64_t maxBytes = 64 * 1024 * 1024;
    uint64_t maxFiles = 64;
};
void setReceiveFolderLimits(ReceiveFolderLimits limits);

// True when a file of `incoming` bytes at `path` fits beside what the folder
// holds (the file it replaces not counted) and what transfers still running
// will write (`pendingBytes` in `pendingFiles` files).
bool receiveFolderHasRoom(const std::string& path, uint64_t incoming, uint64_t pendingBytes,
                          uint64_t pendingFiles);

}  // namespace hub
