// The options hubserver understands besides its command words: --help (-h)
// prints the usage and ends without acting on a server; any other argument
// that starts with '-' is refused (command words never start with '-').
#pragma once

namespace hub {

// Returns -1 when the arguments are command words (or none) and the program
// goes on, else the exit status: 0 after the help, 2 for an unknown option.
int handleCommandLineOptions(int argc, const char* const* argv);

}  // namespace hub
