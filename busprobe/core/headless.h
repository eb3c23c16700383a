// busprobe without a window: "--capture" records the monitored traffic into
// a pcapng file until the time is up or a signal comes, and prints the
// counts; "--send" sends a message file's message to an address, as often
// and as far apart as asked. Both run a QCoreApplication event loop (the
// monitor feed and the pacing are timers and queued calls).
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace busprobe {

struct CaptureOptions {
    std::string file;
    double durationSeconds = 0;  // 0: until a signal
    std::string ip;
    std::string object;
    std::string message;
};

struct SendOptions {
    std::string file;
    std::string to;
    int repeat = 1;
    int intervalMs = 1000;
};

struct HeadlessCommand {
    std::optional<CaptureOptions> capture;
    std::optional<SendOptions> send;
    std::string error;  // a usage mistake, to print with the exit code 2
};

// Reads the headless options of `args` (without the program name); neither
// command set when there are none.
HeadlessCommand parseHeadless(const std::vector<std::string>& args);

// Exit codes: 0 done, 1 failed (no server, unwritable file, refused
// message file).
int runCapture(const CaptureOptions& options, std::FILE* out, std::FILE* err);
int runSend(const SendOptions& options, std::FILE* out, std::FILE* err);

}  // namespace busprobe
