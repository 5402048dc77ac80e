// The effect front end over real archives: variants, limits, positions and songs.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/game.h"
#include "game/prefapi.h"
#include "res/glbapi.h"
#include "sound/dspapi.h"
#include "sound/fx.h"
#include "sound/gssapi.h"
#include "sound/musapi.h"
#include "sound/opl3.h"
#include "soundtest.h"
#include "testutil/testutil.h"

namespace
{

const char* const kLabels[] = {"THEME_FX",  "MON1_FX",   "MON2_FX",   "MON3_FX",  "MON4_FX",
                               "MON5_FX",   "MON6_FX",   "VOXO_FX",   "EXPLO_FX", "EXPLO2_FX",
                               "BONUS_FX",  "CRASH_FX",  "DOOR_FX",   "FLYBY_FX", "EGRAB_FX",
                               "GEXPLO_FX", "GUN_FX",    "JETSND_FX", "LASER_FX", "MISSLE_FX",
                               "SWEP_FX",   "TURRET_FX", "WARN_FX",   "BOSS_FX",  "ESHOT_FX"};
// HIT_FX is written damaged: its length field claims more samples than the item holds.
// (No label is missing from the list by accident: an absent label is a case of its own.)

int song_a, song_b;

class FxTest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        home = new vt::TempHome;
        std::vector<GLB_WRITEITEM> items;
        items.push_back({"FILLER", {1, 2, 3}});
        for (const char* label : kLabels) {
            items.push_back({label, {}});
            items.push_back({"", {0, 0, 0, 0}});                   // no mixer: never played
            items.push_back({"", st::Tone({3, 3, 5, 5, 0})});      // tone effect devices
            items.push_back({"", {0}});                            // unused
            items.push_back({"", st::Constant(11025, 200), true}); // digital, one second
        }
        items.push_back({"HIT_FX", {}});
        for (int i = 0; i < 3; i++)
            items.push_back({"", {0, 0}});
        auto damaged = st::Constant(100, 200);
        st::Put32(damaged, 4, 5000);
        items.push_back({"", damaged});
        items.push_back({"SONG_A", st::Song({0x90 | 0x80, 0x80 | 60, 90, 100, 0x60})});
        items.push_back({"SONG_B", st::Song({0x90 | 0x80, 0x80 | 62, 90, 100, 0x60})});
        vt::WriteArchive(home->dir() + "/FILE0000.GLB", items);
        archive_ok = GLB_InitSystem((home->dir() + "/").c_str(), 1, nullptr) == 1;
        song_a = GLB_GetItemID("SONG_A");
        song_b = GLB_GetItemID("SONG_B");
    }
    static void TearDownTestSuite()
    {
        delete home;
        home = nullptr;
    }
    void SetUp() override
    {
        ASSERT_TRUE(archive_ok) << "the test archive does not open";
        fx_freq = 44100;
        fx_volume = 127;
        player_cx = 160;
        player_cy = 176;
    }
    void TearDown() override { SND_StopPatches(); }

    void Digital(int channels, int voices)
    {
        SND_SetFXDevice(5, channels);
        DSP_Init(voices, DSP_RATE);
        SND_Setup();
    }
    static vt::TempHome* home;
    static bool archive_ok;
};

vt::TempHome* FxTest::home;
bool FxTest::archive_ok;

TEST_F(FxTest, TheTableTakesTheVariantOfTheDevice)
{
    Digital(2, 2);
    EXPECT_EQ(fx_items[8].item, GLB_GetItemID("EXPLO_FX") + 4);
    EXPECT_EQ(fx_items[24].item, GLB_GetItemID("JETSND_FX") + 4);
    EXPECT_EQ(fx_items[16].priority, 10);
    EXPECT_EQ(fx_items[34].pitch, 254);
    EXPECT_EQ(fx_items[35].digonly, 1);
    EXPECT_EQ(fx_items[32].item, GLB_GetItemID("HIT_FX") + 4);
    for (const FX_ITEM& e : fx_items)
        EXPECT_EQ(e.handle, -1);

    // Without an effect device the table stays empty and nothing plays or breaks.
    SND_SetFXDevice(0, 2);
    SND_Setup();
    for (const FX_ITEM& e : fx_items)
        EXPECT_EQ(e.item, -1);
    SND_Patch(8, 127);
    SND_StopPatch(8);
    EXPECT_FALSE(SND_IsPatchPlaying(8));
    // Settings out of range: unknown cards are silent, odd voice counts become two.
    SND_SetFXDevice(42, 5);
    EXPECT_EQ(fx_device, 0);
    SND_SetFXDevice(4, 9);
    EXPECT_EQ(fx_channels, 2);
    EXPECT_EQ(dig_flag, 1);
    SND_SetFXDevice(3, 1);
    EXPECT_EQ(fx_gus, 1);
}

