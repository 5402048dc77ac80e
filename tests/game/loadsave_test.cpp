// Pilot files: the byte layout against an independent writer and reader of the format,
// damaged files refused whole, slots, and saves that survive being killed at any moment.
#include <algorithm>
#include <csignal>
#include <functional>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "game/game.h"
#include "game/loadsave.h"
#include "game/prefapi.h"
#include "game/vul.h"
#include "res/glbapi.h"
#include "testutil/testutil.h"
#include "world/objects.h"

namespace
{

// The scrambling rule stated plainly: each byte adds the key byte at its position
// (starting at key[25 mod 6] = 'A') and the previous output byte.
std::vector<uint8_t> Scramble(std::vector<uint8_t> b)
{
    const char key[] = "GANTRY";
    uint8_t prev = 'A';
    for (size_t i = 0; i < b.size(); i++) {
        b[i] = static_cast<uint8_t>(b[i] + key[(1 + i) % 6] + prev);
        prev = b[i];
    }
    return b;
}

std::vector<uint8_t> Unscramble(std::vector<uint8_t> b)
{
    const char key[] = "GANTRY";
    uint8_t prev = 'A';
    for (size_t i = 0; i < b.size(); i++) {
        uint8_t c = b[i];
        b[i] = static_cast<uint8_t>(c - key[(1 + i) % 6] - prev);
        prev = c;
    }
    return b;
}

void Put(std::vector<uint8_t>& b, size_t at, int32_t v)
{
    for (int i = 0; i < 4; i++)
        b[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
}

int32_t Get(const std::vector<uint8_t>& b, size_t at)
{
    uint32_t v = 0;
    for (int i = 0; i < 4; i++)
        v |= static_cast<uint32_t>(b[at + i]) << (8 * i);
    return static_cast<int32_t>(v);
}

// `a` followed by the bytes of `b` from `from` on. (Built by size rather than by insert,
// which GCC 12 at -O3 mistakes for an overflow.)
std::vector<uint8_t> Join(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b,
                          size_t from = 0)
{
    std::vector<uint8_t> out(a.size() + b.size() - from);
    std::copy(a.begin(), a.end(), out.begin());
    std::copy(b.begin() + static_cast<std::ptrdiff_t>(from), b.end(),
              out.begin() + static_cast<std::ptrdiff_t>(a.size()));
    return out;
}

struct Item {
    int type, num, inuse;
};

// A pilot file written to the format by hand: the 88-byte record and the 24-byte
// inventory records, each block scrambled as a chain of its own.
std::vector<uint8_t> MakeFile(const char* name, const char* callsign, int score,
                              const std::vector<Item>& items, int cur_game = 1)
{
    std::vector<uint8_t> rec(88, 0);
    memcpy(&rec[0], name, strlen(name));
    memcpy(&rec[20], callsign, strlen(callsign));
    Put(rec, 32, 2); // portrait
    Put(rec, 36, score);
    Put(rec, 40, 7); // special weapon
    Put(rec, 44, cur_game);
    Put(rec, 48, 3);
    Put(rec, 52, 5);
    Put(rec, 56, 0);
    Put(rec, 60, static_cast<int32_t>(items.size()));
    for (int i = 0; i < 4; i++)
        Put(rec, 64 + 4 * i, i); // training, easy, medium, hard
    Put(rec, 80, 1);
    Put(rec, 84, 1);
    std::vector<uint8_t> inv(24 * items.size(), 0);
    for (size_t i = 0; i < items.size(); i++) {
        Put(inv, 24 * i + 0, 0x11111111); // reserved words: whatever is there is ignored
        Put(inv, 24 * i + 8, items[i].num);
        Put(inv, 24 * i + 12, items[i].type);
        Put(inv, 24 * i + 20, items[i].inuse);
    }
    return Join(Scramble(rec), Scramble(inv));
}

const std::vector<Item> kKit = {{OBJ_GUN1, 1, 1}, {OBJ_SHIELD, 75, 1}, {7, 1, 1}, {11, 3, 1}};

class PilotFiles : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        VUL_InitLoadSave();
        OBJS_Init();
        VUL_ClearPlayer();
    }
    std::string Path(int slot) const
    {
        return home_.dataPath() + "CHAR000" + std::to_string(slot) + ".FIL";
    }
    vt::TempHome home_;
};

TEST(PilotScramble, KnownBytes)
{
    // Worked out by hand: 0 + 'A' + 'A' = 0x82, then 0 + 'N' + 0x82 = 0xd0, ...
    std::vector<uint8_t> zeros(8, 0);
    std::vector<uint8_t> want = {0x82, 0xd0, 0x24, 0x76, 0xcf, 0x16, 0x57, 0xa5};
    EXPECT_EQ(Scramble(zeros), want);
    std::vector<uint8_t> buf = zeros;
    GLB_EnCrypt("GANTRY", buf.data(), 8);
    EXPECT_EQ(buf, want);
    GLB_DeCrypt("GANTRY", buf.data(), 8);
    EXPECT_EQ(buf, zeros);
}

