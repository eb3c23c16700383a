#include "endpoint.h"

#include <errno.h>
#include <poll.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstring>

namespace plat::detail {
namespace {

constexpr int kSocketBuffer = 4 * 1024 * 1024;  // capped by the kernel's maximum
constexpr int kMaxFdsPerDatagram = 4;

SendStatus statusOf(int err) {
    switch (err) {
        case ENOENT:
        case ECONNREFUSED:
        case ENOTDIR:
            return SendStatus::Gone;
        case EAGAIN:
        case ENOBUFS:
            return SendStatus::Full;
        default:
            return SendStatus::Failed;
    }
}

void closeReceivedFds(msghdr& mh) {
    for (cmsghdr* c = CMSG_FIRSTHDR(&mh); c != nullptr; c = CMSG_NXTHDR(&mh, c)) {
        if (c->cmsg_level == SOL_SOCKET && c->cmsg_type == SCM_RIGHTS) {
            size_t n = (c->cmsg_len - CMSG_LEN(0)) / sizeof(int);
            for (size_t i = 0; i < n; ++i) {
                int fd;
                std::memcpy(&fd, CMSG_DATA(c) + i * sizeof(int), sizeof(int));
                ::close(fd);
            }
        }
    }
}

// Collects credentials and descriptors from the control data. False when the
// credentials are missing or belong to another user, or more than one
// descriptor came along.
bool takeControlData(msghdr& mh, IncomingDatagram& out) {
    bool haveCreds = false;
    int fdCount = 0;
    for (cmsghdr* c = CMSG_FIRSTHDR(&mh); c != nullptr; c = CMSG_NXTHDR(&mh, c)) {
        if (c->cmsg_level != SOL_SOCKET) {
            continue;
        }
        if (c->cmsg_type == SCM_CREDENTIALS && c->cmsg_len >= CMSG_LEN(sizeof(ucred))) {
            ucred cred;
            std::memcpy(&cred, CMSG_DATA(c), sizeof(cred));
            haveCreds = cred.uid == ::getuid();
            out.senderPid = cred.pid;
        } else if (c->cmsg_type == SCM_RIGHTS) {
            size_t n = (c->cmsg_len - CMSG_LEN(0)) / sizeof(int);
            for (size_t i = 0; i < n; ++i) {
                int fd;
                std::memcpy(&fd, CMSG_DATA(c) + i * sizeof(int), sizeof(int));
                if (fdCount++ == 0) {
                    out.sectionFd.reset(fd);
                } else {
                    ::close(fd);
                }
            }
        }
    }
    return haveCreds && fdCount <= 1;
}

bool headerIsValid(const DatagramHeader& h, bool hasFd) {
    if (h.magic != kDatagramMagic || h.version != kDatagramVersion) {
        return false;
    }
    return ((h.flags & kFlagSection) != 0) == hasFd;
}

}  // namespace

bool makeAddress(const std::string& path, SocketAddress& out) {
    out = SocketAddress{};
    if (path.empty() || path.size() >= sizeof(out.addr.sun_path)) {
        return false;
    }
    out.addr.sun_family = AF_UNIX;
    std::memcpy(out.addr.sun_path, path.data(), path.size());
    out.length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + path.size() + 1);
    return true;
}

UniqueFd openDatagramSocket() {
    UniqueFd fd(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!fd.valid()) {
        return fd;
    }
    int size = kSocketBuffer;
    ::setsockopt(fd.get(), SOL_SOCKET, SO_SNDBUF, &size, sizeof(size));
    ::setsockopt(fd.get(), SOL_SOCKET, SO_RCVBUF, &size, sizeof(size));
    int on = 1;
    ::setsockopt(fd.get(), SOL_SOCKET, SO_PASSCRED, &on, sizeof(on));
    return fd;
}

int bindSocket(int fd, const std::string& path) {
    SocketAddress a;
    if (!makeAddress(path, a)) {
        return ENAMETOOLONG;
    }
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&a.addr), a.length) != 0) {
        return errno;
    }
    return 0;
}

bool isSocketAlive(const std::string& path) {
    SocketAddress a;
    if (!makeAddress(path, a)) {
        return false;
    }
    UniqueFd fd(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!fd.valid()) {
        return false;
    }
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&a.addr), a.length) == 0) {
        return true;
    }
    return errno != ECONNREFUSED && errno != ENOENT && errno != ENOTDIR;
}

