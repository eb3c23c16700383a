// A test with one registration at a hubserver the library started, and a
// record of what the library's thread delivered to callbacks.
#pragma once

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <vector>

#include "client_test_support.h"

namespace client_testing {

struct Delivery {
    uint32_t address = 0;
    std::vector<uint8_t> bytes;
    uint32_t extra = 0;  // reason, parameter or timer ID
};

// Collects deliveries from the library thread; tests wait on it.
class Recorder {
  public:
    void add(Delivery d) {
        std::lock_guard<std::mutex> lock(mutex_);
        items_.push_back(std::move(d));
        changed_.notify_all();
    }
    void add(const _Message* m, uint32_t extra) {
        add(Delivery{m->Address, std::vector<uint8_t>(m->Dataptr, m->Dataptr + m->Length), extra});
    }
    bool waitFor(size_t count, std::chrono::milliseconds timeout = kLiveness) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return items_.size() >= count; });
    }
    std::vector<Delivery> items() {
        std::lock_guard<std::mutex> lock(mutex_);
        return items_;
    }
    size_t size() {
        std::lock_guard<std::mutex> lock(mutex_);
        return items_.size();
    }
    void clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        items_.clear();
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Delivery> items_;
};

class ServerSession : public ::testing::Test {
  protected:
    void SetUp() override {
        ports_ = writeServerSettings();
        registration_ = VEKBaseStartup();
        ASSERT_GE(registration_, 1);
    }
    void TearDown() override {
        VEKBaseCleanup(registration_);
        // The last registration gone, the server ends by itself.
        EXPECT_TRUE(waitUntil([] { return !serverTitleExists(); }));
    }

    // Sends one datagram to a loopback peer address; the result of the export.
    int32_t sendTo(uint32_t address, std::vector<uint8_t> bytes) {
        _Message m{address, static_cast<uint32_t>(bytes.size()), bytes.data(), nullptr};
        return SendVEKNetMessage(registration_, &m);
    }

    Ports ports_;
    int32_t registration_ = 0;
};

constexpr uint32_t kPeerAddress = 0x7F000002;  // 127.0.0.2

}  // namespace client_testing
