#include "headless.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdlib>

#include "hex_text.h"
#include "ip_text.h"
#include "message_file.h"
#include "monitor_feed.h"
#include "pcapng_writer.h"
#include "quit_on_signal.h"
#include "schedule_checks.h"
#include "traffic_counts.h"
#include "traffic_filter.h"
#include "wire/datagram.h"

namespace busprobe {
namespace {

bool readNumber(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end != nullptr && *end == '\0' && value >= 0;
}

std::string checkCapture(const CaptureOptions& c) {
    if (!isIpFilterText(c.ip)) {
        return "--filter-ip needs an address such as 127.0.0.2";
    }
    if (!isIdFilterText(c.object) || !isIdFilterText(c.message)) {
        return "--filter-object and --filter-message need 1 to 4 hexadecimal digits";
    }
    return {};
}

// The one registration of a headless run; cleaned up when it goes.
class Registration {
  public:
    Registration() : id_(VEKBaseStartup()) {}
    ~Registration() {
        if (id_ > 0) {
            VEKBaseCleanup(id_);
        }
    }
    int32_t id() const { return id_; }

  private:
    int32_t id_;
};

}  // namespace

HeadlessCommand parseHeadless(const std::vector<std::string>& args) {
    HeadlessCommand command;
    CaptureOptions capture;
    SendOptions send;
    bool isCapture = false;
    bool isSend = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        bool hasValue = i + 1 < args.size();
        auto value = [&] { return args[++i]; };
        double number = 0;
        if (a == "--capture" && hasValue) {
            isCapture = true;
            capture.file = value();
        } else if (a == "--send" && hasValue) {
            isSend = true;
            send.file = value();
        } else if (a == "--duration" && hasValue) {
            if (!readNumber(value(), number)) {
                command.error = "--duration needs seconds";
            }
            capture.durationSeconds = number;
        } else if (a == "--filter-ip" && hasValue) {
            capture.ip = value();
        } else if (a == "--filter-object" && hasValue) {
            capture.object = value();
        } else if (a == "--filter-message" && hasValue) {
            capture.message = value();
        } else if (a == "--to" && hasValue) {
            send.to = value();
        } else if (a == "--repeat" && hasValue) {
            if (!readNumber(value(), number) || number < 1 || number > 1e9) {
                command.error = "--repeat needs a count of 1 or more";
            }
            send.repeat = static_cast<int>(number);
        } else if (a == "--interval" && hasValue) {
            if (!readNumber(value(), number) || number > 86400000) {
                command.error = "--interval needs milliseconds";
            }
            send.intervalMs = static_cast<int>(number);
        } else if (a.rfind("--", 0) == 0 &&
                   (isCapture || isSend || a == "--capture" || a == "--send" || a == "--to")) {
            command.error = "unknown or incomplete option '" + a + "'";
        }
    }
    if (isCapture && isSend) {
        command.error = "--capture and --send cannot be used together";
    } else if (isCapture && command.error.empty()) {
        command.error = checkCapture(capture);
        command.capture = capture;
    } else if (isSend && command.error.empty()) {
        if (send.to.empty() || send.to.find('.') == std::string::npos || send.to == "..." ||
            !isIpFilterText(send.to)) {
            command.error = "--send needs --to ADDRESS (for example 127.0.0.2)";
        }
        command.send = send;
    }
    return command;
}

int runCapture(const CaptureOptions& options, std::FILE* out, std::FILE* err) {
    Registration registration;
    if (registration.id() <= 0) {
        std::fprintf(err, "busprobe: unable to register with hubserver\n");
        return 1;
    }
    PcapngWriter writer;
    CaptureEndpoints endpoints = readCaptureEndpoints(GetNetworkAddress(registration.id()));
    if (!writer.open(options.file, endpoints, "captured by busprobe --capture")) {
        std::fprintf(err, "busprobe: unable to write %s: %s\n", options.file.c_str(),
                     writer.error().c_str());
        return 1;
    }
    TrafficFilter filter{options.ip, options.object, options.message};
    TrafficCounts counts;
    MonitorFeed& feed = MonitorFeed::instance();
    uint64_t droppedBefore = feed.droppedCount();
    feed.attach([&](std::vector<CapturedMessage>& batch) {
        for (const auto& m : batch) {
            ++counts.received;
            if (filter.passes(m.address, m.datagram())) {
                writer.write(m);
                ++counts.logged;
            }
        }
        writer.flush();
    });
    int32_t monitor = RegisterNetMonCallback_CB(registration.id(), &MonitorFeed::onNetMonMessage);
    std::fprintf(out, "busprobe: capturing to %s\n", options.file.c_str());
    std::fflush(out);
    QuitOnSignal quit;
    if (options.durationSeconds > 0) {
        QTimer::singleShot(static_cast<int>(options.durationSeconds * 1000), qApp,
                           &QCoreApplication::quit);
    }
    QCoreApplication::exec();
    UnRegisterNetMonCallback(registration.id(), monitor);
    QCoreApplication::processEvents();  // what was queued before the end
    feed.detach();
    counts.dropped = feed.droppedCount() - droppedBefore;
    bool ok = writer.close();
    std::fprintf(out, "busprobe: %s\n", counts.text().c_str());
    std::fprintf(out, "busprobe: %llu messages written to %s\n",
                 static_cast<unsigned long long>(writer.written()), options.file.c_str());
    if (!ok) {
        std::fprintf(err, "busprobe: writing %s failed: %s\n", options.file.c_str(),
                     writer.error().c_str());
        return 1;
    }
    return 0;
}

int runSend(const SendOptions& options, std::FILE* out, std::FILE* err) {
    MessageFileRead read = readMessageFile(options.file);
    if (!read.error.empty()) {
        std::fprintf(err, "busprobe: %s: %s\n", options.file.c_str(), read.error.c_str());
        return 1;
    }
    if (!read.badFields.empty()) {
        std::fprintf(err, "busprobe: %s: field %d was incorrectly specified\n",
                     options.file.c_str(), read.badFields.front());
        return 1;
    }
    if (read.message.messageId == 0) {
        std::fprintf(err, "busprobe: %s: the message ID is 0\n", options.file.c_str());
        return 1;
    }
    Registration registration;
    if (registration.id() <= 0) {
        std::fprintf(err, "busprobe: unable to register with hubserver\n");
        return 1;
    }
    uint32_t address = ipTextAddress(options.to);
    std::vector<uint8_t> data = messageData(read.message);
    int sent = 0;
    int result = 0;
    auto sendOne = [&] {
        auto number = static_cast<uint16_t>(GetMessageNumber(registration.id()));
        std::vector<uint8_t> datagram =
            wire::buildDatagram({read.message.objectId, read.message.messageId, number}, data);
        _Message message{address, static_cast<uint32_t>(datagram.size()), datagram.data(), nullptr};
        int32_t status = SendVEKNetMessage(registration.id(), &message);
        if (status < 0) {
            std::fprintf(err, "busprobe: SendVEKNetMessage Error : %d\n", status);
            result = 1;
            QCoreApplication::quit();
            return;
        }
        if (++sent >= options.repeat) {
            QCoreApplication::quit();
        }
    };
    QTimer pacing;
    pacing.setInterval(options.intervalMs);
    QObject::connect(&pacing, &QTimer::timeout, sendOne);
    QuitOnSignal quit;
    sendOne();
    if (sent < options.repeat && result == 0) {
        pacing.start();
        QCoreApplication::exec();
    }
    std::fprintf(out, "busprobe: sent %d message%s to %s\n", sent, sent == 1 ? "" : "s",
                 options.to.c_str());
    return result;
}

}  // namespace busprobe
