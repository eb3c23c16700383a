#include "command_line_options.h"

#include <cstdio>
#include <cstring>

namespace hub {
namespace {

constexpr const char* kHelp =
    "usage: hubserver [SHOW | HIDE | REMOVE | DEBUG_ON | DEBUG_OFF]\n"
    "       hubserver --help\n"
    "The VEK network server: owns the UDP sockets, the serial ports, the list of\n"
    "client applications and the debug log of this user. Client programs start it\n"
    "when none is running; it ends when its last client leaves (AutoShutdown=1).\n"
    "\n"
    "With no server running, it starts one (SHOW: with its window shown), which\n"
    "runs in the foreground until REMOVE, SIGTERM or SIGINT. With a server already\n"
    "running, a word acts on it and ends at once (case does not matter):\n"
    "  SHOW       print the server's window and menu on its standard error\n"
    "  HIDE       hide it again\n"
    "  REMOVE     shut the server down in order (does nothing when none runs)\n"
    "  DEBUG_ON   trace every network message in the debug log\n"
    "  DEBUG_OFF  stop that trace\n"
    "Any other text with a server running prints an error and exits with 1.\n"
    "\n"
    "Options:\n"
    "  -h, --help  show this help and exit (starts nothing)\n"
    "\n"
    "Environment:\n"
    "  VEK_CONFIG_DIR   folder of VEKMAIN.INI (default $XDG_CONFIG_HOME/vek, else\n"
    "                   ~/.config/vek)\n"
    "  VEK_STATE_DIR    folder of the debug log and received files (default\n"
    "                   $XDG_STATE_HOME/vek, else ~/.local/state/vek)\n"
    "  VEK_RUNTIME_DIR  private folder (0700) of the message endpoints and window\n"
    "                   titles (default $XDG_RUNTIME_DIR/vek, else /tmp/vek-<uid>)\n"
    "\n"
    "Files:\n"
    "  VEKMAIN.INI    read once at start: section [VEK BASE 32] with DebugFile,\n"
    "                 NoNetworkSupport, SendSocketPort (3049), RecvSocketPort\n"
    "                 (3048), VEKBaseAddress, MessageDelayTime, DoubleUpBroadcasts,\n"
    "                 DoubleUpDelayTime, MessagesOut, AutoShutdown; section\n"
    "                 [VEK BASE] with PacketTimeout; section [COM Ports] with\n"
    "                 COMn=/dev/... device paths\n"
    "  VDEBUG32.TXT   the debug log (written; \"DebugFile\" names another one)\n"
    "\n"
    "Exit status: 0 after an orderly shutdown or a word handled, 1 when the start\n"
    "fails or a server already runs, 2 for an unknown option.\n";

bool isHelpOption(const char* argument) {
    return std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0;
}

}  // namespace

int handleCommandLineOptions(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        if (isHelpOption(argv[i])) {
            std::fputs(kHelp, stdout);
            return 0;
        }
    }
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-') {
            std::fprintf(stderr, "hubserver: unknown option '%s' (try 'hubserver --help')\n",
                         argv[i]);
            return 2;
        }
    }
    return -1;
}

}  // namespace hub
