// The digital mixer, driven through the audio callback without a device.
#include <cmath>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "sound/dspapi.h"
#include "sound/fx.h"
#include "soundtest.h"

namespace
{

class MixerTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        fx_freq = 44100;
        DSP_Init(2, DSP_RATE);
    }
    std::vector<int16_t> Fill(int frames)
    {
        std::vector<int16_t> out(frames * 2);
        FX_Fill(nullptr, reinterpret_cast<uint8_t*>(out.data()), frames * 4);
        return out;
    }
};

TEST(MixerTables, PitchAndPanCurvesAreSmoothAndMonotone)
{
    for (int i = 0; i < 256; i++) {
        double ideal = 256.0 * std::pow(2.0, (i - 128) / 64.0);
        EXPECT_NEAR(pitchtable[i], ideal, 0.51) << "pitch index " << i;
        if (i > 0) {
            EXPECT_GE(pitchtable[i], pitchtable[i - 1]);
            EXPECT_GE(pantable[i], pantable[i - 1]) << "pan index " << i;
        }
    }
    // Steep at the left edge, flat towards the right.
    EXPECT_GT(pantable[32] - pantable[0], pantable[160] - pantable[128]);
    for (int i = 233; i < 256; i++)
        EXPECT_EQ(pantable[i], 255);
    EXPECT_LT(pantable[232], 255);
}

TEST(MixerTables, VolumeTableIsALinearRampAroundSilence)
{
    for (int level : {127 * 225, 127 * 14, 64 * 175, 1, 0}) {
        int16_t t[256];
        DSP_VolTable(t, level);
        int a = level / 127;
        EXPECT_EQ(t[0], level / -254);
        for (int i = 0; i < 256; i++) {
            EXPECT_NEAR(t[i], (i - 128) * a / 256.0, 1.0) << "level " << level << " entry " << i;
            if (i > 0) {
                EXPECT_GE(t[i], t[i - 1]);
            }
        }
        EXPECT_NEAR(t[128], 0, 1);
    }
}

TEST_F(MixerTest, OwnRateOnAnElevenKilohertzPatchStepsOneByteAFrame)
{
    fx_freq = DSP_RATE; // one output frame per source frame
    std::vector<uint8_t> ramp(100);
    for (int i = 0; i < 100; i++)
        ramp[i] = static_cast<uint8_t>(128 + i);
    auto patch = st::Sample(ramp);
    int h = DSP_StartPatch(patch.data(), 127, 128, 127, 1);
    ASSERT_NE(h, -1);
    EXPECT_EQ(h & 0xC000, 0xC000);
    EXPECT_EQ(dsp_channels[0].istep, 1);
    EXPECT_EQ(dsp_channels[0].fstep, 0);
    EXPECT_EQ(dsp_channels[0].left, 100);

    auto out = Fill(120);
    for (int i = 0; i < 100; i++)
        EXPECT_EQ(out[2 * i], dsp_channels[0].ltab[128 + i] * 128) << "frame " << i;
    // Held after the end: the last source frame is kept, the voice is free.
    EXPECT_FALSE(DSP_PatchIsPlaying(h));
    EXPECT_EQ(dsp_channels[0].left, 0);
}

TEST_F(MixerTest, UpsamplingHoldsEachSourceFrameAndPitchChangesTheStep)
{
    auto patch = st::Sample({128, 255, 0, 200});
    ASSERT_NE(DSP_StartPatch(patch.data(), 127, 128, 127, 1), -1);
    auto out = Fill(20);
    // 44,100 / 11,025: a new source frame every fourth output frame (the first once the
    // phase has built up), held in between.
    EXPECT_EQ(out[0], 0);
    for (int i = 3; i < 19; i++)
        EXPECT_EQ(out[2 * i], out[2 * (3 + (i - 3) / 4 * 4)]) << "frame " << i;
    EXPECT_NE(out[7 * 2], out[3 * 2]);
    EXPECT_NE(out[11 * 2], out[7 * 2]);

    // An octave up reads every other byte, an octave down each byte twice.
    DSP_Init(2, DSP_RATE);
    ASSERT_NE(DSP_StartPatch(patch.data(), 127, 192, 127, 1), -1);
    EXPECT_EQ(dsp_channels[0].istep, 2);
    EXPECT_EQ(dsp_channels[0].left, 2);
    ASSERT_NE(DSP_StartPatch(patch.data(), 127, 64, 127, 1), -1);
    EXPECT_EQ(dsp_channels[1].istep, 0);
    EXPECT_EQ(dsp_channels[1].fstep, 128);
    EXPECT_EQ(dsp_channels[1].left, 8);
}

TEST_F(MixerTest, StereoPositionAndVolumeShapeTheEars)
{
    auto patch = st::Constant(64, 255);
    ASSERT_NE(DSP_StartPatch(patch.data(), 0, 128, 127, 1), -1);  // hard left
    ASSERT_NE(DSP_StartPatch(patch.data(), 127, 128, 64, 1), -1); // centre, half volume
    const dsp_t& left = dsp_channels[0];
    const dsp_t& mid = dsp_channels[1];
    int16_t full[256], faint[256];
    DSP_VolTable(full, 127 * pantable[255]);
    DSP_VolTable(faint, 127 * pantable[0]);
    EXPECT_EQ(0, memcmp(left.ltab, full, sizeof(full)));
    EXPECT_EQ(0, memcmp(left.rtab, faint, sizeof(faint)));
    EXPECT_LT(left.rtab[255], left.ltab[255] / 10);
    EXPECT_EQ(mid.ltab[255], mid.rtab[255]);
    EXPECT_NEAR(mid.ltab[255], 64 * 225 / 127 * 127 / 256.0, 1.5);
    // Silence contributes nothing at any volume.
    EXPECT_NEAR(left.ltab[128], 0, 1);
}

