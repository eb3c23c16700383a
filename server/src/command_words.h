// The command words a second start of hubserver passes to the running one.
// The whole argument text, arguments joined by one blank, is compared with
// each word, ignoring case.
#pragma once

#include <string>

namespace hub {

enum class CommandWord { None, Show, Remove, Hide, DebugOn, DebugOff, Other };

std::string joinArguments(int argc, const char* const* argv);

CommandWord parseCommandWord(const std::string& argumentText);

}  // namespace hub
