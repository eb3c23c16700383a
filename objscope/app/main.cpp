// objscope: reads its settings and starts the communication layer before
// the first window opens, then creates its windows in their fixed order and
// runs the message loop. "--list" prints a device's objects instead;
// "--upload", "--download" and "--compare" work with object set files
// without a window.
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
#include "devicewin/console_object_sets.h"
#include "settings/tini.h"
#include "platform/qt/message_pump.h"
#include "windows/integer_text.h"

namespace {

enum class SetCommand { None, Upload, Download, Compare };

struct Options {
    bool help = false;
    bool list = false;
    std::string listDevice;
    QString screenshots;
    SetCommand setCommand = SetCommand::None;
    std::string setDevice;
    std::string setFile;
    bool deleteExisting = false;
    bool setArgumentsMissing = false;
};

constexpr std::pair<const char*, SetCommand> kSetCommands[] = {
    {"--upload", SetCommand::Upload},
    {"--download", SetCommand::Download},
    {"--compare", SetCommand::Compare},
};

bool IsOwnOption(const char* argument) {
    for (const char* known : {"--list", "--screenshots", "--delete-existing"}) {
        if (std::strcmp(argument, known) == 0)
            return true;
    }
    for (const auto& [name, command] : kSetCommands) {
        if (std::strcmp(argument, name) == 0)
            return true;
    }
    return false;
}

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
        } else if (std::strcmp(argv[i], "--delete-existing") == 0) {
            options.deleteExisting = true;
        } else {
            for (const auto& [name, command] : kSetCommands) {
                if (std::strcmp(argv[i], name) != 0)
                    continue;
                options.setCommand = command;
                if (i + 2 < argc) {
                    options.setDevice = argv[++i];
                    options.setFile = argv[++i];
                } else {
                    options.setArgumentsMissing = true;
                }
            }
        }
    }
    return options;
}

int RunSetCommand(objscope::TObjscopeStartup& program, const Options& options) {
    auto device = objscope::DeviceNumberFromText(options.setDevice);
    if (options.setArgumentsMissing || !device || options.setFile.empty()) {
        std::fprintf(stderr, "objscope: --upload, --download and --compare need DEVICE FILE "
                             "(a device number 0 to 65535)\n");
        return 2;
    }
    auto& requests = program.Requests();
    switch (options.setCommand) {
        case SetCommand::Upload:
            return objscope::ConsoleUpload(requests, *device, options.setFile);
        case SetCommand::Download:
            return objscope::ConsoleDownload(requests, *device, options.setFile,
                                             options.deleteExisting);
        case SetCommand::Compare:
            return objscope::ConsoleCompare(requests, *device, options.setFile, stdout);
        case SetCommand::None:
            break;
    }
    return 2;
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
    const bool console = options.list || options.setCommand != SetCommand::None;
    if ((console || !options.screenshots.isEmpty()) && !std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    // Qt has taken its own options out; any other unknown option is a mistake.
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-' && !IsOwnOption(argv[i])) {
            std::fprintf(stderr, "objscope: unknown option '%s' (try 'objscope --help')\n",
                         argv[i]);
            return 2;
        }
    }
    plat::qt::QtMessagePump pump;

    objscope::TObjscopeStartup program;
    program.StartCommunication(!console);
    if (options.list)
        return ListObjects(program.Monitor(), program.Ini(), options.listDevice);
    if (options.setCommand != SetCommand::None)
        return RunSetCommand(program, options);
    program.BuildWindows();
    if (!options.screenshots.isEmpty())
        return objscope::RenderScreenshots(program.MainWindow(), program.PropertyList(),
                                           options.screenshots);
    program.MainWindow().show();
    return app.exec();
}
