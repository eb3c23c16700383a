#include "objectset/object_set_format.h"

#include <algorithm>
#include <array>
#include <span>

namespace objscope {
namespace {

struct LeaveOutRule {
    uint16_t firstProperty;
    uint16_t lastProperty;
    std::span<const uint16_t> classes;
};

constexpr uint16_t kCommonLeftOut[] = {0, 1, 4, 5, 10, 12};

constexpr uint16_t k1024[] = {58,  59,  60,  61,  64,  66,  68,  69,  70,  73,  74,  75,  76,
                              78,  90,  91,  92,  93,  94,  95,  96,  122, 129, 130, 135, 162,
                              176, 190, 202, 224, 225, 226, 236, 238, 239, 240, 242};
constexpr uint16_t k2048[] = {58, 59, 60, 61, 64, 66, 68, 70, 73, 74, 75, 76, 95, 176, 226};
constexpr uint16_t k2049[] = {58, 59, 60, 61, 64, 66, 68, 70, 73, 74, 75, 76, 96, 176, 226};
constexpr uint16_t k96[] = {96};
constexpr uint16_t k224_236[] = {224, 236};
constexpr uint16_t k224_236_238[] = {224, 236, 238};
constexpr uint16_t k11[] = {11};
constexpr uint16_t k59_73[] = {59, 73};
constexpr uint16_t k167_226[] = {167, 226};
constexpr uint16_t k226[] = {226};
constexpr uint16_t k59_73_226[] = {59, 73, 226};
constexpr uint16_t k4096[] = {48, 53, 67, 71, 243, 244};
constexpr uint16_t k73[] = {73};
constexpr uint16_t k73_166_168[] = {73, 166, 168};
constexpr uint16_t k73_77[] = {73, 77};
constexpr uint16_t k37_73_77[] = {37, 73, 77};
constexpr uint16_t k37[] = {37};
constexpr uint16_t k54[] = {54};
constexpr uint16_t k53_54[] = {53, 54};
constexpr uint16_t k237[] = {237};
constexpr uint16_t k5120[] = {3, 72, 163, 164, 165};
constexpr uint16_t k165[] = {165};

constexpr LeaveOutRule kRules[] = {
    {1024, 1024, k1024},       {2048, 2048, k2048},        {2049, 2049, k2049},
    {2050, 2055, k96},         {2059, 2062, k224_236},     {2065, 2066, k224_236},
    {2073, 2076, k224_236},    {2063, 2064, k224_236_238}, {2069, 2072, k224_236_238},
    {3072, 3073, k11},         {3074, 3074, k59_73},       {3078, 3078, k167_226},
    {3079, 3081, k226},        {3084, 3095, k226},         {3082, 3083, k59_73_226},
    {4096, 4096, k4096},       {4098, 4098, k73},          {4198, 4199, k73},
    {4099, 4099, k73_166_168}, {4100, 4100, k73_77},       {4101, 4101, k37_73_77},
    {4102, 4103, k37},         {4106, 4107, k54},          {4109, 4109, k54},
    {4108, 4108, k53_54},      {4121, 4121, k237},         {4196, 4196, k237},
    {5120, 5120, k5120},       {5125, 5126, k165},         {5139, 5139, k165},
};

}  // namespace

bool IsObjectSetMarker(std::string_view line) {
    return line.find("####") != std::string_view::npos;
}

bool IsLeftOutProperty(uint16_t classId, uint16_t propertyId) {
    if (std::find(std::begin(kCommonLeftOut), std::end(kCommonLeftOut), propertyId) !=
        std::end(kCommonLeftOut))
        return true;
    for (const auto& rule : kRules) {
        if (propertyId >= rule.firstProperty && propertyId <= rule.lastProperty &&
            std::find(rule.classes.begin(), rule.classes.end(), classId) != rule.classes.end())
            return true;
    }
    return false;
}

}  // namespace objscope
