#include "protocol/tarn_status.h"

#include <gtest/gtest.h>

namespace objscope {
namespace {

struct StatusCase {
    int32_t status;
    const char* text;
};

TEST(TarnStatusText, EveryRowOfTheTable) {
    const StatusCase cases[] = {
        {0, "OK"},
        {-1, "VEKnet Message Failure"},
        {-4, "Time Out"},
        {-15, "VEKnet Message Failure"},
        {-19, "Invalid IP Address"},
        {-2, "VEKnet Error #-2"},
        {-100, "VEKnet Error #-100"},
        {1, "NACK - General Error (1)"},
        {2, "Object Invalid (2)"},
        {3, "Method Invalid (3)"},
        {4, "Device Invalid (4)"},
        {5, "Unknown Transport Error (5)"},
        {127, "Unknown Transport Error (127)"},
        {128, "Internal Error #0"},
        {200, "Internal Error #72"},
        {255, "Internal Error #127"},
        {4 * 256, "Field Invalid (4)"},
        {8 * 256, "Property Invalid (8)"},
        {16 * 256, "Property Wrong Size (16)"},
        {32 * 256, "Message Wrong Size (32)"},
        {64 * 256, "Not Allowed/Read-Only (64)"},
        {96 * 256, "Could Not Complete (96)"},
        {97 * 256, "Could Not Create Object (97)"},
        {128 * 256, "Partial Response (128)"},
        {1 * 256, "Unknown Message Error (1)"},
        {5 * 256, "Unknown Message Error (5)"},
        {0x84 * 256, "Unknown Message Error (132)"},
        {255 * 256, "Unknown Message Error (255)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        EXPECT_EQ(StatusText(c.status), c.text);
    }
}

TEST(TarnStatusText, StatusBytePairsFromReplies) {
    EXPECT_EQ(StatusText(statusValue(0, 0x80)), "Partial Response (128)");
    EXPECT_EQ(StatusText(statusValue(5, 0)), "Unknown Transport Error (5)");
    for (int mode = 0; mode < 256; ++mode) {
        EXPECT_EQ(StatusText(statusValue(200, static_cast<uint8_t>(mode))), "Internal Error #72");
    }
}

TEST(TarnStatusText, ValuesOutsideTheByteRangesStillGetText) {
    EXPECT_EQ(StatusText(0x8000 + 3), "Unknown Message Error (128)");
    EXPECT_EQ(StatusText(INT32_MIN), "VEKnet Error #-2147483648");
    EXPECT_FALSE(StatusText(INT32_MAX).empty());
}

}  // namespace
}  // namespace objscope
