#include "objectset/object_set_fields.h"

#include "values/text_blanks.h"

namespace objscope {
namespace {

// Whether the quote at `at` closes a quoted text: only blanks lie between it
// and the next comma, `close` or the end.
bool ClosesQuote(std::string_view text, size_t at, char close) {
    for (size_t i = at + 1; i < text.size(); ++i) {
        if (text[i] == ',' || text[i] == close)
            return true;
        if (!IsBlank(text[i]))
            return false;
    }
    return true;
}

// The end of the quoted text that starts after the quote at `open`: the
// position of its closing quote, or the text's size when it has none.
size_t QuoteEnd(std::string_view text, size_t open, char close) {
    for (size_t i = open + 1; i < text.size(); ++i) {
        if (text[i] == '"' && ClosesQuote(text, i, close))
            return i;
    }
    return text.size();
}

class FieldSplitter {
  public:
    FieldSplitter(std::string_view text, char open, char close)
        : text_(text), open_(open), close_(close) {}

    std::vector<std::string> Split() {
        for (size_t i = 0; i < text_.size(); ++i) {
            char c = text_[i];
            if (c == ',') {
                Push(false);
            } else if (c == open_) {
                Push(false);
                i = ReadGroup(i);
            } else if (c == '"' && !quoted_) {
                i = ReadQuoted(i);
            } else if (!quoted_ && !grouped_) {
                current_ += c;
            }
        }
        Push(true);
        return std::move(fields_);
    }

  private:
    // A group's text: up to the closing character outside quoted texts.
    size_t ReadGroup(size_t open) {
        size_t i = open + 1;
        for (; i < text_.size() && text_[i] != close_; ++i) {
            if (text_[i] == '"') {
                size_t end = QuoteEnd(text_, i, close_);
                current_.append(text_.substr(i, end + 1 - i));
                i = end;
                continue;
            }
            current_ += text_[i];
        }
        grouped_ = true;
        return i;
    }

    size_t ReadQuoted(size_t open) {
        size_t end = QuoteEnd(text_, open, close_);
        current_.assign(text_.substr(open + 1, end - open - 1));
        quoted_ = true;
        return end;
    }

    void Push(bool last) {
        if (last) {
            fields_.push_back(std::move(current_));
        } else if (quoted_) {
            fields_.push_back(current_);
        } else {
            std::string_view kept = TrimBlanks(current_);
            if (!kept.empty())
                fields_.emplace_back(kept);
        }
        current_.clear();
        quoted_ = grouped_ = false;
    }

    std::string_view text_;
    char open_;
    char close_;
    std::vector<std::string> fields_;
    std::string current_;
    bool quoted_ = false;   // the current field is a quoted text
    bool grouped_ = false;  // the current field is a group's text
};

}  // namespace

std::vector<std::string> SplitFields(std::string_view text, char open, char close) {
    return FieldSplitter(text, open, close).Split();
}

std::vector<std::string> SplitObjectSetLine(std::string_view line) {
    auto fields = SplitFields(line, '(', ')');
    if (!fields.empty() && fields.back().empty())
        fields.pop_back();
    return fields;
}

std::vector<std::string> SplitPropertyGroup(std::string_view group) {
    return SplitFields(group, '[', ']');
}

std::vector<std::string_view> SplitListItems(std::string_view list) {
    std::vector<std::string_view> items;
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        if (comma == std::string_view::npos)
            comma = list.size();
        std::string_view item = TrimBlanks(list.substr(start, comma - start));
        if (!item.empty())
            items.push_back(item);
        start = comma + 1;
    }
    return items;
}

}  // namespace objscope