TEST_F(FxTest, NoMoreThanTwoBeyondTheVoiceSettingSoundAtOnce)
{
    // The mixer gets more voices than the setting, so the front end's own limit shows.
    Digital(2, 8);
    for (int fx : {8, 9, 15, 21})
        SND_Patch(fx, 127);
    for (int fx : {8, 9, 15, 21})
        EXPECT_TRUE(SND_IsPatchPlaying(fx)) << fx;
    SND_Patch(11, 127); // four sounding: a fifth still starts
    EXPECT_TRUE(SND_IsPatchPlaying(11));
    SND_Patch(13, 127); // five sounding: dropped
    EXPECT_FALSE(SND_IsPatchPlaying(13));
    EXPECT_EQ(fx_items[13].handle, -1);
    // Once one has stopped there is room again.
    SND_StopPatch(9);
    SND_Patch(13, 127);
    EXPECT_TRUE(SND_IsPatchPlaying(13));
}

TEST_F(FxTest, DigitalOnlyEffectsAreSilentOnToneDevices)
{
    SND_SetFXDevice(2, 2);
    GSS_Init(2, 0);
    SND_Setup();
    EXPECT_EQ(fx_items[8].item, GLB_GetItemID("EXPLO_FX") + 2);
    SND_Patch(0, 127); // "THEME_FX" needs the digital mixer
    EXPECT_EQ(fx_items[0].handle, -1);
    SND_Patch(8, 127);
    EXPECT_EQ(fx_items[8].handle & 0xC000, 0x4000);
    EXPECT_TRUE(SND_IsPatchPlaying(8));
    SND_StopPatches();
    GSS_DeInit();

    Digital(2, 2);
    SND_Patch(0, 127);
    EXPECT_EQ(fx_items[0].handle & 0xC000, 0xC000);
}

TEST_F(FxTest, PositionedEffectsFadeWithDistanceAndPan)
{
    auto expect_tables = [](int volume, int sep) {
        int16_t l[256], r[256];
        DSP_VolTable(l, volume * pantable[255 - sep]);
        DSP_VolTable(r, volume * pantable[sep]);
        EXPECT_EQ(0, memcmp(dsp_channels[0].ltab, l, sizeof(l))) << volume << " " << sep;
        EXPECT_EQ(0, memcmp(dsp_channels[0].rtab, r, sizeof(r))) << volume << " " << sep;
    };
    Digital(2, 1);
    SND_3DPatch(8, player_cx, player_cy); // at the ship's centre: full volume, centred
    expect_tables(127, 127);
    SND_3DPatch(8, player_cx, player_cy - 600); // far ahead: factor 1
    expect_tables(1, 127);
    // 300 to the right: the level falls in a straight line from 127 at 40 pixels to 0 at
    // 500, so 127 - (127 * 300 - 127 * 40) / 460 = 127 - 71 (rounded towards zero) = 56;
    // the pan (300 + 127) is held at the right edge, 255.
    SND_3DPatch(8, player_cx + 300, player_cy);
    expect_tables(56, 255);
    SND_3DPatch(8, player_cx - 20, player_cy + 20); // close by, a little left
    expect_tables(127, 107);
    // The entry's own volume and the effects volume scale it too. (The gun is less
    // important than the explosion on the only voice, so that one stops first.)
    SND_StopPatches();
    fx_volume = 85;
    SND_3DPatch(16, player_cx, player_cy); // 127 * 85 / 127 = 85, then 85 * 30 / 127 = 20
    expect_tables(20, 127);
    SND_StopPatches();
    SND_Patch(16, 200); // 30 * 85 / 127 = 20
    expect_tables(20, 200);
}

TEST_F(FxTest, StoppingAndDamagedPatches)
{
    Digital(2, 2);
    EXPECT_FALSE(SND_IsPatchPlaying(12)); // never played
    SND_Patch(12, 127);
    EXPECT_TRUE(SND_IsPatchPlaying(12));
    SND_StopPatch(12);
    EXPECT_FALSE(SND_IsPatchPlaying(12));
    EXPECT_EQ(fx_items[12].handle, -1);
    // A sample whose length field runs past its item is not played at all.
    SND_Patch(32, 127);
    EXPECT_EQ(fx_items[32].handle, -1);
    // Out-of-range effect numbers are ignored.
    SND_Patch(-1, 127);
    SND_Patch(36, 127);
    SND_3DPatch(99, 0, 0);
    EXPECT_FALSE(SND_IsPatchPlaying(36));
}

