// The cut-scenes on the generated data set, played headless on the hand-driven clock: each
// scene's table (items, speeds, passes, sounds), every shown frame against the tests' own
// small decoder of the delta items, a fresh fill on the first frame of every pass, the
// background sound restarted after it stops, interruption, the sequences' order, and
// the pinned pictures of the opening, the death and every ending.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "game/game.h"
#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "gfx/ptrapi.h"
#include "input/input.h"
#include "input/inputtest.h"
#include "input/kbdapi.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "sound/dspapi.h"
#include "sound/fx.h"
#include "testutil/gamestart.h"
#include "testutil/gfxitems.h"
#include "testutil/testutil.h"
#include "ui/intro.h"
#include "ui/movie.h"
#include "ui/swdapi.h"

namespace
{

using Bytes = std::vector<uint8_t>;

// What each presentation showed, and the effects started since the one before it.
struct SHOWN {
    Bytes screen;
    int tick;
    std::vector<int> started; // effects started after this presentation, before the next
};
std::vector<SHOWN> shown;
int handles[SND_NUMFX];
std::function<void(int)> on_shown; // called with the presentation's index

void NoteStarts(void)
{
    for (int e = 0; e < SND_NUMFX; e++)
        if (fx_items[e].handle != handles[e]) {
            if (fx_items[e].handle != -1 && !shown.empty()) shown.back().started.push_back(e);
            handles[e] = fx_items[e].handle;
        }
}

void Record(void (*copy)(void))
{
    copy();
    NoteStarts();
    shown.push_back({Bytes(displayscreen, displayscreen + SCREENSIZE), framecount, {}});
    if (on_shown) on_shown(static_cast<int>(shown.size()) - 1);
}

std::span<const uint8_t> Item(int id)
{
    const uint8_t* p = GLB_GetItem(id);
    return {p, static_cast<size_t>(GLB_ItemSize(id))};
}

// The pictures a scene of `count` items from `first` shows over `passes` passes.
std::vector<Bytes> Expected(int first, int count, int passes)
{
    std::vector<Bytes> out;
    for (int pass = 0; pass < passes; pass++) {
        std::span<const uint8_t> lead = Item(first);
        Bytes screen(SCREENSIZE, lead[0]);
        vt::ApplyDelta(screen, lead.subspan(1));
        out.push_back(screen);
        for (int i = 1; i < count; i++) {
            vt::ApplyDelta(screen, Item(first + i));
            out.push_back(screen);
        }
    }
    return out;
}

uint64_t Hash(const std::vector<SHOWN>& frames)
{
    uint64_t h = 1469598103934665603ull;
    for (const SHOWN& f : frames)
        for (uint8_t b : f.screen)
            h = (h ^ b) * 1099511628211ull;
    return h;
}

struct SOUND {
    int frame, effect, pos; // pos -1: anywhere from 110 to 149
};
struct SCENE {
    const char* name;
    int (*play)(void);
    int archive, entry, frames, speed, passes;
    int back; // background effect, -1 for none
    std::vector<SOUND> sounds;
};

std::vector<SOUND> Every(int from, int to, int step, int effect, int pos)
{
    std::vector<SOUND> out;
    for (int f = from; f <= to; f += step)
        out.push_back({f, effect, pos});
    return out;
}

std::vector<SCENE> Scenes()
{
    std::vector<SOUND> blast = Every(2, 8, 1, 26, -1);
    blast.push_back({9, 8, -1});
    for (SOUND s : Every(11, 21, 2, 8, 127))
        blast.push_back(s);
    return {
        {"city", INTRO_City, 1, 65, 30, 8, 1, -1, {{4, 13, 210}, {9, 13, 100}}},
        {"side1", INTRO_Side1, 1, 95, 20, 18, 2, 17, {}},
        {"pilot", INTRO_Pilot, 1, 115, 21, 10, 1, 24, {}},
        {"explosion", INTRO_Explosion, 1, 156, 22, 12, 1, 25, blast},
        {"base", INTRO_Base, 2, 14, 30, 10, 1, -1, {}},
        {"landing", INTRO_Landing, 1, 189, 33, 10, 1, -1, {}},
        {"death2", INTRO_Death2, 1, 178, 6, 3, 8, -1, {}},
        {"game1end", INTRO_Game1End, 1, 184, 5, 4, 8, -1, {}},
        {"game2end", INTRO_Game2End, 2, 44, 25, 4, 1, -1, {{22, 8, 127}, {24, 8, 127}}},
        {"game3end", INTRO_Game3End, 3, 197, 39, 8, 1, 17, {{30, 8, 100}, {32, 8, 100}}},
    };
}

class IntroTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        vt::StartGame();
        SND_StopPatches();
        SND_SetFXDevice(5, 2);
        DSP_Init(8, DSP_RATE);
        SND_Setup();
        fx_volume = 127;
        for (int e = 0; e < SND_NUMFX; e++)
            handles[e] = fx_items[e].handle;
        shown.clear();
        on_shown = nullptr;
        GFX_SetFrameHook(Record);
        for (int& flag : gameflag)
            flag = 1;
        back_patch = -1;
    }
    void TearDown() override
    {
        GFX_SetFrameHook(nullptr);
        on_shown = nullptr;
        SND_StopPatches();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        KBD_Clear();
    }
    static void PressAt(int presentation)
    {
        on_shown = [presentation](int k) {
            if (k == presentation) vt::PushKey(SDL_SCANCODE_SPACE, true);
        };
    }
    vt::FakeClock clock{1000, 1};
};

