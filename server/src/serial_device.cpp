#include "serial_device.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace hub {
namespace {

int openExclusive(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    // Another process of this system holding the device keeps its lock.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    ::ioctl(fd, TIOCEXCL);
    return fd;
}

bool deviceVanished(int error) {
    return error == EIO || error == ENXIO || error == ENODEV || error == EBADF;
}

}  // namespace

SerialDevice::SerialDevice(std::string path, int fd, int wakeFd)
    : path_(std::move(path)), fd_(fd), wakeFd_(wakeFd) {}

SerialDevice::~SerialDevice() {
    close();
    if (reader_.joinable()) {
        reader_.detach();
    }
    if (wakeFd_ >= 0) {
        ::close(wakeFd_);
    }
}

std::shared_ptr<SerialDevice> SerialDevice::open(const std::string& path,
                                                 const LineSettings& settings) {
    int fd = openExclusive(path);
    if (fd < 0) {
        return nullptr;
    }
    int wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd < 0 || !applyLineSettings(fd, settings)) {
        if (wakeFd >= 0) {
            ::close(wakeFd);
        }
        ::close(fd);
        return nullptr;
    }
    return std::shared_ptr<SerialDevice>(new SerialDevice(path, fd, wakeFd));
}

bool SerialDevice::startReader(BlockHandler handler) {
    try {
        reader_ = std::thread([self = shared_from_this(), handler = std::move(handler)] {
            self->readerMain(handler);
        });
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

void SerialDevice::readerMain(BlockHandler handler) {
    while (!stopping_.load()) {
        pollfd waits[2] = {{fd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        int ready = ::poll(waits, 2, -1);
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        if (stopping_.load() || (waits[1].revents & POLLIN) != 0) {
            break;
        }
        if ((waits[0].revents & POLLIN) != 0 && !readBlocks(handler)) {
            gone_.store(true);
            break;
        }
        if ((waits[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0 &&
            (waits[0].revents & POLLIN) == 0) {
            gone_.store(true);
            break;
        }
    }
}

bool SerialDevice::readBlocks(const BlockHandler& handler) {
    std::vector<uint8_t> block(kSerialBlockSize);
    while (!stopping_.load()) {
        ssize_t n = ::read(fd_, block.data(), block.size());
        if (n > 0) {
            handler(std::span<const uint8_t>(block.data(), static_cast<size_t>(n)));
            continue;
        }
        if (n == 0 || errno == EAGAIN || errno == EINTR) {
            return true;
        }
        return !deviceVanished(errno);  // other errors count as an empty block
    }
    return true;
}

size_t SerialDevice::write(std::span<const uint8_t> bytes, std::chrono::milliseconds bound) {
    if (gone_.load() || fd_ < 0) {
        return 0;
    }
    auto deadline = std::chrono::steady_clock::now() + bound;
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN) {
            return 0;  // a device error: nothing is reported as written
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            break;  // held by XOFF or not draining: report what went out
        }
        pollfd room{fd_, POLLOUT, 0};
        ::poll(&room, 1, static_cast<int>(left.count()));
        if ((room.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            return 0;
        }
    }
    return done;
}

void SerialDevice::close() {
    stopping_.store(true);
    if (reader_.joinable()) {
        if (reader_.get_id() == std::this_thread::get_id()) {
            reader_.detach();
        } else {
            uint64_t one = 1;
            [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof one);
            reader_.join();
        }
    }
    if (fd_ >= 0) {
        // The exclusive mode outlives the descriptor on some terminals (a
        // pseudo-terminal whose other side stays open): clear it, so the
        // device opens again.
        ::ioctl(fd_, TIOCNXCL);
        ::close(fd_);
        fd_ = -1;
    }
}

}  // namespace hub
