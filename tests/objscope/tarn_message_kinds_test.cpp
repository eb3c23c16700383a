#include "protocol/tarn_message_kinds.h"

#include <gtest/gtest.h>

namespace objscope {
namespace {

TEST(TarnMessageKinds, KindSelectsMessageId) {
    const uint16_t expected[31] = {0,    2,    1,    14,   18,   1029, 1028, 17,   19,   1024, 1035,
                                   1030, 1025, 2148, 2149, 2054, 2055, 2056, 2150, 2151, 2152, 2048,
                                   2049, 2050, 2051, 2052, 2053, 22,   23,   14,   14};
    for (uint8_t kind = 0; kind < 31; ++kind) {
        SCOPED_TRACE(static_cast<int>(kind));
        EXPECT_EQ(messageIdForKind(kind), expected[kind]);
    }
    EXPECT_FALSE(messageIdForKind(MessageKind::Method));
    EXPECT_FALSE(messageIdForKind(uint8_t{32}));
    EXPECT_FALSE(messageIdForKind(uint8_t{255}));
}

TEST(TarnMessageKinds, NamesOfMessageIds) {
    struct Case {
        uint16_t messageId;
        const char* name;
    };
    const Case cases[] = {
        {2, "TarnSet"},
        {1, "TarnGet"},
        {14, "TarnReg"},
        {18, "TarnUnregAll"},
        {1029, "TarnConfirmObject"},
        {1024, "TarnGetAllObjs"},
        {1025, "TarnGetAllClasses"},
        {2055, "TarnSetDefaultData"},
        {22, "TarnGetGroup"},
        {23, "TarnSetGroup"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MessageName(c.messageId), c.name);
    }
}

TEST(TarnMessageKinds, UnlistedIdsHaveNoName) {
    EXPECT_EQ(MessageName(1035), "");  // TarnGetAllObjsPlus is not in the name table
    EXPECT_EQ(MessageName(0), "");
    EXPECT_EQ(MessageName(3073), "");
}

}  // namespace
}  // namespace objscope
