#include "sound/dspapi.h"

#include <array>
#include <climits>
#include <cstring>

#include "sound/fx.h"

dsp_t dsp_channels[DSP_MAXVOICES];
int dsp_channelnum;
int dsp_freq = DSP_RATE;
int dsp_cnt;

static int dsp_samp, dsp_rsmp; // the held output pair
static int dsp_phase;

namespace
{

// 2^(1/64): one pitch index step.
constexpr double kPitchRatio = 1.0108892860517004600204097905618605;

constexpr std::array<uint16_t, 256> MakePitchTable()
{
    std::array<uint16_t, 256> t{};
    double v = 64.0; // two octaves below the patch's own rate
    for (int i = 0; i < 256; i++) {
        t[i] = static_cast<uint16_t>(v + 0.5);
        v *= kPitchRatio;
    }
    return t;
}

// A monotone cubic through the given rows of the pan curve, so the gain never dips
// between them and has no corners.
struct Knot {
    double x, y;
};
constexpr Knot kPanKnots[] = {{0, 14},    {64, 175},  {127, 225}, {128, 225},
                              {192, 247}, {233, 255}, {255, 255}};
constexpr int kPanKnotCount = sizeof(kPanKnots) / sizeof(kPanKnots[0]);
constexpr int kPanFullFrom = 233; // every entry from here on is full gain

constexpr std::array<uint8_t, 256> MakePanTable()
{
    double slope[kPanKnotCount - 1]{};
    double tangent[kPanKnotCount]{};
    for (int k = 0; k + 1 < kPanKnotCount; k++)
        slope[k] = (kPanKnots[k + 1].y - kPanKnots[k].y) / (kPanKnots[k + 1].x - kPanKnots[k].x);
    tangent[0] = slope[0];
    tangent[kPanKnotCount - 1] = slope[kPanKnotCount - 2];
    for (int k = 1; k + 1 < kPanKnotCount; k++) {
        double a = slope[k - 1], b = slope[k];
        // Harmonic mean keeps the curve monotone; a flat neighbour flattens the knot.
        tangent[k] = (a * b <= 0) ? 0.0 : 2.0 * a * b / (a + b);
    }
    std::array<uint8_t, 256> t{};
    int k = 0;
    for (int i = 0; i < 256; i++) {
        while (k + 2 < kPanKnotCount && i > kPanKnots[k + 1].x)
            k++;
        double h = kPanKnots[k + 1].x - kPanKnots[k].x;
        double s = (i - kPanKnots[k].x) / h;
        double h00 = 2 * s * s * s - 3 * s * s + 1, h10 = s * s * s - 2 * s * s + s;
        double h01 = -2 * s * s * s + 3 * s * s, h11 = s * s * s - s * s;
        double y = h00 * kPanKnots[k].y + h10 * h * tangent[k] + h01 * kPanKnots[k + 1].y +
                   h11 * h * tangent[k + 1];
        int v = static_cast<int>(y + 0.5);
        if (i < kPanFullFrom && v > 254) v = 254;
        if (v > 255) v = 255;
        t[i] = static_cast<uint8_t>(v);
    }
    return t;
}

constexpr auto kPitchTable = MakePitchTable();
constexpr auto kPanTable = MakePanTable();

static_assert(kPitchTable[0] == 64 && kPitchTable[64] == 128 && kPitchTable[128] == 256 &&
              kPitchTable[192] == 512 && kPitchTable[255] == 1013);
static_assert(kPanTable[0] == 14 && kPanTable[64] == 175 && kPanTable[127] == 225 &&
              kPanTable[128] == 225 && kPanTable[192] == 247 && kPanTable[232] < 255 &&
              kPanTable[233] == 255 && kPanTable[255] == 255);

int ReadLE16(const uint8_t* p)
{
    return static_cast<int16_t>(p[0] | (p[1] << 8));
}

int32_t ReadLE32(const uint8_t* p)
{
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                                (static_cast<uint32_t>(p[2]) << 16) |
                                (static_cast<uint32_t>(p[3]) << 24));
}

int Clamp(int v, int lo, int hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

} // namespace

const uint16_t pitchtable[256] = {
#define P(i) kPitchTable[i]
#define P8(i) P(i), P(i + 1), P(i + 2), P(i + 3), P(i + 4), P(i + 5), P(i + 6), P(i + 7)
#define P64(i)                                                                                     \
    P8(i), P8(i + 8), P8(i + 16), P8(i + 24), P8(i + 32), P8(i + 40), P8(i + 48), P8(i + 56)
    P64(0), P64(64), P64(128), P64(192)};
#undef P
#define P(i) kPanTable[i]
const uint8_t pantable[256] = {P64(0), P64(64), P64(128), P64(192)};
#undef P
#undef P8
#undef P64

void DSP_Init(int voices, int rate)
{
    SND_Lock();
    memset(dsp_channels, 0, sizeof(dsp_channels));
    dsp_channelnum = Clamp(voices, 0, DSP_MAXVOICES);
    dsp_freq = rate > 0 ? rate : DSP_RATE;
    dsp_samp = dsp_rsmp = 0;
    dsp_phase = 0;
    dsp_cnt = 0;
    SND_Unlock();
}