TEST_F(FxTest, FreeingTheEffectsSilencesEveryPlayOfThem)
{
    // The same explosion twice on two voices: both read the one cached item.
    Digital(2, 2);
    SND_Patch(8, 127);
    SND_Patch(8, 127);
    EXPECT_GT(dsp_channels[0].left, 0);
    EXPECT_GT(dsp_channels[1].left, 0);
    SND_FreeFX();
    for (int v = 0; v < 2; v++)
        EXPECT_EQ(dsp_channels[v].left, 0) << "voice " << v << " still reads a freed item";
    uint8_t out[256];
    FX_Fill(nullptr, out, sizeof(out)); // would read freed memory (AddressSanitizer build)

    // The newest play ends first and its entry is recycled: the earlier play sounds on,
    // and stopping the effects still reaches it.
    SND_Setup();
    SND_Patch(8, 127);
    int first = fx_items[8].handle;
    SND_Patch(8, 127);
    SFX_StopPatch(fx_items[8].handle);
    SND_Patch(9, 127); // recycles the finished play
    EXPECT_TRUE(SFX_Playing(first));
    SND_StopPatches();
    EXPECT_FALSE(SFX_Playing(first));

    // The tone player forgets a stopped patch at once.
    SND_SetFXDevice(2, 2);
    GSS_Init(2, 0);
    SND_Setup();
    SND_Patch(8, 127);
    EXPECT_TRUE(SND_IsPatchPlaying(8));
    SND_FreeFX();
    EXPECT_FALSE(SND_IsPatchPlaying(8));
    EXPECT_EQ(gss_type, 0);
    FX_Fill(nullptr, out, sizeof(out));
    GSS_DeInit();
}

TEST_F(FxTest, SongsChangeOnlyWhenTheyShould)
{
    vt::FakeClock clock(1000, 1);
    MUS_InitDevice(&st::recorder, 0);
    music_volume = 1; // turned down to nothing: no song starts
    SND_PlaySong(song_a, 1, 0);
    EXPECT_EQ(music_song, -1);
    EXPECT_FALSE(SND_IsSongPlaying());
    music_volume = 100;
    EXPECT_FALSE(SND_IsSongPlaying()); // and raising the volume does not start one

    SND_PlaySong(song_a, 1, 0);
    EXPECT_EQ(music_song, song_a);
    EXPECT_TRUE(SND_IsSongPlaying());
    st::Take();
    SND_PlaySong(song_a, 1, 1); // already playing: nothing changes
    EXPECT_TRUE(st::Take().empty());

    SND_PlaySong(song_b, 1, 1); // fades the old one out first
    EXPECT_EQ(music_song, song_b);
    auto ops = st::Take();
    EXPECT_FALSE(st::Matching(ops, "ctrl 0 10 0").empty());
    EXPECT_TRUE(SND_IsSongPlaying());

    SND_PlaySong(-1, 1, 0);
    EXPECT_EQ(music_song, -1);
    EXPECT_FALSE(SND_IsSongPlaying());

    SND_PlaySong(song_a, 0, 0);
    SND_FadeOutSong();
    EXPECT_EQ(music_song, -1);
    EXPECT_FALSE(SND_IsSongPlaying());

    MUS_DeInit();
}

TEST_F(FxTest, ASongMissingFromTheArchivesEndsTheProgramCleanly)
{
    vt::FakeClock clock(1000, 1);
    MUS_InitDevice(&st::recorder, 0);
    music_volume = 100;
    EXPECT_EXIT(SND_PlaySong(0x00400000, 1, 0), testing::ExitedWithCode(0), "");
    EXPECT_EQ(music_song, -1);
    MUS_DeInit();
}

TEST_F(FxTest, TheSettingsChooseTheFmChip)
{
    for (bool exact : {true, false}) {
        std::string ini =
            home->writeSetup(std::string("\r\n[Music]\r\nCardType=0\r\n") +
                             (exact ? "opl_exact=1\r\n" : "") + "\r\n[SoundFX]\r\nCardType=0\r\n");
        INI_InitPreference(ini.c_str());
        ASSERT_EQ(SND_InitSound(), 1);
        EXPECT_EQ(OPL_Engine(), exact ? OPL_ENGINE_EXACT : OPL_ENGINE_LIGHT);
        SND_DeInit();
    }
}

TEST_F(FxTest, AFadeThatNeverRunsDoesNotHangTheGame)
{
    // A back-end clocked by the sound output, but no output running: the fader never ticks.
    // Time passes only while the wait sleeps between its looks at the fade.
    vt::FakeClock clock(1000, 0);
    MUS_InitDevice(&st::recorder_mix, 0);
    music_volume = 100;
    SND_PlaySong(song_a, 1, 0);
    uint32_t before = clock.now();
    SND_PlaySong(song_b, 1, 1);
    EXPECT_EQ(music_song, song_b);
    EXPECT_TRUE(SND_IsSongPlaying());
    EXPECT_LT(clock.now() - before, 5000u); // gave up on the fade after a few seconds
    SND_FadeOutSong();
    EXPECT_EQ(music_song, -1);
    MUS_StopSong(0);
    MUS_DeInit();
}

} // namespace
