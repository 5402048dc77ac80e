// The cut-scene frame player: delta lists applied to the frame buffer (runs at the ends of
// the buffer, runs cut by the buffer or by the item), the fill byte of each pass, the
// opening and closing effects on the hand-driven clock, and interruption by a key.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gfx/gfxapi.h"
#include "input/inputtest.h"
#include "res/glbapi.h"
#include "testutil/gfxitems.h"
#include "testutil/testutil.h"
#include "ui/movie.h"

namespace
{

using Bytes = std::vector<uint8_t>;

// One run record: marker 1, an unread word, position, length, then the bytes.
void AddRun(Bytes& list, unsigned at, const Bytes& bytes, unsigned len_field = ~0u)
{
    unsigned len = len_field == ~0u ? static_cast<unsigned>(bytes.size()) : len_field;
    Bytes head{1, 0, 0xAA, 0xAA, uint8_t(at), uint8_t(at >> 8), uint8_t(len), uint8_t(len >> 8)};
    list.insert(list.end(), head.begin(), head.end());
    list.insert(list.end(), bytes.begin(), bytes.end());
}

void EndList(Bytes& list)
{
    list.insert(list.end(), 8, 0);
}

Bytes Screen(const uint8_t* p)
{
    return Bytes(p, p + SCREENSIZE);
}

TEST(AnimRender, RunsAtBothEndsAndRunsCutByTheBufferOrTheItem)
{
    GFX_InitSystem();
    memset(displaybuffer, 5, SCREENSIZE);
    Bytes expect(SCREENSIZE, 5);

    Bytes list;
    AddRun(list, 0, {1, 2, 3});
    AddRun(list, SCREENSIZE - 2, {8, 9});
    // Reaches 20 bytes past the frame buffer: only the first 4 land.
    AddRun(list, SCREENSIZE - 4, {40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51,
                                  52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63});
    // Starts beyond the frame buffer (a position up to 65535 fits the field): nothing lands.
    AddRun(list, 65535, Bytes(300, 77));
    AddRun(list, 1000, {11});
    EndList(list);
    AddRun(list, 2000, {12}); // after the end marker: never applied
    ANIM_Render(list.data(), list.size());
    expect[0] = 1, expect[1] = 2, expect[2] = 3;
    expect[SCREENSIZE - 4] = 40, expect[SCREENSIZE - 3] = 41;
    expect[SCREENSIZE - 2] = 42, expect[SCREENSIZE - 1] = 43;
    expect[1000] = 11;
    EXPECT_EQ(Screen(displaybuffer), expect);

    // No end marker: the list stops at the item's end, with a run cut off in the middle
    // giving the bytes it has, and a header cut off giving nothing.
    memset(displaybuffer, 5, SCREENSIZE);
    expect.assign(SCREENSIZE, 5);
    Bytes open;
    AddRun(open, 10, {1, 2});
    AddRun(open, 20, {3, 4, 5, 6}, 60000);
    ANIM_Render(open.data(), open.size());
    expect[10] = 1, expect[11] = 2, expect[20] = 3, expect[21] = 4, expect[22] = 5, expect[23] = 6;
    EXPECT_EQ(Screen(displaybuffer), expect);

    Bytes torn;
    AddRun(torn, 30, {7});
    Bytes half{1, 0, 0, 0, 40, 0}; // a header without its length
    torn.insert(torn.end(), half.begin(), half.end());
    ANIM_Render(torn.data(), torn.size());
    expect[30] = 7;
    EXPECT_EQ(Screen(displaybuffer), expect);

    ANIM_Render(nullptr, 100);
    ANIM_Render(list.data(), 0);
    EXPECT_EQ(Screen(displaybuffer), expect);
}

// Frames made here pixel by pixel: a diagonal gradient with a box moving over it, a frame
// with scattered single-pixel changes, a repeated frame, and a whole-screen change.
std::vector<Bytes> Sequence()
{
    std::vector<Bytes> frames;
    for (int k = 0; k < 4; k++) {
        Bytes f(SCREENSIZE);
        for (int y = 0; y < SCREENHEIGHT; y++)
            for (int x = 0; x < SCREENWIDTH; x++) {
                bool box = x >= 30 + 50 * k && x < 90 + 50 * k && y >= 60 && y < 140;
                f[y * SCREENWIDTH + x] =
                    box ? uint8_t(200 + k) : uint8_t(x < 160 ? 0 : (x + y) / 8);
            }
        frames.push_back(f);
    }
    Bytes dots = frames.back();
    for (int i = 0; i < SCREENSIZE; i += 997)
        dots[i] ^= 0x55;
    dots[SCREENSIZE - 1] ^= 1;
    frames.push_back(dots);
    frames.push_back(dots);
    frames.push_back(Bytes(SCREENSIZE, 77));
    return frames;
}

TEST(AnimEncode, EncodedFramesPlayBackExactly)
{
    GFX_InitSystem();
    std::vector<Bytes> frames = Sequence();
    for (size_t start = 0; start < frames.size(); start++) {
        // Any frame can open a pass: its item carries the fill byte and needs no history.
        Bytes first = ANIM_Encode(nullptr, frames[start].data());
        memset(displaybuffer, first[0], SCREENSIZE);
        ANIM_Render(first.data() + 1, first.size() - 1);
        ASSERT_EQ(Screen(displaybuffer), frames[start]) << "first frame " << start;
        for (size_t i = start + 1; i < frames.size(); i++) {
            Bytes d = ANIM_Encode(frames[i - 1].data(), frames[i].data());
            ANIM_Render(d.data(), d.size());
            ASSERT_EQ(Screen(displaybuffer), frames[i]) << start << " then frame " << i;
        }
    }
    // The left half of the gradient is colour 0, the most common: it fills the first frame.
    EXPECT_EQ(ANIM_Encode(nullptr, frames[0].data())[0], 0);
    // A repeated frame is only the end of the list; one changed pixel is one run of one byte.
    EXPECT_EQ(ANIM_Encode(frames[4].data(), frames[5].data()), Bytes(8, 0));
    Bytes one = frames[5];
    one[SCREENSIZE - 1] ^= 2;
    Bytes expect;
    AddRun(expect, SCREENSIZE - 1, {one[SCREENSIZE - 1]});
    expect[2] = expect[3] = 0;
    EndList(expect);
    EXPECT_EQ(ANIM_Encode(frames[5].data(), one.data()), expect);
    // A whole-screen change is one run (64000 fits a run's length).
    EXPECT_EQ(ANIM_Encode(frames[5].data(), frames[6].data()).size(), 8u + SCREENSIZE + 8u);
}

// What each presentation showed: the screen, the palette and the frame counter.
struct Shown {
    Bytes screen;
    Bytes pal;
    int tick;
};
std::vector<Shown> shown;
int press_at = -1; // a key goes down when this presentation is made

void Record(void (*copy)(void))
{
    copy();
    Bytes pal(PALETTE_SIZE);
    GFX_GetPalette(pal.data());
    shown.push_back({Screen(displayscreen), pal, framecount});
    if (static_cast<int>(shown.size()) == press_at) vt::PushKey(SDL_SCANCODE_SPACE, true);
}

Bytes Solid(int r, int g, int b)
{
    Bytes p(PALETTE_SIZE);
    for (int i = 0; i < PALETTE_SIZE; i += 3)
        p[i] = uint8_t(r), p[i + 1] = uint8_t(g), p[i + 2] = uint8_t(b);
    return p;
}

class MoviePlay : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        vt::InitInputPlatform();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        KBD_Install();
        GFX_InitSystem();
        GFX_SetPalRange(0, 255);
        pal = vt::MakeRampPalette();
        GFX_SetPalette(pal.data(), 0);
        shown.clear();
        press_at = -1;
        GFX_SetFrameHook(Record);
        back_patch = -1;
    }
    void TearDown() override
    {
        GFX_SetFrameHook(nullptr);
        GLB_Shutdown();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    }
    // Writes the items as archive 0; item i gets id i.
    void Archive(const std::vector<Bytes>& items)
    {
        std::vector<GLB_WRITEITEM> w;
        for (size_t i = 0; i < items.size(); i++)
            w.push_back({"F" + std::to_string(i), items[i], false});
        vt::WriteArchive(home.dir() + "/FILE0000.GLB", w);
        ASSERT_EQ(GLB_InitSystem((home.dir() + "/x").c_str(), 1, nullptr), 1);
    }
    // A table of `n` frames over items 0..n-1 at `speed`, nothing special.
    std::vector<FRAME> Table(int n, int speed)
    {
        std::vector<FRAME> t(n);
        for (int i = 0; i < n; i++) {
            t[i] = FRAME{};
            t[i].speed = speed;
            t[i].remaining = n - 1 - i;
            t[i].item = i;
            t[i].hold = 0;
            t[i].unused1[0] = -1;
            t[i].sound = -1;
        }
        return t;
    }
    vt::TempHome home;
    vt::FakeClock clock{1000, 1};
    std::vector<uint8_t> pal;
};

