#include "settings/tini.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "settings/settings_comma_text.h"
#include "platform/ini.h"

namespace objscope {
namespace {

std::string trimmed(const std::string& text) {
    auto isSpace = [](unsigned char c) { return std::isspace(c) != 0; };
    auto begin = std::find_if_not(text.begin(), text.end(), isSpace);
    auto end =
        std::find_if_not(text.rbegin(), std::string::const_reverse_iterator(begin), isSpace).base();
    return std::string(begin, end);
}

std::string upperCased(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

void TINI::SetFileName(const std::string& name) {
    std::string trimmedName = trimmed(name);
    if (trimmedName.empty()) {
        fileName_.clear();
        return;
    }
    std::error_code error;
    auto path = std::filesystem::absolute(trimmedName, error);
    if (error || !std::filesystem::is_regular_file(path, error)) {
        fileName_.clear();
        return;
    }
    fileName_ = path.string();
}

std::string TINI::ReadString(const std::string& section, const std::string& key,
                             const std::string& def) const {
    if (fileName_.empty())
        return def;
    return plat::ini::getString(section, key, def, fileName_);
}

TVEKList<StringList> TINI::ReadKeyLists(const std::string& section,
                                        const std::string& prefix) const {
    TVEKList<StringList> lists;
    if (fileName_.empty())
        return lists;
    const std::string wanted = upperCased(trimmed(prefix));
    for (const auto& key : plat::ini::keys(section, fileName_)) {
        std::string name = trimmed(key);
        if (!upperCased(name).starts_with(wanted))
            continue;
        auto& list = lists.emplace();
        list.push_back(name);
        for (auto& item : splitCommaText(ReadString(section, key, "")))
            list.push_back(item);
    }
    return lists;
}

}  // namespace objscope
