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

}  // namespace hub
