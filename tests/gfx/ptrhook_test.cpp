// The pointer riding along with frame copies: it is shown on top of every frame and never
// stays in the frame buffer.
#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <vector>

#include "gfx/gfxapi.h"
#include "input/inputtest.h"
#include "testutil/testutil.h"

namespace
{

constexpr int W = 320, H = 200;

std::vector<uint8_t> MakePic(int hotcol, int hotrow)
{
    std::vector<uint8_t> pic(PTR_PICBYTES, 0);
    const int32_t head[5] = {1, 0, 0, 16, 16};
    memcpy(pic.data(), head, sizeof(head));
    // An arrow-ish shape with holes, so transparency matters.
    for (int r = 0; r < 16; r++)
        for (int c = 0; c <= r && c < 16; c++)
            pic[20 + r * 16 + c] = (r + c) % 5 == 0 ? 0 : static_cast<uint8_t>(200 + c);
    pic[20 + hotrow * 16 + hotcol] = 255;
    return pic;
}

class FrameHookTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        vt::InitInputPlatform();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        GFX_InitSystem();
        ASSERT_NE(displaybuffer, nullptr);
        ASSERT_NE(displayscreen, nullptr);
        // The controller steers the pointer here, so the event pump leaves it where the test
        // puts it.
        control = CONTROL_JOYSTICK;
        joy_ipt_MenuNew = 0;
        ASSERT_EQ(PTR_Init(2), 1);
        pic = MakePic(3, 5);
        PTR_SetPic(pic.data(), static_cast<int>(pic.size()));

        for (int i = 0; i < W * H; i++)
            displaybuffer[i] = static_cast<uint8_t>(i % 199 + 1);
        GFX_ForceUpdate(0, 0, W, H);
        GFX_DisplayUpdate();
        ASSERT_EQ(memcmp(displayscreen, displaybuffer, W * H), 0);
    }
    void TearDown() override { PTR_DrawCursor(0); }

    // The frame as the test drew it, and the screen it should give with the pointer shown.
    std::vector<uint8_t> Frame() const { return {displaybuffer, displaybuffer + W * H}; }
    std::vector<uint8_t> WithPointer(const std::vector<uint8_t>& frame) const
    {
        std::vector<uint8_t> out = frame;
        int x0 = cur_mx - cursoroffsetx, y0 = cur_my - cursoroffsety;
        for (int r = 0; r < 16; r++)
            for (int c = 0; c < 16; c++) {
                uint8_t v = pic[20 + r * 16 + c];
                if (v == 255) v = pic[20 + r * 16 + c + 1];
                int x = x0 + c, y = y0 + r;
                if (v && x >= 0 && x < W && y >= 0 && y < H) out[y * W + x] = v;
            }
        return out;
    }
    std::vector<uint8_t> Screen() const { return {displayscreen, displayscreen + W * H}; }

    // Paints a box of the frame and makes it exactly what the next update copies (the
    // previous frame's area is not added), so that the pointer can be clear of the copy.
    void Fill(int x, int y, int w, int h, uint8_t color)
    {
        for (int r = y; r < y + h; r++)
            memset(displaybuffer + r * W + x, color, w);
        GFX_ForceUpdate(x, y, w, h);
    }

    vt::TempHome home; // the pump may write (screenshots): never into the real home
    static inline uint32_t start = 0;
    vt::FakeClock clock{start += 1000000, 1};
    std::vector<uint8_t> pic;
};

TEST_F(FrameHookTest, AFrameOverThePointerShowsThePointerOnTopAndLeavesTheFrameClean)
{
    PTR_SetPos(100, 100);
    PTR_DrawCursor(1);
    Fill(0, 0, W, H, 9);
    auto frame = Frame();
    GFX_DisplayUpdate();
    EXPECT_EQ(Frame(), frame);
    EXPECT_EQ(Screen(), WithPointer(frame));

    // The next frame paints the area again; the pointer comes along once more.
    Fill(96, 96, 40, 40, 33);
    frame = Frame();
    GFX_DisplayUpdate();
    EXPECT_EQ(Frame(), frame);
    EXPECT_EQ(Screen(), WithPointer(frame));

    PTR_DrawCursor(0);
    EXPECT_EQ(Screen(), frame);
}

TEST_F(FrameHookTest, AFrameElsewhereMovesThePointerWithinTheScreenBuffer)
{
    PTR_SetPos(20, 20);
    PTR_DrawCursor(1);
    GFX_DisplayUpdate();
    PTR_SetPos(250, 150);
    Fill(0, 0, 16, 16, 77); // far from both places
    auto frame = Frame();
    GFX_DisplayUpdate();
    EXPECT_EQ(Frame(), frame);
    EXPECT_EQ(Screen(), WithPointer(frame));
}

TEST_F(FrameHookTest, RandomFramesAndMovesNeverLeaveThePointerBehind)
{
    std::mt19937 rng(1234);
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    // Positions near the edges come up often: that is where the clipping is.
    auto coord = [&](int size) {
        int v = pick(0, 3) == 0 ? pick(0, 20) : pick(0, size - 1);
        return pick(0, 1) ? v : size - 1 - v;
    };
    PTR_DrawCursor(1);
    for (int step = 0; step < 600; step++) {
        SCOPED_TRACE(step);
        switch (pick(0, 4)) {
        case 0: // the pointer moves, and the next frame draws it
        case 1:
            PTR_SetPos(coord(W), coord(H));
            break;
        case 2: { // the pointer moves between frames
            PTR_SetPos(coord(W), coord(H));
            clock.advance(66);
            PTR_UpdateCursor();
            ASSERT_EQ(Screen(), g_drawcursor ? WithPointer(Frame()) : Frame());
            continue;
        }
        case 3:
            if (pick(0, 9) == 0) PTR_DrawCursor(pick(0, 1));
            break;
        default:
            break;
        }
        // Mostly small updates, so that the pointer is as often clear of the copy as in it.
        int x = pick(0, W - 1), y = pick(0, H - 1);
        int most = pick(0, 3) == 0 ? W : 24;
        Fill(x, y, pick(1, std::min(most, W - x)), pick(1, std::min(most, H - y)),
             static_cast<uint8_t>(pick(1, 255)));
        auto frame = Frame();
        GFX_DisplayUpdate();
        ASSERT_EQ(Frame(), frame);
        if (g_drawcursor) {
            ASSERT_EQ(Screen(), WithPointer(frame));
        } else {
            ASSERT_EQ(Screen(), frame);
        }
    }
    PTR_DrawCursor(0);
    EXPECT_EQ(Screen(), Frame());
}

} // namespace
