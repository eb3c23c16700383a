// Duplicates of every descriptor a process has open, taken with pidfd_getfd,
// so that its sockets outlive it: the state of a killed process whose last
// thread is still tearing it down (its leader already a zombie) while its
// descriptors stay open. Released in ascending order of their numbers in the
// process, as the kernel closes them.
#pragma once

#include <dirent.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace client_testing {

class HeldDescriptors {
  public:
    explicit HeldDescriptors(pid_t pid) {
        int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
        if (pidfd < 0) {
            return;
        }
        for (int target : descriptorsOf(pid)) {
            int copy = static_cast<int>(::syscall(SYS_pidfd_getfd, pidfd, target, 0));
            if (copy >= 0) {
                copies_.emplace_back(target, copy);
            }
        }
        ::close(pidfd);
        std::sort(copies_.begin(), copies_.end());
    }
    ~HeldDescriptors() { release(); }
    HeldDescriptors(const HeldDescriptors&) = delete;
    HeldDescriptors& operator=(const HeldDescriptors&) = delete;

    bool empty() const { return copies_.empty(); }

    void release() {
        for (const auto& copy : copies_) {
            ::close(copy.second);
        }
        copies_.clear();
    }

  private:
    static std::vector<int> descriptorsOf(pid_t pid) {
        std::vector<int> numbers;
        std::string path = "/proc/" + std::to_string(pid) + "/fd";
        DIR* dir = ::opendir(path.c_str());
        while (dirent* e = dir != nullptr ? ::readdir(dir) : nullptr) {
            if (e->d_name[0] != '.') {
                numbers.push_back(std::atoi(e->d_name));
            }
        }
        if (dir != nullptr) {
            ::closedir(dir);
        }
        return numbers;
    }

    std::vector<std::pair<int, int>> copies_;  // (number in the process, copy here)
};

}  // namespace client_testing
