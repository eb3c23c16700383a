// The pieces of the process frame that need no running server: command words,
// version text and the order in which services start and stop.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command_words.h"
#include "services.h"
#include "version_info.h"

namespace {

using hub::CommandWord;

TEST(CommandWords, WholeArgumentTextIgnoringCase) {
    struct Case {
        std::vector<const char*> argv;
        CommandWord expected;
    };
    const Case cases[] = {
        {{"hubserver"}, CommandWord::None},
        {{"hubserver", "SHOW"}, CommandWord::Show},
        {{"hubserver", "show"}, CommandWord::Show},
        {{"hubserver", "Remove"}, CommandWord::Remove},
        {{"hubserver", "hide"}, CommandWord::Hide},
        {{"hubserver", "Debug_On"}, CommandWord::DebugOn},
        {{"hubserver", "DEBUG_OFF"}, CommandWord::DebugOff},
        {{"hubserver", "SHOW", "now"}, CommandWord::Other},
        {{"hubserver", "SHOWX"}, CommandWord::Other},
        {{"hubserver", ""}, CommandWord::None},
        {{"hubserver", "DEBUG", "ON"}, CommandWord::Other},
    };
    for (const Case& c : cases) {
        std::string text = hub::joinArguments(static_cast<int>(c.argv.size()), c.argv.data());
        EXPECT_EQ(hub::parseCommandWord(text), c.expected) << text;
    }
    const char* argv[] = {"hubserver", "a", "b c"};
    EXPECT_EQ(hub::joinArguments(3, argv), "a b c");
}

TEST(VersionInfo, IsTheServerNameAndVersion) {
    EXPECT_EQ(hub::buildVersionInfo(), "VEK Network Server (HUBSERVER.EXE) Version 1.18.1");
}

// Services that record what happens to them.
std::vector<std::string> g_calls;
bool g_failSecond = false;

bool startFirst(hub::ServerContext&) {
    g_calls.push_back("start 1");
    return true;
}
bool startSecond(hub::ServerContext&) {
    g_calls.push_back("start 2");
    return !g_failSecond;
}
bool startThird(hub::ServerContext&) {
    g_calls.push_back("start 3");
    return true;
}
void stopFirst(hub::ServerContext&) {
    g_calls.push_back("stop 1");
}
void stopSecond(hub::ServerContext&) {
    g_calls.push_back("stop 2");
}
void stopThird(hub::ServerContext&) {
    g_calls.push_back("stop 3");
}

const hub::Service kRecorded[] = {
    {"first", startFirst, stopFirst, true},
    {"second", startSecond, stopSecond, false},
    {"third", startThird, stopThird, true},
};

TEST(ServiceRunner, StartsInOrderAndStopsInReverse) {
    struct Case {
        bool failSecond;
        bool started;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {false, true, {"start 1", "start 2", "start 3", "stop 3", "stop 2", "stop 1"}},
        // The second fails: the third never starts, but stops in any case;
        // the second, which never started, is not stopped.
        {true, false, {"start 1", "start 2", "stop 3", "stop 1"}},
    };
    for (const Case& c : cases) {
        g_calls.clear();
        g_failSecond = c.failSecond;
        hub::ServerContext context;
        hub::ServiceRunner runner(kRecorded);
        EXPECT_EQ(runner.startAll(context), c.started);
        runner.stopAll(context);
        EXPECT_EQ(g_calls, c.calls);
    }
}

TEST(ServiceRunner, TheDebugLogIsTheFirstService) {
    ASSERT_FALSE(hub::serviceList().empty());
    EXPECT_STREQ(hub::serviceList().front().name, "debug log");
}

}  // namespace