TEST_F(IntroTest, EveryPieceShowsItsItemsAtItsSpeedWithItsSounds)
{
    for (const SCENE& s : Scenes()) {
        SCOPED_TRACE(s.name);
        shown.clear();
        wsrand(5);
        EXPECT_EQ(s.play(), 0);
        NoteStarts(); // what the last frame started
        const int first = ITM_Id(s.archive, s.entry);

        // The table as the scene wrote it.
        for (int i = 0; i < s.frames; i++) {
            EXPECT_EQ(frm[i].item, first + i) << "frame " << i;
            EXPECT_EQ(frm[i].speed, s.speed) << "frame " << i;
            EXPECT_EQ(frm[i].remaining, s.frames - 1 - i) << "frame " << i;
            int effect = -1, pos = 0;
            for (const SOUND& snd : s.sounds)
                if (snd.frame == i) effect = snd.effect, pos = snd.pos;
            EXPECT_EQ(frm[i].sound, effect) << "frame " << i;
            if (effect != -1 && pos != -1) {
                EXPECT_EQ(frm[i].sound_pos, pos) << "frame " << i;
            }
            if (pos == -1) {
                EXPECT_GE(frm[i].sound_pos, 110) << "frame " << i;
                EXPECT_LE(frm[i].sound_pos, 149) << "frame " << i;
            }
        }

        // What was shown: every frame of every pass, decoded here from the items. Scenes that
        // end on a fade show a cleared screen last.
        std::vector<Bytes> expect = Expected(first, s.frames, s.passes);
        const bool lastcleared = s.play == INTRO_Landing;
        ASSERT_GE(shown.size(), expect.size());
        for (size_t k = 0; k < expect.size(); k++) {
            if (lastcleared && k + 1 == expect.size())
                EXPECT_EQ(shown[k].screen, Bytes(SCREENSIZE, 0)) << "the landing fades out";
            else
                ASSERT_EQ(shown[k].screen, expect[k]) << "presentation " << k;
        }
        for (size_t k = expect.size(); k < shown.size(); k++)
            EXPECT_EQ(shown[k].screen, Bytes(SCREENSIZE, 0)) << "after the scene";
        // The speed: 70 / speed ticks from one frame to the next.
        EXPECT_EQ(shown[2].tick - shown[1].tick, 70 / s.speed);

        // The effects heard after each frame; the background sound comes and goes on its
        // own and is left out.
        for (int i = 0; i < s.frames; i++) {
            std::vector<int> heard;
            for (int e : shown[i].started)
                if (e != s.back) heard.push_back(e);
            std::vector<int> want;
            for (const SOUND& snd : s.sounds)
                if (snd.frame == i) want.push_back(snd.effect);
            EXPECT_EQ(heard, want) << "frame " << i;
        }
        EXPECT_EQ(back_patch, -1) << "no background sound outlives its scene";
        if (s.back != -1) {
            EXPECT_FALSE(SND_IsPatchPlaying(s.back));
        }
    }
}

