// The game starts on the generated data set: all five archives found, the palette, the
// pointer, the score digits and every episode's tile attributes locked, and the menu loop
// reached.
#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include <gtest/gtest.h>

#include "game/vul.h"
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

void RunGame(const std::string& log)
{
    if (!freopen(log.c_str(), "w", stdout)) _exit(3);
    vul_menuhook = LeaveAtMenu;
    char name[] = "vultar";
    char* argv[] = {name, nullptr};
    SDL_main(1, argv);
}

} // namespace

TEST(DataStart, TheGameStartsOnTheGeneratedArchives)
{
    vt::TempHome home;
    fs::create_directories(home.dataPath());
    vt::WriteTextFile(home.dataPath() + "setup.ini", "\r\n[Setup]\r\nsetup_menu=0\r\n");
    std::string work = home.dir() + "/work", log = home.dir() + "/stdout.txt";
    fs::create_directories(work);
    for (int n = 0; n < 5; n++) {
        std::string name = "FILE000" + std::to_string(n) + ".GLB";
        fs::copy_file(VULTAR_BINARY_DIR "/data/" + name, work + "/" + name);
    }
    fs::path old = fs::current_path();
    fs::current_path(work);
    unsetenv("QX_MODE");
    EXPECT_EXIT(RunGame(log), ::testing::ExitedWithCode(0), "");
    fs::current_path(old);
    std::string out = vt::ReadTextFile(log);
    EXPECT_NE(out.find("MENU LOOP palette=1 pointer=1 flats=1 digits=1\n"), std::string::npos)
        << out;
}
