// Named rejection codes a device answers with. Transport rejections travel in
// the reply's Status byte, message rejections in its Mode byte; the status
// value of either (see tarn_status.h) is what callers compare with.
#pragma once

#include <cstdint>

#include "protocol/tarn_status.h"

namespace objscope {

// Status byte codes.
enum class TransportRejection : uint8_t {
    GeneralNack = 1,    // "NACK - General Error"
    ObjectInvalid = 2,  // no object with that handle
    MethodInvalid = 3,  // message ID unknown to the object
    DeviceInvalid = 4,  // addressed to another device
};

// Mode byte codes.
enum class MessageRejection : uint8_t {
    FieldInvalid = 4,          // a value or command word out of range
    PropertyInvalid = 8,       // the object has no such property
    PropertyWrongSize = 16,    // the item's size differs from the property's
    MessageWrongSize = 32,     // the payload is shorter than its layout
    NotAllowedReadOnly = 64,   // the property cannot be written
    CouldNotComplete = 96,     // the request was valid but failed
    CouldNotCreateObject = 97  // a new object was refused
};

// The status values of the codes above.
constexpr int32_t statusValueOf(TransportRejection code) {
    return statusValue(static_cast<uint8_t>(code), 0);
}
constexpr int32_t statusValueOf(MessageRejection code) {
    return statusValue(0, static_cast<uint8_t>(code));
}

// A device's verdict on one request: success, or one rejection.
struct DeviceVerdict {
    uint8_t status = 0;  // Status byte
    uint8_t mode = 0;    // Mode byte

    static constexpr DeviceVerdict ok() { return {}; }
    static constexpr DeviceVerdict reject(TransportRejection code) {
        return {static_cast<uint8_t>(code), 0};
    }
    static constexpr DeviceVerdict reject(MessageRejection code) {
        return {0, static_cast<uint8_t>(code)};
    }
    constexpr bool isOk() const { return status == 0 && mode == 0; }
    constexpr int32_t value() const { return statusValue(status, mode); }
};

}  // namespace objscope
