#include "window_view.h"

#include "message_codes.h"

namespace hub {

void WindowView::showMinimized() {
    visible_ = true;
    std::fprintf(out_,
                 "%s [shown minimized]\n"
                 "  File: &Hide (272) | Debug O&N (288) | Debug O&FF (304) | E&xit (320)\n",
                 kWindowTitle);
    std::fflush(out_);
}

void WindowView::hide() {
    visible_ = false;
    std::fprintf(out_, "%s [hidden]\n", kWindowTitle);
    std::fflush(out_);
}

}  // namespace hub