TEST_F(PilotFiles, SavedBytesFollowTheFormat)
{
    ASSERT_EQ(VUL_FFSaveFile(), 1);
    EXPECT_EQ(filepos, 0);
    strcpy(plr.name, "MIRA KOVAC");
    strcpy(plr.callsign, "HAWK");
    plr.id_pic = 3;
    plr.score = 123456;
    plr.diff[1] = 3;
    cur_game = 1;
    game_wave[0] = 8;
    game_wave[1] = 4;
    game_wave[3] = 6; // the fourth episode's wave is not kept
    OBJS_Add(OBJ_GUN1);
    OBJS_Add(OBJ_SHIELD);
    OBJS_Add(OBJ_MEGABOMB);
    ASSERT_EQ(VUL_SavePlayer(), 1);

    std::vector<uint8_t> file = vt::ReadFileBytes(Path(0));
    ASSERT_EQ(file.size(), 88u + 3 * 24);
    std::vector<uint8_t> rec = Unscramble({file.begin(), file.begin() + 88});
    std::vector<uint8_t> inv = Unscramble({file.begin() + 88, file.end()});
    EXPECT_STREQ(reinterpret_cast<const char*>(&rec[0]), "MIRA KOVAC");
    EXPECT_STREQ(reinterpret_cast<const char*>(&rec[20]), "HAWK");
    EXPECT_EQ(Get(rec, 32), 3);
    EXPECT_EQ(Get(rec, 36), 123456);
    EXPECT_EQ(Get(rec, 44), 1);
    EXPECT_EQ(Get(rec, 48), 8);
    EXPECT_EQ(Get(rec, 52), 4);
    EXPECT_EQ(Get(rec, 60), 3);
    EXPECT_EQ(Get(rec, 68), 3);
    EXPECT_EQ(Get(inv, 12), OBJ_GUN1);
    EXPECT_EQ(Get(inv, 24 + 8), OBJS_GetAmt(OBJ_SHIELD));
    EXPECT_EQ(Get(inv, 24 + 12), OBJ_SHIELD);
    EXPECT_EQ(Get(inv, 24 + 20), 1);
    EXPECT_EQ(Get(inv, 48 + 12), OBJ_MEGABOMB);

    // The inventory starts a chain of its own: scrambled on from the record it would differ.
    std::vector<uint8_t> whole = Join(rec, inv);
    EXPECT_FALSE(std::equal(file.begin() + 88, file.end(), Scramble(whole).begin() + 88));
}

TEST_F(PilotFiles, EmptyInventoryIsExactlyTheRecord)
{
    uint8_t buf[PLR_MAXFILE];
    EXPECT_EQ(VUL_EncodePilot(buf, sizeof(buf)), 88);
}

TEST_F(PilotFiles, LoadsAFileWrittenToTheFormat)
{
    vt::WriteFileBytes(Path(4), MakeFile("ODA", "NINE", 777, kKit));
    game_wave[3] = 5;
    filepos = 4;
    ASSERT_EQ(VUL_LoadPlayer(), 1);
    EXPECT_STREQ(plr.name, "ODA");
    EXPECT_STREQ(plr.callsign, "NINE");
    EXPECT_EQ(plr.score, 777);
    EXPECT_EQ(cur_game, 1);
    EXPECT_EQ(game_wave[0], 3);
    EXPECT_EQ(game_wave[1], 5);
    EXPECT_EQ(game_wave[3], 5) << "the fourth episode's wave is left as it was";
    EXPECT_EQ(OBJS_GetAmt(OBJ_SHIELD), 75);
    EXPECT_EQ(OBJS_GetAmt(OBJ_MEGABOMB), 3);
    EXPECT_EQ(plr.sweapon, 7);
    EXPECT_EQ(curplr_diff, 1);
    EXPECT_EQ(cur_diff, 8);
    EXPECT_EQ(filepos, 4);

    // Saved again unchanged, the file comes back as it was, but for the reserved words.
    ASSERT_EQ(VUL_SavePlayer(), 1);
    std::vector<uint8_t> orig = MakeFile("ODA", "NINE", 777, kKit);
    std::vector<uint8_t> again = vt::ReadFileBytes(Path(4));
    ASSERT_EQ(again.size(), orig.size());
    EXPECT_TRUE(std::equal(orig.begin(), orig.begin() + 88, again.begin()));
    std::vector<uint8_t> inv0 = Unscramble({orig.begin() + 88, orig.end()});
    std::vector<uint8_t> inv1 = Unscramble({again.begin() + 88, again.end()});
    for (size_t r = 0; r < kKit.size(); r++) {
        for (size_t word : {8, 12, 20}) {
            EXPECT_EQ(Get(inv1, 24 * r + word), Get(inv0, 24 * r + word)) << r << " " << word;
        }
    }
}

