// The drawn pointer: its picture and hot spot, drawing and erasing at the screen edges,
// pacing, buttons and touches.
#include <array>
#include <cstring>
#include <memory>
#include <vector>

#include "gfx/gfxapi.h"
#include "input/inputtest.h"
#include "testutil/testutil.h"

namespace
{

constexpr int W = 320, H = 200;

// A pointer picture item: header and 16x16 pixels, every pixel visible except a diagonal.
std::vector<uint8_t> MakePic(int hotcol = -1, int hotrow = -1)
{
    std::vector<uint8_t> pic(PTR_PICBYTES, 0);
    const int32_t head[5] = {1, 0, 0, 16, 16};
    memcpy(pic.data(), head, sizeof(head));
    for (int i = 0; i < 256; i++)
        pic[20 + i] = (i % 17 == 0) ? 0 : static_cast<uint8_t>(1 + i % 250);
    if (hotcol >= 0) pic[20 + hotrow * 16 + hotcol] = 255;
    return pic;
}

// The image the pointer shows: the picture with the hot-spot marker replaced.
uint8_t ImagePixel(const std::vector<uint8_t>& pic, int row, int col)
{
    int i = row * 16 + col;
    uint8_t v = pic[20 + i];
    if (v == 255) v = i < 255 ? pic[20 + i + 1] : 0;
    return v;
}

class PointerTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        vt::InitInputPlatform();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        for (int i = 0; i < W * H; i++) {
            screen[i] = static_cast<uint8_t>(i * 7 + 3);
            frame[i] = static_cast<uint8_t>(i * 13 + 5);
        }
        oldscreen = displayscreen;
        oldframe = displaybuffer;
        displayscreen = screen.data();
        displaybuffer = frame.data();
        control = CONTROL_KEYBOARD;
        ASSERT_EQ(PTR_Init(1), 1);
        PTR_Pause(0);
        PTR_SetGameFlag(0);
        PTR_Settouchmouseb1off(0);
        mouseb1 = mouseb2 = mouseb3 = 0;
        mouse_b1_ack = mouse_b2_ack = mouse_b3_ack = 0;
    }
    void TearDown() override
    {
        PTR_DrawCursor(0);
        displayscreen = oldscreen;
        displaybuffer = oldframe;
    }

    // Lets the pointer catch up with its position in the screen buffer.
    void Settle()
    {
        clock.advance(66);
        PTR_UpdateCursor();
    }

    // What the screen should show with the pointer's image corner at (x, y) over `under`.
    static std::vector<uint8_t> Expected(const std::vector<uint8_t>& under,
                                         const std::vector<uint8_t>& pic, int x, int y)
    {
        std::vector<uint8_t> out = under;
        for (int r = 0; r < 16; r++)
            for (int c = 0; c < 16; c++) {
                int sx = x + c, sy = y + r;
                uint8_t v = ImagePixel(pic, r, c);
                if (v && sx >= 0 && sx < W && sy >= 0 && sy < H) out[sy * W + sx] = v;
            }
        return out;
    }

    std::vector<uint8_t> Screen() const
    {
        return std::vector<uint8_t>(screen.begin(), screen.end());
    }

    // Each test starts later than the last, as time would, so the pointer's beat (kept
    // across tests like any module state) never sees the clock go back.
    vt::TempHome home; // the pump may write (screenshots): never into the real home
    static inline uint32_t start = 0;
    vt::FakeClock clock{start += 1000000, 0};
    uint8_t* oldscreen = nullptr;
    uint8_t* oldframe = nullptr;
    std::array<uint8_t, W * H> screen{};
    std::array<uint8_t, W * H> frame{};
};

