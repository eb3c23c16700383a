#include "platform/payload.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace plat {

// Either bytes held in memory, or a mapped memfd section. Sections are sealed
// against shrinking and growing, so a mapping can never lose its backing
// pages (which would fault on access) whatever the other process does.
struct Payload::Impl {
    std::vector<uint8_t> bytes;
    int fd = -1;
    uint8_t* map = nullptr;
    size_t mapSize = 0;
    bool writable = true;

    ~Impl() {
        if (map != nullptr) {
            ::munmap(map, mapSize);
        }
        if (fd >= 0) {
            ::close(fd);
        }
    }
};

namespace {

constexpr unsigned kRequiredSeals = F_SEAL_SHRINK | F_SEAL_GROW;

}  // namespace

Payload Payload::copyOf(const void* data, size_t size) {
    if (size == 0 || data == nullptr) {
        return {};
    }
    const auto* p = static_cast<const uint8_t*>(data);
    return fromBytes(std::vector<uint8_t>(p, p + size));
}

Payload Payload::fromBytes(std::vector<uint8_t> bytes) {
    Payload out;
    if (bytes.empty()) {
        return out;
    }
    out.impl_ = std::make_shared<Impl>();
    out.impl_->bytes = std::move(bytes);
    return out;
}

Payload Payload::section(size_t size) {
    Payload out;
    if (size == 0) {
        return out;
    }
    int fd = ::memfd_create("vek-section", MFD_CLOEXEC | MFD_ALLOW_SEALING);
    if (fd < 0) {
        return out;
    }
    auto impl = std::make_shared<Impl>();
    impl->fd = fd;
    if (::ftruncate(fd, static_cast<off_t>(size)) != 0 ||
        ::fcntl(fd, F_ADD_SEALS, kRequiredSeals) != 0) {
        return out;
    }
    void* m = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (m == MAP_FAILED) {
        return out;
    }
    impl->map = static_cast<uint8_t*>(m);
    impl->mapSize = size;
    out.impl_ = std::move(impl);
    return out;
}

Payload Payload::adoptSectionFd(int fd) {
    Payload out;
    if (fd < 0) {
        return out;
    }
    auto impl = std::make_shared<Impl>();
    impl->fd = fd;
    impl->writable = false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) {
        return out;
    }
    // Only a section that can no longer shrink is safe to map.
    int seals = ::fcntl(fd, F_GET_SEALS);
    if (seals < 0 || (static_cast<unsigned>(seals) & F_SEAL_SHRINK) == 0) {
        return out;
    }
    size_t size = static_cast<size_t>(st.st_size);
    void* m = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
    if (m == MAP_FAILED) {
        return out;
    }
    impl->map = static_cast<uint8_t*>(m);
    impl->mapSize = size;
    out.impl_ = std::move(impl);
    return out;
}

size_t Payload::size() const {
    if (!impl_) {
        return 0;
    }
    return impl_->map != nullptr ? impl_->mapSize : impl_->bytes.size();
}

const uint8_t* Payload::data() const {
    if (!impl_) {
        return nullptr;
    }
    return impl_->map != nullptr ? impl_->map : impl_->bytes.data();
}

uint8_t* Payload::mutableData() {
    if (!impl_ || !impl_->writable) {
        return nullptr;
    }
    return impl_->map != nullptr ? impl_->map : impl_->bytes.data();
}

bool Payload::isSection() const {
    return impl_ && impl_->fd >= 0;
}

int Payload::sectionFd() const {
    return impl_ ? impl_->fd : -1;
}

}  // namespace plat
