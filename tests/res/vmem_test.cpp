// The memory cache on small hand-made regions: block sizes, splitting, merging, the
// discarder's choices, pinning, and a randomised run that checks the block ring after
// every step.
#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "res/vmemapi.h"

namespace
{

struct Block {
    uint8_t* at;
    uint32_t size;
    bool free;
    int region;
    VM_OWNER* owner;
};

MCBL HeaderAt(const uint8_t* p)
{
    MCBL h;
    memcpy(&h, p, sizeof h);
    return h;
}

MCBL HeaderOf(void* data)
{
    return HeaderAt(static_cast<uint8_t*>(data) - VM_HEADER_SIZE);
}

uint32_t SizeOf(void* data)
{
    return HeaderOf(data).control & VM_SIZE_MASK;
}

// The blocks of one region, in address order, up to (not including) its end marker.
std::vector<Block> Blocks(uint8_t* region)
{
    std::vector<Block> out;
    for (uint8_t* b = region;;) {
        MCBL h = HeaderAt(b);
        uint32_t size = h.control & VM_SIZE_MASK;
        if (size == 0) break;
        out.push_back({b, size, (h.control & VM_FREE) != 0,
                       int((h.control >> VM_REGION_SHIFT) & VM_REGION_MASK), h.owner});
        b += size;
    }
    return out;
}

class VmTest : public ::testing::Test
{
  protected:
    void TearDown() override { VM_Shutdown(); }

    // A region that holds exactly `blocks` blocks of `data` bytes each.
    uint8_t* Region(int blocks, uint32_t data)
    {
        return RegionOfSize(blocks * (data + VM_HEADER_SIZE) + VM_HEADER_SIZE);
    }
    uint8_t* RegionOfSize(uint32_t size)
    {
        areas.emplace_back(size, 0xEE);
        EXPECT_GT(VM_InitMemory(areas.back().data(), size), 0);
        return areas.back().data();
    }

    std::vector<std::vector<uint8_t>> areas;
};

TEST_F(VmTest, BlocksAreRoundedToFourBytesPlusHeaderAndSplitOnlyWithTwentyLeft)
{
    // 1 byte takes 4 data bytes and the header.
    uint8_t* r = RegionOfSize(1024);
    void* p = VM_Malloc(1, nullptr, false);
    EXPECT_EQ(p, r + VM_HEADER_SIZE);
    EXPECT_EQ(SizeOf(p), 20u);
    std::vector<Block> b = Blocks(r);
    ASSERT_EQ(b.size(), 2u);
    EXPECT_TRUE(b[1].free);
    EXPECT_EQ(b[1].size, 1024 - 16 - 20u);
    VM_Shutdown();

    // A remainder of 19 bytes stays with the block handed out...
    r = RegionOfSize(16 + 116 + 19);
    p = VM_Malloc(100, nullptr, false);
    EXPECT_EQ(SizeOf(p), 116u + 19u);
    EXPECT_EQ(Blocks(r).size(), 1u);
    VM_Shutdown();

    // ...one of 20 becomes a free block of its own.
    r = RegionOfSize(16 + 116 + 20);
    p = VM_Malloc(100, nullptr, false);
    EXPECT_EQ(SizeOf(p), 116u);
    b = Blocks(r);
    ASSERT_EQ(b.size(), 2u);
    EXPECT_TRUE(b[1].free);
    EXPECT_EQ(b[1].size, 20u);
    EXPECT_EQ(b[1].region, 0);
}

TEST_F(VmTest, WithoutOneBlockLargeEnoughStampsUpToTwoAboveTheOldestGo)
{
    // Five blocks of 100 bytes, stamped by hand. A request for 200 needs two neighbours.
    // The pass lowers every stamp by one (9, 11, 99, 10, 10), the oldest is 9, so every
    // block stamped 11 or less goes: the first two do, run together, and suffice; the
    // last two, though old enough, are never reached.
    uint8_t* r = Region(5, 100);
    VM_OWNER o[5]{};
    for (VM_OWNER& owner : o)
        ASSERT_NE(VM_Malloc(100, &owner, false), nullptr);
    const uint32_t stamps[5] = {10, 12, 100, 11, 11};
    for (int i = 0; i < 5; i++)
        o[i].age = stamps[i];
    VM_OWNER fresh{};
    EXPECT_EQ(VM_Malloc(200, &fresh, true), r + VM_HEADER_SIZE);
    EXPECT_EQ(o[0].obj, nullptr);
    EXPECT_EQ(o[1].obj, nullptr);
    for (int i = 2; i < 5; i++)
        EXPECT_NE(o[i].obj, nullptr) << "block " << i;
    EXPECT_EQ(o[2].age, 99u);
    EXPECT_EQ(o[3].age, 10u);
}

TEST_F(VmTest, OwnerIsFilledInAndStampedFromTheClock)
{
    Region(4, 100);
    VM_OWNER a{}, b{};
    void* pa = VM_Malloc(100, &a, false);
    void* pb = VM_Malloc(100, &b, false);
    EXPECT_EQ(a.obj, pa);
    EXPECT_EQ(b.obj, pb);
    EXPECT_GT(b.age, a.age);
    EXPECT_EQ(HeaderOf(pa).owner, &a);

    VM_Touch(&a);
    EXPECT_GT(a.age, b.age);
    VM_Touch(nullptr); // ignored
}

TEST_F(VmTest, FullCacheWithoutDiscardingGivesNullAndChangesNothing)
{
    uint8_t* r = Region(3, 100);
    VM_OWNER owners[3]{};
    for (VM_OWNER& o : owners)
        ASSERT_NE(VM_Malloc(100, &o, false), nullptr);
    std::vector<uint8_t> before = areas[0];
    std::vector<uint32_t> ages;
    for (VM_OWNER& o : owners)
        ages.push_back(o.age);

    // Owned blocks exist, but discarding is not allowed.
    EXPECT_EQ(VM_Malloc(4, nullptr, false), nullptr);
    EXPECT_EQ(areas[0], before);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(owners[i].obj, r + i * 116 + 16);
        EXPECT_EQ(owners[i].age, ages[size_t(i)]);
    }
    VM_Shutdown();

