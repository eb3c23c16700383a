#include "objectset/blob_rows.h"

#include <charconv>
#include <cstdio>

#include "objectset/object_set_file.h"

namespace objscope {
namespace {

constexpr uint16_t kLinkedListClass = 254;
constexpr uint16_t kTextTableClass = 255;
constexpr size_t kLengthWordSize = 2;

bool IsSeparator(char c) {
    return c == ',' || c == '|' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The items of a row: separated by bars, commas or blanks.
std::vector<std::string_view> RowItems(std::string_view row) {
    std::vector<std::string_view> items;
    size_t i = 0;
    while (i < row.size()) {
        while (i < row.size() && IsSeparator(row[i]))
            ++i;
        size_t start = i;
        while (i < row.size() && !IsSeparator(row[i]))
            ++i;
        if (i > start)
            items.push_back(row.substr(start, i - start));
    }
    return items;
}

bool HexByte(std::string_view item, uint8_t& value) {
    unsigned number = 0;
    auto [end, error] = std::from_chars(item.data(), item.data() + item.size(), number, 16);
    if (error != std::errc() || end != item.data() + item.size() || number > 0xFF)
        return false;
    value = static_cast<uint8_t>(number);
    return true;
}

BlobBuffer RowError(size_t row, std::string error) {
    BlobBuffer result;
    result.badRow = row;
    result.error = std::move(error);
    return result;
}

}  // namespace

BlobLayout BlobLayoutForClass(uint16_t classId) {
    return classId == kLinkedListClass || classId == kTextTableClass ? BlobLayout::LinkedList
                                                                     : BlobLayout::FixedEntries;
}

std::string BlobRowText(std::span<const uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() * 5);
    for (size_t i = 0; i < bytes.size(); ++i) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X", bytes[i]);
        if (i > 0)
            text += " | ";
        text += digits;
    }
    return text;
}

BlobGridRows BlobRowsFromBuffer(std::span<const uint8_t> buffer, BlobLayout layout,
                                size_t entrySize, size_t entries) {
    BlobGridRows result;
    size_t offset = 0;
    for (size_t row = 0; row < entries; ++row) {
        size_t length = entrySize;
        if (layout == BlobLayout::LinkedList) {
            if (buffer.size() - offset < kLengthWordSize) {
                result.ranPastEnd = true;
                break;
            }
            size_t word = buffer[offset] | (buffer[offset + 1] << 8);
            // A length below its own two bytes cannot be walked past.
            if (word < kLengthWordSize) {
                result.ranPastEnd = true;
                break;
            }
            offset += kLengthWordSize;
            length = word - kLengthWordSize;
        }
        if (buffer.size() - offset < length) {
            result.ranPastEnd = true;
            break;
        }
        result.rows.push_back(BlobRowText(buffer.subspan(offset, length)));
        offset += length;
    }
    return result;
}

BlobBuffer BlobBufferFromRows(std::span<const std::string> rows, BlobLayout layout,
                              size_t entrySize) {
    BlobBuffer result;
    for (size_t r = 0; r < rows.size(); ++r) {
        auto items = RowItems(rows[r]);
        if (items.empty())
            continue;
        std::vector<uint8_t> entry;
        for (auto item : items) {
            uint8_t value = 0;
            if (!HexByte(item, value))
                return RowError(r + 1, "Row " + std::to_string(r + 1) + ": \"" + std::string(item) +
                                           "\" is not a hexadecimal byte (00 to FF)");
            entry.push_back(value);
        }
        if (layout == BlobLayout::FixedEntries) {
            entry.resize(entrySize, 0);
        } else {
            size_t word = entry.size() + kLengthWordSize;
            if (word > 0xFFFF)
                return RowError(r + 1,
                                "Row " + std::to_string(r + 1) + " is too long for an entry");
            entry.insert(entry.begin(),
                         {static_cast<uint8_t>(word & 0xFF), static_cast<uint8_t>(word >> 8)});
        }
        if (result.bytes.size() + entry.size() > kMaxBlobBytes)
            return RowError(r + 1, "Row " + std::to_string(r + 1) + " passes the " +
                                       std::to_string(kMaxBlobBytes) +
                                       " bytes a data block can hold");
        result.bytes.insert(result.bytes.end(), entry.begin(), entry.end());
    }
    return result;
}

std::string BlbFileText(std::span<const std::string> rows) {
    std::string text;
    for (const auto& row : rows) {
        text += row;
        text += "\r\n";
    }
    return text;
}

std::vector<std::string> BlbFileRows(std::string_view text) {
    std::vector<std::string> rows;
    for (auto line : SplitTextLines(text))
        rows.emplace_back(line);
    return rows;
}

}  // namespace objscope
