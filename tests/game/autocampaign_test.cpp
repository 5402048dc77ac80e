// The autopilot's campaign on the generated data set, through every screen between the
// waves: a new pilot at medium, the store, the first three waves of the first episode with
// the pilot saved after each, and the pilot left and loaded again on the way. It must come
// through alive with its pilot file telling the same story, and a second run from scratch
// must write the very same demo and pilot files.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "game/autorun.h"
#include "game/demo.h"
#include "game/loadsave.h"
#include "game/prefapi.h"
#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "gfx/ptrapi.h"
#include "input/input.h"
#include "input/inputtest.h"
#include "input/kbdapi.h"
#include "res/glbapi.h"
#include "sound/fx.h"
#include "testutil/testutil.h"
#include "ui/swdapi.h"
#include "world/objects.h"

namespace
{

void StartGame(void)
{
    static bool started;
    if (started) return;
    started = true;
    vt::InitInputPlatform();
    KBD_Install();
    GFX_InitSystem();
    SWD_Install(0);
    IPT_LoadPrefs();
    control = CONTROL_KEYBOARD;
    PTR_Init(1);
    GLB_InitSystem(VULTAR_BINARY_DIR "/data/", 6, nullptr);
    SND_InitSound();
    IPT_Init();
    GLB_FreeAll();
    VUL_InitMem();
    for (int& flag : gameflag)
        flag = 1;
    VUL_LoadGraphics(1);
}

struct FLOWN {
    std::vector<AUTO_WAVE> waves;
    std::vector<std::vector<uint8_t>> demos;
    std::vector<uint8_t> pilot;
    PLAYEROBJ saved;
    int saved_objs;
};

// One campaign from scratch in a folder of its own.
FLOWN Fly(void)
{
    vt::TempHome home;
    vt::FakeClock clock{1000, 5}; // runs ahead with every reading: no waiting
    VUL_InitLoadSave();
    INI_InitPreference(VUL_SetupFilename());
    StartGame();

    AUTO_RUN run;
    run.difficulty = 2;
    run.waves = 3;
    run.reload_every = 2;
    run.demodir = home.dir() + "/demos";
    mkdir(run.demodir.c_str(), 0755);

    FLOWN f;
    f.waves = AUTO_Campaign(run);
    for (int w = 1; w <= 3; w++)
        f.demos.push_back(vt::ReadFileBytes(run.demodir + "/e1w" + std::to_string(w) + ".dem"));
    char name[I_MAXFILEPATH];
    VUL_PilotFilename(0, name, sizeof(name));
    f.pilot = vt::ReadFileBytes(name);
    OBJ_S objs[20];
    f.saved_objs = VUL_ReadPilot(0, &f.saved, objs);
    return f;
}

TEST(AutopilotCampaign, FirstThreeWavesAtMediumSurvivedSavedAndTheSameTwice)
{
    const FLOWN a = Fly();
    ASSERT_EQ(a.waves.size(), 3u);
    for (size_t i = 0; i < a.waves.size(); i++) {
        const AUTO_WAVE& w = a.waves[i];
        SCOPED_TRACE("wave " + std::to_string(i + 1));
        EXPECT_EQ(w.game, 0);
        EXPECT_EQ(w.wave, static_cast<int>(i));
        EXPECT_EQ(w.diff, 2);
        EXPECT_TRUE(w.survived);
        EXPECT_GT(w.shield, 0);
        EXPECT_GT(w.killed, w.came / 2) << "most enemies shot down";
        EXPECT_GT(w.earned, 0);
        EXPECT_EQ(w.money_end - w.money_start, w.earned);
    }
    EXPECT_GT(a.waves[0].spent, 0) << "the store was visited before the first wave";
    // Money carries from wave to wave, less what the store took.
    for (size_t i = 1; i < a.waves.size(); i++)
        EXPECT_EQ(a.waves[i].money_start, a.waves[i - 1].money_end - a.waves[i].spent);

    // The pilot file: saved after the third wave, ready for the fourth.
    ASSERT_GT(a.saved_objs, 0);
    EXPECT_STREQ(a.saved.name, "AUTO PILOT");
    EXPECT_EQ(a.saved.diff[0], 2);
    EXPECT_EQ(a.saved.cur_game, 0);
    EXPECT_EQ(a.saved.game_wave[0], 3);
    EXPECT_EQ(a.saved.score, a.waves.back().money_end);
    for (const std::vector<uint8_t>& d : a.demos)
        EXPECT_GT(d.size(), 12u * 1000) << "a recorded wave";

    const FLOWN b = Fly();
    ASSERT_EQ(b.waves.size(), 3u);
    EXPECT_EQ(a.pilot, b.pilot) << "pilot files differ";
    for (size_t i = 0; i < a.demos.size(); i++)
        EXPECT_EQ(a.demos[i], b.demos[i]) << "demo of wave " << i + 1 << " differs";
}

// An attract demo recorded twice from the same data set: the same bytes, a full recording
// of the wave and episode asked for, and one the game plays back to its end.
TEST(AutopilotCampaign, AttractDemoRecordsTheSameTwiceAndPlaysBack)
{
    vt::TempHome home;
    vt::FakeClock clock{1000, 5};
    VUL_InitLoadSave();
    StartGame();
    const std::string a = home.dir() + "/a.dem", b = home.dir() + "/b.dem";
    ASSERT_TRUE(AUTO_RecordDemo(1, AUTO_DEMOWAVES[1], a));
    ASSERT_TRUE(AUTO_RecordDemo(1, AUTO_DEMOWAVES[1], b));
    const std::vector<uint8_t> da = vt::ReadFileBytes(a);
    EXPECT_EQ(da, vt::ReadFileBytes(b));
    // Header: episode 2, wave 4, and every record a demo can hold.
    ASSERT_EQ(da.size(), size_t(DEMO_RECORD) * (DEMO_MAXFRAMES + 1));
    EXPECT_EQ(da[4] | da[5] << 8, 1);
    EXPECT_EQ(da[6] | da[7] << 8, AUTO_DEMOWAVES[1]);
    EXPECT_FALSE(AUTO_RecordDemo(0, 0, home.dir() + "/no/such/folder.dem"));

    DEMO_SetFileName(a.c_str());
    ASSERT_TRUE(DEMO_LoadFile());
    EXPECT_EQ(DEMO_Play(), 0) << "played to its end, not interrupted";
}

} // namespace