TEST_F(PointerTest, HotSpotComesFromTheMarkerPixelAndShowsItsNeighbour)
{
    auto plain = MakePic();
    PTR_SetPic(plain.data(), static_cast<int>(plain.size()));
    EXPECT_EQ(cursoroffsetx, 0);
    EXPECT_EQ(cursoroffsety, 0);

    auto marked = MakePic(5, 3);
    PTR_SetPic(marked.data(), static_cast<int>(marked.size()));
    EXPECT_EQ(cursoroffsetx, 5);
    EXPECT_EQ(cursoroffsety, 3);

    // The pointer's position is 5 right of and 3 below the image's corner.
    auto before = Screen();
    PTR_SetPos(100, 50);
    PTR_DrawCursor(1);
    Settle();
    EXPECT_EQ(Screen(), Expected(before, marked, 95, 47));
    EXPECT_EQ(screen[50 * W + 100], ImagePixel(marked, 3, 5));
    EXPECT_EQ(screen[50 * W + 100], marked[20 + 3 * 16 + 6]);
}

TEST_F(PointerTest, AMarkerInTheLastPixelIsTransparentAndTheLastMarkerWins)
{
    auto pic = MakePic(2, 2);
    pic[20 + 255] = 255;
    PTR_SetPic(pic.data(), static_cast<int>(pic.size()));
    EXPECT_EQ(cursoroffsetx, 15);
    EXPECT_EQ(cursoroffsety, 15);

    auto before = Screen();
    PTR_SetPos(40, 40);
    PTR_DrawCursor(1);
    Settle();
    EXPECT_EQ(screen[40 * W + 40], before[40 * W + 40]);
}

TEST_F(PointerTest, DamagedPicturesAreRefused)
{
    auto good = MakePic(4, 4);
    PTR_SetPic(good.data(), static_cast<int>(good.size()));

    auto sprite = MakePic(1, 1);
    sprite[0] = 0; // type 0: a run-list sprite
    PTR_SetPic(sprite.data(), static_cast<int>(sprite.size()));
    auto wide = MakePic(1, 1);
    wide[12] = 32;
    PTR_SetPic(wide.data(), static_cast<int>(wide.size()));
    auto shortitem = MakePic(1, 1);
    PTR_SetPic(shortitem.data(), PTR_PICBYTES - 1);
    PTR_SetPic(nullptr, 0);

    EXPECT_EQ(cursoroffsetx, 4);
    EXPECT_EQ(cursoroffsety, 4);
}

TEST_F(PointerTest, AtEveryEdgeOnlyTheVisiblePartIsDrawnAndErasingRestoresIt)
{
    struct HOT {
        int col, row;
    };
    for (HOT hot : {HOT{-1, -1}, HOT{15, 15}, HOT{7, 9}}) {
        auto pic = hot.col < 0 ? MakePic() : MakePic(hot.col, hot.row);
        PTR_SetPic(pic.data(), static_cast<int>(pic.size()));
        const int positions[][2] = {{0, 0},     {319, 0},   {0, 199}, {319, 199},
                                    {160, 0},   {160, 199}, {0, 100}, {319, 100},
                                    {305, 185}, {304, 184}, {5, 190}, {300, 3}};
        auto clean = Screen();
        PTR_DrawCursor(1);
        for (auto& p : positions) {
            SCOPED_TRACE(testing::Message()
                         << "hot " << hot.col << "," << hot.row << " at " << p[0] << "," << p[1]);
            PTR_SetPos(p[0], p[1]);
            Settle();
            EXPECT_EQ(Screen(), Expected(clean, pic, p[0] - cursoroffsetx, p[1] - cursoroffsety));
        }
        PTR_DrawCursor(0);
        EXPECT_EQ(Screen(), clean);
    }
}

TEST_F(PointerTest, PositionsOffTheScreenAreKeptOnIt)
{
    auto pic = MakePic();
    PTR_SetPic(pic.data(), static_cast<int>(pic.size()));
    auto clean = Screen();
    PTR_DrawCursor(1);
    PTR_SetPos(-50, 900);
    EXPECT_EQ(cur_mx, 0);
    EXPECT_EQ(cur_my, 199);
    Settle();
    EXPECT_EQ(Screen(), Expected(clean, pic, 0, 199));
    PTR_DrawCursor(0);
    EXPECT_EQ(Screen(), clean);
}

