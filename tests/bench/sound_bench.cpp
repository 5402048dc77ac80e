// The cost of the audio callback: one 512-frame buffer at 44,100 Hz (11.6 ms of sound)
// with eight digital voices, with FM music (on the light chip and on the exact one), and
// with both; and with the FM chip silent
// (the song over), clocked all the same as before and standing still as now. The "audio_s" counter
// is seconds of sound made per second of work; its inverse is the callback's share of real time.
#include <benchmark/benchmark.h>

#include <vector>

#include "sound/dspapi.h"
#include "sound/fx.h"
#include "sound/i_oplmusic.h"
#include "sound/musapi.h"
#include "sound/opl3.h"
#include "sound/soundtest.h"

namespace
{

constexpr int kFrames = 512;

std::vector<uint8_t> bank = st::Bank();
std::vector<uint8_t> voice = st::Constant(200000, 200); // long enough never to end
std::vector<uint8_t> song;

// Eight-note chords of double voices (sixteen FM channels busy), a new chord each beat.
void MakeSong()
{
    std::vector<uint8_t> ev = {0x40, 0, 2, 0x41, 0, 2};
    for (int beat = 0; beat < 8; beat++) {
        for (int n = 0; n < 8; n++) {
            int ch = n % 2;
            bool last = n == 7;
            ev.push_back(static_cast<uint8_t>((last ? 0x80 : 0) | 0x10 | ch));
            ev.push_back(static_cast<uint8_t>(0x80 | (48 + n * 4 + beat % 3)));
            ev.push_back(100);
            if (last) ev.push_back(30);
        }
        for (int n = 0; n < 8; n++) {
            ev.push_back(static_cast<uint8_t>(n % 2));
            ev.push_back(static_cast<uint8_t>(48 + n * 4 + beat % 3));
        }
    }
    ev.push_back(0x60);
    song = st::Song(ev, 2);
}

void StartVoices()
{
    DSP_Init(8, DSP_RATE);
    for (int v = 0; v < 8; v++)
        DSP_StartPatch(voice.data(), v * 32, 100 + v * 7, 127, 1);
}

void Setup(bool music, bool voices)
{
    fx_freq = 44100;
    MUS_DeInit();
    DSP_Init(8, DSP_RATE);
    if (voices) StartVoices();
    if (music) {
        OPL_LoadBank(bank.data(), static_cast<int>(bank.size()));
        MUS_InitDevice(&mus_device_opl, 0);
        MUS_PlaySong(song.data(), 1, 0);
    }
}

void Run(benchmark::State& state, bool music, bool voices, int chip = OPL_ENGINE_LIGHT)
{
    OPL_SetEngine(chip);
    MakeSong();
    Setup(music, voices);
    std::vector<uint8_t> buf(kFrames * 4);
    for (auto _ : state) {
        FX_Fill(nullptr, buf.data(), static_cast<int>(buf.size()));
        benchmark::DoNotOptimize(buf.data());
        // Keep all eight voices sounding (a restart every 1,500 buffers or so).
        if (voices && dsp_channels[7].left == 0) StartVoices();
    }
    state.counters["audio_s"] = benchmark::Counter(double(state.iterations()) * kFrames / fx_freq,
                                                   benchmark::Counter::kIsRate);
    MUS_DeInit();
    OPL_SetEngine(OPL_ENGINE_LIGHT);
}

void BM_Silence(benchmark::State& s)
{
    Run(s, false, false);
}
void BM_EightVoices(benchmark::State& s)
{
    Run(s, false, true);
}
void BM_OplMusic(benchmark::State& s)
{
    Run(s, true, false);
}
void BM_OplMusicExactChip(benchmark::State& s)
{
    Run(s, true, false, OPL_ENGINE_EXACT);
}
void BM_EightVoicesAndOplMusic(benchmark::State& s)
{
    Run(s, true, true);
}

// The song played to its end and every note died away.
void SilentChip(benchmark::State& state, bool skip)
{
    OPL_SetSkipIdle(skip);
    MakeSong();
    Setup(true, false);
    MUS_StopSong(0);
    std::vector<uint8_t> buf(kFrames * 4);
    for (int i = 0; i < 400; i++) // 4.6 s for the releases to run out
        FX_Fill(nullptr, buf.data(), static_cast<int>(buf.size()));
    for (auto _ : state) {
        FX_Fill(nullptr, buf.data(), static_cast<int>(buf.size()));
        benchmark::DoNotOptimize(buf.data());
    }
    state.counters["audio_s"] = benchmark::Counter(double(state.iterations()) * kFrames / fx_freq,
                                                   benchmark::Counter::kIsRate);
    state.counters["chip_still"] = OPL_Idle();
    MUS_DeInit();
    OPL_SetSkipIdle(true);
}
void BM_SilentChipClocked(benchmark::State& s)
{
    SilentChip(s, false);
}
void BM_SilentChipStill(benchmark::State& s)
{
    SilentChip(s, true);
}

BENCHMARK(BM_Silence);
BENCHMARK(BM_EightVoices);
BENCHMARK(BM_OplMusic);
BENCHMARK(BM_OplMusicExactChip);
BENCHMARK(BM_EightVoicesAndOplMusic);
BENCHMARK(BM_SilentChipClocked);
BENCHMARK(BM_SilentChipStill);

} // namespace

BENCHMARK_MAIN();
