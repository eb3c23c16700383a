// Status values: the one integer by which a Tarn reply is judged, and their
// texts for log lines and error dialogs.
//
//   < 0          objlink failure of the send functions, or a failure of
//                this library (kStatusReplyTooShort)
//   0            success
//   1..127       transport rejection (the header's Status byte)
//   128..255     internal device error (code + 128)
//   m * 256      message rejection m (the Mode byte); 0x8000 = partial response
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace objscope {

constexpr int32_t kStatusOk = 0;
constexpr int32_t kStatusPartialResponse = 0x8000;
constexpr int32_t kStatusMessageWrongSize = 32 * 256;
constexpr int32_t kStatusNotRegistered = -15;  // no objlink registration: nothing sent
// The reply is shorter than the Tarn header: no status byte arrived, so it
// is judged by a value of this library, not by a device status it never
// sent. Outside the codes objlink and hubclient return.
constexpr int32_t kStatusReplyTooShort = -64;

// The Status byte if it is non-zero, else the Mode byte times 256.
constexpr int32_t statusValue(uint8_t status, uint8_t mode) {
    return status != 0 ? status : static_cast<int32_t>(mode) * 256;
}

// The status value of a received data block. A block too short to hold the
// Tarn header carries no status: kStatusReplyTooShort, never read past its
// end.
int32_t replyStatusValue(std::span<const uint8_t> data);

// The text of a status value; never fails, unknown codes get a numbered text.
std::string StatusText(int32_t status);

}  // namespace objscope
