#include "endpoint.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/time.h>
#include <unistd.h>

#include <cstring>
#include <mutex>

#include "platform/payload.h"
#include "process_ids.h"

namespace plat::detail {
namespace {

constexpr int kSocketBuffer = 4 * 1024 * 1024;  // capped by the kernel's maximum
constexpr int kMaxFdsPerDatagram = 4;
constexpr int kListenBacklog = 128;

void setCredentialPassing(int fd) {
    int on = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_PASSCRED, &on, sizeof(on));
}

void setBuffers(int fd) {
    int size = kSocketBuffer;
    ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &size, sizeof(size));
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &size, sizeof(size));
}

SendStatus statusOf(int err) {
    switch (err) {
        case ENOENT:
        case ECONNREFUSED:
        case ENOTDIR:
        case EPIPE:
        case ECONNRESET:
        case ENOTCONN:
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
            haveCreds = cred.uid == ownUid();
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
    return UniqueFd(::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
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

namespace {

// Records up to this size without a descriptor are sent from one buffer with
// send(), which spares the kernel reading a message header and an iovec
// array: most records are a bare header (replies, requests without data).
constexpr size_t kSmallRecord = 512;

SendStatus sendPlain(int fd, const void* bytes, size_t size, int flags) {
    while (::send(fd, bytes, size, flags) < 0) {
        if (errno != EINTR) {
            return statusOf(errno);
        }
    }
    return SendStatus::Ok;
}

}  // namespace

SendStatus sendRecord(int fd, const OutgoingDatagram& d, bool wait) {
    int flags = MSG_NOSIGNAL | (wait ? 0 : MSG_DONTWAIT);
    if (d.sectionFd < 0 && d.inlineBytes.empty()) {
        return sendPlain(fd, &d.header, sizeof(d.header), flags);
    }
    if (d.sectionFd < 0 && sizeof(d.header) + d.inlineBytes.size() <= kSmallRecord) {
        uint8_t record[kSmallRecord];
        std::memcpy(record, &d.header, sizeof(d.header));
        std::memcpy(record + sizeof(d.header), d.inlineBytes.data(), d.inlineBytes.size());
        return sendPlain(fd, record, sizeof(d.header) + d.inlineBytes.size(), flags);
    }
    iovec iov[2];
    iov[0].iov_base = const_cast<DatagramHeader*>(&d.header);
    iov[0].iov_len = sizeof(d.header);
    iov[1].iov_base = const_cast<uint8_t*>(d.inlineBytes.data());
    iov[1].iov_len = d.inlineBytes.size();

    msghdr mh{};
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
    while (::sendmsg(fd, &mh, flags) < 0) {
        if (errno != EINTR) {
            return statusOf(errno);
        }
    }
    return SendStatus::Ok;
}

// A descriptor held in reserve: when the process has none left, it is given
// up for a moment to accept and close a connection that cannot be served.
class SpareDescriptor {
  public:
    SpareDescriptor() { reopen(); }
    void refuseOnePending(int listenFd) {
        std::lock_guard<std::mutex> guard(mutex_);
        spare_.reset();
        UniqueFd refused(::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC));
        refused.reset();
        reopen();
    }

  private:
    void reopen() { spare_.reset(::open("/dev/null", O_RDONLY | O_CLOEXEC)); }
    std::mutex mutex_;
    UniqueFd spare_;
};

SpareDescriptor& spareDescriptor() {
    static SpareDescriptor* spare = new SpareDescriptor;  // lives as long as the process
    return *spare;
}

UniqueFd openListener(const std::string& path, int& err) {
    spareDescriptor();  // taken now, while descriptors are still to be had
    UniqueFd fd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd.valid()) {
        err = errno;
        return fd;
    }
    setCredentialPassing(fd.get());
    err = bindSocket(fd.get(), path);
    if (err == 0 && ::listen(fd.get(), kListenBacklog) != 0) {
        err = errno;
        ::unlink(path.c_str());
    }
    if (err != 0) {
        fd.reset();
    }
    return fd;
}

UniqueFd acceptPeer(int listenFd, bool& more, uint32_t& peerPid) {
    more = true;
    UniqueFd fd(::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
    if (!fd.valid()) {
        if (errno == EMFILE || errno == ENFILE) {
            spareDescriptor().refuseOnePending(listenFd);
            return fd;
        }
        more = errno == EINTR || errno == ECONNABORTED;
        return fd;
    }
    ucred cred{};
    socklen_t len = sizeof(cred);
    if (::getsockopt(fd.get(), SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || cred.uid != ownUid()) {
        fd.reset();
        return fd;
    }
    peerPid = static_cast<uint32_t>(cred.pid);
    setCredentialPassing(fd.get());
    setBuffers(fd.get());
    return fd;
}

UniqueFd connectToLoop(const std::string& path, SendStatus& status) {
    SocketAddress a;
    if (!makeAddress(path, a)) {
        status = SendStatus::Gone;
        return {};
    }
    UniqueFd fd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
    if (!fd.valid()) {
        status = SendStatus::Failed;
        return fd;
    }
    setCredentialPassing(fd.get());
    setBuffers(fd.get());
    // Non-blocking only for the connect: a listener whose backlog is full
    // (its loop is hung) must not stall the caller.
    int fl = ::fcntl(fd.get(), F_GETFL);
    ::fcntl(fd.get(), F_SETFL, fl | O_NONBLOCK);
    int r;
    do {
        r = ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&a.addr), a.length);
    } while (r != 0 && errno == EINTR);
    if (r != 0) {
        status = statusOf(errno);
        fd.reset();
        return fd;
    }
    ::fcntl(fd.get(), F_SETFL, fl);
    status = SendStatus::Ok;
    return fd;
}

namespace {

void setTimeout(int fd, int option, int64_t ms) {
    if (ms < 1) {
        ms = 1;
    }
    timeval tv{};
    tv.tv_sec = static_cast<time_t>(ms / 1000);
    tv.tv_usec = static_cast<suseconds_t>((ms % 1000) * 1000);
    ::setsockopt(fd, SOL_SOCKET, option, &tv, sizeof(tv));
}

}  // namespace

void setSendTimeout(int fd, int64_t ms) {
    setTimeout(fd, SO_SNDTIMEO, ms);
}

void setReceiveTimeout(int fd, int64_t ms) {
    setTimeout(fd, SO_RCVTIMEO, ms);
}

bool attachPayload(OutgoingDatagram& d, const Payload& payload, Payload& holder) {
    if (payload.empty()) {
        return true;
    }
    if (payload.isSection()) {
        d.sectionFd = payload.sectionFd();
    } else if (payload.size() <= kInlinePayloadMax) {
        d.inlineBytes = payload.bytes();
        return true;
    } else {
        holder = Payload::section(payload.size());
        if (holder.empty()) {
            return false;
        }
        std::memcpy(holder.mutableData(), payload.data(), payload.size());
        d.sectionFd = holder.sectionFd();
    }
    d.header.flags |= kFlagSection;
    return true;
}

Payload takePayload(IncomingDatagram& in) {
    if (in.sectionFd.valid()) {
        return Payload::adoptSectionFd(in.sectionFd.release());
    }
    return Payload::copyOf(in.inlineBytes.data(), in.inlineBytes.size());
}

namespace {

constexpr size_t kControlSize =
    CMSG_SPACE(sizeof(ucred)) + CMSG_SPACE(kMaxFdsPerDatagram * sizeof(int));

// Checks one received record (`n` bytes in `buffer`, its control data in
// `mh`) and fills `out`. Any descriptor of a record that is dropped is
// closed.
ReceiveStatus checkRecord(msghdr& mh, size_t n, const uint8_t* buffer, IncomingDatagram& out) {
    out = IncomingDatagram{};
    if (n == 0 && mh.msg_controllen == 0) {
        return ReceiveStatus::Closed;  // a record is never empty: end of connection
    }
    if ((mh.msg_flags & (MSG_TRUNC | MSG_CTRUNC)) != 0) {
        closeReceivedFds(mh);
        return ReceiveStatus::Dropped;
    }
    if (!takeControlData(mh, out)) {
        out.sectionFd.reset();
        return ReceiveStatus::Dropped;
    }
    if (n < sizeof(DatagramHeader)) {
        out.sectionFd.reset();
        return ReceiveStatus::Dropped;
    }
    std::memcpy(&out.header, buffer, sizeof(DatagramHeader));
    if (!headerIsValid(out.header, out.sectionFd.valid())) {
        out.sectionFd.reset();
        return ReceiveStatus::Dropped;
    }
    out.inlineBytes =
        std::span<const uint8_t>(buffer + sizeof(DatagramHeader), n - sizeof(DatagramHeader));
    if (out.sectionFd.valid() && !out.inlineBytes.empty()) {
        out.sectionFd.reset();
        return ReceiveStatus::Dropped;
    }
    return ReceiveStatus::Got;
}

}  // namespace

ReceiveStatus receiveRecord(int fd, std::vector<uint8_t>& buffer, IncomingDatagram& out,
                            bool wait) {
    out = IncomingDatagram{};
    buffer.resize(kMaxDatagram);
    iovec iov{buffer.data(), buffer.size()};
    alignas(cmsghdr) char control[kControlSize];
    msghdr mh{};
    mh.msg_iov = &iov;
    mh.msg_iovlen = 1;
    mh.msg_control = control;
    mh.msg_controllen = sizeof(control);

    ssize_t n;
    do {
        n = ::recvmsg(fd, &mh, (wait ? 0 : MSG_DONTWAIT) | MSG_CMSG_CLOEXEC);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        return errno == EAGAIN || errno == EWOULDBLOCK ? ReceiveStatus::Empty
                                                       : ReceiveStatus::Closed;
    }
    return checkRecord(mh, static_cast<size_t>(n), buffer.data(), out);
}

struct RecordBatch::Slot {
    uint8_t data[kMaxDatagram];
    alignas(cmsghdr) char control[kControlSize];
};

RecordBatch::RecordBatch() : slots_(new Slot[kSlots]) {}

RecordBatch::~RecordBatch() {
    delete[] slots_;
}

RecordBatch::Result RecordBatch::receive(int fd) {
    mmsghdr headers[kSlots]{};
    iovec vectors[kSlots];
    for (size_t i = 0; i < kSlots; ++i) {
        vectors[i] = {slots_[i].data, sizeof slots_[i].data};
        headers[i].msg_hdr.msg_iov = &vectors[i];
        headers[i].msg_hdr.msg_iovlen = 1;
        headers[i].msg_hdr.msg_control = slots_[i].control;
        headers[i].msg_hdr.msg_controllen = sizeof slots_[i].control;
    }
    int n;
    do {
        n = ::recvmmsg(fd, headers, kSlots, MSG_DONTWAIT | MSG_CMSG_CLOEXEC, nullptr);
    } while (n < 0 && errno == EINTR);
    Result result;
    if (n < 0) {
        result.closed = errno != EAGAIN;
        return result;
    }
    for (size_t i = 0; i < static_cast<size_t>(n); ++i) {
        status[i] = checkRecord(headers[i].msg_hdr, headers[i].msg_len, slots_[i].data, records[i]);
        if (status[i] == ReceiveStatus::Closed) {
            // Records after the end (the same end, read again) are not looked
            // at; their descriptors, if any, are closed.
            for (size_t j = i + 1; j < static_cast<size_t>(n); ++j) {
                closeReceivedFds(headers[j].msg_hdr);
            }
            result.closed = true;
            return result;
        }
        ++result.count;
    }
    result.more = static_cast<size_t>(n) == kSlots;
    return result;
}

}  // namespace plat::detail
