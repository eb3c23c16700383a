// A private config, state and runtime folder per test, named in the
// environment so the code under test (and any server it starts) uses them.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace testing_support {

class PrivateDirs {
  public:
    PrivateDirs() {
        char pattern[] = "/tmp/vektest.XXXXXX";
        root_ = mkdtemp(pattern);
        setenv("VEK_CONFIG_DIR", config().c_str(), 1);
        setenv("VEK_STATE_DIR", state().c_str(), 1);
        setenv("VEK_RUNTIME_DIR", runtime().c_str(), 1);
        std::filesystem::create_directories(config());
    }
    ~PrivateDirs() {
        std::error_code ignored;
        std::filesystem::permissions(root_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(root_, ignored);
        unsetenv("VEK_CONFIG_DIR");
        unsetenv("VEK_STATE_DIR");
        unsetenv("VEK_RUNTIME_DIR");
    }
    PrivateDirs(const PrivateDirs&) = delete;
    PrivateDirs& operator=(const PrivateDirs&) = delete;

    std::string root() const { return root_; }
    std::string config() const { return root_ + "/config"; }
    std::string state() const { return root_ + "/state"; }
    std::string runtime() const { return root_ + "/run"; }
    std::string log() const { return state() + "/VDEBUG32.TXT"; }

    void writeMainIni(const std::string& content) const {
        std::ofstream(config() + "/VEKMAIN.INI", std::ios::binary) << content;
    }

  private:
    std::string root_;
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

inline void writeFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

}  // namespace testing_support
