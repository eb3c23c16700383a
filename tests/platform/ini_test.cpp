#include "platform/ini.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using plat::ini::getInt;
using plat::ini::getString;

class IniTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/initest.XXXXXX";
        dir_ = mkdtemp(pattern);
        path_ = dir_ + "/TEST.INI";
    }
    void TearDown() override { fs::remove_all(dir_); }

    void writeFile(const std::string& content) {
        std::ofstream(path_, std::ios::binary) << content;
    }
    std::string readFile() const {
        std::ifstream in(path_, std::ios::binary);
        std::stringstream buffer;
        buffer << in.rdbuf();
        return buffer.str();
    }

    std::string dir_;
    std::string path_;
};

TEST_F(IniTest, ReadsValuesCaseInsensitivelyFirstMatchWins) {
    writeFile(
        "; comment\n"
        "[VEK BASE 32]\n"
        "  DebugFile = /var/log/x.txt  \n"
        "Quoted=\"  spaced  \"\n"
        "debugfile=/second\n"
        "[Other]\n"
        "DebugFile=/other\n"
        "[vek base 32]\n"
        "Late=1\n");
    EXPECT_EQ(getString("vek BASE 32", "DEBUGFILE", "def", path_), "/var/log/x.txt");
    EXPECT_EQ(getString("VEK BASE 32", "Quoted", "def", path_), "  spaced  ");
    EXPECT_EQ(getString("Other", "DebugFile", "def", path_), "/other");
    // A repeated section is not consulted: the first one is the section.
    EXPECT_EQ(getString("VEK BASE 32", "Late", "def", path_), "def");
    EXPECT_EQ(getString("Missing", "DebugFile", "def", path_), "def");
}

TEST_F(IniTest, GetIntReadsLeadingDigits) {
    writeFile(
        "[S]\nplain=123\ntrailing=123abc\ngarbage=abc\nempty=\nneg=-42x\n"
        "huge=99999999999\nspaced=  7  \n");
    struct Case {
        const char* key;
        int32_t expected;
    };
    const Case cases[] = {{"plain", 123}, {"trailing", 123},   {"garbage", 0}, {"empty", 0},
                          {"neg", -42},   {"huge", INT32_MAX}, {"spaced", 7},  {"missing", 77}};
    for (const Case& c : cases) {
        EXPECT_EQ(getInt("s", c.key, 77, path_), c.expected) << c.key;
    }
}

TEST_F(IniTest, MissingFileGivesDefaults) {
    EXPECT_EQ(getString("S", "k", "d", dir_ + "/nothing.ini"), "d");
    EXPECT_EQ(getInt("S", "k", 5, dir_ + "/nothing.ini"), 5);
    EXPECT_TRUE(plat::ini::keys("S", dir_ + "/nothing.ini").empty());
}

TEST_F(IniTest, WriteReplacesInPlaceAndKeepsTheRest) {
    writeFile("; head\n[A]\nx=1\n; keep me\ny=2\n\n[B]\nz=3\n");
    ASSERT_TRUE(plat::ini::writeString("a", "X", "10", path_));
    ASSERT_TRUE(plat::ini::writeString("A", "new", "n", path_));
    ASSERT_TRUE(plat::ini::writeString("C", "c", "v", path_));
    EXPECT_EQ(readFile(), "; head\n[A]\nX=10\n; keep me\ny=2\nnew=n\n\n[B]\nz=3\n\n[C]\nc=v\n");
}

TEST_F(IniTest, WriteKeepsCrlfStyleAndCreatesMissingFile) {
    writeFile("[A]\r\nx=1\r\n");
    ASSERT_TRUE(plat::ini::writeString("A", "y", "2", path_));
    EXPECT_EQ(readFile(), "[A]\r\nx=1\r\ny=2\r\n");
    EXPECT_EQ(getString("A", "x", "", path_), "1");

    std::string fresh = dir_ + "/sub/NEW.INI";
    ASSERT_TRUE(plat::ini::writeString("S", "k", "v", fresh));
    EXPECT_EQ(getString("S", "k", "", fresh), "v");
}

TEST_F(IniTest, WriteKeepsFileModeAndLeavesNoTemporaryFile) {
    writeFile("[A]\nx=1\n");
    chmod(path_.c_str(), 0600);
    ASSERT_TRUE(plat::ini::writeString("A", "x", "2", path_));
    struct stat st {};
    ASSERT_EQ(stat(path_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(IniTest, RefusesTextThatWouldBreakLines) {
    writeFile("[A]\nx=1\n");
    EXPECT_FALSE(plat::ini::writeString("A", "x", "1\n[B]", path_));
    EXPECT_FALSE(plat::ini::writeString("A]", "x", "1", path_));
    EXPECT_FALSE(plat::ini::writeString("A", "k=v", "1", path_));
    EXPECT_FALSE(plat::ini::writeString("A", " ", "1", path_));
    EXPECT_EQ(readFile(), "[A]\nx=1\n");
}

TEST_F(IniTest, UnwritableFolderFailsWrite) {
    // A folder that cannot exist (a file stands in its place) fails even for root.
    std::ofstream(dir_ + "/plain") << "x";
    EXPECT_FALSE(plat::ini::writeString("A", "x", "1", dir_ + "/plain/X.INI"));
    EXPECT_EQ(getString("A", "x", "def", dir_ + "/plain/X.INI"), "def");
}

TEST_F(IniTest, DeleteKeyEraseSectionAndEnumeration) {
    writeFile("[A]\nb=1\nA=2\n;c=3\nz=4\n[B]\nq=1\n[C]\n");
    EXPECT_EQ(plat::ini::keys("a", path_), (std::vector<std::string>{"b", "A", "z"}));
    EXPECT_EQ(plat::ini::sections(path_), (std::vector<std::string>{"A", "B", "C"}));

    ASSERT_TRUE(plat::ini::deleteKey("A", "a", path_));
    ASSERT_TRUE(plat::ini::deleteKey("A", "absent", path_));
    ASSERT_TRUE(plat::ini::eraseSection("b", path_));
    ASSERT_TRUE(plat::ini::eraseSection("absent", path_));
    EXPECT_EQ(readFile(), "[A]\nb=1\n;c=3\nz=4\n[C]\n");
}

TEST_F(IniTest, ConcurrentWritersFromSeveralProcessesLoseNothing) {
    constexpr int kProcesses = 4;
    constexpr int kKeysEach = 25;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        pid_t pid = fork();
        if (pid == 0) {
            bool ok = true;
            for (int k = 0; k < kKeysEach; ++k) {
                std::string key = "p" + std::to_string(p) + "k" + std::to_string(k);
                ok = plat::ini::writeString("S", key, std::to_string(k), path_) && ok;
            }
            _exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    EXPECT_EQ(plat::ini::keys("S", path_).size(), size_t{kProcesses * kKeysEach});
}

TEST_F(IniTest, BareNameResolvesInConfigDir) {
    setenv("VEK_CONFIG_DIR", dir_.c_str(), 1);
    EXPECT_EQ(plat::ini::resolvePath("VEKMAIN.INI"), dir_ + "/VEKMAIN.INI");
    EXPECT_EQ(plat::ini::resolvePath("/abs/X.INI"), "/abs/X.INI");
    writeFile("[S]\nk=v\n");
    EXPECT_EQ(getString("S", "k", "", "TEST.INI"), "v");
    unsetenv("VEK_CONFIG_DIR");
}

}  // namespace
