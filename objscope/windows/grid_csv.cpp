#include "windows/grid_csv.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace objscope {
namespace {

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string Folder(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::string GridCsvText(const GridRowTexts& rows) {
    std::string text;
    for (const auto& [label, value] : rows)
        text += "\"" + label + "\",\"" + value + "\"\r\n";
    return text;
}

std::string WriteGridCsv(const std::string& path, const GridRowTexts& rows) {
    std::string temp = Folder(path) + "/.csv-export-XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return std::strerror(errno);
    bool written = WriteAll(fd, GridCsvText(rows)) && ::fsync(fd) == 0;
    int savedErrno = errno;
    ::fchmod(fd, 0644);  // mkstemp made it private to the user
    if (::close(fd) != 0 && written) {
        written = false;
        savedErrno = errno;
    }
    if (written && ::rename(temp.c_str(), path.c_str()) != 0) {
        written = false;
        savedErrno = errno;
    }
    if (!written) {
        ::unlink(temp.c_str());
        return std::strerror(savedErrno);
    }
    return {};
}

}  // namespace objscope
