#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include <gtest/gtest.h>

#include "game/vul.h"
#include "testutil/testutil.h"

namespace {

// Runs the game's entry point in a death-test child with its standard output captured.
void RunGame(const std::string& log, std::vector<std::string> args)
{
    if (!freopen(log.c_str(), "w", stdout)) _exit(3);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>("vultar"));
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    SDL_main(static_cast<int>(argv.size()) - 1, argv.data());
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(home.dataPath());
        vt::WriteTextFile(home.dataPath() + "setup.ini", "\r\n[Setup]\r\nsetup_menu=0\r\n");
        workdir = home.dir() + "/work";
        std::filesystem::create_directories(workdir);
        old_cwd = std::filesystem::current_path();
        std::filesystem::current_path(workdir);
        log = home.dir() + "/stdout.txt";
    }
    void TearDown() override { std::filesystem::current_path(old_cwd); }

    vt::TempHome home;
    std::string workdir, log;
    std::filesystem::path old_cwd;
};

TEST_F(StartupTest, MissingArchivesPrintTheLineAndExitWithZero)
{
    EXPECT_EXIT(RunGame(log, {}), ::testing::ExitedWithCode(0), "");
    std::string out = vt::ReadTextFile(log);
    EXPECT_NE(out.find("VULTAR: V1.2"), std::string::npos);
    EXPECT_NE(out.find("All game data files NOT FOUND cannot proceed !!\n"), std::string::npos);
    EXPECT_EQ(out.find("Init -"), std::string::npos);
}

} // namespace
