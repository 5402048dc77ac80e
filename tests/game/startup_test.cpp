#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <set>
#include <unistd.h>

#include <gtest/gtest.h>

#include "game/vul.h"
#include "testutil/testutil.h"

namespace
{

namespace fs = std::filesystem;

// The menu loop is endless; a test that reaches it notes the fact and leaves.
void LeaveAtMenu(void)
{
    printf("MENU LOOP\n");
    fflush(stdout);
    _exit(0);
}

// Runs the game's entry point in a death-test child with its standard output captured.
void RunGame(const std::string& log, std::vector<std::string> args, bool stop_at_menu = true)
{
    if (!freopen(log.c_str(), "w", stdout)) _exit(3);
    // A clock that runs ahead at every reading: the credits and the opening scenes before
    // the menu pass in no time.
    static vt::FakeClock fast(1000, 5);
    if (stop_at_menu) vul_menuhook = LeaveAtMenu;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>("vultar"));
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    SDL_main(static_cast<int>(argv.size()) - 1, argv.data());
}

GLB_WRITEITEM Item(std::string label, size_t size, uint8_t fill = 1)
{
    return GLB_WRITEITEM{std::move(label), std::vector<uint8_t>(size, fill), false};
}

// A plain picture of the given size.
GLB_WRITEITEM Picture(std::string label, uint8_t w, uint8_t h)
{
    std::vector<uint8_t> pic(20 + w * h, 0);
    pic[0] = 1; // plain picture
    pic[12] = w;
    pic[16] = h;
    return GLB_WRITEITEM{std::move(label), pic, false};
}

// The smallest archive 0 and an episode-1 archive that carry what start-up locks: the
// closing screen at index 2 and the menu songs, each a score that ends at once.
std::vector<GLB_WRITEITEM> Archive0(void)
{
    std::vector<GLB_WRITEITEM> items;
    for (int i = 0; i < 98; i++)
        items.push_back(Item("FILLER" + std::to_string(i), 4));
    items[2] = Item("EXITSCREEN", 4000);
    for (int i = 83; i <= 97; i++)
        items[i] = GLB_WRITEITEM{"SONG" + std::to_string(i), {0, 0, 0, 0, 1, 0, 10, 0, 1, 0, 0x60}};
    return items;
}

std::vector<GLB_WRITEITEM> Archive1(void)
{
    std::vector<GLB_WRITEITEM> items;
    items.push_back(Item("PALETTE", 768, 63));
    for (int i = 1; i < 5; i++)
        items.push_back(Item("FILL" + std::to_string(i), 4));
    for (int i = 5; i <= 15; i++)
        items.push_back(Picture("DIGIT" + std::to_string(i), 6, 8));
    for (int i = 16; i <= 17; i++)
        items.push_back(Item("WARN" + std::to_string(i), 64));
    items.push_back(Picture("POINTER", 16, 16));
    items.push_back(Item("FLATSG1_ITM", 8 * 16));
    // The credits pictures with their palettes, and cut-scene frames that show black.
    for (int i = 20; i <= 251; i++) {
        std::string n = "SCENE" + std::to_string(i);
        if (i == 43 || i == 45)
            items.push_back(Picture(n, 8, 8));
        else if (i == 44 || i == 46)
            items.push_back(Item(n, 768, 0));
        else
            items.push_back(Item(n, 9, 0));
    }
    return items;
}

std::vector<GLB_WRITEITEM> Episode(const char* flats)
{
    return {Item("START", 4), Item(flats, 8 * 16)};
}

class StartupTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        home.writeSetup("\r\n[Setup]\r\nsetup_menu=0\r\n");
        workdir = home.dir() + "/work";
        fs::create_directories(workdir);
        old_cwd = fs::current_path();
        fs::current_path(workdir);
        log = home.dir() + "/stdout.txt";
        unsetenv("QX_MODE");
    }
    void TearDown() override { fs::current_path(old_cwd); }

    void Here(const char* name, const std::vector<GLB_WRITEITEM>& items)
    {
        vt::WriteArchive(workdir + "/" + name, items);
    }
    void InDataPath(const char* name, const std::vector<GLB_WRITEITEM>& items)
    {
        vt::WriteArchive(home.dataPath() + name, items);
    }
    std::string Output() const { return vt::ReadTextFile(log); }
    bool ReachedMenu() const { return Output().find("MENU LOOP\n") != std::string::npos; }

    vt::TempHome home;
    std::string workdir, log;
    fs::path old_cwd;
};