    // Discarding allowed, but every block is pinned.
    Region(3, 100);
    for (int i = 0; i < 3; i++)
        ASSERT_NE(VM_Malloc(100, nullptr, true), nullptr);
    before = areas[1];
    EXPECT_EQ(VM_Malloc(4, nullptr, true), nullptr);
    EXPECT_EQ(areas[1], before);
}

TEST_F(VmTest, DiscardTakesTheOldestLargeEnoughBlockThenTheSmaller)
{
    Region(3, 100);
    VM_OWNER a{}, b{}, c{};
    void* pa = VM_Malloc(100, &a, false);
    void* pb = VM_Malloc(100, &b, false);
    VM_Malloc(100, &c, false);
    VM_Touch(&a); // b is now the oldest

    VM_OWNER d{};
    void* pd = VM_Malloc(100, &d, true);
    EXPECT_EQ(pd, pb);
    EXPECT_EQ(b.obj, nullptr);
    EXPECT_EQ(a.obj, pa);
    EXPECT_NE(c.obj, nullptr);
    EXPECT_EQ(d.obj, pd);
    EXPECT_GT(d.age, a.age); // the newcomer is the most recent
    VM_Shutdown();

    // Equal stamps: the smaller of the blocks that are large enough goes.
    uint8_t* r = RegionOfSize(16 + 216 + 116 + 56);
    VM_OWNER big{}, small{}, tiny{};
    VM_Malloc(200, &big, false);
    void* psmall = VM_Malloc(100, &small, false);
    VM_Malloc(40, &tiny, false);
    ASSERT_FALSE(Blocks(r).back().free);
    big.age = small.age = 5;
    tiny.age = 1; // oldest, but too small to be taken on its own
    EXPECT_EQ(VM_Malloc(60, nullptr, true), psmall);
    EXPECT_EQ(small.obj, nullptr);
    EXPECT_NE(big.obj, nullptr);
    EXPECT_NE(tiny.obj, nullptr);
}

TEST_F(VmTest, DiscardFreesTheOldestNeighboursTogetherWhenNoBlockIsLargeEnough)
{
    uint8_t* r = Region(4, 100);
    VM_OWNER a{}, b{}, c{}, d{};
    void* pa = VM_Malloc(100, &a, false);
    VM_Malloc(100, &b, false);
    VM_Malloc(100, &c, false);
    void* pd = VM_Malloc(100, &d, false);
    a.age = 10;
    b.age = 11;
    c.age = 40;
    d.age = 41;

    // 200 bytes need two neighbours; a and b are within two of the oldest.
    void* p = VM_Malloc(200, nullptr, true);
    EXPECT_EQ(p, pa);
    EXPECT_EQ(a.obj, nullptr);
    EXPECT_EQ(b.obj, nullptr);
    EXPECT_NE(c.obj, nullptr);
    EXPECT_EQ(d.obj, pd);
    EXPECT_EQ(SizeOf(p), 232u);
    EXPECT_EQ(Blocks(r).size(), 3u);
}

