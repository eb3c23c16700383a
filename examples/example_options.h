/*
 * The options every example program understands: --help (-h) prints the
 * program's help text and ends with status 0; any other argument that starts
 * with '-' is refused with a one-line message and status 2.
 */
#ifndef VEK_EXAMPLE_OPTIONS_H
#define VEK_EXAMPLE_OPTIONS_H

#include <stdio.h>
#include <string.h>

/* The option every example has, and where every program that talks to
 * hubserver finds its folders. */
#define VEK_EXAMPLE_OPTIONS_HELP \
    "Options:\n"                 \
    "  -h, --help   show this help and exit\n"

#define VEK_EXAMPLE_ENVIRONMENT_HELP                                             \
    "Environment:\n"                                                             \
    "  VEK_CONFIG_DIR   folder of VEKMAIN.INI (default $XDG_CONFIG_HOME/vek,\n"  \
    "                   else ~/.config/vek)\n"                                   \
    "  VEK_STATE_DIR    folder of the debug log VDEBUG32.TXT (default\n"         \
    "                   $XDG_STATE_HOME/vek, else ~/.local/state/vek)\n"         \
    "  VEK_RUNTIME_DIR  private folder of the message endpoints (default\n"      \
    "                   $XDG_RUNTIME_DIR/vek, else /tmp/vek-<uid>)\n"            \
    "  VEK_HUBSERVER    the hubserver program to start when none is running\n"   \
    "                   (default: next to the library, the installation's bin\n" \
    "                   folder, then PATH)\n"

/* Returns -1 when the program should go on, else its exit status. */
static int handleExampleOptions(int argc, char** argv, const char* name, const char* help) {
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) {
            fputs(help, stdout);
            return 0;
        }
    }
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-' && argv[i][1] != '\0') {
            fprintf(stderr, "%s: unknown option '%s' (try '%s --help')\n", name, argv[i], name);
            return 2;
        }
    }
    return -1;
}

#endif