TEST_F(StartupTest, MissingArchivesPrintTheLineAndExitWithZero)
{
    EXPECT_EXIT(RunGame(log, {}), ::testing::ExitedWithCode(0), "");
    std::string out = Output();
    EXPECT_NE(out.find("VULTAR: V1.2"), std::string::npos);
    EXPECT_NE(out.find("All game data files NOT FOUND cannot proceed !!\n"), std::string::npos);
    EXPECT_EQ(out.find("Init -"), std::string::npos);
}

TEST_F(StartupTest, ArchiveZeroAloneIsNotEnough)
{
    Here("FILE0000.GLB", Archive0());
    EXPECT_EXIT(RunGame(log, {}), ::testing::ExitedWithCode(0), "");
    EXPECT_NE(Output().find("NOT FOUND cannot proceed"), std::string::npos);
}

TEST_F(StartupTest, ReachesTheMenuLoopWithProgressLinesInOrder)
{
    Here("FILE0000.GLB", Archive0());
    Here("FILE0001.GLB", Archive1());
    EXPECT_EXIT(RunGame(log, {}), ::testing::ExitedWithCode(0), "");
    std::string out = Output();
    size_t banner = out.find("VULTAR: V1.2");
    size_t init = out.find("Init -\n");
    size_t ptr = out.find("PTR_Init()-Auto\n");
    size_t gfx = out.find("Loading Graphics\n");
    size_t menu = out.find("MENU LOOP\n");
    ASSERT_NE(menu, std::string::npos) << out;
    EXPECT_LT(banner, init);
    EXPECT_LT(init, ptr);
    EXPECT_LT(ptr, gfx);
    EXPECT_LT(gfx, menu);
    EXPECT_EQ(out.find("GOD mode"), std::string::npos);
}

TEST_F(StartupTest, DamagedResidentPicturesEndTheProgramBeforeTheMenu)
{
    Here("FILE0000.GLB", Archive0());
    std::vector<GLB_WRITEITEM> bad = Archive1();
    bad[7].data.resize(30); // a digit whose pixels are cut off
    Here("FILE0001.GLB", bad);
    EXPECT_EXIT(RunGame(log, {}), ::testing::ExitedWithCode(0), "");
    EXPECT_NE(Output().find("Loading Graphics"), std::string::npos);
    EXPECT_FALSE(ReachedMenu());

    std::vector<GLB_WRITEITEM> shortpal = Archive1();
    shortpal[0].data.resize(700);
    Here("FILE0001.GLB", shortpal);
    EXPECT_EXIT(RunGame(log, {}), ::testing::ExitedWithCode(0), "");
    EXPECT_FALSE(ReachedMenu());
}

TEST_F(StartupTest, ArchivesAreFoundInEitherCaseAndInTheDataPath)
{
    Here("file0000.glb", Archive0());
    InDataPath("file0001.glb", Archive1());
    EXPECT_EXIT(RunGame(log, {}), ::testing::ExitedWithCode(0), "");
    EXPECT_TRUE(ReachedMenu()) << Output();
}

TEST_F(StartupTest, ALongDataFolderPathWorksLikeAShortOne)
{
    // The archives only in a data folder whose path runs to about 400 characters.
    std::string deep = home.dir();
    while (deep.size() < 400)
        deep += "/a-rather-long-folder-name";
    std::string data = deep + "/Vultar/";
    fs::create_directories(data);
    vt::WriteTextFile(data + "setup.ini", "\r\n[Setup]\r\nsetup_menu=0\r\n");
    vt::WriteArchive(data + "FILE0000.GLB", Archive0());
    vt::WriteArchive(data + "FILE0001.GLB", Archive1());
    setenv("XDG_DATA_HOME", deep.c_str(), 1);
    EXPECT_EXIT(RunGame(log, {}), ::testing::ExitedWithCode(0), "");
    setenv("XDG_DATA_HOME", home.dir().c_str(), 1);
    EXPECT_TRUE(ReachedMenu()) << Output();

    // One that no file name can be made in: the missing-data message, not a silent end.
    Here("FILE0000.GLB", Archive0());
    Here("FILE0001.GLB", Archive1());
    setenv("XDG_DATA_HOME", (deep + "/" + std::string(5000, 'x')).c_str(), 1);
    EXPECT_EXIT(RunGame(log, {}), ::testing::ExitedWithCode(0), "");
    setenv("XDG_DATA_HOME", home.dir().c_str(), 1);
    EXPECT_NE(Output().find("NOT FOUND cannot proceed"), std::string::npos)
        << "[" << Output() << "]";
}

