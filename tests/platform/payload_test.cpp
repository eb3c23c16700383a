// Payloads: inline copies, sections, and adopting a received section.
#include "platform/payload.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

namespace plat {
namespace {

TEST(PayloadTest, InlineCopiesOwnTheirBytes) {
    uint8_t src[3] = {1, 2, 3};
    Payload p = Payload::copyOf(src, sizeof(src));
    src[0] = 9;
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p.data()[0], 1);
    EXPECT_FALSE(p.isSection());
    EXPECT_EQ(p.sectionFd(), -1);
    ASSERT_NE(p.mutableData(), nullptr);

    Payload q = Payload::fromBytes({4, 5});
    EXPECT_EQ(std::vector<uint8_t>(q.bytes().begin(), q.bytes().end()),
              (std::vector<uint8_t>{4, 5}));
}

TEST(PayloadTest, EmptyPayloads) {
    for (Payload p : {Payload{}, Payload::copyOf(nullptr, 5), Payload::copyOf("x", 0),
                      Payload::fromBytes({}), Payload::section(0), Payload::adoptSectionFd(-1)}) {
        EXPECT_TRUE(p.empty());
        EXPECT_EQ(p.size(), 0u);
        EXPECT_FALSE(p.isSection());
    }
}

TEST(PayloadTest, SectionIsExactlyItsSizeAndSharedWithItsAdopter) {
    Payload s = Payload::section(200 * 1024);
    ASSERT_EQ(s.size(), 200u * 1024);
    ASSERT_TRUE(s.isSection());
    std::memset(s.mutableData(), 0x5A, s.size());
    EXPECT_EQ(::lseek(s.sectionFd(), 0, SEEK_END), 200 * 1024);

    Payload adopted = Payload::adoptSectionFd(::fcntl(s.sectionFd(), F_DUPFD_CLOEXEC, 0));
    ASSERT_EQ(adopted.size(), s.size());
    EXPECT_EQ(adopted.data()[12345], 0x5A);
    EXPECT_EQ(adopted.mutableData(), nullptr);  // mapped read-only
    // The sender can neither shrink nor grow it under the receiver's mapping.
    EXPECT_NE(::ftruncate(s.sectionFd(), 10), 0);
    EXPECT_NE(::ftruncate(s.sectionFd(), 400 * 1024), 0);
}

TEST(PayloadTest, AdoptRefusesWhatIsNotASealedSectionAndClosesIt) {
    int unsealed = ::memfd_create("unsealed", MFD_CLOEXEC);
    ASSERT_EQ(::ftruncate(unsealed, 4096), 0);
    int pipeFds[2];
    ASSERT_EQ(::pipe2(pipeFds, O_CLOEXEC), 0);
    for (int fd : {unsealed, pipeFds[0]}) {
        EXPECT_TRUE(Payload::adoptSectionFd(fd).empty());
        EXPECT_EQ(::fcntl(fd, F_GETFD), -1);  // closed by the refused adoption
    }
    ::close(pipeFds[1]);
}

TEST(PayloadTest, SectionMappingIsReleasedWithTheLastCopy) {
    int fd;
    {
        Payload s = Payload::section(4096);
        Payload copy = s;
        fd = s.sectionFd();
        s = Payload{};
        EXPECT_NE(::fcntl(fd, F_GETFD), -1);
    }
    EXPECT_EQ(::fcntl(fd, F_GETFD), -1);
}

}  // namespace
}  // namespace plat
