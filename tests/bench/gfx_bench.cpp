// Drawing and presentation speed, against a plain copy of the frame buffer measured in the
// same run, and the processor time a paced loop takes with a busy and a sleeping wait.
//
//   build/tests/gfx_bench                                  (all; the loops take 30 s)
//   build/tests/gfx_bench --benchmark_filter=-Loop         (without the paced loops)
#include <sys/resource.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>

#include "game/i_system.h"
#include "gfx/gfxapi.h"
#include "gfx/i_video.h"
#include "testutil/gfxitems.h"

namespace
{

bool video_open;

void OpenVideo()
{
    if (video_open) return;
    GFX_InitSystem();
    std::vector<uint8_t> pal = vt::MakeRampPalette();
    GFX_SetPalRange(0, 239);
    GFX_InitVideo(pal.data());
    video_open = true;
}

// A sprite shaped like the game's ships: a solid body with a transparent outline.
std::vector<uint8_t> Ship(int size)
{
    return vt::MakeSprite(size, size, vt::Grid(size, size, [size](int x, int y) {
                              int cx = x - size / 2;
                              int ax = cx < 0 ? -cx - 1 : cx;
                              return (ax <= y / 2 && y < size - 2) ? 20 + (x + y) % 30 : 0;
                          }));
}

void BM_CopyFrameBuffer(benchmark::State& state)
{
    OpenVideo();
    for (auto _ : state) {
        memcpy(displayscreen, displaybuffer, SCREENSIZE);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CopyFrameBuffer);

void BM_TileScreen(benchmark::State& state)
{
    OpenVideo();
    std::vector<uint8_t> tile =
        vt::MakePic(32, 32, vt::Grid(32, 32, [](int x, int y) { return (x * 7 + y * 3) % 200; }));
    for (auto _ : state) {
        // 10 x 7 tiles, the last row cut at the bottom, as the scrolling map draws them.
        for (int ty = 0; ty < 7; ty++)
            for (int tx = 0; tx < 10; tx++)
                GFX_PutImage(tile.data(), tx * 32, ty * 32 - 12, false);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TileScreen);

void BM_Sprites100(benchmark::State& state)
{
    OpenVideo();
    std::vector<uint8_t> ship = Ship(32);
    int pos[100][2];
    for (int i = 0; i < 100; i++) {
        // A tenth of them across an edge, the rest wholly on screen.
        pos[i][0] = (i % 10 == 0) ? -10 + (i % 3) * 320 : 8 + (i * 37) % 280;
        pos[i][1] = (i % 10 == 5) ? 185 : 4 + (i * 53) % 160;
    }
    for (auto _ : state) {
        for (auto& p : pos)
            GFX_PutSprite(ship.data(), p[0], p[1]);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Sprites100);

void BM_ShadeShapes100(benchmark::State& state)
{
    OpenVideo();
    std::vector<uint8_t> ship = Ship(32);
    for (auto _ : state) {
        for (int i = 0; i < 100; i++)
            GFX_ShadeShape(GFX_DARK, ship.data(), 8 + (i * 37) % 280, 4 + (i * 53) % 160);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ShadeShapes100);

void BM_Text(benchmark::State& state)
{
    OpenVideo();
    std::vector<uint8_t> font = vt::MakeBlockFont(1);
    for (auto _ : state) {
        // Ten lines of 40 characters: a full text window.
        for (int line = 0; line < 10; line++)
            GFX_Print(4, 10 + line * 9, "THE QUICK BROWN FIGHTER JUMPS 0123456789", font.data(),
                      100);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_Text);

void BM_Present(benchmark::State& state)
{
    OpenVideo();
    for (auto _ : state)
        I_FinishUpdate();
}
BENCHMARK(BM_Present)->Unit(benchmark::kMicrosecond);

void BM_PresentWithPaletteChange(benchmark::State& state)
{
    OpenVideo();
    std::vector<uint8_t> pal = vt::MakeRampPalette();
    for (auto _ : state) {
        pal[0] ^= 1;
        GFX_SetPalette(pal.data(), 0);
        I_FinishUpdate();
    }
}
BENCHMARK(BM_PresentWithPaletteChange)->Unit(benchmark::kMicrosecond);

double ProcessSeconds()
{
    rusage ru;
    getrusage(RUSAGE_SELF, &ru);
    return double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
           double(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

// 700 frames at 70 per second: ten seconds of a menu loop that only presents.
void PacedLoop(benchmark::State& state, bool busy)
{
    OpenVideo();
    I_SetClock(nullptr);
    GFX_SetBusyWait(busy);
    double cpu = 0, wall = 0;
    for (auto _ : state) {
        double c0 = ProcessSeconds();
        uint32_t t0 = I_GetTicks();
        for (int i = 0; i < 700; i++)
            GFX_DisplayUpdate();
        cpu += ProcessSeconds() - c0;
        wall += (I_GetTicks() - t0) / 1000.0;
    }
    state.counters["cpu_percent"] = 100.0 * cpu / wall;
    state.counters["frames_per_s"] = 700.0 * state.iterations() / wall;
    GFX_SetBusyWait(false);
}
void BM_PacedLoopBusy(benchmark::State& state)
{
    PacedLoop(state, true);
}
void BM_PacedLoopSleeping(benchmark::State& state)
{
    PacedLoop(state, false);
}
BENCHMARK(BM_PacedLoopBusy)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_PacedLoopSleeping)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

// Five seconds of the mission loop's pacing: spin on the frame counter until three ticks
// have passed, then present.
void MissionLoop(benchmark::State& state, bool busy)
{
    OpenVideo();
    I_SetClock(nullptr);
    GFX_SetBusyWait(busy);
    double cpu = 0, wall = 0;
    int frames = 0;
    for (auto _ : state) {
        double c0 = ProcessSeconds();
        uint32_t t0 = I_GetTicks();
        int mark = GFX_GetFrameCount();
        while (I_GetTicks() - t0 < 5000) {
            while (GFX_GetFrameCount() - mark < 3) {
            }
            mark = framecount;
            I_FinishUpdate();
            frames++;
        }
        cpu += ProcessSeconds() - c0;
        wall += (I_GetTicks() - t0) / 1000.0;
    }
    state.counters["cpu_percent"] = 100.0 * cpu / wall;
    state.counters["frames_per_s"] = frames / wall;
    GFX_SetBusyWait(false);
}
void BM_MissionLoopBusy(benchmark::State& state)
{
    MissionLoop(state, true);
}
void BM_MissionLoopSleeping(benchmark::State& state)
{
    MissionLoop(state, false);
}
BENCHMARK(BM_MissionLoopBusy)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(BM_MissionLoopSleeping)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
