#pragma once

namespace hub {

// The whole program: acts on a running instance or becomes the server.
// Returns the process exit code.
int runServer(int argc, const char* const* argv);

}  // namespace hub
