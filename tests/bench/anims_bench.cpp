// What the effects cost a mission frame, with the generated pictures: a full pool of
// animations drawn through the archive and the picture check against the same sprites
// drawn from pointers held ready; fifty projected sky shadows against fifty flat ones;
// a frame buffer copy as the common yardstick.
//
//   build/tests/anims_bench
#include <cstring>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "game/game.h"
#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "input/input.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "world/anims.h"
#include "world/flame.h"
#include "world/objects.h"
#include "world/shadow.h"
#include "world/tile.h"

namespace
{

std::vector<uint8_t> screen2(SCREENSIZE);

void Open()
{
    static bool open;
    if (open) return;
    open = true;
    std::string data = std::string(VULTAR_BINARY_DIR) + "/data/";
    if (GLB_InitSystem((data + "bench").c_str(), 5, nullptr) < 2) {
        fprintf(stderr, "anims_bench: no data set in %s\n", data.c_str());
        exit(1);
    }
    GFX_InitSystem();
    palette = GLB_LockItem(ITM_PALETTE);
    GFX_SetPalRange(0, 239);
    GFX_MakeLightTable(palette, ltable, 9);
    GFX_MakeLightTable(palette, dtable, -9);
    opt_detail = 1;
    scroll_flag = 1;
    SHADOW_Init();
    SHADOW_MakeShades();
    FLAME_Init();
    OBJS_Init();
    ANIMS_Init();
    ANIMS_CachePics();
    memset(displaybuffer, 40, SCREENSIZE);
}

// A full pool of the animations a busy moment brings, started in five waves two frames
// apart so their frames differ; the last wave adds missile smoke, drawn as a shade.
std::vector<ANIMS_S*> StartBusyPool()
{
    ANIMS_Clear();
    static const int types[] = {ANIM_GROUNDBLAST, ANIM_BIGBLAST, ANIM_AIRBLAST, ANIM_FIREBALL,
                                ANIM_DEBRIS,      ANIM_SPARK,    ANIM_FLARE,    ANIM_IMPACT};
    std::vector<ANIMS_S*> all;
    for (int i = 0; i < ANIMS_MAXANIMS; i++) {
        int type = i >= 90 ? ANIM_PLAYERSMOKE : types[i % 8];
        all.push_back(ANIMS_StartAnim(type, 20 + (i * 37) % 280, 10 + (i * 53) % 180));
        if (i % 20 == 19) {
            ANIMS_Think();
            ANIMS_Think();
        }
    }
    return all;
}

void BM_CopyFrameBuffer(benchmark::State& state)
{
    Open();
    for (auto _ : state) {
        memcpy(screen2.data(), displaybuffer, SCREENSIZE);
        benchmark::ClobberMemory();
    }
}

// Baseline: the same animations' current pictures, fetched once, drawn without a check.
void BM_AnimsHeldPointers(benchmark::State& state)
{
    Open();
    struct Held {
        const uint8_t* pic;
        int x, y, shade;
    };
    std::vector<Held> held;
    for (ANIMS_S* a : StartBusyPool())
        if (a && a->type) held.push_back({GLB_GetItem(a->item), a->x, a->y, a->type->shade});
    for (auto _ : state) {
        for (const Held& h : held) {
            if (h.shade)
                GFX_ShadeShape(GFX_LIGHT, h.pic, h.x, h.y);
            else
                GFX_PutSprite(h.pic, h.x, h.y);
        }
        benchmark::ClobberMemory();
    }
    state.counters["animations"] = static_cast<double>(held.size());
}

void BM_AnimsDisplay(benchmark::State& state)
{
    Open();
    int drawn = 0;
    for (ANIMS_S* a : StartBusyPool())
        drawn += a && ANIMS_GetSprite(a->item);
    state.counters["animations"] = drawn;
    for (auto _ : state) {
        ANIMS_DisplayGround();
        ANIMS_DisplaySky();
        ANIMS_DisplayHigh();
        benchmark::ClobberMemory();
    }
}

void BM_ShadowsFlat50(benchmark::State& state)
{
    Open();
    for (auto _ : state) {
        for (int i = 0; i < SHADOW_MAXGROUND * 2; i++)
            SHADOW_GAdd(ITM_LSHIP + i % 7, (i * 37) % 300, (i * 53) % 180);
        SHADOW_DisplayGround();
        SHADOW_DisplayGround();
        benchmark::ClobberMemory();
    }
}

void BM_ShadowsSky50(benchmark::State& state)
{
    Open();
    for (auto _ : state) {
        for (int i = 0; i < SHADOW_MAXSKY; i++)
            SHADOW_Add(ITM_LSHIP + i % 7, (i * 37) % 300, (i * 53) % 180);
        SHADOW_DisplaySky();
        benchmark::ClobberMemory();
    }
}

void BM_ShipFlames(benchmark::State& state)
{
    Open();
    int n = 0;
    for (auto _ : state) {
        FLAME_Down(157, 191, 4, n & 1);
        FLAME_Down(164, 191, 4, n++ & 1);
        benchmark::ClobberMemory();
    }
}

} // namespace

BENCHMARK(BM_CopyFrameBuffer);
BENCHMARK(BM_AnimsHeldPointers);
BENCHMARK(BM_AnimsDisplay);
BENCHMARK(BM_ShadowsFlat50);
BENCHMARK(BM_ShadowsSky50);
BENCHMARK(BM_ShipFlames);
BENCHMARK_MAIN();
