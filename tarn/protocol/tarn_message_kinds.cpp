#include "protocol/tarn_message_kinds.h"

#include <array>

namespace objscope {
namespace {

// Message IDs by kind 0..30; kind 31 (method) has none of its own.
constexpr std::array<uint16_t, 31> kMessageIds{
    0,    2,    1,    14,   18,   1029, 1028, 17,   19,   1024, 1035, 1030, 1025, 2148, 2149, 2054,
    2055, 2056, 2150, 2151, 2152, 2048, 2049, 2050, 2051, 2052, 2053, 22,   23,   14,   14,
};

struct NamedId {
    uint16_t messageId;
    std::string_view name;
};

// Kinds 1..30 without kind 10, in kind order; the registration kinds share
// ID 14, so the first of them wins the lookup.
constexpr std::array<NamedId, 29> kNames{{
    {2, "TarnSet"},
    {1, "TarnGet"},
    {14, "TarnReg"},
    {18, "TarnUnregAll"},
    {1029, "TarnConfirmObject"},
    {1028, "TarnDelete"},
    {17, "TarnSetMultipleProps"},
    {19, "TarnGetAllProps"},
    {1024, "TarnGetAllObjs"},
    {1030, "TarnDeleteAllObjs"},
    {1025, "TarnGetAllClasses"},
    {2148, "TarnGetMemory"},
    {2149, "TarnGetAddrSpaceCodes"},
    {2054, "TarnSoftReset"},
    {2055, "TarnSetDefaultData"},
    {2056, "TarnResetStatus"},
    {2150, "TarnWriteMemory"},
    {2151, "TarnEraseMemory"},
    {2152, "TarnCheckMemory"},
    {2048, "TarnGetTransport"},
    {2049, "TarnSetTransport"},
    {2050, "TarnSerialNoQuery"},
    {2051, "TarnSetDevHandle"},
    {2052, "TarnSetAccessMode"},
    {2053, "TarnSetPassword"},
    {22, "TarnGetGroup"},
    {23, "TarnSetGroup"},
    {14, "TarnMultiReg"},
    {14, "TarnGroupReg"},
}};

}  // namespace

std::optional<uint16_t> messageIdForKind(uint8_t kind) {
    if (kind >= kMessageIds.size())
        return std::nullopt;
    return kMessageIds[kind];
}

std::string_view MessageName(uint16_t messageId) {
    for (const auto& entry : kNames) {
        if (entry.messageId == messageId)
            return entry.name;
    }
    return {};
}

}  // namespace objscope
