// The suite as a packager and a third-party developer see it: `cmake
// --install` into a temporary prefix, then a C program built with pkg-config
// and a CMake project built with find_package, each run against the hubserver
// of that prefix; and every installed program explains itself.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "server_settings.h"
#include "udp_peer.h"

namespace {

namespace fs = std::filesystem;
using namespace testing_support;
using std::chrono::milliseconds;

struct CommandResult {
    int status = -1;
    std::string output;  // standard output and standard error together
};

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return out + "'";
}

// Runs a shell command with its output in a file, not a pipe: a hubserver
// the command starts keeps its inherited descriptors open long after the
// command ended.
CommandResult run(const std::string& command) {
    char pattern[] = "/tmp/vek-install-output-XXXXXX";
    int fd = ::mkstemp(pattern);
    CommandResult result;
    if (fd < 0) {
        return result;
    }
    ::close(fd);
    int status = std::system((command + " >" + quoted(pattern) + " 2>&1 </dev/null").c_str());
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream file(pattern);
    result.output.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    ::unlink(pattern);
    return result;
}

// The processes running the program at `path` (matched by executable, so
// only servers of this test's prefix).
std::vector<pid_t> processesOf(const fs::path& path) {
    std::vector<pid_t> pids;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc", ec)) {
        std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::error_code linkError;
        fs::path exe = fs::read_symlink(entry.path() / "exe", linkError);
        if (!linkError && exe == path) {
            pids.push_back(static_cast<pid_t>(std::stoi(name)));
        }
    }
    return pids;
}

constexpr const char* kCommandLinePrograms[] = {"hubserver", "netmon", "sendmsg", "serialcat",
                                                "objping"};
// Built by their own parts; installed once they exist.
constexpr const char* kOptionalPrograms[] = {"tarnsim", "tarnlist", "objscope", "busprobe"};

class InstalledSuite : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/vek-install-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
        prefix_ = root_ / "prefix";
        CommandResult install = run(quoted(VEK_CMAKE_COMMAND) + " --install " +
                                    quoted(VEK_BUILD_DIR) + " --prefix " + quoted(prefix_));
        ASSERT_EQ(install.status, 0) << install.output;
        for (const char* dir : {"config", "state", "run"}) {
            fs::create_directories(root_ / dir);
        }
        ::chmod((root_ / "run").c_str(), 0700);
    }

    void TearDown() override {
        for (pid_t pid : processesOf(server())) {
            ::kill(pid, SIGKILL);
        }
        std::error_code ec;
        fs::remove_all(root_, ec);
    }

    fs::path libDir() const { return prefix_ / VEK_INSTALL_LIBDIR; }
    fs::path binDir() const { return prefix_ / VEK_INSTALL_BINDIR; }
    fs::path server() const { return binDir() / "hubserver"; }

    // A command line in this test's private folders, with nothing of the
    // build tree on PATH and no server override: the library must start the
    // hubserver of its own installation.
    std::string inPrivateFolders(const std::string& command) const {
        return "env -u VEK_HUBSERVER -u LD_LIBRARY_PATH VEK_CONFIG_DIR=" +
               quoted(root_ / "config") + " VEK_STATE_DIR=" + quoted(root_ / "state") +
               " VEK_RUNTIME_DIR=" + quoted(root_ / "run") +
               " QT_QPA_PLATFORM=offscreen PATH=/usr/bin:/bin " + command;
    }

    // Copies the third-party client's sources into a fresh folder.
    fs::path clientSources() const {
        fs::path dir = root_ / "client";
        fs::create_directories(dir);
        fs::copy_file(fs::path(VEK_INSTALL_TEST_SOURCES) / "third_party_client.c",
                      dir / "third_party_client.c");
        fs::copy_file(fs::path(VEK_INSTALL_TEST_SOURCES) / "consumer_CMakeLists.txt",
                      dir / "CMakeLists.txt");
        return dir;
    }

    // Runs the built client against a device on 127.0.0.2 and checks that
    // the datagram arrived through a server started from the prefix, which
    // is then removed with its own command word.
    void expectClientWorksThroughInstalledServer(const fs::path& client) {
        uint16_t receivePort = freeUdpPort();
        std::ofstream(root_ / "config" / "VEKMAIN.INI")
            << "[VEK BASE 32]\nSendSocketPort=" << freeUdpPort()
            << "\nRecvSocketPort=" << receivePort
            << "\nVEKBaseAddress=127.0.0.1\nMessageDelayTime=0\nAutoShutdown=0\n";
        UdpPeer device(loopback(2), receivePort);
        ASSERT_TRUE(device.bound());

        CommandResult ran = run(inPrivateFolders(quoted(client) + " 127.0.0.2"));
        EXPECT_EQ(ran.status, 0) << ran.output;
        EXPECT_NE(ran.output.find("sent 1 "), std::string::npos) << ran.output;
        std::optional<ReceivedDatagram> datagram = device.receive(milliseconds(5000));
        ASSERT_TRUE(datagram.has_value());
        ASSERT_EQ(datagram->bytes.size(), 11u);
        EXPECT_EQ(std::string(datagram->bytes.begin(), datagram->bytes.begin() + 3), "VEK");
        EXPECT_EQ(datagram->bytes[3], 0x34);
        EXPECT_EQ(datagram->bytes[4], 0x12);
        EXPECT_EQ(std::string(datagram->bytes.end() - 2, datagram->bytes.end()), "hi");

        EXPECT_EQ(processesOf(server()).size(), 1u) << "no server of the prefix runs";
        CommandResult removed = run(inPrivateFolders(quoted(server()) + " REMOVE"));
        EXPECT_EQ(removed.status, 0) << removed.output;
        EXPECT_TRUE(waitUntil([&] { return processesOf(server()).empty(); }));
    }

    fs::path root_;
    fs::path prefix_;
};

