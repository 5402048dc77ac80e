// Resource archives: finding archives and labels, loading in both phases, locks, the
// scrambler, whole files, and archives damaged in every way a reader could trip over.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "res/glbapi.h"
#include "res/glbwrite.h"
#include "testutil/testutil.h"

namespace fs = std::filesystem;

namespace
{

std::vector<uint8_t> Pattern(size_t n, uint8_t seed)
{
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; i++)
        v[i] = static_cast<uint8_t>(seed + i * 7 + (i >> 8));
    return v;
}

// One directory entry as stored, before scrambling; for archives the writer would refuse.
struct RawEntry {
    uint32_t flags = 0, offset = 0, length = 0;
    char label[16] = {};
};

void PutLong(std::vector<uint8_t>& out, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        out[at + size_t(i)] = static_cast<uint8_t>(v >> (8 * i));
}

std::vector<uint8_t> RawArchive(int32_t count, const std::vector<RawEntry>& entries,
                                size_t data_bytes = 0)
{
    std::vector<uint8_t> out(28 + 28 * entries.size() + data_bytes, 0);
    PutLong(out, 4, static_cast<uint32_t>(count));
    GLB_EnCrypt(GLB_ARCHIVE_KEY, out.data(), 28);
    for (size_t i = 0; i < entries.size(); i++) {
        size_t at = 28 + 28 * i;
        PutLong(out, at, entries[i].flags);
        PutLong(out, at + 4, entries[i].offset);
        PutLong(out, at + 8, entries[i].length);
        memcpy(&out[at + 12], entries[i].label, 16);
        GLB_EnCrypt(GLB_ARCHIVE_KEY, &out[at], 28);
    }
    return out;
}

class GlbTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        data = home.dir() + "/data/";
        work = home.dir() + "/work/";
        fs::create_directories(data);
        fs::create_directories(work);
        old_cwd = fs::current_path();
        fs::current_path(work);
    }
    void TearDown() override
    {
        GLB_Shutdown();
        VM_Shutdown();
        fs::current_path(old_cwd);
    }

    // Opens the archives of the data folder the way start-up does.
    int Open(int n = 6) { return GLB_InitSystem((data + "vultar").c_str(), n, nullptr); }

    // Switches to the cache with a region of the given size.
    void UseCache(uint32_t size)
    {
        GLB_FreeAll();
        pool.assign(size, 0);
        ASSERT_EQ(VM_InitMemory(pool.data(), size), 1);
        GLB_UseVM();
    }

    std::vector<uint8_t> Read(int id)
    {
        std::vector<uint8_t> out(size_t(GLB_ItemSize(id)));
        GLB_ReadItem(id, out.data());
        return out;
    }

    static std::vector<uint8_t> Bytes(const uint8_t* p, int n)
    {
        return std::vector<uint8_t>(p, p + n);
    }

    vt::TempHome home;
    std::string data, work;
    fs::path old_cwd;
    std::vector<uint8_t> pool;
};

TEST_F(GlbTest, ScramblerRoundTripsAtAnyLengthAndMatchesKnownBytes)
{
    for (const char* key : {"51207KQX", "K", "abc", "GANTRY"}) {
        for (int len : {0, 1, 2, 5, 7, 8, 9, 13, 255, 1001}) {
            std::vector<uint8_t> plain = Pattern(size_t(len), uint8_t(len));
            std::vector<uint8_t> buf = plain;
            GLB_EnCrypt(key, buf.data(), len);
            if (len > 2) {
                EXPECT_NE(buf, plain) << key << " " << len;
            }
            GLB_DeCrypt(key, buf.data(), len);
            EXPECT_EQ(buf, plain) << key << " " << len;
        }
    }
    // Worked by hand: the key "51207KQX" is 35 31 32 30 37 4B 51 58. The chain starts at
    // its second byte ('1', also the first "previous" byte) and wraps from 'X' straight to
    // '5', never using the terminator; each stored byte is plain + key byte + the byte
    // stored before it. For zeros: 31+31=62, 32+62=94, 30+94=C4, 37+C4=FB, 4B+FB=46,
    // 51+46=97, 58+97=EF, then 35+EF=24, 31+24=55, 32+55=87.
    const std::vector<uint8_t> stored = {0x62, 0x94, 0xC4, 0xFB, 0x46,
                                         0x97, 0xEF, 0x24, 0x55, 0x87};
    std::vector<uint8_t> buf(stored.size(), 0);
    GLB_EnCrypt(GLB_ARCHIVE_KEY, buf.data(), int(buf.size()));
    EXPECT_EQ(buf, stored);
    GLB_DeCrypt(GLB_ARCHIVE_KEY, buf.data(), int(buf.size()));
    EXPECT_EQ(buf, std::vector<uint8_t>(stored.size(), 0));
}

