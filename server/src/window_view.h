// The main window as a headless server offers it. There is no screen: the
// window is "shown" by printing its title, its state and its "File" menu to
// stderr (the terminal of whoever started the server, or the file it was
// redirected to); hiding prints the new state. The menu's commands are the
// kMsgCommand IDs any process of the user can post to the window; the command
// words SHOW, HIDE, DEBUG_ON, DEBUG_OFF and REMOVE reach the same actions.
#pragma once

#include <cstdio>

namespace hub {

class WindowView {
  public:
    explicit WindowView(std::FILE* out) : out_(out) {}

    // Shown minimized without activation (SHOW).
    void showMinimized();
    void hide();
    bool visible() const { return visible_; }

  private:
    std::FILE* out_;
    bool visible_ = false;
};

}  // namespace hub
