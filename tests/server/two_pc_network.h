// Two "PCs" on one machine: two network namespaces joined by a veth pair,
// 10.78.0.1/24 in the first and 10.78.0.2/24 in the second. As root they are
// named namespaces made with `ip netns`; otherwise (or when that fails) a user and network
// namespace from `unshare -rn` holds the first and a nested `unshare -n` the
// second, each kept alive by a sleeping process. Traffic stays inside them.
// The destructor removes them, whatever the test's outcome.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace testing_support {

class TwoPcNetwork {
  public:
    static constexpr const char* kFirstAddress = "10.78.0.1";
    static constexpr const char* kSecondAddress = "10.78.0.2";

    // The two namespaces, or nullptr when they cannot be made here; `why`
    // then says what failed.
    static std::unique_ptr<TwoPcNetwork> make(std::string& why) {
        if (::geteuid() == 0) {
            std::unique_ptr<TwoPcNetwork> named(new TwoPcNetwork);
            if (named->makeNamed(why)) {
                return named;
            }
        }
        std::unique_ptr<TwoPcNetwork> unshared(new TwoPcNetwork);
        std::string unsharedWhy;
        if (unshared->makeUnshared(unsharedWhy)) {
            return unshared;
        }
        why += (why.empty() ? "" : "; ") + unsharedWhy;
        return nullptr;
    }

    ~TwoPcNetwork() {
        for (const std::string& name : names_) {
            run("ip netns del " + name);
        }
        for (pid_t holder : holders_) {
            ::kill(holder, SIGKILL);
            ::waitpid(holder, nullptr, 0);
        }
    }
    TwoPcNetwork(const TwoPcNetwork&) = delete;
    TwoPcNetwork& operator=(const TwoPcNetwork&) = delete;

    // A shell command run inside PC 0 or PC 1.
    std::string commandIn(int pc, const std::string& command) const {
        return prefixes_.at(pc) + " " + command;
    }

  private:
    TwoPcNetwork() = default;

    static bool run(const std::string& command) {
        return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
    }

    bool configure(int pc, const std::string& device, const char* address) {
        return run(commandIn(pc, "ip link set lo up")) &&
               run(commandIn(pc, std::string("ip addr add ") + address + "/24 dev " + device)) &&
               run(commandIn(pc, "ip link set " + device + " up"));
    }

    bool makeNamed(std::string& why) {
        std::string tag = std::to_string(::getpid());
        for (const char* pc : {"vekpcA", "vekpcB"}) {
            names_.push_back(pc + tag);
            if (!run("ip netns add " + names_.back())) {
                why = "'ip netns add' failed";
                return false;
            }
            prefixes_.push_back("ip netns exec " + names_.back());
        }
        std::string a = "vka" + tag;
        std::string b = "vkb" + tag;
        if (!run("ip link add " + a + " netns " + names_[0] + " type veth peer name " + b +
                 " netns " + names_[1])) {
            why = "no veth pair between named namespaces";
            return false;
        }
        why = "addresses could not be set";
        return configure(0, a, kFirstAddress) && configure(1, b, kSecondAddress);
    }

    // A sleeping process started by `command`; 0 when it could not start.
    pid_t holder(const std::string& command) {
        std::string line = command + " sleep 3600";
        char* argv[] = {const_cast<char*>("sh"), const_cast<char*>("-c"), line.data(), nullptr};
        pid_t pid = 0;
        if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv, environ) != 0) {
            return 0;
        }
        holders_.push_back(pid);
        return pid;
    }

    static std::string netNamespaceOf(pid_t pid) {
        char link[256] = {};
        std::string path = "/proc/" + std::to_string(pid) + "/ns/net";
        ssize_t n = ::readlink(path.c_str(), link, sizeof link - 1);
        return n > 0 ? std::string(link, static_cast<size_t>(n)) : std::string();
    }

    // Waits until the holder sits in a network namespace of its own, none of
    // `others`.
    static bool movedAway(pid_t pid, const std::vector<std::string>& others) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            std::string now = netNamespaceOf(pid);
            if (!now.empty() && std::find(others.begin(), others.end(), now) == others.end()) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    bool makeUnshared(std::string& why) {
        std::string own = netNamespaceOf(::getpid());
        // "exec" keeps the holder's pid for the process in the namespace.
        pid_t first = holder("exec unshare -rn");
        if (first == 0 || !movedAway(first, {own})) {
            why = "'unshare -rn' failed";
            return false;
        }
        std::string enterFirst = "nsenter --preserve-credentials -U -n -t " + std::to_string(first);
        pid_t second = holder("exec " + enterFirst + " unshare -n");
        if (second == 0 || !movedAway(second, {own, netNamespaceOf(first)})) {
            why = "no nested network namespace";
            return false;
        }
        prefixes_ = {enterFirst,
                     "nsenter --preserve-credentials -U -n -t " + std::to_string(second)};
        if (!run(commandIn(
                0, "ip link add vka type veth peer name vkb netns " + std::to_string(second)))) {
            why = "no veth pair between the namespaces";
            return false;
        }
        why = "addresses could not be set";
        return configure(0, "vka", kFirstAddress) && configure(1, "vkb", kSecondAddress);
    }

    std::vector<std::string> names_;  // named namespaces to delete
    std::vector<pid_t> holders_;      // processes holding unnamed ones
    std::vector<std::string> prefixes_;
};

}  // namespace testing_support