TEST_F(PointerTest, MovesBetweenFramesComeAtMostEvery66Milliseconds)
{
    auto pic = MakePic();
    PTR_SetPic(pic.data(), static_cast<int>(pic.size()));
    auto clean = Screen();
    PTR_DrawCursor(1);
    PTR_SetPos(50, 50);
    Settle();

    PTR_SetPos(80, 60);
    clock.advance(65);
    PTR_UpdateCursor();
    EXPECT_EQ(Screen(), Expected(clean, pic, 50, 50));
    clock.advance(1);
    PTR_UpdateCursor();
    EXPECT_EQ(Screen(), Expected(clean, pic, 80, 60));

    // The beat keeps its phase: the next move may come 66 ms after the last beat.
    PTR_SetPos(90, 70);
    clock.advance(66);
    PTR_UpdateCursor();
    EXPECT_EQ(Screen(), Expected(clean, pic, 90, 70));

    // Paused, the pointer stays out of the way whatever happens.
    PTR_Pause(1);
    EXPECT_EQ(Screen(), clean);
    PTR_DrawCursor(1);
    PTR_SetPos(10, 10);
    Settle();
    EXPECT_EQ(Screen(), clean);
    PTR_Pause(0);
    EXPECT_EQ(cur_mx, 160);
    EXPECT_EQ(cur_my, 100);
    EXPECT_EQ(g_drawcursor, 0);
}

TEST_F(PointerTest, MouseButtonsHoldTheirValuesAndLatchEveryPress)
{
    vt::PushMouseButton(SDL_BUTTON_LEFT, true);
    vt::PushMouseButton(SDL_BUTTON_RIGHT, true);
    vt::PushMouseButton(SDL_BUTTON_MIDDLE, true);
    vt::Pump();
    EXPECT_EQ(mouseb1, 1);
    EXPECT_EQ(mouseb2, 2);
    EXPECT_EQ(mouseb3, 4);
    EXPECT_EQ(mouse_b1_ack + mouse_b2_ack + mouse_b3_ack, 3);
    EXPECT_EQ(touchmode, 0);

    vt::PushMouseButton(SDL_BUTTON_LEFT, false);
    vt::PushMouseButton(SDL_BUTTON_RIGHT, false);
    vt::PushMouseButton(SDL_BUTTON_MIDDLE, false);
    vt::Pump();
    EXPECT_EQ(mouseb1 + mouseb2 + mouseb3, 0);
    EXPECT_EQ(mouse_b1_ack + mouse_b2_ack + mouse_b3_ack, 3); // latches wait to be taken

    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.y = 1;
    SDL_PushEvent(&wheel);
    vt::PushMouseButton(SDL_BUTTON_X1, true);
    vt::Pump();
    EXPECT_EQ(mouseb1 + mouseb2 + mouseb3, 0);
}

TEST_F(PointerTest, TwoFingerTouchesCloserThan500MillisecondsMakeARightClick)
{
    auto twofingers = [this](uint32_t gap) {
        clock.advance(gap);
        vt::PushFinger(1, true);
        vt::PushFinger(2, true);
        vt::Pump();
        int pressed = mouseb2;
        vt::PushFinger(2, false);
        vt::PushFinger(1, false);
        vt::Pump();
        return pressed;
    };
    twofingers(0);
    mouse_b2_ack = 0;
    EXPECT_EQ(twofingers(600), 0);
    EXPECT_EQ(mouse_b2_ack, 0);
    EXPECT_EQ(twofingers(300), 2);
    EXPECT_EQ(mouse_b2_ack, 1);
    EXPECT_EQ(mouseb2, 0); // lifting the fingers lets go

    // A third finger is the middle button, and a left press as well.
    mouse_b1_ack = mouse_b3_ack = 0;
    clock.advance(1000);
    vt::PushFinger(1, true);
    vt::PushFinger(2, true);
    vt::PushFinger(3, true);
    vt::Pump();
    EXPECT_EQ(mouseb3, 4);
    EXPECT_EQ(mouse_b3_ack, 1);
    EXPECT_EQ(mouse_b1_ack, 1);
    for (int f = 1; f <= 3; f++)
        vt::PushFinger(f, false);
    vt::Pump();
    EXPECT_EQ(mouseb3, 0);
}

