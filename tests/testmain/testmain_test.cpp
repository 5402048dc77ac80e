// The shared test entry point: a test that ends the program through exit() outside a death
// test fails the program loudly instead of passing with the later tests skipped.
#include <cstdio>
#include <string>
#include <sys/wait.h>

#include <gtest/gtest.h>

namespace
{

struct ProbeRun {
    int status;
    std::string output;
};

ProbeRun RunProbe(const std::string& filter)
{
    std::string cmd =
        std::string(VULTAR_BINARY_DIR "/tests/exit_probe --gtest_filter=") + filter + " 2>&1";
    ProbeRun run{-1, {}};
    FILE* pipe = popen(cmd.c_str(), "r");
    if (!pipe) return run;
    char buf[512];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), pipe)) > 0)
        run.output.append(buf, n);
    int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

TEST(TestMain, AnExitInsideATestFailsTheProgram)
{
    ProbeRun run = RunProbe("Probe.*");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("called exit() in Probe.ExitsInTheMiddle"), std::string::npos)
        << run.output;
    EXPECT_EQ(run.output.find("[  PASSED  ]"), std::string::npos) << run.output;
}

TEST(TestMain, ExitsInDeathTestsAndNormalEndsStillPass)
{
    ProbeRun run = RunProbe("Probe.Passes:Probe.ADeathTestMayExit");
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("[  PASSED  ] 2 tests."), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("called exit()"), std::string::npos) << run.output;
}

} // namespace
