/*
 * serialcat: copies between a serial port of the PC and the terminal.
 *
 *   serialcat PORT [BAUD]
 *
 * Opens port "COM<PORT>" (hubserver maps it to a device, see its
 * VEKMAIN.INI section "COM Ports") with BAUD bits per second (default 9600),
 * 8 data bits, one stop bit, no parity. What the port receives goes to
 * standard output; what arrives on standard input goes to the port. Ends at
 * the end of standard input, on SIGINT or on SIGTERM.
 */
#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "example_options.h"
#include "hubclient.h"

static const char kHelp[] =
    "usage: serialcat PORT [BAUD]\n"
    "Copies between serial port COM<PORT> of this PC and the terminal: what the\n"
    "port receives goes to standard output, standard input goes to the port.\n"
    "8 data bits, 1 stop bit, no parity; BAUD defaults to 9600. Ends at the end\n"
    "of standard input, on SIGINT or on SIGTERM.\n"
    "\n" VEK_EXAMPLE_OPTIONS_HELP "\n" VEK_EXAMPLE_ENVIRONMENT_HELP
    "\n"
    "Files:\n"
    "  VEKMAIN.INI, section \"COM Ports\": COMn=/dev/... maps a port number to a\n"
    "  device (default /dev/ttyS<n-1>)\n"
    "\n"
    "Exit status: 0 at the end, 1 when the port or the server fails, 2 for a\n"
    "wrong command line.\n";

static int stopPipe[2] = {-1, -1};

static void onStopSignal(int signo) {
    (void)signo;
    char byte = 1;
    ssize_t ignored = write(stopPipe[1], &byte, 1);
    (void)ignored;
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

/* Runs on the library's thread for every block the port received. */
static void onPortData(uint32_t parameter, COMM_DATA* data) {
    (void)parameter;
    fwrite(data->DataBuffer, 1, data->Length, stdout);
    fflush(stdout);
}

static int parseNumber(const char* text, uint32_t* out) {
    char* end = NULL;
    unsigned long value = strtoul(text, &end, 10);
    if (end == text || *end != '\0' || value == 0 || value > 0xFFFFFFFFul) {
        return -1;
    }
    *out = (uint32_t)value;
    return 0;
}

/* Sends everything read from standard input until it ends or a stop signal. */
static int copyInputToPort(int32_t registration, int32_t port) {
    uint8_t buffer[4096];
    struct pollfd waits[2] = {{STDIN_FILENO, POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
    for (;;) {
        if (poll(waits, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return 1;
        }
        if (waits[1].revents != 0) {
            return 0;
        }
        ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return n == 0 ? 0 : 1;
        }
        COMM_DATA data = {(uint32_t)port, (uint32_t)n, buffer};
        int32_t written = SendCommData(registration, &data);
        if (written != (int32_t)n) {
            fprintf(stderr, "serialcat: the port took %d of %d bytes\n", (int)written, (int)n);
        }
    }
}

int main(int argc, char** argv) {
    int optionsStatus = handleExampleOptions(argc, argv, "serialcat", kHelp);
    if (optionsStatus >= 0) {
        return optionsStatus;
    }
    uint32_t portNumber = 0;
    COMM_INFORMATION line = {9600, 8, one_stop_bit, no_parity, 0, 0};
    if (argc < 2 || argc > 3 || parseNumber(argv[1], &portNumber) != 0 ||
        (argc == 3 && parseNumber(argv[2], &line.BaudRate) != 0)) {
        fprintf(stderr, "usage: serialcat PORT [BAUD]\n");
        return 2;
    }
    if (installStopSignals() != 0) {
        perror("serialcat: signals");
        return 1;
    }
    int32_t registration = VEKBaseStartup();
    if (registration < 1) {
        fprintf(stderr, "serialcat: no hubserver (%d)\n", (int)registration);
        return 1;
    }
    int32_t port = OpenCommPort_CB(registration, portNumber, &line, onPortData, 0);
    if (port < 1) {
        fprintf(stderr, "serialcat: COM%u could not be opened (%d)\n", (unsigned)portNumber,
                (int)port);
        VEKBaseCleanup(registration);
        return 1;
    }
    int status = copyInputToPort(registration, port);
    CloseCommPort(registration, port);
    VEKBaseCleanup(registration);
    return status;
}