TEST_F(MixerTest, SumsAreLimitedAtTheSourceAndAtTheOutput)
{
    DSP_Init(8, DSP_RATE);
    auto loud = st::Constant(400, 255);
    for (int v = 0; v < 8; v++)
        ASSERT_NE(DSP_StartPatch(loud.data(), 127, 128, 127, 1), -1);
    auto out = Fill(8);
    EXPECT_EQ(out[3 * 2], 127 * 128);
    EXPECT_EQ(out[3 * 2 + 1], 127 * 128);

    // Whatever music already put into the buffer is added to and kept in range.
    std::vector<int16_t> buf = {30000, -30000, 30000, -30000};
    DSP_Mix(buf.data(), 2);
    EXPECT_EQ(buf[0], 32767);
    EXPECT_EQ(buf[1], -30000 + 127 * 128);
    EXPECT_EQ(buf[2], 32767);
}

TEST_F(MixerTest, PriorityDecidesWhoGivesWay)
{
    auto gun = st::Constant(1000, 200);
    auto boom = st::Constant(1000, 60);
    auto other = st::Constant(500, 90);

    // A full mixer: priority 1 and priority 10.
    int h1 = DSP_StartPatch(boom.data(), 127, 128, 127, 1);
    int h10 = DSP_StartPatch(gun.data(), 127, 128, 127, 10);
    ASSERT_NE(h1, -1);
    ASSERT_NE(h10, -1);
    // Another priority-10 sound replaces the priority-10 voice, never the priority-1 one.
    int h = DSP_StartPatch(gun.data(), 127, 128, 127, 10);
    ASSERT_NE(h, -1);
    EXPECT_TRUE(DSP_PatchIsPlaying(h1));
    EXPECT_FALSE(DSP_PatchIsPlaying(h10));
    EXPECT_EQ(dsp_channels[1].handle | 0xC000, h);
    // A less important sound (higher number) than everything playing is refused.
    DSP_Init(2, DSP_RATE);
    DSP_StartPatch(boom.data(), 127, 128, 127, 1);
    DSP_StartPatch(boom.data(), 127, 128, 127, 1);
    EXPECT_EQ(DSP_StartPatch(gun.data(), 127, 128, 127, 10), -1);
    // Priority 0 is never interrupted, not even by another priority 0.
    DSP_Init(2, DSP_RATE);
    DSP_StartPatch(boom.data(), 127, 128, 127, 0);
    DSP_StartPatch(boom.data(), 127, 128, 127, 0);
    EXPECT_EQ(DSP_StartPatch(boom.data(), 127, 128, 127, 0), -1);
    // Among equals the voice closest to its end gives way...
    DSP_Init(2, DSP_RATE);
    DSP_StartPatch(boom.data(), 127, 128, 127, 3);
    int shorter = DSP_StartPatch(other.data(), 127, 128, 127, 3);
    EXPECT_NE(DSP_StartPatch(gun.data(), 127, 128, 127, 3), -1);
    EXPECT_FALSE(DSP_PatchIsPlaying(shorter));
    // ...unless one of them plays the same patch, which is then restarted.
    DSP_Init(2, DSP_RATE);
    int first = DSP_StartPatch(boom.data(), 127, 128, 127, 3);
    DSP_StartPatch(other.data(), 127, 128, 127, 3);
    EXPECT_NE(DSP_StartPatch(boom.data(), 127, 128, 127, 3), -1);
    EXPECT_FALSE(DSP_PatchIsPlaying(first));
    EXPECT_EQ(dsp_channels[1].patch, other.data());
}

TEST_F(MixerTest, RefusesWhatItCannotPlayAndStopsByHandle)
{
    auto tiny = st::Sample({});
    EXPECT_EQ(DSP_StartPatch(tiny.data(), 127, 128, 127, 1), -1); // length 32: nothing to play
    auto tone = st::Tone({1, 2});
    EXPECT_EQ(DSP_StartPatch(tone.data(), 127, 128, 127, 1), -1);
    auto norate = st::Constant(10, 200, 0);
    EXPECT_EQ(DSP_StartPatch(norate.data(), 127, 128, 127, 1), -1);

    auto s = st::Constant(100, 200);
    // Out-of-range positions and pitches are held to the tables.
    int h = DSP_StartPatch(s.data(), 999, 300, 500, 1);
    ASSERT_NE(h, -1);
    EXPECT_EQ(dsp_channels[0].istep, 3); // pitch 255
    DSP_StopPatch(h);
    EXPECT_FALSE(DSP_PatchIsPlaying(h));
    EXPECT_FALSE(DSP_PatchIsPlaying(-1));

    // A very slow step never reads past the last sample (the mixer is run under ASan).
    auto exact = st::Constant(3, 200, 100);
    std::vector<uint8_t> precise(exact.begin(), exact.end());
    precise.shrink_to_fit();
    ASSERT_NE(DSP_StartPatch(precise.data(), 127, 0, 127, 1), -1);
    Fill(4000);
    EXPECT_EQ(dsp_channels[0].left, 0);
}

} // namespace
