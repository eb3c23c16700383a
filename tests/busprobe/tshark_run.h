// Runs tshark with the project's dissector on a capture file and returns the
// requested fields, one line per packet ("," between fields).
#pragma once

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "temp_folder.h"

namespace busprobe::testing {

inline bool tsharkInstalled() {
    return std::system("command -v tshark >/dev/null 2>&1") == 0;
}

// `fields`: " -e name" for each wanted field. tshark's own messages (for
// example its warning when run as root) go to `errors`.
inline std::string tsharkFields(const std::string& capture, const std::string& fields,
                                const std::string& errors) {
    std::string script = std::string(VEK_SOURCE_DIR) + "/tools/vek_dissector.lua";
    std::string command = "tshark -n -X lua_script:" + script + " -r '" + capture +
                          "' -T fields -E separator=," + fields + " 2>'" + errors + "'";
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return out;
    }
    std::array<char, 4096> buffer{};
    size_t n = 0;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        out.append(buffer.data(), n);
    }
    ::pclose(pipe);
    return out;
}

}  // namespace busprobe::testing
