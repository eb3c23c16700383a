// Edit masks of the value editor as a QValidator. A mask "pattern;save;blank"
// names per position what may be typed there: "9" a digit, "#" a digit or a
// sign, "\x" the literal x, any other character itself as a literal; "!"
// (leading blanks) takes no position. A blank is accepted in every digit
// position, so a partly filled field stays editable.
#pragma once

#include <QValidator>
#include <string>
#include <string_view>

namespace objscope {

// True when `text` fits the mask position by position (it may be shorter).
bool MaskAccepts(std::string_view mask, std::string_view text);

class TEditMaskValidator : public QValidator {
  public:
    TEditMaskValidator(std::string mask, QObject* parent);
    State validate(QString& input, int& pos) const override;

  private:
    std::string mask_;
};

}  // namespace objscope
