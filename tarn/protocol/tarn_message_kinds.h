// Message kinds: the code (0..31) by which the communication layer names a
// request. The kind selects the objlink message ID, is written into `Src_Obj`
// of the request (registrations write their registration number instead) and
// decides how the reply is handled.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace objscope {

enum class MessageKind : uint8_t {
    None = 0,
    Set = 1,
    Get = 2,
    Reg = 3,
    UnregAll = 4,
    ConfirmObject = 5,
    Delete = 6,
    SetMultipleProps = 7,
    GetAllProps = 8,
    GetAllObjs = 9,
    GetAllObjsPlus = 10,
    DeleteAllObjs = 11,
    GetAllClasses = 12,
    GetMemory = 13,
    GetAddrSpaceCodes = 14,
    SoftReset = 15,
    SetDefaultData = 16,
    ResetStatus = 17,
    WriteMemory = 18,
    EraseMemory = 19,
    CheckMemory = 20,
    GetTransport = 21,
    SetTransport = 22,
    SerialNoQuery = 23,
    SetDevHandle = 24,
    SetAccessMode = 25,
    SetPassword = 26,
    GetGroup = 27,
    SetGroup = 28,
    MultiReg = 29,
    GroupReg = 30,
    Method = 31,  // raw exchange: the caller chooses the message ID
};

constexpr uint8_t kMessageKindCount = 32;

// Registration numbers start above the kind codes, so a `Src_Obj` of 12 or
// more names a registration.
constexpr uint16_t kFirstRegistrationNumber = 12;

// The objlink message ID of a kind. Nothing for `Method` (chosen by the
// caller) and for codes outside 0..31.
std::optional<uint16_t> messageIdForKind(uint8_t kind);
inline std::optional<uint16_t> messageIdForKind(MessageKind kind) {
    return messageIdForKind(static_cast<uint8_t>(kind));
}

// The name under which a message ID is shown (e.g. in the ticket list): the
// first entry of the name table with that ID, so ID 14 always reads
// "TarnReg". Empty for IDs not in the table.
std::string_view MessageName(uint16_t messageId);

}  // namespace objscope
