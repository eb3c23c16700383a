// Device files: the text form of a device's contents (docs/tarnsim-device-files.md
// describes it). Loading checks every line and reports the first error with
// its line number; saving writes a file that loads back to the same contents.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "device_model.h"

namespace tarnsim {

class DeviceFileError : public std::runtime_error {
  public:
    // "FILE:LINE: message", "line LINE: message" without a file name, and
    // "FILE: message" for line 0 (the file as a whole).
    DeviceFileError(size_t line, const std::string& message, const std::string& file = {})
        : std::runtime_error(compose(line, message, file)), line_(line), message_(message) {}
    size_t line() const { return line_; }
    const std::string& message() const { return message_; }

  private:
    static std::string compose(size_t line, const std::string& message, const std::string& file) {
        if (file.empty())
            return "line " + std::to_string(line) + ": " + message;
        if (line == 0)
            return file + ": " + message;
        return file + ":" + std::to_string(line) + ": " + message;
    }
    size_t line_;
    std::string message_;
};

// Parses the text of a device file. Throws DeviceFileError.
DeviceContents parseDeviceFile(std::string_view text);

// Reads and parses a file. Throws DeviceFileError (line 0 when the file
// cannot be read), with the file name in front of the message.
DeviceContents loadDeviceFile(const std::string& path);

// The text of a device file for `contents`.
std::string formatDeviceFile(const DeviceContents& contents);

// Writes the file (through a temporary file renamed into place). Throws
// std::runtime_error when it cannot be written.
void saveDeviceFile(const DeviceContents& contents, const std::string& path);

// Writes `text` to `path` through a temporary file renamed into place.
// Throws std::runtime_error when it cannot be written.
void writeFileReplacing(const std::string& path, const std::string& text);

// The default device shipped with the program.
DeviceContents defaultDevice();
std::string_view defaultDeviceText();

}  // namespace tarnsim
