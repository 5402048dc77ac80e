// The game starts on the generated data set: all five archives found, the palette, the
// pointer, the score digits and every episode's tile attributes locked, and the menu loop
// reached. A timedemo runs from launch to exit without waiting for anyone.
#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include <gtest/gtest.h>

#include "archive_read.h"
#include "game/vul.h"
#include "res/itemtable.h"
#include "testutil/testutil.h"

namespace fs = std::filesystem;

namespace
{

void LeaveAtMenu(void)
{
    // What start-up kept locked, seen from the menu loop.
    bool flats = flatlib[0] && flatlib[1] && flatlib[2] && flatlib[3];
    printf("MENU LOOP palette=%d pointer=%d flats=%d digits=%d\n", palette != nullptr,
           cursor_pic != nullptr, flats, numbers[10] != nullptr);
    fflush(stdout);
    _exit(0);
}

void RunGame(const std::string& log, std::vector<std::string> args = {})
{
    if (!freopen(log.c_str(), "w", stdout)) _exit(3);
    vul_menuhook = LeaveAtMenu;
    // Whatever would wait for a key must not hold the test up for long.
    alarm(60);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>("vultar"));
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    SDL_main(static_cast<int>(argv.size()) - 1, argv.data());
}

class DataStart : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        fs::create_directories(home.dataPath());
        fs::create_directories(work);
        for (int n = 0; n < 5; n++) {
            std::string name = "FILE000" + std::to_string(n) + ".GLB";
            fs::copy_file(VULTAR_BINARY_DIR "/data/" + name, work + "/" + name);
        }
        old = fs::current_path();
        fs::current_path(work);
        unsetenv("QX_MODE");
    }
    void TearDown() override { fs::current_path(old); }

    vt::TempHome home;
    std::string work = home.dir() + "/work", log = home.dir() + "/stdout.txt";
    fs::path old;
};

} // namespace

TEST_F(DataStart, TheGameStartsOnTheGeneratedArchives)
{
    home.writeSetup("\r\n[Setup]\r\nsetup_menu=0\r\n");
    EXPECT_EXIT(RunGame(log), ::testing::ExitedWithCode(0), "");
    std::string out = vt::ReadTextFile(log);
    EXPECT_NE(out.find("MENU LOOP palette=1 pointer=1 flats=1 digits=1\n"), std::string::npos)
        << out;
}

// The start screen is left on (as it is for a new player), and a timedemo still plays its
// demo and ends the program by itself: no start screen, no closing screen to dismiss.
TEST_F(DataStart, ATimedemoRunsFromLaunchToExitUnattended)
{
    std::string why;
    std::vector<ArchiveItem> items = ReadArchive(work + "/FILE0001.GLB", &why);
    ASSERT_GT(items.size(), size_t(ITM_Index(ITM_DEMOS1))) << why;
    std::vector<uint8_t> demo = items[ITM_Index(ITM_DEMOS1)].data;
    constexpr int kFrames = 40;
    ASSERT_GT(demo.size(), size_t((kFrames + 1) * 12));
    demo.resize((kFrames + 1) * 12);
    int32_t records = kFrames + 1;
    memcpy(&demo[8], &records, 4);
    std::string file = home.dir() + "/short.dem";
    vt::WriteFileBytes(file, demo);

    EXPECT_EXIT(RunGame(log, {"TIMEDEMO", file}), ::testing::ExitedWithCode(0), "");
    std::string out = vt::ReadTextFile(log);
    EXPECT_NE(out.find("TIMEDEMO enabled"), std::string::npos) << out;
    EXPECT_NE(out.find("timedemo: " + std::to_string(kFrames)), std::string::npos) << out;
    EXPECT_NE(out.find(" ms think, "), std::string::npos) << out;
    EXPECT_EQ(out.find("MENU LOOP"), std::string::npos) << out;
}
