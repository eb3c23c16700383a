#include "options.h"

#include <arpa/inet.h>

#include <charconv>
#include <stdexcept>

#include "protocol/tarn_reply_pages.h"

namespace tarnsim {
namespace {

std::optional<uint64_t> parseNumber(const std::string& text, uint64_t max) {
    uint64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value > max)
        return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::string> refuseListenAddress(const ListenAddress& listen) {
    constexpr uint32_t kLoopbackNet = 0x7F000000;
    constexpr uint32_t kOwnAddress = 0x7F000001;
    uint8_t node = static_cast<uint8_t>(listen.address & 0xFF);
    if ((listen.address & 0xFF000000) != kLoopbackNet)
        return "simulated devices live on loopback addresses (127.0.0.2 and up)";
    if (listen.address == kOwnAddress)
        return "127.0.0.1 is the PC's own address, where the server receives the replies; "
               "use 127.0.0.2 and up";
    if (node == 0 || node == 255)
        return "a network or broadcast address cannot be a device";
    return std::nullopt;
}

std::optional<ListenAddress> parseListenAddress(const std::string& text) {
    ListenAddress result;
    std::string host = text;
    auto colon = text.find(':');
    if (colon != std::string::npos) {
        host = text.substr(0, colon);
        auto port = parseNumber(text.substr(colon + 1), 65535);
        if (!port || *port == 0)
            return std::nullopt;
        result.port = static_cast<uint16_t>(*port);
    }
    in_addr address{};
    if (inet_pton(AF_INET, host.c_str(), &address) != 1)
        return std::nullopt;
    result.address = ntohl(address.s_addr);
    return result;
}

Options parseOptions(const std::vector<std::string>& args) {
    Options options;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size())
                throw std::invalid_argument(arg + " needs a value");
            return args[++i];
        };
        auto number = [&](uint64_t max) {
            const std::string& text = value();
            auto n = parseNumber(text, max);
            if (!n)
                throw std::invalid_argument(arg + ": \"" + text + "\" is not a number from 0 to " +
                                            std::to_string(max));
            return *n;
        };
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--listen") {
            const std::string& text = value();
            auto address = parseListenAddress(text);
            if (!address)
                throw std::invalid_argument("--listen: \"" + text +
                                            "\" is not an IPv4 ADDRESS[:PORT]");
            if (auto refused = refuseListenAddress(*address))
                throw std::invalid_argument("--listen " + text + ": " + *refused);
            for (const auto& other : options.listen) {
                if (other.address == address->address && other.port == address->port)
                    throw std::invalid_argument("--listen " + text + " is given twice");
            }
            options.listen.push_back(*address);
        } else if (arg == "--device-number") {
            options.firstDeviceNumber = static_cast<uint16_t>(number(65534));
        } else if (arg == "--load") {
            options.loadFile = value();
        } else if (arg == "--save") {
            options.saveFile = value();
        } else if (arg == "--trace") {
            options.trace = true;
        } else if (arg == "--wiggle") {
            options.wiggle = true;
        } else if (arg == "--drop-every") {
            options.dropEvery = static_cast<unsigned>(number(1000000));
        } else if (arg == "--delay-ms") {
            options.delayMs = static_cast<unsigned>(number(600000));
        } else if (arg == "--ignore-class-filter") {
            options.ignoreClassFilter = true;
        } else if (arg == "--page-bytes") {
            options.pageBytes = number(objscope::kMaxTarnReplyBytes);
            if (options.pageBytes < 64)
                throw std::invalid_argument("--page-bytes: at least 64");
        } else {
            throw std::invalid_argument("unknown argument \"" + arg + "\" (see --help)");
        }
    }
    if (options.listen.empty())
        options.listen.push_back(ListenAddress{});
    if (options.firstDeviceNumber + options.listen.size() - 1 > 65534)
        throw std::invalid_argument("--device-number: too high for this many devices");
    return options;
}

std::string usageText() {
    return R"(Usage: tarnsim [--listen ADDRESS[:PORT]]... [--device-number N] [--load FILE]
               [--save FILE] [--trace] [--wiggle] [--drop-every N] [--delay-ms N]
               [--page-bytes N] [--ignore-class-filter]

Serves simulated Tarn devices on loopback addresses beside a running
hubserver and answers every Tarn request as a device would.

  --listen ADDRESS[:PORT]  serve one device at this address (repeat for more
                           devices); default 127.0.0.2:3048. A loopback
                           address from 127.0.0.2 on; use the server's
                           receive port: devices answer to the requester's
                           address at the port they listen on.
  --device-number N        device number of the first device (default 1);
                           further devices get N+1, N+2, ...
  --load FILE              device contents from FILE (docs/tarnsim-device-files.md),
                           or from an object set file when FILE ends in .tob;
                           default: the built-in default device
  --save FILE              on exit write the first device's contents to FILE,
                           those of device k (k >= 2) to FILE.k (an object
                           set file when FILE ends in .tob)
  --trace                  print one line per request and per reply or
                           notification
  --wiggle                 move the values marked "wiggle" (meters) four
                           times a second and notify registrations
  --drop-every N           drop every Nth reply (lost replies for tests)
  --delay-ms N             send every reply N ms late (late replies for tests)
  --page-bytes N           keep listing replies to at most N bytes (64..1471)
  --ignore-class-filter    list every object whatever class a listing asks for
                           (as some firmware does)
  --help                   this text

tarnsim runs until it receives SIGINT or SIGTERM.
)";
}

}  // namespace tarnsim
