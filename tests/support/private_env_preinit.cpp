// Gives the test program private config, state and runtime folders before any
// shared library is initialized: libhubclient creates its hidden window in
// the runtime folder as it is loaded, so setting the environment in main()
// would be too late. A function in .preinit_array runs before the
// initializers of every shared library; the C library's environment is not
// set up yet at that point, so it runs the program again as a child with the
// private folders in its environment instead of changing its own, waits for
// it, removes the folders and ends with the child's status.
#include <errno.h>
#include <ftw.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <initializer_list>

namespace {

constexpr const char* kRootVariable = "VEK_TEST_PRIVATE_ROOT=";
constexpr int kMaxEnvironment = 1024;
constexpr int kRootSize = 64;
constexpr int kTextSize = 128;
constexpr int kPathSize = 4096;

char gRoot[kRootSize] = "/tmp/vekclient.XXXXXX";
char gTexts[4][kTextSize];
char gServer[kPathSize];
char* gEnvironment[kMaxEnvironment];

bool startsWith(const char* text, const char* prefix) {
    return strncmp(text, prefix, strlen(prefix)) == 0;
}

bool isPrivateVariable(const char* entry) {
    return startsWith(entry, kRootVariable) || startsWith(entry, "VEK_CONFIG_DIR=") ||
           startsWith(entry, "VEK_STATE_DIR=") || startsWith(entry, "VEK_RUNTIME_DIR=") ||
           startsWith(entry, "VEK_HUBSERVER=");
}

const char* findVariable(char** envp, const char* prefix) {
    for (char** e = envp; *e != nullptr; ++e) {
        if (startsWith(*e, prefix)) {
            return *e + strlen(prefix);
        }
    }
    return nullptr;
}

int removeEntry(const char* path, const struct stat*, int, FTW*) {
    return ::remove(path);
}

void removePrivateFolders() {
    ::nftw(gRoot, removeEntry, 16, FTW_DEPTH | FTW_PHYS);
}

pid_t gChild = -1;

// A signal for this process (a time-out of the test runner) is meant for the
// test: pass it on.
void forwardSignal(int signo) {
    if (gChild > 0) {
        ::kill(gChild, signo);
    }
}

void forwardSignals() {
    struct sigaction action {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    for (int signo : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
        ::sigaction(signo, &action, nullptr);
    }
}

// A hubserver the test left running in its private folders (a test that
// crashed or was killed never unregistered) ends with the folders.
void endLeftoverServer() {
    char lock[kTextSize];
    char socket[kTextSize];
    snprintf(lock, sizeof lock, "%s/run/VEKBASE Application (32 Bit).lock", gRoot);
    snprintf(socket, sizeof socket, "%s/run/VEKBASE Application (32 Bit)", gRoot);
    struct stat st {};
    FILE* f = ::fopen(lock, "r");
    unsigned long long holder = 0;
    bool read = f != nullptr && ::fscanf(f, "%llx", &holder) == 1;
    if (f != nullptr) {
        ::fclose(f);
    }
    pid_t pid = static_cast<pid_t>(holder >> 32);
    if (read && pid > 1 && ::stat(socket, &st) == 0) {
        ::kill(pid, SIGKILL);
    }
}

// Waits for the child and ends this process with its status.
[[noreturn]] void finishAfter(pid_t child) {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    endLeftoverServer();
    removePrivateFolders();
    _exit(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
}

void restartWithPrivateFolders(char** argv, char** envp) {
    if (::mkdtemp(gRoot) == nullptr) {
        return;
    }
    const char* bin = findVariable(envp, "VEK_BIN_DIR=");
    snprintf(gTexts[0], kTextSize, "%s%s", kRootVariable, gRoot);
    snprintf(gTexts[1], kTextSize, "VEK_CONFIG_DIR=%s/config", gRoot);
    snprintf(gTexts[2], kTextSize, "VEK_STATE_DIR=%s/state", gRoot);
    snprintf(gTexts[3], kTextSize, "VEK_RUNTIME_DIR=%s/run", gRoot);
    snprintf(gServer, kPathSize, "VEK_HUBSERVER=%s/hubserver",
             bin != nullptr && *bin != '\0' ? bin : VEK_BIN_DIR);
    int n = 0;
    for (char* text : gTexts) {
        gEnvironment[n++] = text;
    }
    gEnvironment[n++] = gServer;
    for (char** e = envp; *e != nullptr && n < kMaxEnvironment - 1; ++e) {
        if (!isPrivateVariable(*e)) {
            gEnvironment[n++] = *e;
        }
    }
    gEnvironment[n] = nullptr;
    char config[kTextSize];
    snprintf(config, sizeof config, "%s/config", gRoot);
    ::mkdir(config, 0700);
    pid_t parent = ::getpid();
    gChild = ::fork();
    if (gChild == 0) {
        // The test dies with this process, even one killed outright.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent) {
            _exit(127);
        }
        ::execve("/proc/self/exe", argv, gEnvironment);
        _exit(127);
    }
    if (gChild > 0) {
        forwardSignals();
        finishAfter(gChild);
    }
    // Not started: go on in the inherited environment.
}

void setPrivateFolders(int, char** argv, char** envp) {
    if (findVariable(envp, kRootVariable) == nullptr) {
        restartWithPrivateFolders(argv, envp);
    }
}

}  // namespace

__attribute__((section(".preinit_array"),
               used)) static void (*const gPreinit)(int, char**, char**) = setPrivateFolders;