TEST_F(IntroTest, TheSecondSideViewRepeatsTheFirstThenOpensFire)
{
    EXPECT_EQ(INTRO_Side2(), 0);
    std::vector<Bytes> expect = Expected(ITM_Id(1, 95), 20, 1);
    std::vector<Bytes> second = Expected(ITM_Id(1, 136), 20, 1);
    expect.insert(expect.end(), second.begin(), second.end());
    ASSERT_EQ(shown.size(), expect.size());
    for (size_t k = 0; k < expect.size(); k++)
        ASSERT_EQ(shown[k].screen, expect[k]) << "presentation " << k;
    // (The last frame's shot is cut off at once by the stop of every effect.)
    for (int i = 0; i < 19; i++) {
        std::vector<int> guns;
        for (int e : shown[20 + i].started)
            if (e == 27) guns.push_back(e);
        EXPECT_EQ(guns.size(), i >= 2 ? 1u : 0u) << "second part, frame " << i;
    }
    for (int e = 0; e < SND_NUMFX; e++)
        EXPECT_FALSE(SND_IsPatchPlaying(e)) << "every effect stopped afterwards: " << e;
}

TEST_F(IntroTest, TheBackgroundSoundIsStartedAgainWhenItStops)
{
    // Stopped after frames 3 and 11 of the first pass: it sounds again by the next frame.
    on_shown = [](int k) {
        if (k == 3 || k == 11) SND_StopPatch(17);
        if (k == 4 || k == 12) {
            EXPECT_TRUE(SND_IsPatchPlaying(17)) << "frame " << k;
        }
    };
    EXPECT_EQ(INTRO_Side1(), 0);
    std::vector<int> restarts;
    for (size_t k = 0; k < shown.size(); k++)
        for (int e : shown[k].started)
            if (e == 17) restarts.push_back(static_cast<int>(k));
    // Started by the scene before its first frame, then once after each stop.
    EXPECT_EQ(restarts, (std::vector<int>{3, 11}));
    EXPECT_FALSE(SND_IsPatchPlaying(17));
}

TEST_F(IntroTest, InterruptingTheSecondPassOfTheSideViewEndsTheOpening)
{
    // The city shows 30 frames; the side view's second pass starts at presentation 50.
    PressAt(53);
    EXPECT_NE(INTRO_PlayMain(), 0);
    ASSERT_EQ(shown.size(), 55u) << "two frames of the pass after the press, then black";
    EXPECT_EQ(shown.back().screen, Bytes(SCREENSIZE, 0));
    std::vector<Bytes> side = Expected(ITM_Id(1, 95), 20, 2);
    EXPECT_EQ(shown[53].screen, side[23]);
    EXPECT_EQ(back_patch, -1);
    EXPECT_FALSE(SND_IsPatchPlaying(17));
    Bytes pal(PALETTE_SIZE);
    GFX_GetPalette(pal.data());
    EXPECT_EQ(memcmp(pal.data(), palette, PALETTE_SIZE), 0) << "the game palette is back";
}

TEST_F(IntroTest, APressDuringTheWreckSkipsThePilotsEnd)
{
    PressAt(5);
    EXPECT_NE(INTRO_Death(), 0);
    EXPECT_EQ(shown.size(), 7u);

    // Uncut, the wreck runs into the eight passes of the end.
    shown.clear();
    on_shown = nullptr;
    EXPECT_EQ(INTRO_Death(), 0);
    EXPECT_EQ(shown.size(), 30u + 6 * 8 + 1);
}

TEST_F(IntroTest, TheBaseIsShownOnlyWithTheSecondEpisode)
{
    gameflag[1] = 0;
    EXPECT_EQ(INTRO_Base(), 0);
    EXPECT_TRUE(shown.empty());
}

