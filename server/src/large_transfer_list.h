// The transfers in progress (`DataTransferList`, newest first), in both
// roles, with the one-shot packet timer of each entry on the main window.
// Used only on the server's main thread, so the list has no lock.
#pragma once

#include <cstdint>
#include <list>
#include <optional>
#include <string>
#include <vector>

#include "platform/window.h"

namespace hub {

enum class TransferRole { Sender, Receiver };

struct _DataTransferEntry {
    TransferRole role = TransferRole::Sender;
    uint64_t TimerID = 0;             // window timer of the next step; 0 while none runs
    uint32_t TransferID = 0;          // assigned by the receiving side
    uint32_t InternalTransferID = 0;  // assigned here
    uint16_t TransferType = 0;        // file_transfer or netmsg_transfer
    uint32_t TotalPackets = 0;
    uint32_t LastProcessedPacket = 0;
    uint32_t TransferLength = 0;
    uint32_t SourceNetworkAddress = 0;   // receiver: the sender
    uint32_t DestNetworkAddress = 0;     // sender: the receiver
    uint16_t ResponseMessageNumber = 0;  // sender: what the next reply must carry
    uint32_t PacketSize = 0;             // sender: datagram size of a packet
    uint32_t Offset = 0;                 // bytes sent, or stored
    // Sender: the whole datagram. Receiver of a message: the bytes stored so
    // far (capacity reserved for TransferLength, filled as packets arrive).
    std::vector<uint8_t> DataBuffer;
    std::string Filename;  // receiver of a file: path inside the receive folder
};

using TransferEntry = std::list<_DataTransferEntry>::iterator;

class DataTransferList {
  public:
    // Empty list, counters back to 1; timers go to `window` and fire after
    // `packetTimeoutMs`.
    void reset(plat::Hwnd window, uint32_t packetTimeoutMs);

    // Deletes every entry (timers stopped) and stops taking transfers.
    void clear();

    // True between reset() and clear(): transfers are taken.
    bool running() const { return running_; }

    // Puts the entry at the head of the list.
    TransferEntry add(_DataTransferEntry entry);

    // Unlinks the entry, stops its timer and frees its buffer.
    void erase(TransferEntry entry);

    // The receiver entry of this transfer from this sender.
    std::optional<TransferEntry> findReceiver(uint32_t transferID, uint32_t source);
    // The sender entry that waits for a reply with this number from this peer.
    std::optional<TransferEntry> findSender(uint16_t messageNumber, uint32_t dest);
    // The entry whose timer this is.
    std::optional<TransferEntry> findByTimer(uint64_t timerID);

    size_t size() const { return entries_.size(); }
    size_t receiverCount() const;

    // Calls `visit` for every receiving file transfer.
    template <typename Visit>
    void forEachReceivingFile(Visit visit) const {
        for (const _DataTransferEntry& e : entries_) {
            if (e.role == TransferRole::Receiver && !e.Filename.empty()) {
                visit(e);
            }
        }
    }

    // The next transfer ID: 1..65535, then 1 again.
    uint32_t nextTransferID();

    // Starts (or restarts) the entry's packet timer; stops it.
    void startTimer(_DataTransferEntry& entry);
    void stopTimer(_DataTransferEntry& entry);

  private:
    std::list<_DataTransferEntry> entries_;
    plat::Hwnd window_ = plat::kNoWindow;
    uint32_t packetTimeoutMs_ = 0;
    uint32_t nextTransferID_ = 1;
    uint32_t nextTimer_ = 0;
    bool running_ = false;
};

DataTransferList& dataTransferList();

// Window timers of the transfers use IDs from this value on, apart from any
// other timer of the main window.
constexpr uint64_t kTransferTimerBase = 0x7452'0000'0000ull;

}  // namespace hub