TEST_F(MoviePlay, EachPassStartsFromItsFillByteAndFramesAreSpacedBySpeed)
{
    Bytes f0{7};
    AddRun(f0, 100, {1, 2});
    EndList(f0);
    Bytes f1;
    AddRun(f1, 200, {9});
    EndList(f1);
    Archive({f0, f1});
    std::vector<FRAME> t = Table(2, 10);
    memset(displaybuffer, 99, SCREENSIZE);

    EXPECT_EQ(MOVIE_Play(t.data(), 2, pal.data()), 0);

    Bytes first(SCREENSIZE, 7);
    first[100] = 1, first[101] = 2;
    Bytes second = first;
    second[200] = 9;
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].screen, first);
    EXPECT_EQ(shown[1].screen, second);
    // The second pass fills again: the run of frame 1 does not linger.
    EXPECT_EQ(shown[2].screen, first);
    EXPECT_EQ(shown[3].screen, second);
    // 10 frames a second on a 70 Hz counter: 7 ticks apart.
    EXPECT_EQ(shown[1].tick - shown[0].tick, 7);
    EXPECT_EQ(shown[3].tick - shown[2].tick, 7);
}

TEST_F(MoviePlay, OpeningAndClosingEffects)
{
    Bytes f0{0};
    AddRun(f0, 0, Bytes(320, 3));
    EndList(f0);
    Bytes f1;
    AddRun(f1, 320, Bytes(320, 4));
    EndList(f1);
    Bytes f2;
    AddRun(f2, 640, Bytes(320, 6));
    EndList(f2);
    Archive({f0, f1, f2, f2});
    std::vector<FRAME> t = Table(4, 35);
    // Frame 0 fades in from black over 20 steps; frame 1 fades out instead of showing;
    // frame 2 closes with a fade to orange; frame 3 closes by setting the scene palette.
    t[0].open_effect = MOVIE_FADEIN;
    t[0].open_steps = 20;
    t[1].open_effect = MOVIE_FADEOUT;
    t[1].open_steps = 10;
    t[1].red = 10, t[1].green = 20, t[1].blue = 30;
    t[2].close_effect = MOVIE_FADEOUT;
    t[2].close_steps = 12;
    t[2].red = 63, t[2].green = 28, t[2].blue = 3;
    t[3].close_effect = MOVIE_SETPAL;
    GFX_SetPalette(Solid(50, 50, 50).data(), 0);

    EXPECT_EQ(MOVIE_Play(t.data(), 1, pal.data()), 0);

    ASSERT_EQ(shown.size(), 4u);
    Bytes row0(SCREENSIZE, 0);
    std::fill(row0.begin(), row0.begin() + 320, 3);
    // The first frame appears on black (the short fade before it), then fades in.
    EXPECT_EQ(shown[0].screen, row0);
    EXPECT_EQ(shown[0].pal, Solid(0, 0, 0));
    // Frame 1 is never shown: the screen is cleared after fading to its colour.
    EXPECT_EQ(shown[1].screen, Bytes(SCREENSIZE, 0));
    EXPECT_EQ(shown[1].pal, Solid(10, 20, 30));
    EXPECT_EQ(shown[1].tick - shown[0].tick, 20 + 10) << "the two fades run between them";
    // Frame 2's runs apply over the cleared buffer only where they reach.
    Bytes row2(SCREENSIZE, 0);
    std::fill(row2.begin() + 640, row2.begin() + 960, 6);
    EXPECT_EQ(shown[2].screen, row2);
    EXPECT_EQ(shown[3].pal, Solid(63, 28, 3)) << "frame 2 closed with the fade to its colour";
    Bytes now(PALETTE_SIZE);
    GFX_GetPalette(now.data());
    EXPECT_EQ(now, pal) << "frame 3 closed by setting the scene palette";
}

