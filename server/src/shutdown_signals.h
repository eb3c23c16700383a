// SIGTERM and SIGINT lead to the same orderly shutdown as "REMOVE": the
// handler only writes a byte into a pipe whose read end the main loop
// watches; the main window then closes itself on its own thread.
#pragma once

namespace hub {

// Installs the handlers (and ignores SIGPIPE). Returns the pipe's read end,
// or -1 when no pipe could be made.
int installShutdownSignals();

// Empties the pipe after a notification.
void drainShutdownSignals(int fd);

// Closes the pipe; a signal arriving later (the process is ending) is ignored.
void removeShutdownSignals(int fd);

}  // namespace hub
