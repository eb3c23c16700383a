// Where files and runtime objects live, and how programs are found and
// started. Every location can be moved with an environment variable so tests
// and users can run private instances side by side.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace plat {

// $VEK_CONFIG_DIR, else $XDG_CONFIG_HOME/vek, else ~/.config/vek.
// Holds VEKMAIN.INI and the other settings files.
std::string configDir();

// $VEK_STATE_DIR, else $XDG_STATE_HOME/vek, else ~/.local/state/vek.
// Holds the default debug log.
std::string stateDir();

// $VEK_RUNTIME_DIR, else $XDG_RUNTIME_DIR/vek, else /tmp/vek-<uid>. Created
// mode 0700 on first use; refused (empty string) when it exists but belongs to
// another user or is open to others. The default /tmp/vek-<uid> alone, which
// anyone can make first, is then replaced by the first private one of
// /tmp/vek-<uid>.1 ... .16 (said once on stderr).
std::string runtimeDir();

// Creates a folder and its parents (mode 0700 for new ones). True when it
// exists afterwards.
bool makeDirs(const std::string& path);

// Folder of the running program, and of the shared object that contains
// `addressInside` (a function or variable of that object).
std::string programDir();
std::string moduleDir(const void* addressInside);

// Finds a program: the path in environment variable `envOverride` if set and
// non-empty, else `name` in `nextToDir` if executable there, else `name` on
// PATH. Empty string when not found.
std::string locateProgram(const std::string& name, const std::string& envOverride,
                          const std::string& nextToDir);

// The same with several folders, looked at in order before PATH.
std::string locateProgram(const std::string& name, const std::string& envOverride,
                          const std::vector<std::string>& searchDirs);

// Starts a program detached from the caller's terminal signals (new session),
// with these arguments (argv[0] is the path): stdin and stdout on /dev/null,
// stderr inherited, no other descriptor. Returns its pid, or -1. The caller
// reaps the child (waitpid) or ignores SIGCHLD.
pid_t spawnProgram(const std::string& path, const std::vector<std::string>& args);

}  // namespace plat
