// A test program for the shared test entry point itself (run by testmain_test): one test
// leaves through exit() the way game code does when data is missing.
#include <cstdlib>

#include <gtest/gtest.h>

TEST(Probe, Passes)
{
    SUCCEED();
}

TEST(Probe, ADeathTestMayExit)
{
    EXPECT_EXIT(exit(0), testing::ExitedWithCode(0), "");
}

TEST(Probe, ExitsInTheMiddle)
{
    exit(0);
}

TEST(Probe, NeverRunsAfterTheExit)
{
    SUCCEED();
}