TEST_F(MoviePlay, ClearingEffectsLeaveABlackScreen)
{
    Bytes f0{9};
    EndList(f0);
    Archive({f0, f0});
    std::vector<FRAME> t = Table(2, 70);
    t[1].open_effect = MOVIE_CLEAR;
    EXPECT_EQ(MOVIE_Play(t.data(), 1, pal.data()), 0);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].screen, Bytes(SCREENSIZE, 9));
    EXPECT_EQ(shown[1].screen, Bytes(SCREENSIZE, 0));

    shown.clear();
    t[1].open_effect = MOVIE_NONE;
    t[1].close_effect = MOVIE_CLEAR;
    EXPECT_EQ(MOVIE_Play(t.data(), 1, pal.data()), 0);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[1].screen, Bytes(SCREENSIZE, 9));
    EXPECT_EQ(shown[2].screen, Bytes(SCREENSIZE, 0));
}

TEST_F(MoviePlay, AKeyCutsTheSceneShortButNotASingleFramePass)
{
    std::vector<Bytes> items;
    for (int i = 0; i < 5; i++) {
        Bytes f;
        if (i == 0) f.push_back(1);
        AddRun(f, 0, {uint8_t(10 + i)});
        EndList(f);
        items.push_back(f);
    }
    Archive(items);
    std::vector<FRAME> t = Table(5, 35);
    back_patch = 17;
    GFX_SetPalette(Solid(0, 0, 0).data(), 0);
    press_at = 2;

    EXPECT_EQ(MOVIE_Play(t.data(), 3, pal.data()), MOVIE_INTERRUPTED);

    // Two frames, then the fade to black and a cleared screen; no later pass.
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[1].screen[0], 11);
    EXPECT_EQ(shown[2].screen, Bytes(SCREENSIZE, 0));
    EXPECT_EQ(shown[2].tick - shown[1].tick, 16) << "16 steps of fading out";
    Bytes now(PALETTE_SIZE);
    GFX_GetPalette(now.data());
    EXPECT_EQ(now, pal) << "the scene palette is back for whatever follows";
    EXPECT_EQ(back_patch, -1);

    // A pass of one frame never asks: every pass plays.
    shown.clear();
    press_at = 1;
    t = Table(1, 35);
    EXPECT_EQ(MOVIE_Play(t.data(), 3, pal.data()), 0);
    EXPECT_EQ(shown.size(), 3u);
}

} // namespace
