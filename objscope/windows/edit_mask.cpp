#include "windows/edit_mask.h"

#include <vector>

namespace objscope {
namespace {

struct MaskPosition {
    enum Kind { Digit, DigitOrSign, Literal } kind;
    char literal = 0;
};

std::vector<MaskPosition> Positions(std::string_view mask) {
    mask = mask.substr(0, mask.find(';'));
    std::vector<MaskPosition> positions;
    for (size_t i = 0; i < mask.size(); ++i) {
        char c = mask[i];
        if (c == '!')
            continue;
        if (c == '9')
            positions.push_back({MaskPosition::Digit});
        else if (c == '#')
            positions.push_back({MaskPosition::DigitOrSign});
        else if (c == '\\' && i + 1 < mask.size())
            positions.push_back({MaskPosition::Literal, mask[++i]});
        else
            positions.push_back({MaskPosition::Literal, c});
    }
    return positions;
}

bool Fits(const MaskPosition& position, char c) {
    bool digit = (c >= '0' && c <= '9') || c == ' ';
    switch (position.kind) {
        case MaskPosition::Digit:
            return digit;
        case MaskPosition::DigitOrSign:
            return digit || c == '-' || c == '+';
        case MaskPosition::Literal:
            return c == position.literal;
    }
    return false;
}

}  // namespace

bool MaskAccepts(std::string_view mask, std::string_view text) {
    auto positions = Positions(mask);
    if (text.size() > positions.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (!Fits(positions[i], text[i]))
            return false;
    }
    return true;
}

TEditMaskValidator::TEditMaskValidator(std::string mask, QObject* parent)
    : QValidator(parent), mask_(std::move(mask)) {}

QValidator::State TEditMaskValidator::validate(QString& input, int&) const {
    return MaskAccepts(mask_, input.toStdString()) ? Acceptable : Invalid;
}

}  // namespace objscope
