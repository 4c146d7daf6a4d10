// The process runner that the CHM and PDF publishers start their outside
// programs with.
#include "platform/Process.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>

using namespace qm::platform;
using qm::test::TTempDir;

namespace {
double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
} // namespace

TEST(Process, CapturesOutputAndExitStatus) {
    struct Case {
        const char* name;
        std::vector<std::string> argv;
        std::string output;
        int exitCode;
    };
    const Case cases[] = {
        {"both streams in the order written",
         {"sh", "-c", "echo out; echo err >&2; echo out2; exit 3"},
         "out\nerr\nout2\n",
         3},
        {"arguments reach the program as they are",
         {"printf", "%s|", "a b", "$HOME", "\"q\"", "*", ""},
         "a b|$HOME|\"q\"|*||",
         0},
        {"standard input is empty", {"cat"}, "", 0},
        {"ended by a signal", {"sh", "-c", "kill -9 $$"}, "", 128 + SIGKILL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TProcessResult r = RunProcess(c.argv, "");
        EXPECT_EQ(r.Output, c.output);
        EXPECT_EQ(r.ExitCode, c.exitCode);
        EXPECT_FALSE(r.Cancelled);
    }
}

TEST(Process, RunsInTheWorkingFolder) {
    TTempDir dir;
    const TProcessResult r = RunProcess({"pwd", "-P"}, dir.Path());
    EXPECT_EQ(r.Output, std::filesystem::canonical(dir.Path()).string() + "\n");
}

TEST(Process, KeepsOnlyTheTailOfAFlood) {
    // Twice the limit plus a marker at the very end.
    const TProcessResult r =
        RunProcess({"sh", "-c",
                    "head -c " + std::to_string(3 * kMaxCapturedOutput) + " /dev/zero; printf END"},
                   "");
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_LE(r.Output.size(), 2 * kMaxCapturedOutput);
    EXPECT_GE(r.Output.size(), kMaxCapturedOutput);
    EXPECT_TRUE(r.Output.ends_with("END"));
}

TEST(Process, StartFailuresRaise) {
    TTempDir dir;
    EXPECT_THROW((void)RunProcess({"quillmate-no-such-program"}, ""), EProcessStartError);
    EXPECT_THROW((void)RunProcess({dir / "missing/prog"}, ""), EProcessStartError);
    EXPECT_THROW((void)RunProcess({"true"}, dir / "no-such-folder"), EProcessStartError);
    EXPECT_THROW((void)RunProcess({}, ""), EProcessStartError);
}

TEST(Process, CancelKillsTheProgram) {
    const auto start = std::chrono::steady_clock::now();
    int asked = 0;
    const TProcessResult r = RunProcess({"sleep", "60"}, "", [&] { return ++asked > 3; });
    EXPECT_TRUE(r.Cancelled);
    EXPECT_EQ(r.ExitCode, 128 + SIGKILL);
    EXPECT_LT(SecondsSince(start), 30.0);
}

TEST(Process, ReturnsWhenTheProgramEndsEvenIfAChildKeepsTheOutputOpen) {
    const auto start = std::chrono::steady_clock::now();
    const TProcessResult r = RunProcess({"sh", "-c", "sleep 60 & echo $!"}, "");
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_LT(SecondsSince(start), 30.0);
    const int pid = std::stoi(r.Output);
    ASSERT_GT(pid, 1);
    ::kill(pid, SIGKILL); // the background sleep this test started
}

TEST(Process, FindExecutableOnPath) {
    const std::string sh = FindExecutableOnPath("sh");
    EXPECT_TRUE(std::filesystem::path(sh).is_absolute()) << sh;
    EXPECT_EQ(FindExecutableOnPath("quillmate-no-such-program"), "");
    EXPECT_EQ(FindExecutableOnPath(""), "");
}
