// The sound content of the generated data set, read the way the game reads it: the FM
// bank, every song and every effect with its device variants.
#include <algorithm>
#include <cmath>
#include <complex>
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
#include "sound/opl3.h"
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

// What the ear takes from a stretch of music: its loudness over time (RMS of 50 ms
// windows, in dB) and its balance of low and high (power in octave bands, in dB), for the
// left and right ears together, and the share of the left ear in the whole.
struct Hearing {
    std::vector<double> loudness;
    std::vector<double> bands;
    double left_share = 0;
};

double Db(double power)
{
    return 10 * std::log10(power + 1e-3);
}

// A plain radix-2 transform, in place.
void Transform(std::vector<std::complex<double>>& a)
{
    size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; i++) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        std::complex<double> w = std::polar(1.0, -2 * M_PI / double(len));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> t = 1;
            for (size_t k = 0; k < len / 2; k++, t *= w) {
                std::complex<double> u = a[i + k], v = a[i + k + len / 2] * t;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
}

Hearing Hear(const std::vector<int16_t>& pcm, int rate)
{
    Hearing h;
    size_t frames = pcm.size() / 2, window = rate / 20;
    double left = 0, all = 0;
    for (size_t w = 0; w + window <= frames; w += window) {
        double sum = 0;
        for (size_t i = w; i < w + window; i++) {
            double l = pcm[2 * i], r = pcm[2 * i + 1];
            sum += (l + r) * (l + r) / 4;
            left += l * l;
            all += l * l + r * r;
        }
        h.loudness.push_back(Db(sum / double(window)));
    }
    h.left_share = all > 0 ? left / all : 0.5;
    constexpr size_t kN = 2048;
    h.bands.assign(9, 0); // octaves from 44-88 Hz to 11-22 kHz
    for (size_t w = 0; w + kN <= frames; w += kN) {
        std::vector<std::complex<double>> a(kN);
        for (size_t i = 0; i < kN; i++)
            a[i] = (pcm[2 * (w + i)] + pcm[2 * (w + i) + 1]) / 2.0 *
                   (0.5 - 0.5 * std::cos(2 * M_PI * double(i) / kN));
        Transform(a);
        for (size_t k = 1; k < kN / 2; k++) {
            double f = double(k) * rate / kN;
            int band = static_cast<int>(std::floor(std::log2(f / 44.0)));
            if (band >= 0 && band < 9) h.bands[band] += std::norm(a[k]);
        }
    }
    for (double& b : h.bands)
        b = Db(b);
    return h;
}

// The first seconds of a song through the FM back-end with the given chip.
std::vector<int16_t> PlayOnChip(int id, int engine, double seconds)
{
    OPL_SetEngine(engine);
    MUS_InitDevice(&mus_device_opl, 0);
    MUS_SetVolume(127);
    MUS_PlaySong(GLB_GetItem(id), 1, 0);
    std::vector<int16_t> pcm(static_cast<size_t>(seconds * fx_freq) * 2, 0);
    for (size_t f = 0; f < pcm.size() / 2; f += 512)
        MUS_Mix(pcm.data() + 2 * f, static_cast<int>(std::min<size_t>(512, pcm.size() / 2 - f)));
    MUS_StopSong(0);
    MUS_DeInit();
    OPL_SetEngine(OPL_ENGINE_LIGHT);
    return pcm;
}

// The light chip in place of the exact one must not change the music: over the first six
// seconds of every song, loudness from moment to moment within a fraction of a decibel,
// the balance of lows and highs within 3 dB up to 11 kHz, and the stereo balance. Only the
// top octave may differ more: the exact chip's resampling filters what lies above it.
TEST_F(ContentTest, TheLightChipPlaysEverySongAsTheExactOneDoes)
{
    ASSERT_TRUE(OPL_LoadBank(GLB_GetItem(OPLBANK_ITEM), OPLBANK_SIZE));
    for (int id = 83; id <= 97; id++) {
        SCOPED_TRACE("song " + std::to_string(id));
        std::vector<int16_t> exact_pcm = PlayOnChip(id, OPL_ENGINE_EXACT, 6.0);
        std::vector<int16_t> light_pcm = PlayOnChip(id, OPL_ENGINE_LIGHT, 6.0);
        // Two emulations, not one played twice: their rounding never agrees for long.
        ASSERT_NE(exact_pcm, light_pcm);
        Hearing exact = Hear(exact_pcm, fx_freq);
        Hearing light = Hear(light_pcm, fx_freq);
        ASSERT_EQ(light.loudness.size(), exact.loudness.size());
        double top = *std::max_element(exact.loudness.begin(), exact.loudness.end());
        ASSERT_GT(top, 60.0); // the song sounds at all
        std::vector<double> off;
        for (size_t w = 0; w < exact.loudness.size(); w++)
            if (exact.loudness[w] > top - 30)
                off.push_back(std::abs(light.loudness[w] - exact.loudness[w]));
        std::sort(off.begin(), off.end());
        EXPECT_LT(off[off.size() / 2], 0.5);
        EXPECT_LT(off[off.size() * 9 / 10], 1.5);
        EXPECT_LT(off.back(), 3.0);
        double btop = *std::max_element(exact.bands.begin(), exact.bands.end());
        for (size_t b = 0; b < exact.bands.size(); b++) {
            if (exact.bands[b] < btop - 30) continue;
            EXPECT_NEAR(light.bands[b], exact.bands[b], b + 1 < exact.bands.size() ? 3.0 : 8.0)
                << "octave " << b;
        }
        EXPECT_NEAR(light.left_share, exact.left_share, 0.02);
    }
}

} // namespace