SendStatus sendDatagram(int fd, const SocketAddress& to, const OutgoingDatagram& d, bool wait) {
    iovec iov[2];
    iov[0].iov_base = const_cast<DatagramHeader*>(&d.header);
    iov[0].iov_len = sizeof(d.header);
    iov[1].iov_base = const_cast<uint8_t*>(d.inlineBytes.data());
    iov[1].iov_len = d.inlineBytes.size();

    msghdr mh{};
    mh.msg_name = const_cast<sockaddr_un*>(&to.addr);
    mh.msg_namelen = to.length;
    mh.msg_iov = iov;
    mh.msg_iovlen = d.inlineBytes.empty() ? 1 : 2;

    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))];
    if (d.sectionFd >= 0) {
        mh.msg_control = control;
        mh.msg_controllen = sizeof(control);
        cmsghdr* c = CMSG_FIRSTHDR(&mh);
        c->cmsg_level = SOL_SOCKET;
        c->cmsg_type = SCM_RIGHTS;
        c->cmsg_len = CMSG_LEN(sizeof(int));
        std::memcpy(CMSG_DATA(c), &d.sectionFd, sizeof(int));
    }
    int flags = MSG_NOSIGNAL | (wait ? 0 : MSG_DONTWAIT);
    while (::sendmsg(fd, &mh, flags) < 0) {
        if (errno != EINTR) {
            return statusOf(errno);
        }
    }
    return SendStatus::Ok;
}

SendStatus sendDatagramOnce(const SocketAddress& to, const OutgoingDatagram& d) {
    UniqueFd fd(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!fd.valid()) {
        return SendStatus::Failed;
    }
    return sendDatagram(fd.get(), to, d, false);
}

void setSendTimeout(int fd, int64_t ms) {
    if (ms < 1) {
        ms = 1;
    }
    timeval tv{};
    tv.tv_sec = static_cast<time_t>(ms / 1000);
    tv.tv_usec = static_cast<suseconds_t>((ms % 1000) * 1000);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof(tv));
}

ReceiveStatus receiveDatagram(int fd, std::vector<uint8_t>& buffer, IncomingDatagram& out) {
    out = IncomingDatagram{};
    buffer.resize(kMaxDatagram);
    iovec iov{buffer.data(), buffer.size()};
    alignas(cmsghdr) char
        control[CMSG_SPACE(sizeof(ucred)) + CMSG_SPACE(kMaxFdsPerDatagram * sizeof(int))];
    msghdr mh{};
    mh.msg_name = &out.from.addr;
    mh.msg_namelen = sizeof(out.from.addr);
    mh.msg_iov = &iov;
    mh.msg_iovlen = 1;
    mh.msg_control = control;
    mh.msg_controllen = sizeof(control);

    ssize_t n;
    do {
        n = ::recvmsg(fd, &mh, MSG_DONTWAIT | MSG_CMSG_CLOEXEC);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        return errno == EAGAIN ? ReceiveStatus::Empty : ReceiveStatus::Dropped;
    }
    out.from.length = mh.msg_namelen;
    if ((mh.msg_flags & (MSG_TRUNC | MSG_CTRUNC)) != 0) {
        closeReceivedFds(mh);
        return ReceiveStatus::Dropped;
    }
    if (!takeControlData(mh, out)) {
        out.sectionFd.reset();
        return ReceiveStatus::Dropped;
    }
    if (static_cast<size_t>(n) < sizeof(DatagramHeader)) {
        return ReceiveStatus::Dropped;
    }
    std::memcpy(&out.header, buffer.data(), sizeof(DatagramHeader));
    if (!headerIsValid(out.header, out.sectionFd.valid())) {
        out.sectionFd.reset();
        return ReceiveStatus::Dropped;
    }
    out.inlineBytes = std::span<const uint8_t>(buffer.data() + sizeof(DatagramHeader),
                                               static_cast<size_t>(n) - sizeof(DatagramHeader));
    if (out.sectionFd.valid() && !out.inlineBytes.empty()) {
        out.sectionFd.reset();
        return ReceiveStatus::Dropped;
    }
    return ReceiveStatus::Got;
}

}  // namespace plat::detail
