// Data that travels with a message between threads or processes: the
// counterpart of a shared-memory section whose handle rides in lParam.
//
// A payload of up to kInlinePayloadMax bytes is copied into the message's
// datagram. A larger one is put into a memfd of exactly its size, whose
// descriptor travels with the message (SCM_RIGHTS); the receiver maps it
// read-only on first access and unmaps and closes it when the Payload is
// destroyed. Either way the receiver owns what it got and releases it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace plat {

constexpr size_t kInlinePayloadMax = 64 * 1024;

class Payload {
public:
    Payload() = default;

    // A payload holding a copy of these bytes.
    static Payload copyOf(const void* data, size_t size);
    static Payload fromBytes(std::vector<uint8_t> bytes);

    // A payload backed by a shared section (memfd) of exactly `size` bytes,
    // mapped read/write so the caller can fill it in place; used for the
    // large payloads so they are written once.
    static Payload section(size_t size);

    // Adopts a section descriptor received from another process: maps it
    // read-only, size taken from the descriptor. Empty payload on failure.
    static Payload adoptSectionFd(int fd);

    bool empty() const { return size() == 0; }
    size_t size() const;
    const uint8_t* data() const;
    uint8_t* mutableData();  // writable only for payloads made here
    std::span<const uint8_t> bytes() const { return {data(), size()}; }

    // True when the bytes live in a section (memfd) rather than inline.
    bool isSection() const;
    // The section descriptor, or -1 (owned by the payload).
    int sectionFd() const;

private:
    struct Impl;
    std::shared_ptr<Impl> impl_;
};

}  // namespace plat
