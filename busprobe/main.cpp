// busprobe: the network monitor and message tester of the installation.
#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "headless.h"
#include "main_window.h"
#include "platform/dirs.h"
#include "quit_on_signal.h"

namespace {

void printHelp() {
    std::printf(
        "Usage: busprobe [--help]\n"
        "       busprobe --capture FILE.pcapng [--duration S] [--filter-ip A]\n"
        "                [--filter-object HEX] [--filter-message HEX]\n"
        "       busprobe --send FILE.MSG --to ADDRESS [--repeat N] [--interval MS]\n"
        "\n"
        "Network monitor and message tester of the VEK installation. Shows every\n"
        "message the PC's hubserver sends and receives (or only the tester's own\n"
        "traffic, or the traffic that passes an address/object/message filter),\n"
        "logs it to capture files by hand or on a daily schedule, saves it as a\n"
        "pcapng capture, and composes, saves, loads and sends messages built from\n"
        "typed fields. It starts hubserver when none is running.\n"
        "\n"
        "Options:\n"
        "  -h, --help   show this text and exit\n"
        "  --capture FILE.pcapng  capture without a window until the --duration in\n"
        "               seconds is up or SIGINT/SIGTERM comes, keeping what passes the\n"
        "               filters; prints the counts at the end\n"
        "  --send FILE.MSG --to ADDRESS  send a message file's message, --repeat N\n"
        "               times (1), --interval MS apart (1000)\n"
        "  Qt's own options (for example -platform offscreen) are accepted too.\n"
        "\n"
        "Files:\n"
        "  %s/BUSPROBE.INI\n"
        "               the capture schedule (section \"Schedule\"), beside VEKMAIN.INI\n"
        "  *.LOG        capture logs, full or simple one-line format (CR LF lines)\n"
        "  *.MSG        composed messages (INI text)\n"
        "  *.pcapng     captured traffic as raw IPv4/UDP packets; a dissector for\n"
        "               capture viewers is tools/vek_dissector.lua in the sources\n"
        "\n"
        "Environment:\n"
        "  VEK_CONFIG_DIR, VEK_STATE_DIR, VEK_RUNTIME_DIR  folders of the settings,\n"
        "               state and runtime objects (defaults under ~/.config/vek,\n"
        "               ~/.local/state/vek and $XDG_RUNTIME_DIR/vek)\n"
        "  VEK_HUBSERVER  the hubserver program to start\n",
        plat::configDir().c_str());
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            printHelp();
            return 0;
        }
    }
    std::vector<std::string> args(argv + 1, argv + argc);
    busprobe::HeadlessCommand headless = busprobe::parseHeadless(args);
    if (!headless.error.empty()) {
        std::fprintf(stderr, "busprobe: %s (try 'busprobe --help')\n", headless.error.c_str());
        return 2;
    }
    if (headless.capture || headless.send) {
        QCoreApplication app(argc, argv);
        return headless.capture ? busprobe::runCapture(*headless.capture, stdout, stderr)
                                : busprobe::runSend(*headless.send, stdout, stderr);
    }
    QApplication app(argc, argv);
    // Qt has taken its own options out; anything else that looks like an
    // option is a mistake.
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-') {
            std::fprintf(stderr, "busprobe: unknown option '%s' (try 'busprobe --help')\n",
                         argv[i]);
            return 2;
        }
    }
    QApplication::setApplicationName(QStringLiteral("busprobe"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/busprobe.png")));
    busprobe::Prompter prompter;
    busprobe::Clock clock;
    busprobe::TfrmMain window(prompter, clock);
    // A signal ends the loop; leaving main destroys the window, which ends
    // every open log as Exit does.
    busprobe::QuitOnSignal quit;
    window.loadSchedule();
    window.show();
    return app.exec();
}
