#include "devicewin/console_set_view.h"

namespace objscope {

void TConsoleSetView::Line(const std::string& text) {
    std::string shown = text;
    for (char& c : shown) {
        if (c == '\r')
            c = '\n';
    }
    std::fprintf(out_, "%s\n", shown.c_str());
    std::fflush(out_);
}

void TConsoleSetView::ShowPanel(const std::string& title) {
    Line(title);
}

void TConsoleSetView::ShowProgress(const std::string& label, int percent) {
    Line(label + " (" + std::to_string(percent) + "%)");
}

void TConsoleSetView::ShowError(const std::string& text) {
    failed_ = true;
    Line(text);
}

void TConsoleSetView::ShowMessage(const std::string& text) {
    Line(text);
}

SetAnswer TConsoleSetView::Ask(const std::string& text) {
    failed_ = true;
    Line(text);
    return SetAnswer::No;
}

}  // namespace objscope
