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
#include "game/loadsave.h"
#include "game/prefapi.h"
#include "testutil/gamestart.h"
#include "testutil/testutil.h"
#include "world/objects.h"

namespace
{

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
    vt::StartGame();

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

// The attract demos kept in data/demos/ are what the autopilot records from today's data set,
// byte for byte: a change to the maps, the enemies or the autopilot that alters one of their
// waves must come with the demos recorded again.
TEST(AutopilotCampaign, AttractDemosAreWhatTheAutopilotFliesToday)
{
    vt::TempHome home;
    vt::FakeClock clock{1000, 5};
    VUL_InitLoadSave();
    vt::StartGame();
    for (int game = 0; game < 3; game++)
        for (int k = 0; k < 3; k++) {
            const std::string name =
                "e" + std::to_string(game + 1) + "d" + std::to_string(k + 1) + ".dem";
            const std::string fresh = home.dir() + "/" + name;
            ASSERT_TRUE(AUTO_RecordDemo(game, AUTO_DEMOWAVES[k], fresh));
            EXPECT_TRUE(vt::ReadFileBytes(fresh) ==
                        vt::ReadFileBytes(VULTAR_SOURCE_DIR "/data/demos/" + name))
                << "data/demos/" << name << " differs from a recording made now: record the "
                << "demos again with scripts/record-demos.sh and commit data/demos/";
        }
    EXPECT_FALSE(AUTO_RecordDemo(0, 0, home.dir() + "/no/such/folder.dem"));
}

} // namespace
