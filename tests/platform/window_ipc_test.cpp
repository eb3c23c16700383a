// Messages between processes: posts, sends, sections, a hung receiver, a
// receiver that dies, forged datagrams and a sender of another user.
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <future>
#include <memory>
#include <thread>

#include "datagram.h"
#include "handle.h"
#include "window_test_support.h"

namespace plat::test {
namespace {

using namespace std::chrono_literals;

class WindowIpcTest : public RuntimeDirTest {
  protected:
    // Starts a serving peer and returns its window.
    Hwnd startPeer(const std::string& title = {}) {
        std::vector<std::string> args{"serve"};
        if (!title.empty()) {
            args.push_back(title);
        }
        peer_ = std::make_unique<PeerProcess>(args);
        return peer_->readHandle("HWND");
    }

    std::unique_ptr<PeerProcess> peer_;
};

TEST_F(WindowIpcTest, SendToAnotherProcessReturnsItsResult) {
    Hwnd h = startPeer();
    ASSERT_NE(h, kNoWindow);
    EXPECT_EQ(detail::handlePid(h), static_cast<uint32_t>(peer_->pid()));
    EXPECT_TRUE(isWindow(h));
    EXPECT_EQ(sendMessageTimeout(h, peer::kEcho, 20, 2, {}, 2s), 42);
    EXPECT_EQ(sendMessageTimeout(h, peer::kSenderPid, 0, 0, {}, 2s), ::getpid());
    EXPECT_FALSE(isWindow(h + 1));  // same loop, no such window
    EXPECT_EQ(sendMessageTimeout(h + 1, peer::kEcho, 1, 1, {}, 2s), std::nullopt);
}

TEST_F(WindowIpcTest, PeerPostsAndSendsBackToThisProcess) {
    Hwnd peerWindow = startPeer();
    ASSERT_NE(peerWindow, kNoWindow);
    std::vector<uint8_t> got;
    bool gotSection = false;
    uint32_t sender = 0;
    Hwnd mine = createWindow([&](Message& m) {
        if (m.msg == peer::kPatternBack) {
            got.assign(m.payload.bytes().begin(), m.payload.bytes().end());
            gotSection = m.payload.isSection();
            sender = m.senderPid;
        }
        return m.msg == peer::kEcho ? static_cast<int64_t>(m.wParam * 2) + m.lParam : 0;
    });
    for (size_t size : {size_t{100}, size_t{200 * 1024}}) {
        got.clear();
        ASSERT_EQ(postMessage(peerWindow, peer::kPostBack, mine, static_cast<int64_t>(size)),
                  PostResult::Ok);
        ASSERT_TRUE(pumpUntil([&] { return !got.empty(); }, 5s)) << size;
        EXPECT_EQ(got, patternBytes(size));
        EXPECT_EQ(gotSection, size > kInlinePayloadMax);
        EXPECT_EQ(sender, static_cast<uint32_t>(peer_->pid()));
    }
    // The peer's send waits for this thread to dispatch it.
    auto result = std::async(std::launch::async, [&] {
        auto r = sendMessageTimeout(peerWindow, peer::kSendBack, mine, 0, {}, 5s);
        shutdownThreadLoop();
        return r;
    });
    ASSERT_TRUE(pumpUntil([&] { return result.wait_for(0s) == std::future_status::ready; }, 5s));
    EXPECT_EQ(result.get(), 11);
}

TEST_F(WindowIpcTest, SectionsAndInlinePayloadsReachThePeerByteForByte) {
    Hwnd h = startPeer();
    ASSERT_NE(h, kNoWindow);
    int fdsBefore = openFdCount();
    struct Case {
        size_t size;
        bool asSection;
    };
    // Records of up to 512 bytes (a 56-byte header and 456 bytes of data)
    // leave from one buffer, longer ones from the header and the data apart.
    for (Case c :
         {Case{1, false}, Case{456, false}, Case{457, false}, Case{kInlinePayloadMax, false},
          Case{kInlinePayloadMax + 1, false}, Case{200 * 1024, true}, Case{10, true}}) {
        Payload p =
            c.asSection ? Payload::section(c.size) : Payload::fromBytes(patternBytes(c.size));
        if (c.asSection) {
            std::memcpy(p.mutableData(), patternBytes(c.size).data(), c.size);
        }
        EXPECT_EQ(sendMessageTimeout(h, peer::kCheckPattern, 0, 0, p, 5s),
                  static_cast<int64_t>(c.size))
            << c.size;
    }
    shutdownThreadLoop();  // closes this thread's connection to the peer
    EXPECT_EQ(openFdCount(), fdsBefore);
}

TEST_F(WindowIpcTest, ReplyDataComesBackInlineOrAsSection) {
    Hwnd h = startPeer();
    ASSERT_NE(h, kNoWindow);
    int fdsBefore = openFdCount();
    for (size_t size : {size_t{0}, size_t{17}, size_t{300 * 1024}}) {
        auto r = sendMessageTimeoutWithReply(h, peer::kReplyPattern, 0, static_cast<int64_t>(size),
                                             {}, 5s);
        ASSERT_TRUE(r.has_value()) << size;
        EXPECT_EQ(r->result, static_cast<int64_t>(size));
        EXPECT_EQ(std::vector<uint8_t>(r->reply.bytes().begin(), r->reply.bytes().end()),
                  patternBytes(size));
        EXPECT_EQ(r->reply.isSection(), size > kInlinePayloadMax);
    }
    shutdownThreadLoop();
    EXPECT_EQ(openFdCount(), fdsBefore);  // received sections closed with their payloads
}

TEST_F(WindowIpcTest, BurstOfPostsToAnotherProcessIsNotDropped) {
    Hwnd h = startPeer();
    ASSERT_NE(h, kNoWindow);
    uint64_t droppedBefore = droppedPostCount();
    int ok = 0;
    for (int i = 0; i < 2000; ++i) {
        ok += postMessage(h, peer::kCount, 0, 0) == PostResult::Ok;
    }
    EXPECT_EQ(ok, 2000);
    EXPECT_EQ(droppedPostCount(), droppedBefore);
    // Posts and sends share one connection, so the send is answered after
    // every post was handled.
    EXPECT_EQ(sendMessageTimeout(h, peer::kCount, 1, 0, {}, 10s), 2000);
}

TEST_F(WindowIpcTest, SendToHungPeerTimesOutWithinItsTimeOut) {
    Hwnd h = startPeer();
    ASSERT_NE(h, kNoWindow);
    ASSERT_EQ(postMessage(h, peer::kSleep, 0, 5000), PostResult::Ok);
    auto start = std::chrono::steady_clock::now();
    long cpuBefore = threadCpuMicros();
    EXPECT_EQ(sendMessageTimeout(h, peer::kEcho, 1, 1, {}, 500ms), std::nullopt);
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 500ms);
    EXPECT_LT(took, 1500ms);
    EXPECT_LT(threadCpuMicros() - cpuBefore, 100000L);  // waited, did not spin
    EXPECT_TRUE(isWindow(h));                           // hung, not gone
}

TEST_F(WindowIpcTest, StaleReplyOfATimedOutSendIsNotTakenForTheNextOne) {
    Hwnd h = startPeer();
    ASSERT_NE(h, kNoWindow);
    // The sleep's result (7) arrives after this send has given up.
    EXPECT_EQ(sendMessageTimeout(h, peer::kSleep, 0, 400, {}, 100ms), std::nullopt);
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(sendMessageTimeout(h, peer::kEcho, 3, 0, {}, 2s), 6);
}

TEST_F(WindowIpcTest, PeerThatDiesMidSendEndsTheWaitAndIsGone) {
    Hwnd h = startPeer();
    ASSERT_NE(h, kNoWindow);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(sendMessageTimeout(h, peer::kExitNow, 0, 0, {}, 10s), std::nullopt);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    EXPECT_EQ(peer_->wait(), 0);
    EXPECT_FALSE(isWindow(h));
    EXPECT_EQ(postMessage(h, peer::kEcho, 0, 0), PostResult::Gone);
    EXPECT_EQ(sendMessageTimeout(h, peer::kEcho, 0, 0, {}, 1s), std::nullopt);
}

// Raw records to a loop's socket, as a broken or hostile peer would send them.
class ForgedRecords {
  public:
    explicit ForgedRecords(Hwnd target) : target_(target) {
        fd_ = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
        std::string path = detail::loopSocketPath(target);
        addr_.sun_family = AF_UNIX;
        std::strncpy(addr_.sun_path, path.c_str(), sizeof(addr_.sun_path) - 1);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&addr_), sizeof(addr_)) == 0;
    }
    ~ForgedRecords() { ::close(fd_); }

    bool connected() const { return connected_; }
    detail::DatagramHeader post(uint32_t msg) const {
        auto h = detail::makeHeader(detail::DatagramKind::Post, target_);
        h.msg = msg;
        return h;
    }
    bool send(const void* data, size_t size, int fd = -1) const {
        iovec iov{const_cast<void*>(data), size};
        msghdr mh{};
        mh.msg_iov = &iov;
        mh.msg_iovlen = 1;
        alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))];
        if (fd >= 0) {
            mh.msg_control = control;
            mh.msg_controllen = sizeof(control);
            cmsghdr* c = CMSG_FIRSTHDR(&mh);
            c->cmsg_level = SOL_SOCKET;
            c->cmsg_type = SCM_RIGHTS;
            c->cmsg_len = CMSG_LEN(sizeof(int));
            std::memcpy(CMSG_DATA(c), &fd, sizeof(int));
        }
        return ::sendmsg(fd_, &mh, MSG_NOSIGNAL) == static_cast<ssize_t>(size);
    }
    bool send(const detail::DatagramHeader& h, int fd = -1) const {
        return send(&h, sizeof(h), fd);
    }
    int fd() const { return fd_; }

  private:
    Hwnd target_;
    int fd_ = -1;
    bool connected_ = false;
    sockaddr_un addr_{};
};

