#include "server_main.h"

#include <sys/resource.h>

#include <cstdio>

#include "command_line_options.h"
#include "command_words.h"
#include "main_window.h"
#include "message_codes.h"
#include "running_instance.h"

namespace hub {

namespace {

// Every client connection and large send takes a descriptor: the server
// takes all the system lets it have.
void raiseDescriptorLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

}  // namespace

int runServer(int argc, const char* const* argv) {
    if (int status = handleCommandLineOptions(argc, argv); status >= 0) {
        return status;
    }
    raiseDescriptorLimit();
    CommandWord word = parseCommandWord(joinArguments(argc, argv));
    // Two tries: a start that loses the race for the title to a simultaneous
    // start finds the winner on the second look.
    for (int attempt = 0; attempt < 2; ++attempt) {
        plat::Hwnd running = plat::findWindow(kWindowTitle);
        if (running != plat::kNoWindow) {
            return actOnRunningInstance(running, word);
        }
        if (word == CommandWord::Remove) {
            return 0;  // nothing to remove; do not start a server for it
        }
        MainWindow window;
        if (window.create()) {
            return window.run(word == CommandWord::Show);
        }
    }
    std::fprintf(stderr, "%s: cannot register the window \"%s\" (runtime folder unusable?)\n",
                 kAlreadyRunningTitle, kWindowTitle);
    return 1;
}

}  // namespace hub