TEST_F(VmTest, FreedNeighboursMergeIntoOneRun)
{
    Region(3, 100);
    void* pa = VM_Malloc(100, nullptr, false);
    void* pb = VM_Malloc(100, nullptr, false);
    VM_Malloc(100, nullptr, false);
    VM_Free(pa);
    VM_Free(pb);
    VM_Free(pb);      // already free: ignored
    VM_Free(nullptr); // ignored
    void* p = VM_Malloc(216, nullptr, false);
    EXPECT_EQ(p, pa);
}

TEST_F(VmTest, RunMergedOverTheRoverIsNeverHandedOutTwice)
{
    // Free p, then its neighbour q (the search now starts at q), then ask for more than
    // there is. The failed search merges p with q; the next allocations must not hand
    // out q's old header while p's merged header still claims the same bytes.
    uint8_t* r = Region(3, 100);
    void* pp = VM_Malloc(100, nullptr, false);
    void* pq = VM_Malloc(100, nullptr, false);
    VM_Malloc(100, nullptr, false);
    VM_Free(pp);
    VM_Free(pq);
    EXPECT_EQ(VM_Malloc(1000, nullptr, false), nullptr);

    uint8_t* x = static_cast<uint8_t*>(VM_Malloc(100, nullptr, false));
    uint8_t* y = static_cast<uint8_t*>(VM_Malloc(100, nullptr, false));
    ASSERT_NE(x, nullptr);
    ASSERT_NE(y, nullptr);
    EXPECT_TRUE(x + 100 <= y || y + 100 <= x) << "two allocations share memory";
    EXPECT_EQ(VM_Malloc(4, nullptr, false), nullptr); // the region really is full
    uint32_t total = 0;
    for (const Block& b : Blocks(r))
        total += b.size;
    EXPECT_EQ(total, 3 * 116u);
}

TEST_F(VmTest, PinnedBlocksSurviveUntilUnlocked)
{
    Region(2, 100);
    VM_OWNER a{}, b{};
    void* pa = VM_Malloc(100, &a, false);
    VM_Malloc(100, &b, false);
    b.age = a.age + 100;
    VM_Lock(pa);
    EXPECT_EQ(HeaderOf(pa).owner, nullptr);

    // a is the oldest, but pinned: b goes instead.
    EXPECT_NE(VM_Malloc(100, nullptr, true), nullptr);
    EXPECT_EQ(a.obj, pa);
    EXPECT_EQ(b.obj, nullptr);
    EXPECT_EQ(VM_Malloc(100, nullptr, true), nullptr);
    EXPECT_EQ(a.obj, pa);

    VM_Unlock(pa, &a);
    EXPECT_EQ(HeaderOf(pa).owner, &a);
    EXPECT_NE(VM_Malloc(100, nullptr, true), nullptr);
    EXPECT_EQ(a.obj, nullptr);

    // The newcomer took a's place. Once it is freed, lock and unlock leave it alone.
    VM_Free(pa);
    VM_Lock(pa);
    VM_Unlock(pa, &a);
    VM_Unlock(nullptr, &a);
    EXPECT_TRUE(HeaderOf(pa).control & VM_FREE);
    EXPECT_EQ(a.obj, nullptr);
}

TEST_F(VmTest, RegionsFormOneRingAndOversizedRequestsAreRefused)
{
    uint8_t* r0 = Region(1, 100);
    uint8_t* r1 = Region(1, 100);
    void* p0 = VM_Malloc(100, nullptr, false);
    void* p1 = VM_Malloc(100, nullptr, false);
    EXPECT_EQ(p0, r0 + 16);
    EXPECT_EQ(p1, r1 + 16);
    EXPECT_EQ(Blocks(r1)[0].region, 1);
    EXPECT_EQ(VM_Malloc(4, nullptr, false), nullptr);
    VM_Free(p0);
    EXPECT_EQ(VM_Malloc(100, nullptr, false), p0);

    EXPECT_EQ(VM_Malloc(16u << 20, nullptr, true), nullptr);
    EXPECT_EQ(VM_Malloc(UINT32_MAX, nullptr, true), nullptr);
}