TEST_F(InstalledSuite, LaysOutLibrariesHeadersPackageFilesManPagesAndExamples) {
    for (const char* library : {"libhubclient", "libobjlink", "libvekplatform"}) {
        fs::path soname = libDir() / (std::string(library) + ".so.1");
        EXPECT_TRUE(fs::is_symlink(soname)) << soname;
        EXPECT_TRUE(fs::exists(soname)) << soname;
    }
    EXPECT_TRUE(fs::exists(libDir() / "libhubclient.so"));
    EXPECT_TRUE(fs::exists(libDir() / "libobjlink.so"));
    // The platform library is private: no development link.
    EXPECT_FALSE(fs::exists(libDir() / "libvekplatform.so"));

    CommandResult soname = run("objdump -p " + quoted(libDir() / "libhubclient.so"));
    EXPECT_NE(soname.output.find("SONAME               libhubclient.so.1"), std::string::npos)
        << soname.output;

    fs::path include = prefix_ / VEK_INSTALL_INCLUDEDIR / "vek";
    EXPECT_TRUE(fs::exists(include / "hubclient.h"));
    EXPECT_TRUE(fs::exists(include / "objlink.h"));
    EXPECT_TRUE(fs::exists(libDir() / "pkgconfig" / "hubclient.pc"));
    EXPECT_TRUE(fs::exists(libDir() / "pkgconfig" / "objlink.pc"));
    EXPECT_TRUE(fs::exists(libDir() / "cmake" / "hubclient" / "hubclientConfig.cmake"));
    EXPECT_TRUE(fs::exists(libDir() / "cmake" / "objlink" / "objlinkConfigVersion.cmake"));

    for (const char* program : kCommandLinePrograms) {
        EXPECT_TRUE(fs::exists(binDir() / program)) << program;
        EXPECT_TRUE(
            fs::exists(prefix_ / VEK_INSTALL_MANDIR / "man1" / (std::string(program) + ".1.gz")))
            << program;
    }
    fs::path share = prefix_ / VEK_INSTALL_DATAROOTDIR;
    for (const std::string program : kOptionalPrograms) {
        if (fs::exists(binDir() / program)) {
            EXPECT_TRUE(fs::exists(share / "man" / "man1" / (program + ".1.gz"))) << program;
        }
    }
    for (const std::string program : {"objscope", "busprobe"}) {
        if (fs::exists(binDir() / program)) {
            EXPECT_TRUE(fs::exists(share / "applications" / (program + ".desktop"))) << program;
            EXPECT_TRUE(fs::exists(share / "icons/hicolor/scalable/apps" / (program + ".svg")))
                << program;
        }
    }
    fs::path examples = prefix_ / VEK_DOC_DIR / "examples";
    for (const char* source :
         {"netmon.c", "sendmsg.c", "serialcat.c", "objping.c", "example_options.h"}) {
        EXPECT_TRUE(fs::exists(examples / source)) << source;
    }
}

