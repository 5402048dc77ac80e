// How long the text-mode screen takes to render and present, against the least any
// renderer must do: write each of the 640x400 pixels once.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "textui/txt_main.h"

static void BM_TouchEveryPixel(benchmark::State& state)
{
    std::vector<uint32_t> pixels(TXT_PIXELS_W * TXT_PIXELS_H);
    uint32_t v = 0;
    for (auto _ : state) {
        std::fill(pixels.begin(), pixels.end(), v++);
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(BM_TouchEveryPixel);

// Without a window only the cells are turned into pixels.
static void BM_RenderCells(benchmark::State& state)
{
    uint8_t* cells = TXT_GetScreenData();
    for (int i = 0; i < TXT_SCREEN_BYTES; i++)
        cells[i] = static_cast<uint8_t>(i * 37 + 11);
    for (auto _ : state)
        TXT_UpdateScreen();
}
BENCHMARK(BM_RenderCells);

static void BM_UpdateScreen(benchmark::State& state)
{
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (!TXT_Init(0)) {
        state.SkipWithError("no text-mode window");
        return;
    }
    uint8_t* cells = TXT_GetScreenData();
    for (int i = 0; i < TXT_SCREEN_BYTES; i++)
        cells[i] = static_cast<uint8_t>(i * 37 + 11);
    for (auto _ : state)
        TXT_UpdateScreen();
    TXT_Shutdown();
    SDL_Quit();
}
BENCHMARK(BM_UpdateScreen);

BENCHMARK_MAIN();
