#include "wire/hexdump.h"

#include <cstdio>

namespace wire {
namespace {

constexpr size_t kBytesPerRow = 16;
constexpr const char* kRowOpening = "   ";

void appendHexByte(std::string& out, uint8_t byte) {
    char text[4];
    std::snprintf(text, sizeof text, " %02X", byte);
    out += text;
}

char printable(uint8_t byte) {
    switch (byte) {
        case 0x00:
        case 0x09:
        case 0x0A:
        case 0x0D:
        case 0xFF:
            return '.';
        default:
            return static_cast<char>(byte);
    }
}

void appendColumnHeader(std::string& out) {
    out += kRowOpening;
    for (unsigned i = 0; i < kBytesPerRow; ++i) {
        appendHexByte(out, static_cast<uint8_t>(i));
    }
    out.append(8, ' ');
    for (unsigned i = 0; i < kBytesPerRow; ++i) {
        out += "0123456789ABCDEF"[i];
    }
    out += '\n';
    out.append(80, '-');
    out += '\n';
}

}  // namespace

HexDumpBuilder::HexDumpBuilder(std::string& out) : out_(out) {
    appendColumnHeader(out_);
    out_ += kRowOpening;
}

void HexDumpBuilder::add(uint8_t byte) {
    appendHexByte(out_, byte);
    row_[inRow_++] = byte;
    if (inRow_ == kBytesPerRow) {
        closeRow();
    }
}

void HexDumpBuilder::finish() {
    if (inRow_ > 0) {
        closeRow();
    }
    out_ += '\n';
}

void HexDumpBuilder::closeRow() {
    out_.append(4, ' ');
    out_.append(3 * (kBytesPerRow - inRow_), ' ');
    out_.append(4, ' ');
    for (size_t i = 0; i < inRow_; ++i) {
        out_ += printable(row_[i]);
    }
    out_ += '\n';
    out_ += kRowOpening;
    inRow_ = 0;
}

std::string hexDump(std::span<const uint8_t> data) {
    std::string text;
    HexDumpBuilder builder(text);
    for (uint8_t byte : data) {
        builder.add(byte);
    }
    builder.finish();
    return text;
}

void streamHexDump(std::span<const uint8_t> data, size_t flushThreshold,
                   const std::function<void(std::string_view)>& flush) {
    std::string pending;
    HexDumpBuilder builder(pending);
    for (uint8_t byte : data) {
        if (pending.size() >= flushThreshold) {
            flush(pending);
            pending.clear();
        }
        builder.add(byte);
    }
    builder.finish();
    flush(pending);
}

}  // namespace wire