void DSP_VolTable(int16_t* table, int level)
{
    int a = level / 127;
    int value = level / -254;
    int n = (a >> 1) & 0x7F;
    for (int i = 0; i < 256; i++) {
        table[i] = static_cast<int16_t>(value);
        n += a & 0xFF;
        value += (a >> 8) + (n >= 256 ? 1 : 0);
        if (n >= 256) n -= 256;
    }
}

void DSP_Mix(int16_t* out, int frames)
{
    for (int f = 0; f < frames; f++) {
        dsp_phase += DSP_RATE;
        while (dsp_phase >= fx_freq) {
            dsp_phase -= fx_freq;
            int lsum = 0, rsum = 0;
            for (int v = 0; v < dsp_channelnum; v++) {
                dsp_t* ch = &dsp_channels[v];
                if (ch->left <= 0) continue;
                uint8_t s = *ch->sample;
                lsum += ch->ltab[s];
                rsum += ch->rtab[s];
                ch->sample += ch->istep;
                ch->faccum += ch->fstep;
                if (ch->faccum > 255) {
                    ch->sample++;
                    ch->faccum -= 256;
                }
                ch->left--;
            }
            dsp_samp = Clamp(lsum, -128, 127) * 128;
            dsp_rsmp = Clamp(rsum, -128, 127) * 128;
        }
        out[2 * f] = static_cast<int16_t>(Clamp(out[2 * f] + dsp_samp, INT16_MIN, INT16_MAX));
        out[2 * f + 1] =
            static_cast<int16_t>(Clamp(out[2 * f + 1] + dsp_rsmp, INT16_MIN, INT16_MAX));
    }
}

// The voice a new sound of the given priority may take, or -1. A lower number is more
// important and priority 0 is never interrupted. Among the least important busy voices the
// one closest to its end gives way, unless one of them already plays the same patch.
static int DSP_PickVoice(const uint8_t* patch, int priority)
{
    if (dsp_channels[0].left <= 0) return 0;
    for (int v = 1; v < dsp_channelnum; v++)
        if (dsp_channels[v].left <= 0) return v;

    int best = -1, bestpri = -1;
    int32_t bestleft = INT32_MAX;
    for (int v = 0; v < dsp_channelnum; v++) {
        const dsp_t* ch = &dsp_channels[v];
        if (ch->priority > bestpri || (ch->priority == bestpri && ch->left < bestleft)) {
            best = v;
            bestpri = ch->priority;
            bestleft = ch->left;
        }
    }
    if (best < 0 || bestpri == 0 || bestpri < priority) return -1;
    if (bestpri == priority) {
        for (int v = 0; v < dsp_channelnum; v++)
            if (dsp_channels[v].patch == patch && dsp_channels[v].priority == bestpri) return v;
    }
    return best;
}

int DSP_StartPatch(const uint8_t* patch, int sep, int pitch, int volume, int priority)
{
    dsp_cnt++;
    if (!patch || ReadLE16(patch) != PATCH_DIGITAL || dsp_channelnum <= 0) return -1;
    int32_t length = ReadLE32(patch + 4);
    int rate = ReadLE16(patch + 2);
    if (length <= PATCH_LENGTH_EXTRA || rate <= 0) return -1;

    pitch = Clamp(pitch, 0, 255);
    sep = Clamp(sep, 0, 255);
    volume = Clamp(volume, 0, 127);
    int step = (rate * pitchtable[pitch] + DSP_RATE / 2) / DSP_RATE;
    if (step <= 0) return -1;

    int handle = -1;
    SND_Lock();
    int v = DSP_PickVoice(patch, priority);
    if (v >= 0) {
        dsp_t* ch = &dsp_channels[v];
        ch->left = 0; // silent while it is rebuilt
        DSP_VolTable(ch->ltab, volume * pantable[255 - sep]);
        DSP_VolTable(ch->rtab, volume * pantable[sep]);
        ch->patch = patch;
        ch->sample = patch + PATCH_SAMPLES;
        ch->handle = dsp_cnt & 0x3FFF;
        ch->priority = priority;
        ch->istep = step >> 8;
        ch->fstep = step & 0xFF;
        ch->faccum = (step >> 1) & 0x7F;
        int64_t span = static_cast<int64_t>(length - PATCH_LENGTH_EXTRA) * 256;
        int64_t left = span / step;
        // With slow steps the starting fraction could carry the last read one byte past the
        // samples; play one step less then.
        int64_t fits = (span - 1 - ch->faccum) / step + 1;
        if (left > fits) left = fits;
        ch->left = static_cast<int32_t>(left > INT32_MAX ? INT32_MAX : left);
        handle = ch->handle | DSP_HANDLE_FLAG;
    }
    SND_Unlock();
    return handle;
}

void DSP_StopPatch(int handle)
{
    SND_Lock();
    for (int v = 0; v < dsp_channelnum; v++)
        if (dsp_channels[v].left > 0 && dsp_channels[v].handle == (handle & 0x3FFF))
            dsp_channels[v].left = 0;
    SND_Unlock();
}

int DSP_PatchIsPlaying(int handle)
{
    int playing = 0;
    SND_Lock();
    for (int v = 0; v < dsp_channelnum; v++)
        if (dsp_channels[v].left > 0 && dsp_channels[v].handle == (handle & 0x3FFF)) playing = 1;
    SND_Unlock();
    return playing;
}