TEST_F(InstalledSuite, CProgramBuiltWithPkgConfigRunsAgainstTheInstalledServer) {
    fs::path sources = clientSources();
    fs::path client = root_ / "client" / "third_party_client";
    std::string pkgConfig = "PKG_CONFIG_PATH=" + quoted(libDir() / "pkgconfig") +
                            " pkg-config --cflags --libs hubclient objlink";
    CommandResult flags = run(pkgConfig);
    ASSERT_EQ(flags.status, 0) << flags.output;
    EXPECT_NE(flags.output.find("-lobjlink"), std::string::npos) << flags.output;
    EXPECT_NE(flags.output.find("-lhubclient"), std::string::npos) << flags.output;

    CommandResult built = run(quoted(VEK_C_COMPILER) + " " + VEK_CLIENT_FLAGS + " -o " +
                              quoted(client) + " " + quoted(sources / "third_party_client.c") +
                              " $(" + pkgConfig + ") -Wl,-rpath," + quoted(libDir()));
    ASSERT_EQ(built.status, 0) << built.output;
    expectClientWorksThroughInstalledServer(client);
}

TEST_F(InstalledSuite, CMakeProjectWithFindPackageRunsAgainstTheInstalledServer) {
    fs::path sources = clientSources();
    fs::path build = root_ / "client-build";
    CommandResult configured = run(quoted(VEK_CMAKE_COMMAND) + " -S " + quoted(sources) + " -B " +
                                   quoted(build) + " -DCMAKE_PREFIX_PATH=" + quoted(prefix_) +
                                   " -DCMAKE_C_COMPILER=" + quoted(VEK_C_COMPILER) +
                                   " -DCMAKE_C_FLAGS=" + quoted(VEK_CLIENT_FLAGS));
    ASSERT_EQ(configured.status, 0) << configured.output;
    CommandResult built = run(quoted(VEK_CMAKE_COMMAND) + " --build " + quoted(build));
    ASSERT_EQ(built.status, 0) << built.output;
    expectClientWorksThroughInstalledServer(build / "third_party_client");
}

TEST_F(InstalledSuite, EveryProgramExplainsItselfAndRefusesUnknownOptions) {
    for (const std::string program : kCommandLinePrograms) {
        SCOPED_TRACE(program);
        std::string path = quoted(binDir() / program);
        CommandResult help = run(inPrivateFolders(path + " --help"));
        EXPECT_EQ(help.status, 0) << help.output;
        EXPECT_EQ(help.output.rfind("usage: " + program, 0), 0u) << help.output;
        EXPECT_NE(help.output.find("VEK_CONFIG_DIR"), std::string::npos);
        EXPECT_EQ(run(inPrivateFolders(path + " -h")).status, 0);

        CommandResult unknown = run(inPrivateFolders(path + " --no-such-option"));
        EXPECT_EQ(unknown.status, 2);
        EXPECT_EQ(unknown.output,
                  program + ": unknown option '--no-such-option' (try '" + program + " --help')\n");
    }
    for (const std::string program : kOptionalPrograms) {
        if (!fs::exists(binDir() / program)) {
            continue;
        }
        SCOPED_TRACE(program);
        std::string path = quoted(binDir() / program);
        CommandResult help = run(inPrivateFolders(path + " --help"));
        EXPECT_EQ(help.status, 0) << help.output;
        EXPECT_NE(help.output.find(program), std::string::npos) << help.output;
        EXPECT_EQ(run(inPrivateFolders(path + " --no-such-option")).status, 2);
    }
    // Neither the help nor the refusal started a server.
    EXPECT_TRUE(processesOf(server()).empty());
    EXPECT_FALSE(fs::exists(root_ / "run" / "VEKBASE Application (32 Bit)"));

    CommandResult extra = run(inPrivateFolders(quoted(binDir() / "netmon") + " 127.0.0.2"));
    EXPECT_EQ(extra.status, 2) << extra.output;
}

}  // namespace