TEST_F(PointerTest, InAMissionDoubleTapsTurnAHeldFireButtonOnAndOff)
{
    PTR_SetGameFlag(1);
    PTR_DrawCursor(0);
    // A finger as the platform reports it: a made-up left click around the touch itself.
    auto tap = [this](uint32_t gap) {
        clock.advance(gap);
        vt::PushMouseButton(SDL_BUTTON_LEFT, true, true);
        vt::PushFinger(1, true);
        vt::PushMouseButton(SDL_BUTTON_LEFT, false, true);
        vt::PushFinger(1, false);
        vt::Pump();
        return mouseb1;
    };
    EXPECT_EQ(tap(0), 1); // a lone tap fires and keeps firing
    EXPECT_EQ(mouse_b1_ack, 1);
    EXPECT_EQ(tap(200), 0); // the double tap turns it off
    EXPECT_EQ(touchmouseb1off, 1);
    EXPECT_EQ(tap(1000), 0); // off stays off for lone taps
    mouse_b1_ack = 0;
    EXPECT_EQ(tap(200), 1); // the next double tap turns it on
    EXPECT_EQ(touchmouseb1off, 0);
    EXPECT_EQ(mouse_b1_ack, 1);
    EXPECT_EQ(tap(1000), 1);
    EXPECT_EQ(tap(100), 0); // and the next one off again

    // Outside a mission a tap is a plain click.
    PTR_SetGameFlag(0);
    EXPECT_EQ(tap(1000), 0);
    EXPECT_EQ(mouse_b1_ack, 1);
}

} // namespace

namespace
{

class ControllerPointerTest : public PointerTest
{
  protected:
    void SetUp() override
    {
        PointerTest::SetUp();
        IPT_CloJoy(1);
        IPT_LoadPrefs();
        control = CONTROL_JOYSTICK;
        joy_ipt_MenuNew = 0;
        ASSERT_EQ(PTR_Init(2), 1);
        auto pic = MakePic();
        PTR_SetPic(pic.data(), static_cast<int>(pic.size()));
        PTR_DrawCursor(1);
        pad = std::make_unique<vt::VirtualPad>();
        vt::Pump();
    }
    void TearDown() override
    {
        pad.reset();
        IPT_CloJoy(1);
        vt::Pump();
        PointerTest::TearDown();
    }
    std::unique_ptr<vt::VirtualPad> pad;
};

TEST_F(ControllerPointerTest, TheStickMovesThePointerEvery16MillisecondsUpToTheEdge)
{
    PTR_SetPos(300, 100);
    pad->SetAxis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
    pad->SetAxis(SDL_CONTROLLER_AXIS_LEFTY, -32768);
    vt::Pump(); // reads the stick: 4 a step with the pointer shown
    int x0 = cur_mx, y0 = cur_my;
    clock.advance(15);
    vt::Pump();
    EXPECT_EQ(cur_mx, x0);
    clock.advance(1);
    vt::Pump();
    EXPECT_EQ(cur_mx, x0 + 4);
    EXPECT_EQ(cur_my, y0 - 4);
    for (int i = 0; i < 10; i++) {
        clock.advance(16);
        vt::Pump();
    }
    EXPECT_EQ(cur_mx, 319);
    EXPECT_EQ(cur_my, y0 - 44);

    // Menus that move a focus instead leave the pointer to the mouse.
    joy_ipt_MenuNew = 1;
    pad->SetAxis(SDL_CONTROLLER_AXIS_LEFTX, -32768);
    for (int i = 0; i < 5; i++) {
        clock.advance(16);
        vt::Pump();
    }
    EXPECT_EQ(old_joy_x, 319);
}

} // namespace
