#include "values/property_type_table.h"

namespace objscope {
namespace {

constexpr RawSign U = RawSign::Unsigned;
constexpr RawSign S = RawSign::Signed;

struct NumericTypeRow {
    uint8_t code;
    NumericTypeInfo info;
};

constexpr NumericTypeRow kRows[] = {
    {1, {1, U, 1, "", 0, 255}},
    {2, {2, U, 1, "", 0, 65535}},
    {3, {3, U, 1, "", 0, 16777215}},
    {4, {4, U, 1, "", 0, 4294967295.0}},
    {5, {8, S, 1, "", -1.845e19, 1.845e19}},
    {6, {1, S, 1, "", -128, 127}},
    {7, {2, S, 1, "", -32768, 32767}},
    {8, {3, S, 1, "", -8388608, 8388607}},
    {9, {4, S, 1, "", -2147483647, 2147483647}},
    {10, {8, S, 1, "", -2147483647, 2147483647}},
    {11, {4, U, 1, "", -2147483647, 2147483647}},
    {12, {8, U, 1, "", -2147483647, 2147483647}},
    {13, {1, U, 1, " (1=True)", 0, 1}},
    {131, {1, S, 2, " dB", -100, 27.5}},
    {132, {2, S, 128, " dB", -256, 255.9}},
    {135, {2, S, 256, " dB/sec", -128, 127.9}},
    {136, {1, S, 4, " V", -32, 31.75}},
    {137, {2, S, 128, " V", -256, 255.9}},
    {140, {2, U, 2, " Hz", 0, 32767.5}},
    {141, {1, U, 80, " Hz", 1, 255}},
    {142, {2, U, 10000, " Hz", 1, 65535}},
    {143, {1, U, 80, " dec", 0, 255}},
    {144, {2, U, 10000, " dec", 0, 65535}},
    {151, {1, U, 8, "", 0, 31.875}},
    {152, {2, S, 256, "", -128, 127.9}},
    {153, {3, S, 65536, "", -128, 127.9}},
    {155, {4, RawSign::Float, 16777216, "", -2147483647, 2147483647}},
    {157, {1, S, 128, "", -1, 0.992}},
    {158, {2, S, 32768, "", -1, 0.9999}},
    {161, {1, S, 0.125, " usec", -1024, 1016}},
    {162, {2, S, 125, " msec", -262.144, 262.136}},
    {163, {3, S, 1000, " msec", -8388.608, 8388.607}},
    {164, {4, S, 1000, " msec", -2147483.648, 2147483.647}},
    {165, {2, U, 32768, " fbisec", 0, 1.999939}},
    {166, {2, U, 0.5, " bisec", 0, 131070}},
    {167, {2, U, 128, " sec", 0, 511.992}},
};

bool InTable(uint8_t code) {
    return (code >= 1 && code <= 13) || (code >= 131 && code <= 167);
}

}  // namespace

NumericTypeInfo NumericTypeFor(uint8_t code) {
    for (const auto& row : kRows) {
        if (row.code == code)
            return row.info;
    }
    if (InTable(code))
        return NumericTypeInfo{};  // an empty row: cannot carry a value
    uint32_t size = (code >= 170 && code <= 173) ? 2 : 4;
    return NumericTypeInfo{size, U, 1, "", 0, 4294967294.0};
}

bool IsScaledPackCode(uint8_t code) {
    return (code >= 1 && code <= 4) || (code >= 6 && code <= 13) || (code >= 131 && code <= 153) ||
           (code >= 157 && code <= 167) || code == 170 || code == 171 || code == kTypeRelPtr;
}

bool IsScaledUnpackCode(uint8_t code) {
    return (code >= 1 && code <= 4) || (code >= 6 && code <= 13) || (code >= 131 && code <= 167) ||
           code == 170 || code == 171 || code == kTypeRelPtr;
}

}  // namespace objscope
