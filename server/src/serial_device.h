// One open serial device: its descriptor, opened exclusively for reading
// and writing, and its reader thread. The reader waits for input without
// spinning, reads it in blocks of at most 16384 bytes and hands each block
// to its handler. A device that disappears (an adapter pulled out, the
// master side of a pseudo-terminal closed) ends the reader; writes then
// report 0 bytes.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <thread>

#include "serial_line_settings.h"

namespace hub {

constexpr size_t kSerialBlockSize = 16384;

class SerialDevice : public std::enable_shared_from_this<SerialDevice> {
  public:
    using BlockHandler = std::function<void(std::span<const uint8_t> block)>;

    // Opens and configures the device at `path`; nullptr when it cannot be
    // opened, is held by another process, or refuses the settings.
    static std::shared_ptr<SerialDevice> open(const std::string& path,
                                              const LineSettings& settings);

    ~SerialDevice();
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    const std::string& path() const { return path_; }

    // Starts the reader thread; `handler` runs on it for every block. The
    // thread keeps the device alive until it ends.
    bool startReader(BlockHandler handler);

    // Writes the bytes, waiting for room at most `bound` in total. The bytes
    // written (fewer when the bound passed); 0 after a device error or when
    // the device is gone.
    size_t write(std::span<const uint8_t> bytes, std::chrono::milliseconds bound);

    // Ends the reader and closes the device. On the reader thread itself
    // (from its handler) the thread is left to end by itself.
    void close();

    bool gone() const { return gone_.load(); }

  private:
    SerialDevice(std::string path, int fd, int wakeFd);
    void readerMain(BlockHandler handler);
    // Reads until nothing is queued; false when the device is gone.
    bool readBlocks(const BlockHandler& handler);

    std::string path_;
    int fd_ = -1;
    int wakeFd_ = -1;  // eventfd that ends the reader's wait
    std::thread reader_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> gone_{false};
};

}  // namespace hub