TEST_F(WindowIpcTest, MalformedRecordsAreDroppedAndTheLoopGoesOn) {
    std::vector<uint32_t> seen;
    Hwnd h = createWindow([&](Message& m) {
        if (m.msg != kMsgDestroy) {
            seen.push_back(m.msg);
        }
        return int64_t{0};
    });
    ASSERT_NE(h, kNoWindow);
    pumpUntil([] { return false; }, 10ms);
    int before = openFdCount();
    auto owner = std::make_unique<ForgedRecords>(h);
    ForgedRecords& forged = *owner;
    ASSERT_TRUE(forged.connected());

    auto header = forged.post(0x501);
    EXPECT_TRUE(forged.send(&header, sizeof(header) - 1));  // short
    auto badMagic = forged.post(0x502);
    badMagic.magic ^= 1;
    EXPECT_TRUE(forged.send(badMagic));
    auto badVersion = forged.post(0x503);
    badVersion.version = 99;
    EXPECT_TRUE(forged.send(badVersion));
    auto unknownWindow = forged.post(0x504);
    unknownWindow.target = h + 7;
    EXPECT_TRUE(forged.send(unknownWindow));
    auto fdWithoutFlag = forged.post(0x505);
    EXPECT_TRUE(forged.send(fdWithoutFlag, forged.fd()));
    int plainFile = ::memfd_create("unsealed", MFD_CLOEXEC);  // a section must be sealed
    ASSERT_EQ(::ftruncate(plainFile, 4096), 0);
    auto unsealed = forged.post(0x506);
    unsealed.flags = detail::kFlagSection;
    EXPECT_TRUE(forged.send(unsealed, plainFile));
    ::close(plainFile);
    auto flagWithoutFd = forged.post(0x507);
    flagWithoutFd.flags = detail::kFlagSection;
    EXPECT_TRUE(forged.send(flagWithoutFd));
    std::vector<uint8_t> oversized(sizeof(detail::DatagramHeader) + kInlinePayloadMax + 1);
    auto tooLong = forged.post(0x508);
    std::memcpy(oversized.data(), &tooLong, sizeof(tooLong));
    EXPECT_TRUE(forged.send(oversized.data(), oversized.size()));
    EXPECT_TRUE(forged.send(forged.post(0x600)));  // the one good record

    ASSERT_TRUE(pumpUntil([&] { return !seen.empty(); }, 2s));
    pumpUntil([] { return false; }, 50ms);
    EXPECT_EQ(seen, std::vector<uint32_t>{0x600});
    owner.reset();  // the loop closes its end when it sees ours closed
    pumpUntil([] { return false; }, 50ms);
    EXPECT_EQ(openFdCount(), before);
}