TEST_F(VmTest, AreasTheControlWordCannotDescribeAreRefused)
{
    EXPECT_EQ(VM_Malloc(4, nullptr, true), nullptr); // no region yet
    static uint8_t small[64];
    EXPECT_EQ(VM_InitMemory(nullptr, 1024), 0);
    EXPECT_EQ(VM_InitMemory(small, 31), 0);
    EXPECT_EQ(VM_InitMemory(small, 16u << 20), 0); // would need a 16 MiB block
    for (int i = 0; i < VM_MAX_REGIONS; i++)
        areas.emplace_back(64);
    for (int i = 0; i < VM_MAX_REGIONS; i++)
        EXPECT_EQ(VM_InitMemory(areas[size_t(i)].data(), 64), i + 1);
    EXPECT_EQ(VM_InitMemory(small, 64), VM_MAX_REGIONS);
    // Every region is usable and the ring runs through all of them.
    int got = 0;
    while (VM_Malloc(4, nullptr, false))
        got++;
    EXPECT_EQ(got, VM_MAX_REGIONS * 2);
}

// Random allocations, frees, locks and touches over two regions. After every step the
// regions must still be tiled exactly by their blocks, every live allocation must still
// hold the bytes written into it, and owners must agree with their blocks.
TEST_F(VmTest, RandomUseKeepsTheRingConsistent)
{
    uint8_t* regions[2] = {RegionOfSize(6000), RegionOfSize(3000)};
    struct Live {
        uint8_t* p = nullptr;
        uint32_t n = 0;
        uint8_t fill = 0;
        bool pinned = false;
    };
    constexpr int kSlots = 40;
    std::vector<Live> live(kSlots);
    std::vector<VM_OWNER> owners(kSlots);
    std::mt19937 rng(12345);

    for (int step = 0; step < 5000; step++) {
        int i = int(rng() % kSlots);
        Live& l = live[size_t(i)];
        VM_OWNER& o = owners[size_t(i)];
        if (l.p && !l.pinned && !o.obj) l = {}; // taken back by the cache
        int op = int(rng() % 6);
        if (!l.p && op < 3) {
            uint32_t n = 1 + rng() % 700;
            bool pin = rng() % 4 == 0;
            uint8_t* p = static_cast<uint8_t*>(VM_Malloc(n, pin ? nullptr : &o, rng() % 3 != 0));
            if (p) {
                l = {p, n, uint8_t(rng()), pin};
                memset(p, l.fill, n);
            }
        } else if (l.p && op == 3) {
            VM_Free(l.p);
            if (!l.pinned) {
                EXPECT_EQ(o.obj, nullptr);
            }
            o.obj = nullptr; // a pinned block has no owner to tell
            l = {};
        } else if (l.p && op == 4) {
            if (l.pinned) {
                VM_Unlock(l.p, &o);
                EXPECT_EQ(o.obj, l.p);
            } else {
                VM_Lock(l.p);
            }
            l.pinned = !l.pinned;
        } else if (l.p && !l.pinned) {
            VM_Touch(&o);
        }

        for (int k = 0; k < kSlots; k++) {
            Live& c = live[size_t(k)];
            if (!c.p || (!c.pinned && !owners[size_t(k)].obj)) continue;
            MCBL h = HeaderOf(c.p);
            ASSERT_FALSE(h.control & VM_FREE) << "step " << step;
            ASSERT_EQ(h.owner, c.pinned ? nullptr : &owners[size_t(k)]) << "step " << step;
            ASSERT_GE((h.control & VM_SIZE_MASK) - VM_HEADER_SIZE, c.n);
            ASSERT_TRUE(std::all_of(c.p, c.p + c.n, [&](uint8_t v) { return v == c.fill; }))
                << "step " << step << ": allocation " << k << " was overwritten";
        }
        for (int r = 0; r < 2; r++) {
            uint32_t total = 0;
            for (const Block& b : Blocks(regions[r])) {
                ASSERT_EQ(b.region, r);
                total += b.size;
            }
            ASSERT_EQ(total, areas[size_t(r)].size() - VM_HEADER_SIZE) << "step " << step;
        }
    }
}

} // namespace