TEST_F(PilotFiles, DamagedFilesAreRefusedWhole)
{
    std::vector<uint8_t> good = MakeFile("ODA", "NINE", 777, kKit);
    auto with = [&](size_t at, int32_t v) {
        std::vector<uint8_t> rec = Unscramble({good.begin(), good.begin() + 88});
        Put(rec, at, v);
        return Join(Scramble(rec), good, 88);
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"empty", {}},
        {"short of a record", {good.begin(), good.begin() + 87}},
        {"one inventory record missing", {good.begin(), good.end() - 24}},
        {"a byte too many",
         [&] {
             auto f = good;
             f.push_back(0);
             return f;
         }()},
        {"negative count", with(60, -1)},
        {"count past the pool", with(60, 21)},
        {"portrait out of range", with(32, 4)},
        {"negative portrait", with(32, -1)},
        {"episode 5", with(44, 4)},
        {"wave 10", with(52, 9)},
        {"negative wave", with(48, -1)},
        {"difficulty 4", with(72, 4)},
        {"item type 24", MakeFile("A", "B", 1, {{OBJ_SHIELD, 50, 1}, {24, 1, 1}})},
        {"negative item type", MakeFile("A", "B", 1, {{OBJ_SHIELD, 50, 1}, {-3, 1, 1}})},
        {"money as an item", MakeFile("A", "B", 1, {{OBJ_SHIELD, 50, 1}, {18, 1, 1}})},
        {"more shield than it holds", MakeFile("A", "B", 1, {{OBJ_SHIELD, 101, 1}})},
        {"no shield", MakeFile("A", "B", 1, {{OBJ_GUN1, 1, 1}})},
        {"shield used up", MakeFile("A", "B", 1, {{OBJ_SHIELD, 0, 1}})},
    };
    // The pilot in play before the attempt stays in play.
    vt::WriteFileBytes(Path(1), good);
    filepos = 1;
    ASSERT_EQ(VUL_LoadPlayer(), 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        vt::WriteFileBytes(Path(2), c.bytes);
        PLAYEROBJ p;
        OBJ_S saved[OBJ_MAXRECORDS];
        EXPECT_EQ(VUL_ReadPilot(2, &p, saved), -1);
        EXPECT_STREQ(plr.name, "ODA");
        EXPECT_EQ(OBJS_GetAmt(OBJ_SHIELD), 75);
    }
    PLAYEROBJ p;
    OBJ_S saved[OBJ_MAXRECORDS];
    EXPECT_EQ(VUL_ReadPilot(7, &p, saved), -1) << "no file";
    EXPECT_EQ(VUL_ReadPilot(10, &p, saved), -1) << "no such slot";
}

TEST_F(PilotFiles, NamesComeOutTerminatedAndOddWeaponsMeanNone)
{
    std::vector<uint8_t> good = MakeFile("", "", 5, kKit);
    std::vector<uint8_t> rec = Unscramble({good.begin(), good.begin() + 88});
    memset(&rec[0], 'N', 32); // name and call sign without terminators
    Put(rec, 40, -7);
    std::vector<uint8_t> f = Join(Scramble(rec), good, 88);
    vt::WriteFileBytes(Path(3), f);
    filepos = 3;
    ASSERT_EQ(VUL_LoadPlayer(), 1);
    EXPECT_EQ(strlen(plr.name), 19u);
    EXPECT_EQ(strlen(plr.callsign), 11u);
    EXPECT_EQ(plr.sweapon, 7) << "the special weapon held is selected instead";
}

TEST_F(PilotFiles, SlotsDuplicatesAndPresence)
{
    EXPECT_EQ(VUL_AreSavedFiles(), 0);
    EXPECT_EQ(VUL_IsPlayer(), 0);
    vt::WriteFileBytes(Path(0), MakeFile("ODA", "NINE", 1, kKit));
    vt::WriteFileBytes(Path(1), MakeFile("ODA", "TEN", 1, kKit));
    vt::WriteFileBytes(Path(3), {1, 2, 3}); // a damaged file still takes its slot
    EXPECT_EQ(VUL_AreSavedFiles(), 1);
    ASSERT_EQ(VUL_FFSaveFile(), 1);
    EXPECT_EQ(filepos, 2);
    EXPECT_EQ(VUL_IsPlayer(), 1);
    EXPECT_EQ(plr.sweapon, -1);
    EXPECT_EQ(plr.diff[3], 2);

    PLAYEROBJ p = {};
    strcpy(p.name, "ODA");
    strcpy(p.callsign, "TEN");
    EXPECT_EQ(VUL_IsSaveFile(&p), 1);
    strcpy(p.callsign, "TE");
    EXPECT_EQ(VUL_IsSaveFile(&p), 0);

    for (int s = 0; s < PLR_SLOTS; s++)
        vt::WriteFileBytes(Path(s), MakeFile("X", "Y", s, kKit));
    EXPECT_EQ(VUL_FFSaveFile(), 0);
}

