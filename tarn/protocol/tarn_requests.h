// Builders of the Tarn requests that objscope sends. Each returns the objlink
// message ID and the whole data block (14-byte header and payload) ready to be
// copied into the request record. Property items inside payloads arrive
// already encoded (header and value, see tarn_items.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "protocol/tarn_header.h"
#include "protocol/tarn_message_kinds.h"

namespace objscope {

// The data buffer a request record starts with. Requests whose length depends
// on their content (confirm, multi-set, methods) may be longer, up to what one
// datagram carries; a longer one is refused, never cut.
constexpr size_t kTarnRequestBufferSize = 512;
constexpr size_t kTarnMaxRequestLength = 1480 - 9;  // one datagram less its 9-byte header

constexpr uint16_t kUnregisterCode = 1023;
constexpr uint16_t kResetKey = 0x5AA5;  // guards soft reset and set-default-data
constexpr uint16_t kDeleteAllObjsCode = 1;
constexpr uint16_t kClassBlob = 11;               // listing filter "BLOB"
constexpr uint16_t kClassLinkedListObject = 254;  // listing filter "Linked List Object"

// Offset of the u16 start index in every paged listing request.
constexpr size_t kListingStartIndexOffset = kTarnHeaderSize;

struct TarnRequest {
    uint16_t messageId = 0;
    MessageKind kind = MessageKind::None;
    std::vector<uint8_t> data;  // header + payload; DataLength = data.size()
};

// Who sends: this PC's network number ("MyNet") and source ID.
struct TarnRequester {
    uint16_t net = 0;
    uint16_t sourceId = 0;
};

// What a change registration watches.
struct RegistrationProperty {
    uint16_t propertyId = 0;  // only bits 0..13 are used
    uint8_t typeCode = 0;     // value type code of the property
    size_t wireSize = 0;      // the value's wire size (decides the item header)
};

// Requests whose length depends on their content return nothing when they
// would not fit one datagram (kTarnMaxRequestLength), the item of a Set is
// empty, or a value is too long for an item's length byte. The confirm and
// multi-set leave an empty item (a value that could not be packed) out with
// a message and count only the items they carry.
std::optional<TarnRequest> buildSet(const TarnRequester& from, const TarnAddress& target,
                                    bool replyWanted, std::span<const uint8_t> item);
std::optional<TarnRequest> buildGet(const TarnRequester& from, const TarnAddress& target,
                                    uint16_t propertyId, size_t wireSize);
std::optional<TarnRequest> buildRegistration(const TarnRequester& from, const TarnAddress& target,
                                             uint16_t registrationNumber,
                                             const RegistrationProperty& property);
// Cancels the registration whose request carried `registrationSource`
// (its Src_Net, Src_Dev, Src_Obj); Src_Obj of this request is the
// registration number.
TarnRequest buildUnregister(const TarnRequester& from, const TarnAddress& target,
                            const TarnAddress& registrationSource);
std::optional<TarnRequest> buildConfirmObject(const TarnRequester& from, uint16_t net, uint16_t dev,
                                              uint16_t classId, uint16_t objectHandle,
                                              uint16_t ownerHandle,
                                              std::span<const std::vector<uint8_t>> items);
TarnRequest buildDelete(const TarnRequester& from, uint16_t net, uint16_t dev,
                        uint16_t objectHandle);
std::optional<TarnRequest> buildSetMultipleProps(const TarnRequester& from,
                                                 const TarnAddress& target,
                                                 std::span<const std::vector<uint8_t>> items);
TarnRequest buildGetAllProps(const TarnRequester& from, const TarnAddress& target,
                             uint16_t startIndex);
TarnRequest buildGetAllObjs(const TarnRequester& from, uint16_t net, uint16_t dev,
                            uint16_t startIndex, std::optional<uint16_t> classFilter);
TarnRequest buildGetAllObjsPlus(const TarnRequester& from, uint16_t net, uint16_t dev,
                                uint16_t startIndex);
TarnRequest buildDeleteAllObjs(const TarnRequester& from, uint16_t net, uint16_t dev);
TarnRequest buildGetAllClasses(const TarnRequester& from, uint16_t net, uint16_t dev);
TarnRequest buildSoftReset(const TarnRequester& from, uint16_t net, uint16_t dev);
TarnRequest buildSetDefaultData(const TarnRequester& from, uint16_t net, uint16_t dev);
// A method (raw exchange): the caller's message ID and payload bytes.
std::optional<TarnRequest> buildMethod(const TarnRequester& from, const TarnAddress& target,
                                       uint16_t messageId, bool replyWanted,
                                       std::span<const uint8_t> payload);

// The change threshold a registration sends for a value type: 0 for Boolean,
// String and BitSet, 64 for DB2, 1 for all others.
uint16_t registrationThreshold(uint8_t typeCode);

// Rewrites the start index of a paged listing request (for the next page).
// False when the request is too short to hold one.
bool setListingStartIndex(std::vector<uint8_t>& request, uint16_t startIndex);
// The start index of a paged listing request, or nothing when it has none.
std::optional<uint16_t> listingStartIndex(std::span<const uint8_t> request);

}  // namespace objscope