TEST_F(GlbTest, LabelLookupRules)
{
    vt::WriteArchive(data + "FILE0000.GLB", {{"Mixed", Pattern(10, 1)},
                                             {" LEAD", Pattern(10, 2)},
                                             {"", Pattern(10, 3)},
                                             {"FIFTEEN_CHARS_X", Pattern(10, 4)}});
    vt::WriteArchive(data + "FILE0001.GLB", {{"ONE", {}}, {"SHARED", Pattern(4, 5)}});
    vt::WriteArchive(data + "FILE0003.GLB", {{"SHARED", Pattern(4, 6)}, {"THREE", {}}});
    EXPECT_EQ(Open(), 3);

    EXPECT_EQ(GLB_GetItemID("Mixed"), 0);
    EXPECT_EQ(GLB_GetItemID("mixed"), -1);
    EXPECT_EQ(GLB_GetItemID("MIXED"), -1);
    EXPECT_EQ(GLB_GetItemID("Mix"), -1);
    EXPECT_EQ(GLB_GetItemID(""), -1);
    EXPECT_EQ(GLB_GetItemID(" LEAD"), -1); // stored, but a leading blank is never looked up
    EXPECT_EQ(GLB_GetItemID(nullptr), -1);
    EXPECT_EQ(GLB_GetItemID("FIFTEEN_CHARS_X"), 3);
    EXPECT_EQ(GLB_GetItemID("FIFTEEN_CHARS_XY"), -1);
    EXPECT_EQ(GLB_GetItemID("SHARED"), 0x10001); // the lowest archive wins
    EXPECT_EQ(GLB_GetItemID("THREE"), 0x30001);
    EXPECT_EQ(GLB_GetItemID("NOWHERE"), -1);
}

TEST_F(GlbTest, ArchivesAreFoundLowerCaseFirstThenInTheBaseFolder)
{
    // Both spellings in the working directory: the lower-case one is used.
    vt::WriteArchive(work + "file0000.glb", {{"LOWER", {}}});
    vt::WriteArchive(work + "FILE0000.GLB", {{"UPPER", {}}});
    // Working directory before the base folder.
    vt::WriteArchive(work + "FILE0001.GLB", {{"HERE", {}}});
    vt::WriteArchive(data + "FILE0001.GLB", {{"THERE", {}}});
    // Only in the base folder, lower case.
    vt::WriteArchive(data + "file0002.glb", {{"BASE", {}}});
    // A count of 0 keeps the archive out of the count and its slot empty.
    vt::WriteFileBytes(data + "FILE0003.GLB", RawArchive(0, {}));
    // A prefix is upper-cased and used for the upper-case names only.
    vt::WriteArchive(data + "DATA0004.GLB", {{"PREFIXED", {}}});

    EXPECT_EQ(Open(6), 3);
    EXPECT_NE(GLB_GetItemID("LOWER"), -1);
    EXPECT_EQ(GLB_GetItemID("UPPER"), -1);
    EXPECT_EQ(GLB_GetItemID("HERE"), 0x10000);
    EXPECT_EQ(GLB_GetItemID("THERE"), -1);
    EXPECT_EQ(GLB_GetItemID("BASE"), 0x20000);
    EXPECT_EQ(GLB_ItemSize(0x30000), 0);
    EXPECT_EQ(GLB_GetItemID("PREFIXED"), -1);

    // With another prefix the lower-case names still start with "file".
    GLB_Shutdown();
    EXPECT_EQ(GLB_InitSystem((data + "ignored-name").c_str(), 6, "data"), 3);
    EXPECT_EQ(GLB_GetItemID("LOWER"), 0);
    EXPECT_EQ(GLB_GetItemID("HERE"), -1);
    EXPECT_EQ(GLB_GetItemID("BASE"), 0x20000);
    EXPECT_EQ(GLB_GetItemID("PREFIXED"), 0x40000);
}

