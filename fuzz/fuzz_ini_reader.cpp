// The INI reader (the private-profile functions) on arbitrary file text:
// every section and key it lists can be read back, and a value written is
// read back as written.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "fuzz_touch.h"
#include "platform/ini.h"

namespace {

const std::string& iniPath() {
    // In memory: every write of the INI code ends with an fsync.
    static std::string path = [] {
        char pattern[] = "/dev/shm/vek-fuzz-ini-XXXXXX";
        std::string dir = ::mkdtemp(pattern) != nullptr ? pattern : "/tmp";
        return dir + "/FUZZ.INI";
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = iniPath();
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    // Every call reads the whole file again: a bounded number of lookups
    // keeps an input with thousands of keys from taking seconds.
    int lookups = 0;
    for (const std::string& section : plat::ini::sections(path)) {
        for (const std::string& key : plat::ini::keys(section, path)) {
            if (++lookups > 32) {
                break;
            }
            plat::ini::getString(section, key, "", path);
            plat::ini::getInt(section, key, -1, path);
        }
    }
    if (plat::ini::writeString("Fuzz Section", "FuzzKey", "value 1", path)) {
        fuzz::require(plat::ini::getString("Fuzz Section", "FuzzKey", "", path) == "value 1");
    }
    plat::ini::deleteKey("Fuzz Section", "FuzzKey", path);
    plat::ini::eraseSection("Fuzz Section", path);
    return 0;
}
