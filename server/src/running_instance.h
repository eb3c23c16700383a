// What a second start of hubserver does to the instance already running.
#pragma once

#include "command_words.h"
#include "platform/window.h"

namespace hub {

constexpr const char* kAlreadyRunningTitle = "HUBSERVER ERROR";
constexpr const char* kAlreadyRunningText =
    "VEK Networking Subsystem (32 bit) Is Already Running !";

// Applies the command word to the running instance's main window, or, for
// anything else (also no word), prints the "Already Running" warning to
// stderr. Returns the exit code of this (second) process: 0 when the command
// was delivered, 1 otherwise.
int actOnRunningInstance(plat::Hwnd running, CommandWord word);

}  // namespace hub
