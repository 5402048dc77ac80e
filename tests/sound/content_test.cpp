// The sound content of the generated data set, read the way the game reads it: the FM
// bank, every song and every effect with its device variants.
#include <cmath>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "res/glbapi.h"
#include "sound/dspapi.h"
#include "sound/fx.h"
#include "sound/i_oplmusic.h"
#include "sound/musapi.h"
#include "soundtest.h"

namespace
{

const char* const kLabels[] = {
    "THEME_FX",  "MON1_FX",   "MON2_FX",   "MON3_FX",   "MON4_FX",  "MON5_FX",   "MON6_FX",
    "VOXO_FX",   "EXPLO_FX",  "EXPLO2_FX", "BONUS_FX",  "CRASH_FX", "DOOR_FX",   "FLYBY_FX",
    "EGRAB_FX",  "GEXPLO_FX", "GUN_FX",    "JETSND_FX", "LASER_FX", "MISSLE_FX", "SWEP_FX",
    "TURRET_FX", "WARN_FX",   "BOSS_FX",   "ESHOT_FX",  "HIT_FX"};

int Le16(const uint8_t* p)
{
    return static_cast<int16_t>(p[0] | (p[1] << 8));
}

class ContentTest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        std::string dir = std::string(VULTAR_BINARY_DIR) + "/data/";
        present = std::filesystem::exists(dir + "FILE0000.GLB") &&
                  GLB_InitSystem(dir.c_str(), 1, nullptr) == 1;
    }
    void SetUp() override
    {
        if (!present) GTEST_SKIP() << "no generated data set in this build";
        fx_freq = 44100;
    }
    static bool present;
};

bool ContentTest::present;

TEST_F(ContentTest, TheInstrumentBankLoads)
{
    ASSERT_EQ(GLB_ItemSize(OPLBANK_ITEM), OPLBANK_SIZE);
    EXPECT_TRUE(OPL_LoadBank(GLB_GetItem(OPLBANK_ITEM), OPLBANK_SIZE));
}

TEST_F(ContentTest, SongsLastAMinuteAndLoopWithNothingLeftSounding)
{
    MUS_InitDevice(&st::recorder, 0);
    MUS_SetVolume(127);
    for (int id = 83; id <= 97; id++) {
        SCOPED_TRACE("song " + std::to_string(id));
        const uint8_t* song = GLB_GetItem(id);
        ASSERT_TRUE(MUS_CheckSong(song, GLB_ItemSize(id)));
        bool loops = id != 97;
        MUS_PlaySong(song, loops, 0);
        st::Take();
        int ticks = 0;
        std::map<std::string, int> held;
        bool restarted = false;
        while (MUS_SongPlaying() && !restarted && ticks < 70 * 600) {
            MUS_Service();
            ticks++;
            for (const std::string& op : st::Take()) {
                if (op == "ctrl 0 14 0") restarted = true; // the loop's channel reset
                if (restarted) continue;
                if (op.rfind("on ", 0) == 0) held[op.substr(3, op.rfind(' ') - 3)]++;
                if (op.rfind("off ", 0) == 0) held[op.substr(4)]--;
            }
        }
        EXPECT_GE(ticks, 60 * 70);
        EXPECT_LT(ticks, 70 * 600);
        EXPECT_EQ(restarted, loops);
        for (auto& [note, n] : held)
            EXPECT_EQ(n, 0) << "note " << note << " still sounding at the end";
        MUS_StopSong(0);
    }
    MUS_DeInit();
}

TEST_F(ContentTest, EveryEffectHasItsVariantsAndSounds)
{
    DSP_Init(1, DSP_RATE);
    for (const char* label : kLabels) {
        SCOPED_TRACE(label);
        int id = GLB_GetItemID(label);
        ASSERT_NE(id, -1);
        EXPECT_TRUE(GLB_IsLabel(id));
        for (int v : {1, 3}) {
            ASSERT_GE(GLB_ItemSize(id + v), 2);
            int type = Le16(GLB_GetItem(id + v));
            EXPECT_TRUE(type < 1 || type > 3);
        }
        const uint8_t* tone = GLB_GetItem(id + 2);
        ASSERT_GE(GLB_ItemSize(id + 2), 8);
        EXPECT_EQ(Le16(tone), 1);
        EXPECT_LE(8 + Le16(tone + 2), GLB_ItemSize(id + 2));

        const uint8_t* sample = GLB_LockItem(id + 4);
        int size = GLB_ItemSize(id + 4);
        ASSERT_GE(size, 24);
        EXPECT_EQ(Le16(sample), 3);
        EXPECT_EQ(Le16(sample + 2), 11025);
        int32_t length = sample[4] | (sample[5] << 8) | (sample[6] << 16) | (sample[7] << 24);
        EXPECT_EQ(length - 32 + 24, size);
        ASSERT_NE(DSP_StartPatch(sample, 127, 128, 127, 1), -1);
        std::vector<int16_t> out(44100 * 2);
        FX_Fill(nullptr, reinterpret_cast<uint8_t*>(out.data()), static_cast<int>(out.size() * 2));
        double sum = 0;
        for (int16_t s : out)
            sum += double(s) * s;
        EXPECT_GT(std::sqrt(sum / out.size()), 300.0);
        DSP_Init(1, DSP_RATE);
        GLB_UnlockItem(id + 4);
    }
}

} // namespace
