// Private-profile files. The file is held as its raw lines so that a write
// changes only the line it must and keeps comments, blank lines, unknown
// lines, the order and the line-end style (LF or CRLF) of everything else.
#include "platform/ini.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>

#include "platform/dirs.h"

namespace plat::ini {
namespace {

constexpr size_t kNone = static_cast<size_t>(-1);

struct IniText {
    std::vector<std::string> lines;  // without '\n'; a CRLF file keeps its '\r'
    bool crlf = false;               // style for lines this module adds
};

std::string trim(std::string_view text) {
    size_t begin = text.find_first_not_of(" \t\r");
    if (begin == std::string_view::npos) {
        return {};
    }
    size_t end = text.find_last_not_of(" \t\r");
    return std::string(text.substr(begin, end - begin + 1));
}

bool sameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

// The section name of a "[name]" line, or nullopt for any other line.
std::optional<std::string> sectionName(const std::string& line) {
    std::string text = trim(line);
    if (text.empty() || text[0] != '[') {
        return std::nullopt;
    }
    size_t close = text.find(']');
    return trim(std::string_view(text).substr(
        1, close == std::string::npos ? std::string::npos : close - 1));
}

bool isComment(const std::string& text) {
    return !text.empty() && (text[0] == ';' || text[0] == '#');
}

// The key of a "key=value" line, or nullopt for comments and other lines.
std::optional<std::string> keyName(const std::string& line) {
    std::string text = trim(line);
    size_t eq = text.find('=');
    if (isComment(text) || eq == std::string::npos || text[0] == '[') {
        return std::nullopt;
    }
    return trim(std::string_view(text).substr(0, eq));
}

std::string valueOf(const std::string& line) {
    std::string value = trim(std::string_view(line).substr(line.find('=') + 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        value = value.substr(1, value.size() - 2);
    }
    return value;
}

IniText readText(const std::string& path) {
    IniText text;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        text.lines.push_back(line);
    }
    text.crlf =
        !text.lines.empty() && !text.lines.front().empty() && text.lines.front().back() == '\r';
    return text;
}

// Header line of the first section with this name, or kNone.
size_t findSection(const IniText& text, const std::string& section) {
    for (size_t i = 0; i < text.lines.size(); ++i) {
        std::optional<std::string> name = sectionName(text.lines[i]);
        if (name && sameName(*name, section)) {
            return i;
        }
    }
    return kNone;
}

// One past the last line of the section whose header is at `header`.
size_t sectionEnd(const IniText& text, size_t header) {
    size_t i = header + 1;
    while (i < text.lines.size() && !sectionName(text.lines[i])) {
        ++i;
    }
    return i;
}

size_t findKey(const IniText& text, size_t header, const std::string& key) {
    size_t end = sectionEnd(text, header);
    for (size_t i = header + 1; i < end; ++i) {
        std::optional<std::string> name = keyName(text.lines[i]);
        if (name && sameName(*name, key)) {
            return i;
        }
    }
    return kNone;
}

std::optional<std::string> lookup(const std::string& section, const std::string& key,
                                  const std::string& fileName) {
    IniText text = readText(resolvePath(fileName));
    size_t header = findSection(text, section);
    size_t line = header == kNone ? kNone : findKey(text, header, key);
    if (line == kNone) {
        return std::nullopt;
    }
    return valueOf(text.lines[line]);
}

// A line this module adds, in the file's line-end style.
std::string newLine(const IniText& text, const std::string& content) {
    return text.crlf ? content + "\r" : content;
}

// Where a new key goes: after the section's last non-blank line.
size_t insertionPoint(const IniText& text, size_t header) {
    size_t end = sectionEnd(text, header);
    while (end > header + 1 && trim(text.lines[end - 1]).empty()) {
        --end;
    }
    return end;
}

// Follows a symbolic link so that the link itself survives the rename.
std::string realTarget(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

bool writeAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

std::string joinLines(const IniText& text) {
    std::string data;
    for (const std::string& line : text.lines) {
        data += line;
        data += '\n';
    }
    return data;
}

// Writes the whole text into a temporary file beside the target and renames
// it over the target, so readers see either the old or the new file.
bool replaceFile(const std::string& fileName, const IniText& text) {
    std::string path = realTarget(resolvePath(fileName));
    size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !makeDirs(path.substr(0, slash))) {
        return false;
    }
    static std::atomic<unsigned> counter{0};
    std::string temp = path + ".tmp" + std::to_string(getpid()) + "." + std::to_string(++counter);
    int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    struct stat old {};
    bool ok = writeAll(fd, joinLines(text));
    if (ok && stat(path.c_str(), &old) == 0) {
        ok = fchmod(fd, old.st_mode & 07777) == 0;
    }
    ok = fsync(fd) == 0 && ok;
    ok = close(fd) == 0 && ok;
    if (!ok || rename(temp.c_str(), path.c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    return true;
}

// Names and values that would break the line structure are refused.
bool isPlainText(const std::string& text) {
    return text.find_first_of("\r\n") == std::string::npos;
}

bool validEntry(const std::string& section, const std::string& key, const std::string& value) {
    return isPlainText(section) && isPlainText(key) && isPlainText(value) &&
           section.find(']') == std::string::npos && key.find('=') == std::string::npos &&
           !trim(section).empty() && !trim(key).empty();
}

// Serializes read-modify-write cycles of this process.
std::mutex& writeLock() {
    static std::mutex lock;
    return lock;
}

// Serializes read-modify-write cycles across processes: an exclusive flock
// on the folder that holds the file (no extra lock file is left behind).
class FolderLock {
  public:
    explicit FolderLock(const std::string& fileName) {
        std::string path = resolvePath(fileName);
        size_t slash = path.find_last_of('/');
        std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
        fd_ = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        while (fd_ >= 0 && flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~FolderLock() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

  private:
    int fd_ = -1;
};

// Both locks for one change of a file.
struct WriteGuard {
    explicit WriteGuard(const std::string& fileName) : inProcess(writeLock()), folder(fileName) {}
    std::lock_guard<std::mutex> inProcess;
    FolderLock folder;
};

}  // namespace

std::string resolvePath(const std::string& fileName) {
    if (fileName.find('/') != std::string::npos) {
        return fileName;
    }
    return configDir() + "/" + fileName;
}

std::string getString(const std::string& section, const std::string& key, const std::string& def,
                      const std::string& fileName) {
    return lookup(section, key, fileName).value_or(def);
}

int32_t getInt(const std::string& section, const std::string& key, int32_t def,
               const std::string& fileName) {
    std::optional<std::string> value = lookup(section, key, fileName);
    if (!value) {
        return def;
    }
    const std::string& text = *value;
    bool negative = !text.empty() && text[0] == '-';
    int64_t result = 0;
    for (size_t i = negative ? 1 : 0; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        result = result * 10 + (text[i] - '0');
        if (result > INT32_MAX) {
            result = INT32_MAX;  // saturate instead of overflowing
        }
    }
    return static_cast<int32_t>(negative ? -result : result);
}

bool writeString(const std::string& section, const std::string& key, const std::string& value,
                 const std::string& fileName) {
    if (!validEntry(section, key, value)) {
        return false;
    }
    WriteGuard guard(fileName);
    IniText text = readText(resolvePath(fileName));
    std::string entry = newLine(text, trim(key) + "=" + value);
    size_t header = findSection(text, section);
    if (header == kNone) {
        if (!text.lines.empty() && !trim(text.lines.back()).empty()) {
            text.lines.push_back(newLine(text, ""));
        }
        std::string sectionLine = "[";
        sectionLine += trim(section);
        sectionLine += ']';
        text.lines.push_back(newLine(text, sectionLine));
        text.lines.push_back(entry);
    } else if (size_t line = findKey(text, header, key); line != kNone) {
        text.lines[line] = entry;
    } else {
        auto at = text.lines.begin() + static_cast<ptrdiff_t>(insertionPoint(text, header));
        text.lines.insert(at, entry);
    }
    return replaceFile(fileName, text);
}

bool deleteKey(const std::string& section, const std::string& key, const std::string& fileName) {
    WriteGuard guard(fileName);
    IniText text = readText(resolvePath(fileName));
    size_t header = findSection(text, section);
    size_t line = header == kNone ? kNone : findKey(text, header, key);
    if (line == kNone) {
        return true;
    }
    text.lines.erase(text.lines.begin() + static_cast<ptrdiff_t>(line));
    return replaceFile(fileName, text);
}

bool eraseSection(const std::string& section, const std::string& fileName) {
    WriteGuard guard(fileName);
    IniText text = readText(resolvePath(fileName));
    size_t header = findSection(text, section);
    if (header == kNone) {
        return true;
    }
    auto first = text.lines.begin() + static_cast<ptrdiff_t>(header);
    auto last = text.lines.begin() + static_cast<ptrdiff_t>(sectionEnd(text, header));
    text.lines.erase(first, last);
    return replaceFile(fileName, text);
}

std::vector<std::string> keys(const std::string& section, const std::string& fileName) {
    IniText text = readText(resolvePath(fileName));
    std::vector<std::string> names;
    size_t header = findSection(text, section);
    if (header == kNone) {
        return names;
    }
    size_t end = sectionEnd(text, header);
    for (size_t i = header + 1; i < end; ++i) {
        if (std::optional<std::string> name = keyName(text.lines[i])) {
            names.push_back(*name);
        }
    }
    return names;
}

std::vector<std::string> sections(const std::string& fileName) {
    IniText text = readText(resolvePath(fileName));
    std::vector<std::string> names;
    for (const std::string& line : text.lines) {
        if (std::optional<std::string> name = sectionName(line)) {
            names.push_back(*name);
        }
    }
    return names;
}

}  // namespace plat::ini
