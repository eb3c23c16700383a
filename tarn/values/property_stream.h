// Little-endian helpers for the stream records of properties and objects:
// doubles, 64-bit integers, fixed-width texts (a length byte followed by a
// fixed number of characters) and the four-character section tags.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "protocol/tarn_bytes.h"

namespace objscope {

void WriteI64(ByteWriter& out, int64_t value);
int64_t ReadI64(ByteReader& in);

void WriteDouble(ByteWriter& out, double value);
double ReadDouble(ByteReader& in);

// A length byte followed by exactly `width` characters (zero-padded); texts
// longer than `width` are cut.
void WriteFixedText(ByteWriter& out, std::string_view text, size_t width);
// Reads such a record; a length byte above `width` is limited to `width`.
std::string ReadFixedText(ByteReader& in, size_t width);

// The 8-byte section tag 55 AA AA 55 followed by four characters ("Obj:",
// "Data", "Prop").
void WriteSectionTag(ByteWriter& out, std::string_view fourChars);
// Reads a section tag and answers whether it is the expected one.
bool ReadSectionTag(ByteReader& in, std::string_view fourChars);
// Whether the next bytes are the given tag (nothing is consumed).
bool PeekSectionTag(const ByteReader& in, std::string_view fourChars);

}  // namespace objscope
