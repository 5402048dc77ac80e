// Archive and cache speed, each against a baseline measured in the same run: loading an
// item that is already in memory against reading it from the file, the block cache
// against the heap, and a label lookup in a large directory.
//
//   build/tests/res_bench
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "res/glbapi.h"
#include "testutil/testutil.h"

namespace
{

constexpr int kItems = 2000;
constexpr int kItemBytes = 4096;
constexpr uint32_t kPool = 4808688; // the game's pool

struct Fixture {
    vt::TempHome home;
    std::vector<uint8_t> pool = std::vector<uint8_t>(kPool);
    Fixture()
    {
        std::vector<GLB_WRITEITEM> items;
        for (int i = 0; i < kItems; i++)
            items.push_back({"ITEM" + std::to_string(i),
                             std::vector<uint8_t>(kItemBytes, uint8_t(i)), i % 2 == 1});
        vt::WriteArchive(home.dir() + "/FILE0000.GLB", items);
        GLB_InitSystem((home.dir() + "/x").c_str(), 1, nullptr);
        VM_InitMemory(pool.data(), kPool);
        GLB_UseVM();
    }
    ~Fixture()
    {
        GLB_Shutdown();
        VM_Shutdown();
    }
};

Fixture& Archive()
{
    static Fixture f;
    return f;
}

// Baseline: every read goes to the file (seek, read, unscramble).
void BM_ReadItemFromFile(benchmark::State& state)
{
    Archive();
    std::vector<uint8_t> buf(kItemBytes);
    int id = 1;
    for (auto _ : state) {
        GLB_ReadItem(id, buf.data());
        benchmark::DoNotOptimize(buf.data());
    }
}
BENCHMARK(BM_ReadItemFromFile);

void BM_GetItemInMemory(benchmark::State& state)
{
    Archive();
    int id = 3;
    GLB_GetItem(id);
    for (auto _ : state)
        benchmark::DoNotOptimize(GLB_GetItem(id));
}
BENCHMARK(BM_GetItemInMemory);

// More items than the pool holds, used round robin: every call discards one and reads one.
void BM_GetItemChurn(benchmark::State& state)
{
    Archive();
    int id = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(GLB_GetItem(id));
        id = (id + 1) % kItems;
    }
}
BENCHMARK(BM_GetItemChurn);

void BM_GetItemIDLast(benchmark::State& state)
{
    Archive();
    std::string last = "ITEM" + std::to_string(kItems - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(GLB_GetItemID(last.c_str()));
}
BENCHMARK(BM_GetItemIDLast);

// Allocation: the same random mix of sizes, live set of 64 blocks, freed in random order.
template <bool kCache> void AllocMix(benchmark::State& state)
{
    static std::vector<uint8_t> pool(kPool);
    if (kCache) {
        GLB_Shutdown();
        VM_Shutdown();
        VM_InitMemory(pool.data(), kPool);
    }
    std::mt19937 rng(7);
    std::vector<uint32_t> sizes(4096);
    for (uint32_t& s : sizes)
        s = 16 + rng() % 16000;
    std::vector<void*> live(64, nullptr);
    size_t k = 0;
    for (auto _ : state) {
        size_t slot = rng() % live.size();
        if (kCache) {
            VM_Free(live[slot]);
            live[slot] = VM_Malloc(sizes[k++ % sizes.size()], nullptr, false);
        } else {
            free(live[slot]);
            live[slot] = malloc(sizes[k++ % sizes.size()]);
        }
        benchmark::DoNotOptimize(live[slot]);
    }
    for (void* p : live)
        kCache ? VM_Free(p) : free(p);
    if (kCache) VM_Shutdown();
}
void BM_HeapAllocMix(benchmark::State& state)
{
    AllocMix<false>(state);
}
void BM_CacheAllocMix(benchmark::State& state)
{
    AllocMix<true>(state);
}
BENCHMARK(BM_HeapAllocMix);
BENCHMARK(BM_CacheAllocMix);

} // namespace

BENCHMARK_MAIN();
