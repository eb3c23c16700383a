// Sending a list of messages: in order, stopping at the first the server
// does not accept.
#include "peer_socket.h"
#include "session_fixture.h"

namespace client_testing {
namespace {

TEST_F(ServerSession, ListStopsAtTheFirstMessageTheServerRefuses) {
    PeerSocket peer(kPeerAddress, ports_.receive);
    ASSERT_TRUE(peer.bound());
    auto first = datagram(0x0005, 0x0001, 0x8000, "first");
    // ObjectID 0 is never a large transfer: 70000 bytes cannot go out as one
    // datagram, so the server refuses it.
    auto tooLong = datagram(0x0000, 0x0001, 0x8001, std::string(70000, 'x'));
    auto third = datagram(0x0005, 0x0001, 0x8002, "third");
    _Message m3{kPeerAddress, static_cast<uint32_t>(third.size()), third.data(), nullptr};
    _Message m2{kPeerAddress, static_cast<uint32_t>(tooLong.size()), tooLong.data(), &m3};
    _Message m1{kPeerAddress, static_cast<uint32_t>(first.size()), first.data(), &m2};

    EXPECT_EQ(SendVEKNetMessage(registration_, &m1), VEK_ERR_NOT_SENT);
    EXPECT_EQ(peer.receive(), first);
    EXPECT_EQ(m1.next, &m2);  // the caller's list is left as it was
    EXPECT_EQ(m2.next, &m3);
    // A later message arrives next: the third of the list never went out.
    auto later = datagram(0x0005, 0x0001, 0x8003, "later");
    ASSERT_EQ(sendTo(kPeerAddress, later), 1);
    EXPECT_EQ(peer.receive(), later);
}

TEST_F(ServerSession, WholeListSentInOrder) {
    PeerSocket peer(kPeerAddress, ports_.receive);
    ASSERT_TRUE(peer.bound());
    auto a = datagram(0x0005, 0x0001, 0x8000, "a");
    auto b = datagram(0x0006, 0x0002, 0x8001, "bb");
    _Message mb{kPeerAddress, static_cast<uint32_t>(b.size()), b.data(), nullptr};
    _Message ma{kPeerAddress, static_cast<uint32_t>(a.size()), a.data(), &mb};
    EXPECT_EQ(SendVEKNetMessage(registration_, &ma), 1);
    EXPECT_EQ(peer.receive(), a);
    EXPECT_EQ(peer.receive(), b);
}

// A server that does not answer within the request time-out (stopped here):
// the send fails with -7, and the message does not go out once the server
// runs again; the next send works.
TEST_F(ServerSession, SendToAServerThatDoesNotAnswerFailsAndNeverLeaves) {
    PeerSocket peer(kPeerAddress, ports_.receive);
    ASSERT_TRUE(peer.bound());
    pid_t server = serverChildPid();
    ASSERT_GT(server, 0);
    auto late = datagram(0x0005, 0x0001, 0x8000, "late");
    ASSERT_EQ(::kill(server, SIGSTOP), 0);
    int32_t result = sendTo(kPeerAddress, late);
    ::kill(server, SIGCONT);
    EXPECT_EQ(result, VEK_ERR_NOT_SENT);
    auto next = datagram(0x0005, 0x0001, 0x8001, "next");
    ASSERT_EQ(sendTo(kPeerAddress, next), 1);
    EXPECT_EQ(peer.receive(), next);  // not the late one first
}

}  // namespace
}  // namespace client_testing