// An installed game keeps its archives in a shared folder; the working directory and the
// per-user folder still come first, so a player's own archives replace the installed ones.
TEST_F(GlbTest, TheSharedFolderIsSearchedLast)
{
    std::string share = home.dir() + "/share/vultar/";
    fs::create_directories(share);
    for (int n = 0; n < 3; n++)
        vt::WriteArchive(share + "FILE000" + std::to_string(n) + ".GLB",
                         {{"SHARED" + std::to_string(n), {}}});
    vt::WriteArchive(work + "FILE0001.GLB", {{"HERE", {}}});
    vt::WriteArchive(data + "file0002.glb", {{"BASE", {}}});

    GLB_SetSharePath(share.c_str());
    EXPECT_EQ(Open(6), 3);
    EXPECT_EQ(GLB_GetItemID("SHARED0"), 0);
    EXPECT_EQ(GLB_GetItemID("HERE"), 0x10000);
    EXPECT_EQ(GLB_GetItemID("SHARED1"), -1);
    EXPECT_EQ(GLB_GetItemID("BASE"), 0x20000);
    EXPECT_EQ(GLB_GetItemID("SHARED2"), -1);

    // Without the shared folder only what the other two places hold opens.
    GLB_Shutdown();
    EXPECT_EQ(Open(6), 2);
    EXPECT_EQ(GLB_GetItemID("SHARED0"), -1);
}