TEST_F(PilotFiles, OnlyALivePilotWithASlotIsSaved)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(VUL_SavePlayer(), ::testing::ExitedWithCode(0), "") << "no slot";
    filepos = 0;
    EXPECT_EXIT(VUL_SavePlayer(), ::testing::ExitedWithCode(0), "") << "no shield";
}

// Runs `trials` times: a child process saves over and over, steps last+1, last+2, ...
// (each acknowledged through a pipe), and is killed with SIGKILL after 0 to 2
// acknowledgements. After each kill `check()` reads the file back and gives the step it
// holds, or -1 when it is not a whole save. It must hold the last acknowledged step or a
// later one, never a torn or empty file. Returns the failures.
int KillWhileSaving(int trials, const std::function<bool(int step)>& save,
                    const std::function<int(void)>& check)
{
    unsigned seed = 12345;
    int lost = 0, base = check();
    for (int t = 0; t < trials; t++) {
        int acks[2];
        if (pipe(acks) != 0) return trials;
        pid_t pid = fork();
        if (pid < 0) return trials;
        if (pid == 0) {
            close(acks[0]);
            for (int i = 1;; i++) {
                if (!save(base + i)) _exit(3);
                char c = 1;
                if (write(acks[1], &c, 1) != 1) _exit(4);
            }
        }
        close(acks[1]);
        seed = seed * 1103515245u + 12345u;
        int wait_acks = static_cast<int>((seed >> 16) % 3);
        for (int i = 0; i < wait_acks; i++) {
            char c;
            if (read(acks[0], &c, 1) != 1) break;
        }
        kill(pid, SIGKILL);
        int status;
        waitpid(pid, &status, 0);
        close(acks[0]);
        EXPECT_TRUE(WIFSIGNALED(status)) << "the saving child stopped by itself: " << status;
        int step = check();
        if (step < base + wait_acks) {
            lost++;
            continue;
        }
        base = step;
    }
    return lost;
}

int Trials()
{
    const char* env = getenv("VULTAR_KILL_TRIALS");
    if (env) return atoi(env);
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return 200; // every fork of a sanitized process is slow; the plain build runs all 1,000
#else
    return 1000;
#endif
}

TEST_F(PilotFiles, SavesSurviveBeingKilledAtAnyMoment)
{
    ASSERT_EQ(VUL_FFSaveFile(), 1);
    strcpy(plr.name, "KILLED");
    strcpy(plr.callsign, "AGAIN");
    OBJS_Add(OBJ_GUN1);
    OBJS_Add(OBJ_SHIELD);
    p_objs[OBJ_SHIELD]->num = 1; // step 0
    ASSERT_EQ(VUL_SavePlayer(), 1);

    // Each save raises the score and changes the inventory along with it.
    auto save = [](int step) {
        plr.score = step;
        p_objs[OBJ_SHIELD]->num = 1 + step % 100;
        return VUL_SavePlayer() == 1;
    };
    auto check = [](void) {
        PLAYEROBJ p;
        OBJ_S saved[OBJ_MAXRECORDS];
        bool whole = VUL_ReadPilot(filepos, &p, saved) == 2 && saved[1].num == 1 + p.score % 100 &&
                     strcmp(p.name, "KILLED") == 0;
        return whole ? p.score : -1;
    };
    const int trials = Trials();
    int lost = KillWhileSaving(trials, save, check);
    EXPECT_EQ(lost, 0) << "of " << trials << " trials";
    RecordProperty("lost", lost);
}

TEST_F(PilotFiles, SettingsSurviveBeingKilledAtAnyMoment)
{
    std::string path = home_.writeSetup("[Setup]\nInputDevice=0\n[Music]\nVolume=0\n");
    auto save = [&](int step) {
        return INI_FilePutLong(path.c_str(), "Music", "Volume", step) == 1;
    };
    auto check = [&](void) {
        std::string text = vt::ReadTextFile(path);
        size_t at = text.find("\nVolume=");
        bool whole = text.rfind("[Setup]\nInputDevice=0\n[Music]\n", 0) == 0 &&
                     at != std::string::npos && text.back() == '\n';
        return whole ? atoi(text.c_str() + at + 8) : -1;
    };
    const int trials = Trials() / 4;
    EXPECT_EQ(KillWhileSaving(trials, save, check), 0) << "of " << trials << " trials";
}

} // namespace
