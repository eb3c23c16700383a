#include "wire/hexdump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const std::string kHeader =
    "    00 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F        0123456789ABCDEF\n" +
    std::string(80, '-') + "\n";

std::string dumpOf(const std::vector<uint8_t>& bytes) {
    return wire::hexDump(bytes);
}

TEST(HexDump, LayoutByteForByte) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        std::string expected;
    };
    std::vector<uint8_t> sixteen;
    for (int i = 0; i < 16; ++i) {
        sixteen.push_back(static_cast<uint8_t>('a' + i));
    }
    std::vector<uint8_t> seventeen = sixteen;
    seventeen.push_back('Z');
    const std::string fullRow =
        "    61 62 63 64 65 66 67 68 69 6A 6B 6C 6D 6E 6F 70        abcdefghijklmnop\n";
    const Case cases[] = {
        {"empty", {}, kHeader + "   \n"},
        {"one full row", sixteen, kHeader + fullRow + "   \n"},
        {"seventeen", seventeen,
         kHeader + fullRow + "    5A" + std::string(4 + 45 + 4, ' ') + "Z\n   \n"},
        {"substitutions",
         {0x41, 0x00, 0x0A, 0x25, 0x09, 0x0D, 0xFF, 0x80, 0x01},
         kHeader + "    41 00 0A 25 09 0D FF 80 01" + std::string(4 + 21 + 4, ' ') +
             "A..%...\x80\x01\n   \n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dumpOf(c.bytes), c.expected) << c.name;
    }
}

TEST(HexDump, CharacterColumnsLineUp) {
    std::vector<uint8_t> bytes(16 * 3 + 5, 'x');
    std::vector<std::string> lines;
    std::string text = dumpOf(bytes);
    for (size_t begin = 0, end; (end = text.find('\n', begin)) != std::string::npos;
         begin = end + 1) {
        lines.push_back(text.substr(begin, end - begin));
    }
    const size_t column = 3 + 16 * 3 + 8;
    ASSERT_EQ(lines.size(), 2u + 4u + 1u);
    EXPECT_EQ(lines[0].find("0123456789ABCDEF"), column);
    for (size_t row = 2; row < 6; ++row) {
        EXPECT_EQ(lines[row].find('x'), column) << row;
    }
    EXPECT_EQ(lines[5].substr(column), "xxxxx");
    EXPECT_EQ(lines[6], "   ");
}

TEST(HexDump, StreamingFlushesAtThresholdAndMatchesWholeText) {
    std::vector<uint8_t> bytes(1000);
    for (size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<uint8_t>(i * 7);
    }
    for (size_t threshold : {size_t{1}, size_t{200}, size_t{3968}, size_t{100000}}) {
        std::vector<std::string> pieces;
        wire::streamHexDump(bytes, threshold,
                            [&](std::string_view piece) { pieces.emplace_back(piece); });
        std::string joined;
        for (size_t i = 0; i < pieces.size(); ++i) {
            if (i + 1 < pieces.size()) {
                // A flushed piece reached the threshold and exceeds it by less
                // than one row's closing text (the header comes out whole).
                EXPECT_GE(pieces[i].size(), threshold);
                EXPECT_LT(pieces[i].size(), std::max(threshold, kHeader.size() + 3) + 80);
            }
            joined += pieces[i];
        }
        EXPECT_EQ(joined, wire::hexDump(bytes)) << threshold;
    }
    std::vector<std::string> emptyPieces;
    wire::streamHexDump({}, 3968, [&](std::string_view piece) { emptyPieces.emplace_back(piece); });
    EXPECT_EQ(emptyPieces, std::vector<std::string>{kHeader + "   \n"});
}

}  // namespace