// Whether a plain picture item stands somewhere on the screen, pixel for pixel.
bool OnScreen(const Bytes& screen, int id)
{
    std::span<const uint8_t> pic = Item(id);
    auto word = [&](size_t at) { return pic[at] | pic[at + 1] << 8; };
    const int w = word(12), h = word(16);
    for (int y = 0; y + h <= SCREENHEIGHT; y++)
        for (int x = 0; x + w <= SCREENWIDTH; x++) {
            bool all = true;
            for (int j = 0; j < h && all; j++)
                all = std::memcmp(&screen[size_t(y + j) * SCREENWIDTH + x],
                                  &pic[20 + size_t(j) * w], size_t(w)) == 0;
            if (all) return true;
        }
    return false;
}

TEST_F(IntroTest, EndingsPlayTheirPartsInOrder)
{
    // Each step's first frame, told apart by its picture.
    auto firsts = [](int archive, int entry, int n) {
        return Expected(ITM_Id(archive, entry), n, 1);
    };
    struct CASE {
        int episode;
        int archive, entry, frames, passes;
        int victory; // the episode's own victory picture
    };
    const int fourth = GLB_GetItemID("VICTORYG4_PIC");
    ASSERT_GE(fourth, 0) << "the fourth episode's victory picture";
    for (CASE c : {CASE{0, 1, 184, 5, 8, ITM_Id(0, 10)}, CASE{1, 2, 44, 25, 1, ITM_Id(0, 11)},
                   CASE{2, 3, 197, 39, 1, ITM_Id(0, 12)}, CASE{3, 3, 197, 39, 1, fourth}}) {
        SCOPED_TRACE(c.episode);
        shown.clear();
        INTRO_EndGame(c.episode);
        std::vector<Bytes> ending = firsts(c.archive, c.entry, c.frames);
        std::vector<Bytes> base = firsts(2, 14, 30), landing = firsts(1, 189, 33);
        size_t at = 0;
        ASSERT_EQ(shown[at].screen, ending[0]);
        at += c.frames * c.passes + 1;
        ASSERT_EQ(shown[at].screen, base[0]);
        at += 30;
        ASSERT_EQ(shown[at].screen, landing[0]);
        at += 33;
        ASSERT_GT(shown.size(), at) << "then the victory picture";
        EXPECT_TRUE(std::any_of(shown.begin() + long(at), shown.end(),
                                [&](const SHOWN& f) { return OnScreen(f.screen, c.victory); }));
    }
    // Without the second episode there is no base; an absent episode shows nothing.
    gameflag[1] = 0;
    shown.clear();
    INTRO_EndGame(0);
    ASSERT_GT(shown.size(), 5u * 8 + 1);
    EXPECT_EQ(shown[5 * 8 + 1].screen, Expected(ITM_Id(1, 189), 1, 1)[0]);
    gameflag[2] = 0;
    shown.clear();
    INTRO_EndGame(2);
    EXPECT_TRUE(shown.empty());
}

// The pictures of the data set's scenes, pinned: a change to a scene's description or to
// the player shows here, and is taken over on purpose (print the new values with
// VULTAR_PRINT_HASHES set). The landing and the second and third endings are drawn over the
// episodes' maps, which change as the waves are worked on; they are checked frame by frame
// against their items above instead.
TEST_F(IntroTest, TheScenesShowThePicturesTheyWereMadeWith)
{
    struct PIN {
        const char* name;
        int (*play)(void);
        size_t shown;
        uint64_t hash;
    };
    const PIN pins[] = {
        {"opening", INTRO_PlayMain, 153, 0xee80bdad247d3fbaull},
        {"death", INTRO_Death, 79, 0xd8ce56f927f693b7ull},
        {"game1end", INTRO_Game1End, 41, 0x5384dad9489f44a3ull},
        {"base", INTRO_Base, 30, 0x778de11f118a0dadull},
    };
    for (const PIN& p : pins) {
        shown.clear();
        wsrand(1);
        EXPECT_EQ(p.play(), 0) << p.name;
        if (getenv("VULTAR_PRINT_HASHES"))
            printf("%s: %zu shown, 0x%016llxull\n", p.name, shown.size(),
                   static_cast<unsigned long long>(Hash(shown)));
        EXPECT_EQ(shown.size(), p.shown) << p.name;
        EXPECT_EQ(Hash(shown), p.hash) << p.name;
    }
}

} // namespace
