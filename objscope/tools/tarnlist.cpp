// tarnlist: lists the objects of one Tarn device through the communication
// layer (objlink, hubclient, hubserver), as objscope's "Get Objects" does,
// without a window. Used by the demo; starts hubserver when none runs.
//
//   tarnlist [--device N] [--address A.B.C.D] [--timeout MS] [--monitor]
//
// Device N (default 1) of network 0 is reached at the address (default
// 127.0.0.2). --monitor prints the layer's log lines as well.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "comm/tarn_monitor.h"
#include "core/class_catalogue.h"

namespace {

struct Options {
    uint16_t device = 1;
    std::string address = "127.0.0.2";
    int timeoutMs = 2000;
    bool monitor = false;
};

int usage() {
    std::fprintf(stderr,
                 "usage: tarnlist [--device N] [--address A.B.C.D] [--timeout MS] [--monitor]\n");
    return 2;
}

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--device" && hasValue) {
            long value = std::strtol(argv[++i], nullptr, 10);
            if (value < 0 || value > 65535)
                return false;
            options.device = static_cast<uint16_t>(value);
        } else if (arg == "--address" && hasValue) {
            options.address = argv[++i];
        } else if (arg == "--timeout" && hasValue) {
            options.timeoutMs = std::atoi(argv[++i]);
        } else if (arg == "--monitor") {
            options.monitor = true;
        } else {
            return false;
        }
    }
    return options.timeoutMs > 0;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace objscope;
    Options options;
    if (!parse(argc, argv, options))
        return usage();
    auto address = TextToAddress(options.address);
    if (!address) {
        std::fprintf(stderr, "tarnlist: not an address: %s\n", options.address.c_str());
        return 2;
    }
    TarncomSettings settings;
    settings.monitor = options.monitor;
    TTarn_Monitor layer(settings);
    if (layer.RegistrationID() <= 0) {
        std::fprintf(stderr, "tarnlist: objlink is not available (%d)\n", layer.RegistrationID());
        return 1;
    }
    layer.SetRequestTimeOut(options.timeoutMs);
    layer.SetDeviceAddress(options.device, address->address);

    TVEKList<TVEKroot> objects;
    int32_t sent = layer.GetAllObjectsPlus({0, options.device, 0}, objects);
    for (const auto& line : layer.Log())
        std::printf("  | %s\n", line.c_str());
    if (sent < 0) {
        std::fprintf(stderr, "tarnlist: %s\n", StatusText(sent).c_str());
        return 1;
    }
    if (objects.size() == 0) {
        std::printf("No Response or Error in Transmission\n");
        return 1;
    }
    std::printf("%zu objects of device %u at %s:\n", objects.size(), options.device,
                options.address.c_str());
    std::printf("%8s  %6s  %-28s %s\n", "handle", "class", "class name", "object name");
    for (const auto& object : objects) {
        std::printf("%8u  %6u  %-28s %s\n", object->ObjHandle(), object->ClassID(),
                    LookupClass(object->ClassID()).displayName, object->ObjectName().c_str());
    }
    return 0;
}