TEST_F(GlbTest, LabelEntriesAndIdsOutsideTheDirectory)
{
    vt::WriteArchive(data + "FILE0000.GLB", {{"MARK", {}}, {"DATA", Pattern(5, 9)}});
    Open(2);
    const int mark = 0, bad_index = 2, empty_slot = 0x10000, beyond_slots = 0x70000;

    EXPECT_TRUE(GLB_IsLabel(mark));
    EXPECT_EQ(GLB_ItemSize(mark), 0);
    EXPECT_EQ(GLB_CacheItem(mark), nullptr);
    EXPECT_FALSE(GLB_IsLabel(1));
    EXPECT_EQ(GLB_ItemSize(1), 5);
    EXPECT_EQ(GLB_Load(nullptr, 0, 1), 5);

    for (int id : {-1, bad_index, empty_slot, beyond_slots}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(GLB_ItemSize(id), 0);
        EXPECT_FALSE(GLB_IsLabel(id));
        uint8_t buf[4] = {1, 2, 3, 4};
        GLB_ReadItem(id, buf);
        EXPECT_EQ(buf[0], 1);
        GLB_UnlockItem(id);
        if (id == -1)
            GLB_FreeItem(id);
        else
            EXPECT_EXIT(GLB_FreeItem(id), ::testing::ExitedWithCode(0), "");
        EXPECT_EXIT(GLB_GetItem(id), ::testing::ExitedWithCode(0), "");
        EXPECT_EXIT(GLB_CacheItem(id), ::testing::ExitedWithCode(0), "");
        EXPECT_EXIT(GLB_LockItem(id), ::testing::ExitedWithCode(0), "");
    }
    EXPECT_EXIT(GLB_GetItem(mark), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(GLB_LockItem(mark), ::testing::ExitedWithCode(0), "");
    GLB_ReadItem(1, nullptr);
}

TEST_F(GlbTest, ItemsLoadPlainAndScrambledFromFileAndMemory)
{
    std::vector<uint8_t> a = Pattern(300, 1), b = Pattern(77, 2);
    vt::WriteArchive(data + "FILE0000.GLB", {{"A", a}, {"B", b, true}});
    Open(1);
    EXPECT_EQ(Read(0), a);
    EXPECT_EQ(Read(1), b);
    uint8_t* pb = GLB_GetItem(1);
    EXPECT_EQ(Bytes(pb, 77), b);
    EXPECT_EQ(GLB_GetItem(1), pb); // already in memory
    pb[0] ^= 0xFF;                 // ReadItem copies what is in memory
    EXPECT_EQ(Read(1)[0], b[0] ^ 0xFF);
    GLB_FreeItem(1);
    EXPECT_EQ(Read(1), b); // and after freeing, the file again
    std::vector<uint8_t> buf(77);
    EXPECT_EQ(GLB_Load(buf.data(), 0, 1), 77);
    EXPECT_EQ(buf, b);
}

TEST_F(GlbTest, LocksNestAndFreeAllKeepsLockedItems)
{
    vt::WriteArchive(data + "FILE0000.GLB",
                     {{"A", Pattern(100, 1)}, {"B", Pattern(100, 2)}, {"C", Pattern(100, 3)}});
    Open(1);
    // Heap phase: FreeAll leaves locked items, FreeItem takes them regardless.
    uint8_t* a = GLB_LockItem(0);
    GLB_GetItem(1);
    GLB_FreeAll();
    EXPECT_EQ(GLB_CacheItem(0), a);
    GLB_FreeItem(0);
    GLB_UnlockItem(0);

    // Cache phase with room for two of the three items at a time.
    UseCache(2 * 116 + 16);
    a = GLB_LockItem(0);
    EXPECT_EQ(GLB_LockItem(0), a);
    GLB_UnlockItem(0); // one lock is still held
    EXPECT_EQ(Bytes(GLB_GetItem(1), 100), Pattern(100, 2));
    EXPECT_EQ(Bytes(GLB_GetItem(2), 100), Pattern(100, 3)); // B has to go, A stays
    EXPECT_EQ(GLB_CacheItem(0), a);
    EXPECT_EQ(GLB_CacheItem(1), nullptr); // full, and caching never discards
    GLB_FreeAll();
    EXPECT_EQ(GLB_CacheItem(0), a);

    GLB_UnlockItem(0); // the last lock: A may go now
    GLB_GetItem(1);
    EXPECT_EQ(Bytes(GLB_GetItem(2), 100), Pattern(100, 3));
    EXPECT_EQ(GLB_CacheItem(1), GLB_GetItem(1));
    EXPECT_EQ(Bytes(GLB_GetItem(0), 100), Pattern(100, 1)); // read back in

    // FreeItem releases a locked item too.
    a = GLB_LockItem(0);
    GLB_FreeItem(0);
    GLB_FreeAll();
    EXPECT_NE(GLB_CacheItem(1), nullptr);
    EXPECT_NE(GLB_CacheItem(2), nullptr);
}

TEST_F(GlbTest, CachePhaseDiscardsLeastRecentlyUsedAndReloads)
{
    std::vector<std::vector<uint8_t>> items;
    std::vector<GLB_WRITEITEM> w;
    for (int i = 0; i < 8; i++) {
        items.push_back(Pattern(1000, uint8_t(i)));
        w.push_back({"I" + std::to_string(i), items.back(), i % 2 == 1});
    }
    vt::WriteArchive(data + "FILE0000.GLB", w);
    Open(1);
    UseCache(3 * 1016 + 16);

    for (int round = 0; round < 3; round++)
        for (int i = 0; i < 8; i++)
            ASSERT_EQ(Bytes(GLB_GetItem(i), 1000), items[size_t(i)]) << round << " " << i;

    // Items 5, 6 and 7 are in memory, 7 the newest. Using 5 again leaves 6 the oldest,
    // so loading 0 pushes 6 out.
    GLB_GetItem(5);
    GLB_GetItem(0);
    EXPECT_NE(GLB_CacheItem(5), nullptr);
    EXPECT_NE(GLB_CacheItem(0), nullptr);
    EXPECT_NE(GLB_CacheItem(7), nullptr);
    EXPECT_EQ(GLB_CacheItem(6), nullptr);
}

TEST_F(GlbTest, ItemsLoadedBeforeTheCacheGoBackToTheHeap)
{
    // An item still locked when the cache takes over keeps its heap memory; locking,
    // unlocking and freeing it later must not hand that memory to the cache.
    vt::WriteArchive(data + "FILE0000.GLB", {{"A", Pattern(64, 1)}, {"B", Pattern(64, 2)}});
    Open(1);
    uint8_t* a = GLB_LockItem(0);
    UseCache(4096);
    EXPECT_EQ(GLB_LockItem(0), a);
    GLB_UnlockItem(0);
    GLB_UnlockItem(0);
    EXPECT_EQ(Bytes(GLB_GetItem(0), 64), Pattern(64, 1));
    GLB_FreeAll();
    EXPECT_EQ(Bytes(GLB_GetItem(0), 64), Pattern(64, 1)); // now from the cache
    EXPECT_EQ(Bytes(GLB_GetItem(1), 64), Pattern(64, 2));
}

TEST_F(GlbTest, StartUpItemSetLoadsIntoTheGamesPool)
{
    std::vector<GLB_WRITEITEM> a0(3), a1(0x13);
    a0[2] = {"", Pattern(4000, 1)};
    a1[0] = {"PALETTE", Pattern(768, 2)};
    for (int k = 5; k <= 0xF; k++)
        a1[size_t(k)] = {"", Pattern(40, uint8_t(k))};
    a1[0x12] = {"", Pattern(300, 3)};
    a1.push_back({"FLATSG1_ITM", Pattern(5000, 4), true});
    vt::WriteArchive(data + "FILE0000.GLB", a0);
    vt::WriteArchive(data + "FILE0001.GLB", a1);

    EXPECT_EQ(Open(6), 2);
    UseCache(4808688);
    uint8_t* palette = GLB_LockItem(0x10000);
    palette[0] = palette[1] = palette[2] = 0;
    EXPECT_EQ(Bytes(GLB_LockItem(0x10012), 300), Pattern(300, 3));
    int flat = GLB_GetItemID("FLATSG1_ITM");
    EXPECT_EQ(flat, 0x10013);
    EXPECT_EQ(Bytes(GLB_LockItem(flat), 5000), Pattern(5000, 4));
    for (int k = 0; k <= 10; k++)
        EXPECT_EQ(Bytes(GLB_LockItem(0x10005 + k), 40), Pattern(40, uint8_t(5 + k)));
    EXPECT_EQ(Bytes(GLB_GetItem(2), 4000), Pattern(4000, 1));
    GLB_FreeAll();
    EXPECT_EQ(GLB_LockItem(0x10000)[0], 0); // locked items kept their changes
}

TEST_F(GlbTest, DamagedDirectoriesAreCutAndDamagedEntriesUnusable)
{
    // 20 bytes of data: too few to be mistaken for a sixth directory entry.
    std::vector<uint8_t> good = Pattern(20, 7);
    RawEntry e0{0, 0, 20, "GOOD"};
    RawEntry past_end{0, 0, 21, "PASTEND"};
    RawEntry wraps{0, 0xFFFFFFF0u, 0x20, "WRAPS"};
    RawEntry huge{1, 0, 0x80000000u, "HUGE"};
    RawEntry unterminated{0, 0, 20, {}};
    memset(unterminated.label, 'X', 16);
    std::vector<RawEntry> entries = {e0, past_end, wraps, huge, unterminated};
    const uint32_t data_at = 28 + 28 * 5;
    for (RawEntry& e : entries)
        if (e.offset == 0) e.offset = data_at;
    std::vector<uint8_t> file = RawArchive(0x7FFFFFFF, entries, good.size());
    std::copy(good.begin(), good.end(), file.begin() + data_at);
    vt::WriteFileBytes(data + "FILE0000.GLB", file);

    EXPECT_EQ(Open(1), 1);
    EXPECT_EQ(Read(0), good);
    for (int id : {1, 2, 3}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(GLB_ItemSize(id), 0);
        EXPECT_EQ(GLB_CacheItem(id), nullptr);
        EXPECT_EXIT(GLB_GetItem(id), ::testing::ExitedWithCode(0), "");
    }
    EXPECT_EQ(GLB_GetItemID("PASTEND"), 1); // the label stays; the data is gone
    EXPECT_EQ(GLB_GetItemID("XXXXXXXXXXXXXXX"), -1);
    EXPECT_EQ(Read(4), good);      // a broken label does not spoil the data
    EXPECT_EQ(GLB_ItemSize(5), 0); // the count was cut to the five entries that fit
    EXPECT_EXIT(GLB_GetItem(5), ::testing::ExitedWithCode(0), "");
}

TEST_F(GlbTest, HeadersThatCannotBeUsed)
{
    // A negative count: the slot stays empty, nothing is allocated for it.
    vt::WriteFileBytes(data + "FILE0000.GLB", RawArchive(-5, {}));
    // A count whose first entry does not even fit.
    vt::WriteFileBytes(data + "FILE0001.GLB", RawArchive(3, {}));
    vt::WriteArchive(data + "FILE0002.GLB", {{"OK", {}}});
    EXPECT_EQ(Open(3), 1);
    EXPECT_EQ(GLB_ItemSize(0), 0);
    EXPECT_EQ(GLB_GetItemID("OK"), 0x20000);

    // Shorter than a header: the program ends, as it does for any unreadable header.
    GLB_Shutdown();
    vt::WriteFileBytes(data + "FILE0000.GLB", std::vector<uint8_t>(27, 0));
    EXPECT_EXIT(Open(1), ::testing::ExitedWithCode(0), "");
}

TEST_F(GlbTest, EntriesBeyondTheReachOfIdsAreLeftOut)
{
    // Index 65536 would spill into the slot bits and name an item of the next archive.
    std::vector<RawEntry> entries(GLB_MAX_ITEMS + 1);
    strcpy(entries.back().label, "UNREACHABLE");
    strcpy(entries[GLB_MAX_ITEMS - 1].label, "LASTREACHABLE");
    vt::WriteFileBytes(data + "FILE0000.GLB", RawArchive(int32_t(entries.size()), entries));
    vt::WriteArchive(data + "FILE0001.GLB", {{"NEXT", {}}});
    EXPECT_EQ(Open(2), 2);
    EXPECT_EQ(GLB_GetItemID("LASTREACHABLE"), 0xFFFF);
    EXPECT_EQ(GLB_GetItemID("UNREACHABLE"), -1);
    EXPECT_EQ(GLB_GetItemID("NEXT"), 0x10000);

    // The writer refuses to make such an archive in the first place.
    std::vector<GLB_WRITEITEM> many(GLB_MAX_ITEMS + 1);
    std::string err;
    EXPECT_FALSE(GLB_WriteArchive((data + "FILE0002.GLB").c_str(), many, &err));
    EXPECT_FALSE(fs::exists(data + "FILE0002.GLB"));
    EXPECT_NE(err.find("65536"), std::string::npos);
}

TEST_F(GlbTest, DataThatVanishesAfterOpeningIsNotHandedOut)
{
    // Larger than the stream's buffer, so the reads after the cut really reach the file.
    std::vector<uint8_t> a = Pattern(10000, 1), b = Pattern(20000, 2);
    vt::WriteArchive(data + "FILE0000.GLB", {{"A", a}, {"B", b, true}});
    Open(1);
    EXPECT_EQ(Read(0), a);
    ASSERT_EQ(truncate((data + "FILE0000.GLB").c_str(), 28 + 2 * 28 + 10000 + 5000), 0);

    EXPECT_EQ(Read(0), a);
    std::vector<uint8_t> buf(20000, 0xAA);
    EXPECT_EQ(GLB_Load(buf.data(), 0, 1), 0);
    EXPECT_EQ(buf, std::vector<uint8_t>(20000, 0)); // zeros, not half an item
    EXPECT_EQ(GLB_CacheItem(1), nullptr);
    EXPECT_EXIT(GLB_GetItem(1), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(GLB_LockItem(1), ::testing::ExitedWithCode(0), "");
}

TEST_F(GlbTest, WholeFilesAreReadFromHereOrTheBaseFolderAndWritten)
{
    vt::WriteArchive(data + "FILE0000.GLB", {{"X", {}}});
    Open(1);
    std::vector<uint8_t> demo = Pattern(1234, 3);
    EXPECT_EQ(GLB_SaveFile("demo.rec", demo.data(), int(demo.size())), 0);
    EXPECT_EQ(vt::ReadFileBytes(work + "demo.rec"), demo);
    EXPECT_EQ(GLB_ReadFile("demo.rec", nullptr), 1234);
    std::vector<uint8_t> buf(1234);
    EXPECT_EQ(GLB_ReadFile("demo.rec", buf.data()), 1234);
    EXPECT_EQ(buf, demo);
    // A buffer smaller than the file takes only what it holds.
    std::vector<uint8_t> small(100 + 8, 0xEE);
    EXPECT_EQ(GLB_ReadFile("demo.rec", small.data(), 100), 100);
    EXPECT_TRUE(std::equal(small.begin(), small.begin() + 100, demo.begin()));
    EXPECT_EQ(std::vector<uint8_t>(small.begin() + 100, small.end()),
              std::vector<uint8_t>(8, 0xEE));

    vt::WriteFileBytes(data + "only-there.rec", Pattern(10, 1));
    EXPECT_EQ(GLB_ReadFile("only-there.rec", nullptr), 10);

    EXPECT_EQ(GLB_SaveFile("empty.rec", nullptr, 0), 0);
    EXPECT_EQ(GLB_ReadFile("empty.rec", buf.data()), 0);

    EXPECT_EXIT(GLB_ReadFile("missing.rec", nullptr), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(GLB_SaveFile("no/such/dir.rec", demo.data(), 4), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(GLB_SaveFile("/dev/full", demo.data(), 4), ::testing::ExitedWithCode(0), "");
}

} // namespace
