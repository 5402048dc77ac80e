// What drawing the pointer adds to a frame copy, against the copy alone.
#include <benchmark/benchmark.h>

#include <vector>

#include "gfx/gfxapi.h"
#include "gfx/ptrapi.h"
#include "testutil/gfxitems.h"

namespace
{

void Setup()
{
    static bool done = false;
    if (done) return;
    done = true;
    GFX_InitSystem();
    PTR_Init(1);
    std::vector<uint8_t> px(256);
    for (int i = 0; i < 256; i++)
        px[i] = static_cast<uint8_t>(i % 3 ? 15 : 0);
    auto pic = vt::MakePic(16, 16, px);
    PTR_SetPic(pic.data(), static_cast<int>(pic.size()));
}

// The dirty rectangle of one frame: the whole screen, or a 64x64 box the pointer is in.
void Copy(benchmark::State& state, bool pointer, int size)
{
    Setup();
    PTR_SetPos(100, 100);
    PTR_DrawCursor(pointer ? 1 : 0);
    int w = size == 0 ? 320 : size, h = size == 0 ? 200 : size;
    int x = size == 0 ? 0 : 96, y = size == 0 ? 0 : 96;
    for (auto _ : state) {
        GFX_MarkUpdate(x, y, w, h);
        if (pointer)
            PTR_FrameHook(GFX_DisplayScreen);
        else
            GFX_DisplayScreen();
        benchmark::DoNotOptimize(displayscreen[100 * 320 + 100]);
    }
    PTR_DrawCursor(0);
}

void BM_FullCopy(benchmark::State& s)
{
    Copy(s, false, 0);
}
void BM_FullCopyWithPointer(benchmark::State& s)
{
    Copy(s, true, 0);
}
void BM_BoxCopy(benchmark::State& s)
{
    Copy(s, false, 64);
}
void BM_BoxCopyWithPointer(benchmark::State& s)
{
    Copy(s, true, 64);
}

BENCHMARK(BM_FullCopy);
BENCHMARK(BM_FullCopyWithPointer);
BENCHMARK(BM_BoxCopy);
BENCHMARK(BM_BoxCopyWithPointer);

} // namespace

BENCHMARK_MAIN();
