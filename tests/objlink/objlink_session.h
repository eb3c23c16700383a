// A test with one objlink registration at a hubserver the client library
// started, a scripted device on 127.0.0.2 and records of what arrived.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <type_traits>
#include <vector>

#include "objlink.h"
#include "platform/window.h"
#include "server_settings.h"
#include "udp_peer.h"
#include "wire/datagram.h"

namespace objlink_testing {

using namespace testing_support;
using namespace std::chrono_literals;

constexpr uint32_t kPc = 0x7F000001;      // 127.0.0.1, the own address
constexpr uint32_t kDevice = 0x7F000002;  // 127.0.0.2
constexpr uint16_t kFlag = 0x8000;

struct Datagram {
    uint16_t object = 0;
    uint16_t message = 0;
    uint16_t number = 0;
    std::vector<uint8_t> data;
    uint32_t source = 0;
};

inline std::vector<uint8_t> datagram(uint16_t object, uint16_t message, uint16_t number,
                                     const std::vector<uint8_t>& data = {}) {
    return wire::buildDatagram({object, message, number}, data);
}

// A device at 127.0.0.<node>, bound to the PC's receive port beside the
// server; it answers to the PC's receive port.
class Device {
  public:
    Device(uint8_t node, uint16_t port) : peer_(loopback(node), port), port_(port) {}
    ~Device() { stopAnswering(); }

    bool bound() const { return peer_.bound(); }

    // The next datagram that is a message, or nullopt after the time-out.
    std::optional<Datagram> next(std::chrono::milliseconds timeout = 5s) {
        auto deadline = std::chrono::steady_clock::now() + timeout;
        for (;;) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                return std::nullopt;
            }
            auto in = peer_.receive(left);
            if (!in) {
                return std::nullopt;
            }
            auto header = wire::readHeader(in->bytes);
            if (header) {
                auto data = wire::datagramData(in->bytes);
                return Datagram{header->objectId,
                                header->messageId,
                                header->messageNumber,
                                {data.begin(), data.end()},
                                in->source};
            }
        }
    }

    void send(const std::vector<uint8_t>& bytes) const { peer_.sendTo(kPc, port_, bytes); }

    void respond(const Datagram& request, const std::vector<uint8_t>& data) const {
        send(datagram(request.object, request.message | kFlag, request.number, data));
    }

    // Answers every request with `data` on a thread of its own, at once.
    void answerAll(std::vector<uint8_t> data) {
        answering_ = true;
        thread_ = std::thread([this, data] {
            while (answering_) {
                if (auto request = next(50ms)) {
                    respond(*request, data);
                }
            }
        });
    }

    void stopAnswering() {
        answering_ = false;
        if (thread_.joinable()) {
            thread_.join();
        }
    }

  private:
    UdpPeer peer_;
    uint16_t port_;
    std::atomic<bool> answering_{false};
    std::thread thread_;
};

// A response record with its buffer; bytes past MaxDataLength are guards.
template <size_t Capacity>
struct ResponseBuffer {
    static constexpr uint8_t kGuard = 0xEE;
    ResponseBuffer() {
        bytes.fill(kGuard);
        record.DataPtr = bytes.data();
        record.MaxDataLength = Capacity;
        record.Status = MessageFailure;  // never produced by the library
    }
    std::vector<uint8_t> data() const {
        return {bytes.begin(), bytes.begin() + std::min<size_t>(record.DataLength, Capacity)};
    }
    bool guardsIntact() const {
        for (size_t i = Capacity; i < bytes.size(); ++i) {
            if (bytes[i] != kGuard) {
                return false;
            }
        }
        return true;
    }
    std::array<uint8_t, Capacity + 16> bytes;
    VEKMessageResponse_t record{};
};

// A copy of a record handed to a callback, with where it came from.
struct Report {
    uint32_t parameter = 0;
    VEKMessageResponse_t record{};
    std::vector<uint8_t> data;
    const VEKMessageResponse_t* pointer = nullptr;
    std::thread::id thread;
};

// Collects reports from hubclient's thread; tests wait on it.
class Reports {
  public:
    void add(uint32_t parameter, VEKMessageResponse_t* r) {
        Report report{parameter, *r, {}, r, std::this_thread::get_id()};
        if (r->DataPtr != nullptr) {
            size_t n = std::min<size_t>(r->DataLength, r->MaxDataLength);
            report.data.assign(r->DataPtr, r->DataPtr + n);
        }
        std::lock_guard<std::mutex> lock(mutex_);
        items_.push_back(report);
        changed_.notify_all();
    }
    bool waitFor(size_t count, std::chrono::milliseconds timeout = kLiveness) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] { return items_.size() >= count; });
    }
    std::vector<Report> items() {
        std::lock_guard<std::mutex> lock(mutex_);
        return items_;
    }
    size_t size() {
        std::lock_guard<std::mutex> lock(mutex_);
        return items_.size();
    }

    // A callback for the exports; its parameter selects the Reports.
    static void record(uint32_t parameter, VEKMessageResponse_t* r) {
        instance(parameter).add(parameter, r);
    }
    // Up to four collectors, addressed by the callback parameter.
    static Reports& instance(uint32_t parameter) { return collectors()[parameter % kCollectors]; }
    // Empties every collector: each test starts with none of the reports of
    // the tests before it in the same process.
    static void clearAll() {
        for (Reports& r : collectors()) {
            std::lock_guard<std::mutex> lock(r.mutex_);
            r.items_.clear();
        }
    }

  private:
    static constexpr size_t kCollectors = 4;
    static std::array<Reports, kCollectors>& collectors() {
        static std::array<Reports, kCollectors> all;
        return all;
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Report> items_;
};

class ObjlinkSession : public ::testing::Test {
  protected:
    void SetUp() override {
        Reports::clearAll();
        ports_ = writeServerSettings(extraSettings());
        registration_ = VEKNetStartup();
        ASSERT_GE(registration_, 1);
        device_ = std::make_unique<Device>(2, ports_.receive);
        ASSERT_TRUE(device_->bound());
    }
    void TearDown() override {
        device_.reset();
        VEKNetCleanup(registration_);
        // The last registration gone, the server ends by itself.
        EXPECT_TRUE(waitUntil(serverWindowGone));
    }
    virtual std::string extraSettings() const { return ""; }

    // A message to `object` at the device's full address.
    VEKMessage_t message(uint16_t object, uint16_t id, std::vector<uint8_t>& data,
                         VEKAddress_t address = {FullAddress, kDevice}) const {
        VEKMessage_t m{};
        m.ObjectID = object;
        m.MessageID = id;
        m.DataLength = static_cast<uint16_t>(data.size());
        m.DataPtr = data.empty() ? nullptr : data.data();
        m.Address = address;
        return m;
    }

    ServerPorts ports_;
    int32_t registration_ = 0;
    std::unique_ptr<Device> device_;
};

// The value of a field of a packed record: gtest's macros bind references,
// which must not point at a misaligned field.
#define PACKED(field) static_cast<std::remove_cvref_t<decltype(field)>>(field)

// Milliseconds since `start`.
inline int64_t msSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start)
        .count();
}

}  // namespace objlink_testing
