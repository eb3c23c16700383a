// A pseudo-terminal standing in for a serial device: the code under test
// opens the slave path (mapped as "COMn" in VEKMAIN.INI), the test plays
// the equipment on the master side. Closing the master is the test's way
// of pulling a USB adapter out.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

class PtyDevice {
  public:
    PtyDevice() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) {
            const char* name = ::ptsname(master_);
            slavePath_ = name != nullptr ? name : "";
        }
    }
    ~PtyDevice() { closeMaster(); }
    PtyDevice(const PtyDevice&) = delete;
    PtyDevice& operator=(const PtyDevice&) = delete;

    bool ok() const { return master_ >= 0 && !slavePath_.empty(); }
    const std::string& slavePath() const { return slavePath_; }
    // The master side; its termios calls read the line settings of the
    // slave the code under test configured.
    int masterFd() const { return master_; }

    // What the equipment sends.
    bool send(const std::vector<uint8_t>& bytes) {
        return ::write(master_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }
    bool send(const std::string& text) {
        return send(std::vector<uint8_t>(text.begin(), text.end()));
    }

    // What the equipment received: reads until `count` bytes arrived or the
    // time-out passed.
    std::string receive(size_t count,
                        std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        std::string out;
        auto deadline = std::chrono::steady_clock::now() + timeout;
        while (out.size() < count) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{master_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0 ||
                (p.revents & POLLIN) == 0) {
                break;
            }
            char buffer[4096];
            ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            out.append(buffer, static_cast<size_t>(n));
        }
        return out;
    }

    // True once nobody holds the slave side open (the device was closed).
    bool waitUntilClosedBySlave(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        auto deadline = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < deadline) {
            pollfd p{master_, 0, 0};
            if (::poll(&p, 1, 20) == 1 && (p.revents & POLLHUP) != 0) {
                return true;
            }
        }
        return false;
    }

    void closeMaster() {
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }

  private:
    int master_ = -1;
    std::string slavePath_;
};

}  // namespace testing_support
