// The entry point of every test program: tests run headless unless the caller asks for a
// real display or sound device by setting the SDL drivers explicitly.
//
// Game code ends the program with exit() when something it needs is missing. A test that
// reaches such an exit() outside a death test would otherwise end the whole program with
// that status, often 0, and every later test in it would silently never run; here that
// becomes a failure of the program with a message that names the test.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

namespace
{

bool tests_running;
std::string current_test;

class ExitWatch : public testing::EmptyTestEventListener
{
    void OnTestStart(const testing::TestInfo& info) override
    {
        current_test = std::string(info.test_suite_name()) + "." + info.name();
    }
    void OnTestEnd(const testing::TestInfo&) override { current_test.clear(); }
};

void ExitDuringTests()
{
    if (!tests_running || testing::internal::InDeathTestChild()) return;
    if (current_test.empty())
        fprintf(stderr, "\nFAILED: the program called exit() while setting up or tearing "
                        "down tests; the tests after it did not run.\n");
    else
        fprintf(stderr,
                "\nFAILED: the program called exit() in %s, which is not a death "
                "test; the tests after it did not run.\n",
                current_test.c_str());
    fflush(stderr);
    _exit(1);
}

} // namespace

int main(int argc, char** argv)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new ExitWatch);
    atexit(ExitDuringTests);
    tests_running = true;
    int result = RUN_ALL_TESTS();
    tests_running = false;
    return result;
}