TEST_F(StartupTest, EpisodesThreeAndFourOnlyCountTogetherInOnePlace)
{
    Here("FILE0000.GLB", Archive0());
    // Split between the working directory and the data path: no episode available.
    Here("FILE0003.GLB", Episode("FLATSG3_ITM"));
    InDataPath("file0004.glb", Episode("FLATSG4_ITM"));
    EXPECT_EXIT(RunGame(log, {}), ::testing::ExitedWithCode(0), "");
    EXPECT_NE(Output().find("NOT FOUND cannot proceed"), std::string::npos);

    // Only episode 3's archive: still nothing.
    fs::remove(home.dataPath() + "file0004.glb");
    EXPECT_EXIT(RunGame(log, {}), ::testing::ExitedWithCode(0), "");
    EXPECT_NE(Output().find("NOT FOUND cannot proceed"), std::string::npos);
}

TEST_F(StartupTest, GodModeAndDemoWordsAreAnnouncedOnce)
{
    Here("FILE0000.GLB", Archive0());
    Here("FILE0001.GLB", Archive1());
    vt::WriteTextFile(workdir + "/wave.dem", std::string(12, '\0'));

    setenv("QX_MODE", "gantry", 1); // the code is case-sensitive
    EXPECT_EXIT(RunGame(log, {"REC", "out.dem"}), ::testing::ExitedWithCode(0), "");
    EXPECT_NE(Output().find("DEMO RECORD enabled\n"), std::string::npos);
    EXPECT_EQ(Output().find("GOD mode enabled"), std::string::npos);

    setenv("QX_MODE", vul_accesscode, 1);
    EXPECT_EXIT(RunGame(log, {"PLAY", "missing.dem"}), ::testing::ExitedWithCode(0), "");
    std::string out = Output();
    EXPECT_EQ(out.find("DEMO PLAYBACK enabled"), std::string::npos);
    size_t god = out.find("GOD mode enabled\n");
    ASSERT_NE(god, std::string::npos);
    EXPECT_EQ(out.find("GOD mode enabled", god + 1), std::string::npos);
    unsetenv("QX_MODE");
}

// The greeting's day: a team member's birthday by the player's own calendar, from the year
// the greeting starts, and no other day of the year.
TEST(Birthday, GreetsOnTheLocalDateFromItsFirstYearOnly)
{
    // Fourteen hours east of Greenwich, where the local date and the UTC date differ for
    // most of the day.
    const char* tz = getenv("TZ");
    const std::string saved = tz ? tz : "";
    setenv("TZ", "XYZ-14", 1);
    tzset();
    auto on = [](int year, int month, int day, int hour) {
        struct tm t = {};
        t.tm_year = year - 1900;
        t.tm_mon = month - 1;
        t.tm_mday = day; // past the month's end runs on into the next months
        t.tm_hour = hour;
        t.tm_isdst = -1;
        VUL_Bday(mktime(&t));
        return bday_num;
    };
    // The first entry, Ines, born 14 March, greeted from 1994.
    EXPECT_EQ(on(2026, 3, 14, 1), 0) << "still 13 March in UTC";
    EXPECT_EQ(bday_flag, 1);
    EXPECT_EQ(on(2026, 3, 15, 10), -1) << "still 14 March in UTC";
    EXPECT_EQ(on(2026, 3, 13, 12), -1);
    EXPECT_EQ(on(1993, 3, 14, 12), -1) << "before the greeting's first year";
    EXPECT_EQ(on(1994, 3, 14, 12), 0);
    // Another entry: Amara on 30 May; only the first entry sets the flag.
    EXPECT_EQ(on(2026, 5, 30, 12), 4);
    EXPECT_EQ(bday_flag, 0);

    // Over a leap year six days greet, each a different member.
    std::set<int> greeted;
    int days = 0;
    for (int day = 1; day <= 366; day++)
        if (on(2028, 1, day, 12) != -1) {
            days++;
            greeted.insert(bday_num);
        }
    EXPECT_EQ(days, 6);
    EXPECT_EQ(greeted.size(), 6u);

    if (tz)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

} // namespace
