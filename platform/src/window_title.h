// Window titles: a window with a title binds "<runtime>/<title>". The
// holder's handle is kept in "<runtime>/<title>.lock", which is also the
// flock that makes check-and-bind atomic between processes. A title is held
// while its socket accepts connections: a socket left behind by a dead
// process refuses them and is replaced.
#pragma once

#include <cstdint>
#include <string>

#include "platform/window.h"
#include "unique_fd.h"

namespace plat::detail {

class TitleClaim {
  public:
    TitleClaim() = default;
    TitleClaim(TitleClaim&&) = default;
    TitleClaim& operator=(TitleClaim&&) = default;
    ~TitleClaim() { release(); }

    // Takes the title for `hwnd`. False when a live window holds it or the
    // title cannot be used as a name.
    bool acquire(const std::string& title, Hwnd hwnd);
    // Gives the title up (no-op when none is held).
    void release();
    bool held() const { return socket_.valid(); }

  private:
    UniqueFd socket_;
    std::string path_;
};

// The handle of the live holder of the title, or kNoWindow.
Hwnd findTitleHolder(const std::string& title);

// Removes the titles a process that has ended left behind (sockets nobody
// holds and their lock files).
void removeTitlesOf(uint32_t pid);

}  // namespace plat::detail