TEST_F(WindowIpcTest, RecordOfAnotherUserIsDropped) {
    if (::getuid() != 0) {
        GTEST_SKIP() << "needs root to send as another user";
    }
    std::vector<uint32_t> seen;
    Hwnd h = createWindow([&](Message& m) {
        if (m.msg != kMsgDestroy) {
            seen.push_back(m.msg);
        }
        return int64_t{0};
    });
    ASSERT_NE(h, kNoWindow);
    ForgedRecords forged(h);
    ASSERT_TRUE(forged.connected());
    // The runtime folder is private, so the child connects while still root
    // and sends after becoming nobody.
    std::string path = detail::loopSocketPath(h);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof(addr.sun_path) - 1);
    auto foreign = forged.post(0x700);
    pid_t child = ::fork();
    if (child == 0) {
        int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 ||
            ::setgid(65534) != 0 || ::setuid(65534) != 0) {
            ::_exit(1);
        }
        ::_exit(::send(fd, &foreign, sizeof(foreign), 0) == sizeof(foreign) ? 0 : 2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(forged.send(forged.post(0x701)));
    ASSERT_TRUE(pumpUntil([&] { return !seen.empty(); }, 2s));
    pumpUntil([] { return false; }, 50ms);
    EXPECT_EQ(seen, std::vector<uint32_t>{0x701});
}

TEST_F(WindowIpcTest, PostToAnEndedProcessIsGone) {
    Hwnd h = startPeer();
    ASSERT_NE(h, kNoWindow);
    ASSERT_EQ(postMessage(h, kMsgClose, 0, 0), PostResult::Ok);
    EXPECT_EQ(peer_->wait(), 0);
    EXPECT_EQ(postMessage(h, peer::kEcho, 0, 0), PostResult::Gone);
    EXPECT_FALSE(isWindow(h));
}

}  // namespace
}  // namespace plat::test
