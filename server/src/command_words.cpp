#include "command_words.h"

#include <strings.h>

namespace hub {

std::string joinArguments(int argc, const char* const* argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            text += ' ';
        }
        text += argv[i];
    }
    return text;
}

CommandWord parseCommandWord(const std::string& argumentText) {
    if (argumentText.empty()) {
        return CommandWord::None;
    }
    struct Entry {
        const char* word;
        CommandWord command;
    };
    static const Entry entries[] = {
        {"SHOW", CommandWord::Show},          {"REMOVE", CommandWord::Remove},
        {"HIDE", CommandWord::Hide},          {"DEBUG_ON", CommandWord::DebugOn},
        {"DEBUG_OFF", CommandWord::DebugOff},
    };
    for (const Entry& entry : entries) {
        if (strcasecmp(argumentText.c_str(), entry.word) == 0) {
            return entry.command;
        }
    }
    return CommandWord::Other;
}

}  // namespace hub
