#include "bench_support.h"

#include <dirent.h>
#include <sched.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bench_support {

void MedianReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        if (run.aggregate_name == "median") {
            std::string name = run.run_name.function_name;
            if (!run.run_name.args.empty()) {
                name += "/" + run.run_name.args;
            }
            medians[name] = run.GetAdjustedRealTime();
        }
    }
    ConsoleReporter::ReportRuns(runs);
}

namespace {

bool takePinFlag(int& argc, char** argv) {
    bool pin = false;
    int out = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--pin") == 0) {
            pin = true;
        } else {
            argv[out++] = argv[i];
        }
    }
    argc = out;
    return pin;
}

}  // namespace

bool pinWhenAsked(int& argc, char** argv) {
    if (!takePinFlag(argc, argv)) {
        return false;
    }
    // Every thread that exists already (a library loaded with the program
    // may have started one); threads and processes started later inherit it.
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(0, &one);
    bool pinned = sched_setaffinity(0, sizeof one, &one) == 0;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (dirent* e = readdir(tasks)) {
            if (e->d_name[0] != '.') {
                pinned = sched_setaffinity(std::atoi(e->d_name), sizeof one, &one) == 0 && pinned;
            }
        }
        closedir(tasks);
    }
    return pinned;
}

std::string usePrivateFolders() {
    char pattern[] = "/tmp/vekbench.XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    std::string root = pattern;
    setenv("VEK_CONFIG_DIR", (root + "/config").c_str(), 1);
    setenv("VEK_STATE_DIR", (root + "/state").c_str(), 1);
    setenv("VEK_RUNTIME_DIR", (root + "/run").c_str(), 1);
    return root;
}

}  // namespace bench_support
