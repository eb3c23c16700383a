// The duplicate filter of received datagrams: the identities (source
// address, MessageID, MessageNumber) of the last 5 accepted messages from all
// sources together. A repeat that arrives after 5 other accepted messages
// passes again.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace hub {

struct _MsgBuffer {
    uint16_t MessageNum = 0;
    uint16_t MessageID = 0;  // all 16 bits, response flag included
    uint32_t NetAddress = 0;
};

class DuplicateRing {
  public:
    static constexpr size_t kEntries = 5;

    // All entries zero, write index 0.
    void reset();

    // True when an entry holds exactly this identity.
    bool contains(uint32_t address, uint16_t messageID, uint16_t messageNumber) const;

    // Overwrites the oldest entry with this identity.
    void remember(uint32_t address, uint16_t messageID, uint16_t messageNumber);

  private:
    std::array<_MsgBuffer, kEntries> entries_{};
    size_t NetMsgPtr = 0;
};

}  // namespace hub
