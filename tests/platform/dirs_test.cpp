#include "platform/dirs.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

namespace {

namespace fs = std::filesystem;

// Sets environment variables for one test and restores them afterwards.
class EnvGuard {
  public:
    void set(const char* name, const std::string& value) {
        remember(name);
        setenv(name, value.c_str(), 1);
    }
    void unset(const char* name) {
        remember(name);
        unsetenv(name);
    }
    ~EnvGuard() {
        for (auto& [name, value] : saved_) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    }

  private:
    void remember(const char* name) {
        if (saved_.count(name) == 0) {
            const char* old = getenv(name);
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
    }
    std::map<std::string, std::optional<std::string>> saved_;
};

class DirsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/dirstest.XXXXXX";
        dir_ = mkdtemp(pattern);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string dir_;
    EnvGuard env_;
};

TEST_F(DirsTest, OverridesThenXdgThenHome) {
    struct Case {
        std::string (*get)();
        const char* override;
        const char* xdg;
        const char* homeSuffix;
    };
    const Case cases[] = {
        {plat::configDir, "VEK_CONFIG_DIR", "XDG_CONFIG_HOME", "/.config/vek"},
        {plat::stateDir, "VEK_STATE_DIR", "XDG_STATE_HOME", "/.local/state/vek"},
    };
    for (const Case& c : cases) {
        env_.set("HOME", dir_ + "/home");
        env_.set(c.override, dir_ + "/own");
        env_.set(c.xdg, dir_ + "/xdg");
        EXPECT_EQ(c.get(), dir_ + "/own");
        env_.set(c.override, "");
        EXPECT_EQ(c.get(), dir_ + "/xdg/vek");
        env_.unset(c.xdg);
        EXPECT_EQ(c.get(), dir_ + "/home" + c.homeSuffix);
    }
}

TEST_F(DirsTest, RuntimeDirIsCreatedPrivate) {
    std::string run = dir_ + "/a/b/run";
    env_.set("VEK_RUNTIME_DIR", run);
    EXPECT_EQ(plat::runtimeDir(), run);
    struct stat st {};
    ASSERT_EQ(stat(run.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    env_.unset("VEK_RUNTIME_DIR");
    env_.set("XDG_RUNTIME_DIR", dir_ + "/xdg");
    EXPECT_EQ(plat::runtimeDir(), dir_ + "/xdg/vek");
}

TEST_F(DirsTest, RuntimeDirOpenToOthersOrForeignIsRefused) {
    std::string open = dir_ + "/open";
    mkdir(open.c_str(), 0700);
    chmod(open.c_str(), 0750);
    env_.set("VEK_RUNTIME_DIR", open);
    EXPECT_EQ(plat::runtimeDir(), "");

    std::string file = dir_ + "/file";
    std::ofstream(file) << "x";
    env_.set("VEK_RUNTIME_DIR", file);
    EXPECT_EQ(plat::runtimeDir(), "");

    std::string link = dir_ + "/link";
    std::string target = dir_ + "/target";
    mkdir(target.c_str(), 0700);
    symlink(target.c_str(), link.c_str());
    env_.set("VEK_RUNTIME_DIR", link);
    EXPECT_EQ(plat::runtimeDir(), "");

    if (geteuid() == 0) {
        std::string foreign = dir_ + "/foreign";
        mkdir(foreign.c_str(), 0700);
        ASSERT_EQ(chown(foreign.c_str(), 65534, 65534), 0);
        env_.set("VEK_RUNTIME_DIR", foreign);
        EXPECT_EQ(plat::runtimeDir(), "");
    }
}

TEST_F(DirsTest, MakeDirsCreatesParentsAndRejectsFiles) {
    EXPECT_TRUE(plat::makeDirs(dir_ + "/x/y/z"));
    EXPECT_TRUE(fs::is_directory(dir_ + "/x/y/z"));
    EXPECT_TRUE(plat::makeDirs(dir_ + "/x/y/z"));
    std::ofstream(dir_ + "/plain") << "x";
    EXPECT_FALSE(plat::makeDirs(dir_ + "/plain"));
    EXPECT_FALSE(plat::makeDirs(dir_ + "/plain/sub"));
    EXPECT_FALSE(plat::makeDirs(""));
}

TEST_F(DirsTest, ProgramAndModuleDirs) {
    EXPECT_EQ(plat::programDir(), fs::canonical("/proc/self/exe").parent_path().string());
    // A function of the test program itself lies in the program's folder.
    EXPECT_EQ(plat::moduleDir(reinterpret_cast<const void*>(&plat::programDir)),
              plat::programDir());
}

TEST_F(DirsTest, LocateProgramOverrideNextToThenPath) {
    std::string next = dir_ + "/next";
    std::string onPath = dir_ + "/path";
    fs::create_directories(next);
    fs::create_directories(onPath);
    for (const std::string& d : {next, onPath}) {
        std::ofstream(d + "/tool") << "#!/bin/sh\n";
        chmod((d + "/tool").c_str(), 0755);
    }
    std::ofstream(next + "/plainfile") << "x";
    env_.set("PATH", "/nonexistent:" + onPath);
    env_.set("VEK_TOOL", "");

    EXPECT_EQ(plat::locateProgram("tool", "VEK_TOOL", next), next + "/tool");
    EXPECT_EQ(plat::locateProgram("tool", "VEK_TOOL", dir_), onPath + "/tool");
    EXPECT_EQ(plat::locateProgram("plainfile", "VEK_TOOL", next), "");
    env_.set("VEK_TOOL", "/custom/tool");
    EXPECT_EQ(plat::locateProgram("tool", "VEK_TOOL", next), "/custom/tool");
    EXPECT_EQ(plat::locateProgram("absent", "", dir_), "");
}

// The descriptors of a process once it runs `program`, as "fd -> target" lines.
std::string descriptorsOnceRunning(pid_t pid, const std::string& program) {
    std::string proc = "/proc/" + std::to_string(pid);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    std::error_code ec;
    while (fs::read_symlink(proc + "/exe", ec).filename() != program &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::map<int, std::string> fds;
    for (const auto& entry : fs::directory_iterator(proc + "/fd")) {
        fds[std::stoi(entry.path().filename())] = fs::read_symlink(entry.path(), ec).string();
    }
    std::string text;
    for (const auto& [fd, target] : fds) {
        text += std::to_string(fd) + " -> " + (fd == 2 ? "stderr" : target) + "\n";
    }
    return text;
}

TEST_F(DirsTest, SpawnedProgramRunsInOwnSessionWithQuietStdio) {
    int leaked = open("/dev/null", O_RDONLY);  // no O_CLOEXEC: must still not reach the child
    ASSERT_GE(leaked, 3);
    pid_t pid = plat::spawnProgram("/bin/sleep", {"30"});
    close(leaked);
    ASSERT_GT(pid, 0);
    std::string fds = descriptorsOnceRunning(pid, "sleep");
    EXPECT_EQ(getsid(pid), pid);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    EXPECT_EQ(fds, "0 -> /dev/null\n1 -> /dev/null\n2 -> stderr\n");
}

TEST_F(DirsTest, SpawnOfMissingProgramFails) {
    pid_t pid = plat::spawnProgram(dir_ + "/missing", {});
    if (pid > 0) {  // some C libraries report the failure as exit status 127
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_EQ(WEXITSTATUS(status), 127);
    }
}

}  // namespace

namespace {

constexpr const char* kInsideMountNamespace = "VEK_TEST_INSIDE_MOUNTNS";

// The default runtime folder lives in /tmp, where anyone can make it first.
// Inside a mount namespace with its own /tmp (made by the outer test), a
// planted link or a folder open to others at /tmp/vek-<uid> makes every
// process of the user move to the same private alternative.
TEST(DefaultRuntimeDir, TakenDefaultMovesToAPrivateAlternative) {
    if (std::getenv(kInsideMountNamespace) != nullptr) {
        GTEST_SKIP() << "already inside the namespace";
    }
    if (std::system("unshare -rm sh -c 'mount -t tmpfs none /tmp' >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "'unshare -rm' does not work here: no private /tmp for this test";
    }
    char self[4096] = {};
    ASSERT_GT(::readlink("/proc/self/exe", self, sizeof self - 1), 0);
    std::string command = std::string(kInsideMountNamespace) +
                          "=1 unshare -rm sh -c 'mount -t tmpfs none /tmp && exec \"$0\" \"$@\"' " +
                          self + " --gtest_filter=DefaultRuntimeDirInside.* 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, n);
    }
    int status = ::pclose(pipe);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 2 tests."), std::string::npos) << output;
}

class DefaultRuntimeDirInside : public ::testing::Test {
  protected:
    void SetUp() override {
        if (std::getenv(kInsideMountNamespace) == nullptr) {
            GTEST_SKIP() << "runs only inside the namespace made by DefaultRuntimeDir";
        }
        env_.unset("VEK_RUNTIME_DIR");
        env_.unset("XDG_RUNTIME_DIR");
        base_ = "/tmp/vek-" + std::to_string(getuid());
        fs::remove_all(base_);
        fs::remove_all(base_ + ".1");
    }
    void TearDown() override {
        fs::remove_all(base_);
        fs::remove_all(base_ + ".1");
    }

    bool isPrivateFolder(const std::string& path) {
        struct stat st {};
        return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid() &&
               (st.st_mode & 077) == 0;
    }

    EnvGuard env_;
    std::string base_;
};

TEST_F(DefaultRuntimeDirInside, PlantedLinkIsNotFollowed) {
    mkdir("/tmp/planted", 0700);
    ASSERT_EQ(symlink("/tmp/planted", base_.c_str()), 0);
    EXPECT_EQ(plat::runtimeDir(), base_ + ".1");
    EXPECT_TRUE(isPrivateFolder(base_ + ".1"));
    EXPECT_EQ(plat::runtimeDir(), base_ + ".1");  // every later call agrees
}

TEST_F(DefaultRuntimeDirInside, FolderOpenToOthersIsLeftAlone) {
    mkdir(base_.c_str(), 0700);
    chmod(base_.c_str(), 0777);
    EXPECT_EQ(plat::runtimeDir(), base_ + ".1");
    EXPECT_TRUE(isPrivateFolder(base_ + ".1"));
    // An own private default is used as before.
    fs::remove_all(base_);
    EXPECT_EQ(plat::runtimeDir(), base_);
}

}  // namespace
