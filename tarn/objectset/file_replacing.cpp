#include "objectset/file_replacing.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>

namespace objscope {

bool WriteFileReplacing(const std::string& path, const std::string& text) {
    std::string temporary = path + ".tmp" + std::to_string(getpid());
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << text;
        file.close();
        if (!file) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace objscope
