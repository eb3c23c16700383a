/*
 * netmon: shows every network message this PC sends and receives, with its
 * reason, peer address, header fields and a hex dump, until SIGINT or SIGTERM.
 */
#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include "example_options.h"
#include "hubclient.h"

static const char kHelp[] =
    "usage: netmon [--help]\n"
    "Shows every network message this PC's hubserver sends and receives: direction,\n"
    "peer address, length, object, message and number, and a hex dump. Runs until\n"
    "SIGINT (Ctrl-C) or SIGTERM. Starts hubserver when none is running. Takes no\n"
    "arguments.\n"
    "\n" VEK_EXAMPLE_OPTIONS_HELP "\n" VEK_EXAMPLE_ENVIRONMENT_HELP
    "\n"
    "Exit status: 0 after a stop signal, 1 when the server cannot be reached,\n"
    "2 for a wrong command line.\n";

static int stopPipe[2] = {-1, -1};

static void onStopSignal(int signo) {
    (void)signo;
    char byte = 1;
    ssize_t ignored = write(stopPipe[1], &byte, 1);
    (void)ignored;
}

static unsigned readLe16(const uint8_t* p) {
    return (unsigned)p[0] | ((unsigned)p[1] << 8);
}

/* Runs on the library's thread, one message at a time. */
static void onMessage(_Message* message, NetMonCBReason_t reason) {
    char address[INET_ADDRSTRLEN] = "?";
    struct in_addr in;
    in.s_addr = htonl(message->Address);
    inet_ntop(AF_INET, &in, address, sizeof address);
    printf("%s %s length %u", reason == MessageSent ? "MessageSent to" : "MessageReceived from",
           address, (unsigned)message->Length);
    if (message->Length >= 9) {
        const uint8_t* d = message->Dataptr;
        printf(" object 0x%04X message 0x%04X number 0x%04X", readLe16(d + 3), readLe16(d + 5),
               readLe16(d + 7));
    }
    printf("\n");
    fflush(stdout);
    DumpData("/dev/stdout", message->Length, message->Dataptr);
}

static int installStopSignals(void) {
    if (pipe(stopPipe) != 0) {
        return -1;
    }
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    if (sigaction(SIGINT, &action, NULL) != 0 || sigaction(SIGTERM, &action, NULL) != 0) {
        return -1;
    }
    return 0;
}

static void waitForStopSignal(void) {
    char byte;
    while (read(stopPipe[0], &byte, 1) < 0 && errno == EINTR) {
    }
}

/* The dumps are appended through the library to /dev/stdout: with stdout in
 * append mode both writers add at the end of a redirected file. */
static void appendToStdout(void) {
    int flags = fcntl(STDOUT_FILENO, F_GETFL);
    if (flags >= 0) {
        fcntl(STDOUT_FILENO, F_SETFL, flags | O_APPEND);
    }
}

int main(int argc, char** argv) {
    int optionsStatus = handleExampleOptions(argc, argv, "netmon", kHelp);
    if (optionsStatus >= 0) {
        return optionsStatus;
    }
    if (argc > 1) {
        fprintf(stderr, "netmon: unexpected argument '%s' (try 'netmon --help')\n", argv[1]);
        return 2;
    }
    appendToStdout();
    if (installStopSignals() != 0) {
        perror("netmon: signals");
        return 1;
    }
    int32_t registration = VEKBaseStartup();
    if (registration < 1) {
        fprintf(stderr, "netmon: no server (%d)\n", (int)registration);
        return 1;
    }
    int32_t monitor = RegisterNetMonCallback_CB(registration, onMessage);
    if (monitor < 1) {
        fprintf(stderr, "netmon: monitor refused (%d)\n", (int)monitor);
        VEKBaseCleanup(registration);
        return 1;
    }
    printf("monitoring (registration %d, subscriber %d)\n", (int)registration, (int)monitor);
    fflush(stdout);
    waitForStopSignal();
    UnRegisterNetMonCallback(registration, monitor);
    VEKBaseCleanup(registration);
    printf("stopped\n");
    return 0;
}
