// Little-endian byte access for Tarn payloads. The reader never reads past the
// span it was given: a read that does not fit fails and leaves the reader
// failed, so a decoder can run a sequence of reads and check once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace objscope {

class ByteReader {
  public:
    explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    bool ok() const { return ok_; }
    size_t position() const { return pos_; }
    size_t remaining() const { return ok_ ? bytes_.size() - pos_ : 0; }

    uint8_t u8() {
        if (!take(1))
            return 0;
        return bytes_[pos_ - 1];
    }
    uint16_t u16() {
        if (!take(2))
            return 0;
        return static_cast<uint16_t>(bytes_[pos_ - 2] | (bytes_[pos_ - 1] << 8));
    }
    uint32_t u32() {
        uint32_t low = u16();
        uint32_t high = u16();
        return low | (high << 16);
    }
    // The next `count` bytes, or an empty span (and failure) when fewer remain.
    std::span<const uint8_t> bytes(size_t count) {
        if (!take(count))
            return {};
        return bytes_.subspan(pos_ - count, count);
    }
    void skip(size_t count) { take(count); }

  private:
    bool take(size_t count) {
        if (!ok_ || count > bytes_.size() - pos_) {
            ok_ = false;
            return false;
        }
        pos_ += count;
        return true;
    }

    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
    bool ok_ = true;
};

// Appends little-endian values to a growing byte vector.
class ByteWriter {
  public:
    explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}

    void u8(uint8_t v) { out_.push_back(v); }
    void u16(uint16_t v) {
        out_.push_back(static_cast<uint8_t>(v & 0xFF));
        out_.push_back(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v) {
        u16(static_cast<uint16_t>(v & 0xFFFF));
        u16(static_cast<uint16_t>(v >> 16));
    }
    void bytes(std::span<const uint8_t> data) { out_.insert(out_.end(), data.begin(), data.end()); }

  private:
    std::vector<uint8_t>& out_;
};

}  // namespace objscope
