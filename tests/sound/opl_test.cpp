// The OPL back-end: bank loading, voice allocation, and what the chip then plays, on
// either emulation of the chip.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "sound/fx.h"
#include "sound/i_oplmusic.h"
#include "sound/musapi.h"
#include "sound/opl3.h"
#include "soundtest.h"

namespace
{

class OplTest : public ::testing::TestWithParam<int>
{
  protected:
    void SetUp() override
    {
        fx_freq = 44100;
        OPL_SetEngine(GetParam());
        auto bank = st::Bank();
        ASSERT_TRUE(OPL_LoadBank(bank.data(), static_cast<int>(bank.size())));
        I_OPL_InitMusic(0);
        for (int ch = 0; ch < MUS_CHANNELS; ch++)
            I_OPL_Controller(ch, MUS_CTRL_RESET, 0);
    }
    void TearDown() override
    {
        for (int ch = 0; ch < MUS_CHANNELS; ch++)
            I_OPL_Controller(ch, MUS_CTRL_SOUNDSOFF, 0);
        I_OPL_ShutdownMusic();
        OPL_SetEngine(OPL_ENGINE_LIGHT);
    }
    // Renders the given time and returns the interleaved frames.
    std::vector<int16_t> Render(double seconds)
    {
        int frames = static_cast<int>(seconds * fx_freq);
        std::vector<int16_t> out(frames * 2, 0);
        I_OPL_Mix(out.data(), frames);
        return out;
    }
    static double Rms(const std::vector<int16_t>& v, int ear)
    {
        double sum = 0;
        for (size_t i = ear; i < v.size(); i += 2)
            sum += double(v[i]) * v[i];
        return std::sqrt(sum / (v.size() / 2));
    }
    // The pitch of a plain sine from its rising zero crossings.
    static double Frequency(const std::vector<int16_t>& v)
    {
        int first = -1, last = -1, n = 0;
        for (size_t i = 2; i < v.size(); i += 2)
            if (v[i - 2] < 0 && v[i] >= 0) {
                if (first < 0) first = static_cast<int>(i / 2);
                last = static_cast<int>(i / 2);
                n++;
            }
        return n < 2 ? 0 : (n - 1) * double(fx_freq) / (last - first);
    }
};

TEST_P(OplTest, TheBankMustLookLikeOne)
{
    auto bank = st::Bank();
    EXPECT_FALSE(OPL_LoadBank(bank.data(), static_cast<int>(bank.size()) - 1));
    bank[0] = 'X';
    EXPECT_FALSE(OPL_LoadBank(bank.data(), static_cast<int>(bank.size())));
    bank = st::Bank();
    st::Put16(bank, 6, 46);
    EXPECT_FALSE(OPL_LoadBank(bank.data(), static_cast<int>(bank.size())));
    EXPECT_FALSE(OPL_LoadBank(nullptr, 0));
    // Percussion keys outside the kit have no instrument.
    EXPECT_EQ(OPL_Instrument(0, true, 34), nullptr);
    EXPECT_NE(OPL_Instrument(0, true, 81), nullptr);
    EXPECT_EQ(OPL_Instrument(0, true, 82), nullptr);
}

TEST_P(OplTest, NotesSoundAtTheirPitchAndBendMovesThem)
{
    I_OPL_KeyOn(0, 69, 127);
    Render(0.05); // past the attack
    double a = Frequency(Render(0.5));
    EXPECT_NEAR(a, 440.0, 2.0);
    I_OPL_PitchBend(0, 255); // nearly two semitones up
    double up = Frequency(Render(0.5));
    EXPECT_NEAR(up / a, std::pow(2.0, 2.0 * 127 / 128 / 12), 0.01);
    I_OPL_PitchBend(0, 128);
    I_OPL_KeyOn(1, 33, 127); // 55 Hz needs a low block
    I_OPL_KeyOff(0, 69);
    Render(0.3);
    EXPECT_NEAR(Frequency(Render(0.5)), 55.0, 1.0);
    I_OPL_KeyOff(1, 33);
    Render(1.0);
    EXPECT_LT(Rms(Render(0.1), 0), 20.0); // released and decayed (the chip keeps a faint hiss)
}

TEST_P(OplTest, VolumePanAndPercussion)
{
    I_OPL_KeyOn(0, 60, 127);
    Render(0.05);
    double loud = Rms(Render(0.2), 0);
    EXPECT_GT(loud, 1000);
    I_OPL_Controller(0, MUS_CTRL_VOLUME, 40);
    double soft = Rms(Render(0.2), 0);
    EXPECT_LT(soft, loud / 4);
    EXPECT_GT(soft, 0);
    I_OPL_Controller(0, MUS_CTRL_PAN, 0);
    auto left = Render(0.2);
    EXPECT_GT(Rms(left, 0), 0);
    EXPECT_LT(Rms(left, 1), loud / 100);
    I_OPL_AllNotesOff(0, 0);
    EXPECT_EQ(I_OPL_ActiveVoices(), 0);

    I_OPL_KeyOn(MUS_PERCUSSION, 20, 127); // not a drum
    EXPECT_EQ(I_OPL_ActiveVoices(), 0);
    I_OPL_KeyOn(MUS_PERCUSSION, 36, 127);
    EXPECT_EQ(I_OPL_ActiveVoices(), 1);
    I_OPL_KeyOn(MUS_PERCUSSION, 36, 0); // velocity 0 is a release
    EXPECT_EQ(I_OPL_ActiveVoices(), 0);
}

TEST_P(OplTest, VoicesAreSharedOutAndTheOldestGivesWay)
{
    for (int n = 0; n < 18; n++)
        I_OPL_KeyOn(0, 40 + n, 100);
    EXPECT_EQ(I_OPL_ActiveVoices(), 18);
    I_OPL_KeyOn(0, 80, 100); // takes the oldest note's voice
    EXPECT_EQ(I_OPL_ActiveVoices(), 18);
    I_OPL_KeyOff(0, 40); // already gone: nothing changes
    EXPECT_EQ(I_OPL_ActiveVoices(), 18);
    I_OPL_KeyOff(0, 41);
    EXPECT_EQ(I_OPL_ActiveVoices(), 17);
    I_OPL_Controller(0, MUS_CTRL_SOUNDSOFF, 0);
    EXPECT_EQ(I_OPL_ActiveVoices(), 0);

    // Four-operator voices live on the six channel pairs; the other six channels still
    // take two-operator notes beside them.
    I_OPL_ProgramChange(1, 1);
    for (int n = 0; n < 7; n++)
        I_OPL_KeyOn(1, 50 + n, 100);
    EXPECT_EQ(I_OPL_ActiveVoices(), 6);
    for (int n = 0; n < 6; n++)
        I_OPL_KeyOn(0, 70 + n, 100);
    EXPECT_EQ(I_OPL_ActiveVoices(), 12);
    Render(0.05);
    EXPECT_GT(Rms(Render(0.1), 0), 1000);
    I_OPL_Controller(1, MUS_CTRL_SOUNDSOFF, 0);
    I_OPL_Controller(0, MUS_CTRL_SOUNDSOFF, 0);

    // A double voice takes two channels per note.
    I_OPL_ProgramChange(2, 2);
    I_OPL_KeyOn(2, 60, 100);
    EXPECT_EQ(I_OPL_ActiveVoices(), 2);
    // The sustain pedal holds released notes until it is lifted.
    I_OPL_Controller(2, MUS_CTRL_SUSTAIN, 127);
    I_OPL_KeyOff(2, 60);
    Render(0.2);
    EXPECT_GT(Rms(Render(0.1), 0), 1000);
    I_OPL_Controller(2, MUS_CTRL_SUSTAIN, 0);
    Render(1.0);
    EXPECT_LT(Rms(Render(0.1), 0), 20.0);
}

TEST_P(OplTest, ASilentChipStandsStillAndTheNextNoteSoundsTheSame)
{
    // The same two notes with a rest between them, rendered with the chip clocked all the
    // time and with it standing still while silent.
    struct Take {
        std::vector<int16_t> first, second;
        bool idle;
    };
    auto play = [&](bool skip) {
        I_OPL_ShutdownMusic();
        OPL_SetSkipIdle(skip);
        I_OPL_InitMusic(0);
        Take t;
        I_OPL_KeyOn(0, 69, 127);
        t.first = Render(0.3);
        I_OPL_KeyOff(0, 69);
        auto release = Render(2.5); // the release running out, then the rest
        t.first.insert(t.first.end(), release.begin(), release.end());
        t.idle = OPL_Idle();
        I_OPL_KeyOn(0, 57, 127);
        t.second = Render(0.5);
        I_OPL_KeyOff(0, 57);
        return t;
    };
    Take clocked = play(false), still = play(true);
    OPL_SetSkipIdle(true);
    EXPECT_FALSE(clocked.idle);
    ASSERT_TRUE(still.idle);
    // The very same samples while the note sounds; once the chip stands still, nothing
    // against the running exact chip's trace of a step or two (the light one is silent).
    size_t differ = 0;
    for (size_t i = 0; i < still.first.size(); i++) {
        if (still.first[i] == clocked.first[i]) continue;
        differ++;
        ASSERT_EQ(still.first[i], 0) << i;
        ASSERT_LE(std::abs(clocked.first[i]), 2) << i;
    }
    if (GetParam() == OPL_ENGINE_EXACT) {
        EXPECT_GT(differ, 0u);
    }
    EXPECT_EQ(still.first.back(), 0);
    // The next note: the chip's slow counters stand where the stop left them, which moves
    // the envelope's steps by a few samples. The difference is under 1% of the note.
    double loud = Rms(clocked.second, 0), diff = 0;
    for (size_t i = 0; i < still.second.size(); i += 2)
        diff += std::pow(double(still.second[i]) - clocked.second[i], 2);
    diff = std::sqrt(diff / (still.second.size() / 2));
    EXPECT_LT(diff, loud * 0.01);
    EXPECT_NEAR(Frequency(still.second), 220.0, 1.0);
}

INSTANTIATE_TEST_SUITE_P(Chips, OplTest, ::testing::Values(OPL_ENGINE_LIGHT, OPL_ENGINE_EXACT),
                         [](const ::testing::TestParamInfo<int>& i) {
                             return i.param == OPL_ENGINE_EXACT ? "Exact" : "Light";
                         });

} // namespace
