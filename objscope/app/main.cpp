// objscope: reads its settings and starts the communication layer before
// the first window opens, then creates its windows in their fixed order and
// runs the message loop. "--list" prints a device's objects instead.
#include <QApplication>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "app/console_listing.h"
#include "app/help_text.h"
#include "app/screenshots.h"
#include "app/startup.h"
#include "settings/tini.h"
#include "platform/qt/message_pump.h"
#include "windows/integer_text.h"

namespace {

struct Options {
    bool help = false;
    bool list = false;
    std::string listDevice;
    QString screenshots;
};

Options ReadOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            options.help = true;
        } else if (std::strcmp(argv[i], "--list") == 0) {
            options.list = true;
            if (i + 1 < argc && argv[i + 1][0] != '-')
                options.listDevice = argv[++i];
        } else if (std::strcmp(argv[i], "--screenshots") == 0 && i + 1 < argc) {
            options.screenshots = QString::fromLocal8Bit(argv[++i]);
        }
    }
    return options;
}

int ListObjects(objscope::TTarn_Monitor& monitor, const objscope::TINI& ini,
                const std::string& deviceText) {
    std::optional<uint16_t> device;
    if (!deviceText.empty()) {
        device = objscope::DeviceNumberFromText(deviceText);
    } else {
        auto devices = objscope::DeviceNumbersFromSettings(ini);
        if (!devices.empty())
            device = devices.front();
    }
    if (!device) {
        std::fprintf(stderr, "objscope: no device number (0 to 65535) to list\n");
        return 2;
    }
    return objscope::PrintObjectListing(monitor, *device, stdout);
}

}  // namespace

int main(int argc, char** argv) {
    Options options = ReadOptions(argc, argv);
    if (options.help) {
        std::fputs(objscope::kHelpText, stdout);
        return 0;
    }
    if ((options.list || !options.screenshots.isEmpty()) && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    // Qt has taken its own options out; any other unknown option is a mistake.
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-' && std::strcmp(argv[i], "--list") != 0 &&
            std::strcmp(argv[i], "--screenshots") != 0) {
            std::fprintf(stderr, "objscope: unknown option '%s' (try 'objscope --help')\n",
                         argv[i]);
            return 2;
        }
    }
    plat::qt::QtMessagePump pump;

    objscope::TObjscopeStartup program;
    program.StartCommunication(!options.list);
    if (options.list)
        return ListObjects(program.Monitor(), program.Ini(), options.listDevice);
    program.BuildWindows();
    if (!options.screenshots.isEmpty())
        return objscope::RenderScreenshots(program.MainWindow(), program.PropertyList(),
                                           options.screenshots);
    program.MainWindow().show();
    return app.exec();
}
