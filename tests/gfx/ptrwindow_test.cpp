// The pointer in a real game window: the system mouse moves it, the screen shows it where
// the mouse is, and the mouse is kept from wandering off a full screen.
//
// With VULTAR_POINTER_DEMO set, PointerWindow.Demo instead runs an interactive window on the
// real clock (scripts/xvfb-pointer.sh drives it under a virtual X server).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "game/i_system.h"
#include "gfx/gfxapi.h"
#include "input/inputtest.h"
#include "testutil/gfxitems.h"
#include "testutil/testutil.h"

namespace
{

constexpr int W = 320, H = 200;

// A white arrow with a black outline; its tip (0, 0) is the hot spot.
std::vector<uint8_t> ArrowPic()
{
    static const char* rows[16] = {
        "X...............", "XX..............", "XWX.............", "XWWX............",
        "XWWWX...........", "XWWWWX..........", "XWWWWWX.........", "XWWWWWWX........",
        "XWWWWWWWX.......", "XWWWWWWWWX......", "XWWWWWXXXXX.....", "XWWXWWX.........",
        "XWX.XWWX........", "XX..XWWX........", "X....XWWX.......", ".....XXX........",
    };
    std::vector<uint8_t> px;
    for (const char* r : rows)
        for (int c = 0; c < 16; c++)
            px.push_back(r[c] == 'X' ? 1 : r[c] == 'W' ? 3 : 0);
    px[0] = 255; // the hot spot, shown in the colour of the pixel after it
    px[1] = 1;
    return vt::MakePic(16, 16, px);
}

std::vector<uint8_t> DemoPalette()
{
    auto pal = vt::MakeRampPalette();
    const uint8_t special[4][3] = {{0, 0, 0}, {0, 0, 0}, {63, 20, 10}, {63, 63, 63}};
    memcpy(pal.data(), special, sizeof(special));
    return pal;
}

// A background to see the pointer against: colour bands and a grid.
void DrawBackground()
{
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++) {
            uint8_t c = static_cast<uint8_t>(16 + (x / 10 + y / 25 * 32) % 224);
            if (x % 40 == 0 || y % 40 == 0) c = 2;
            displaybuffer[y * W + x] = c;
        }
    GFX_MarkUpdate(0, 0, W, H);
}

class PointerWindowTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        vt::InitInputPlatform();
        GFX_InitSystem();
        fullscreen = 0;
        aspect_ratio_correct = 1;
        window_width = 800;
        window_height = 600;
        pal = DemoPalette();
        GFX_InitVideo(pal.data());
        ASSERT_NE(I_GetWindow(), nullptr);
        control = CONTROL_MOUSE;
        IPT_Init();
        ASSERT_EQ(PTR_Init(1), 1);
        pic = ArrowPic();
        PTR_SetPic(pic.data(), static_cast<int>(pic.size()));
        DrawBackground();
        GFX_DisplayUpdate();
    }
    void TearDown() override
    {
        PTR_DrawCursor(0);
        closewindow();
        I_ShutdownGraphics();
        fullscreen = 0;
    }

    // Moves the system mouse as a user would, to a window pixel.
    static void MoveMouse(int wx, int wy) { SDL_WarpMouseInWindow(I_GetWindow(), wx, wy); }

    vt::TempHome home;
    vt::FakeClock clock{1000, 1};
    std::vector<uint8_t> pal, pic;
};

TEST_F(PointerWindowTest, ThePointerIsShownWhereTheMouseIs)
{
    PTR_DrawCursor(1);
    // 800x600 shows 320x200 at 2.5 pixels across and 3 down.
    MoveMouse(500, 300);
    for (int i = 0; i < 10; i++)
        GFX_DisplayUpdate();
    EXPECT_EQ(cur_mx, 200);
    EXPECT_EQ(cur_my, 100);
    // The arrow's outline at its tip and its white body just inside.
    EXPECT_EQ(displayscreen[100 * W + 200], 1);
    EXPECT_EQ(displayscreen[102 * W + 201], 3);
    EXPECT_NE(displaybuffer[102 * W + 201], 3); // never in the frame buffer

    // Moving on moves the pointer; its old place shows the background again.
    MoveMouse(100, 60);
    for (int i = 0; i < 10; i++)
        GFX_DisplayUpdate();
    EXPECT_EQ(cur_mx, 40);
    EXPECT_EQ(cur_my, 20);
    EXPECT_EQ(displayscreen[102 * W + 201], displaybuffer[102 * W + 201]);
    EXPECT_EQ(displayscreen[22 * W + 41], 3);
}

TEST_F(PointerWindowTest, BeyondTheRightEdgeOfAFullScreenTheMouseIsBroughtBack)
{
    // A window wider than the picture leaves bars beside it, where the mouse can go past
    // the picture's edge.
    SDL_SetWindowSize(I_GetWindow(), 1000, 600);
    SDL_PumpEvents();
    PTR_DrawCursor(1);
    MoveMouse(990, 300);
    int mx, my;
    I_GetMousePos(&mx, &my);
    ASSERT_GE(mx, W);

    // Windowed with the pointer shown, the mouse may leave the picture.
    PTR_MouseHandler();
    EXPECT_EQ(cur_mx, 319);
    EXPECT_EQ(cur_my, 100);
    I_GetMousePos(&mx, &my);
    EXPECT_GE(mx, W);

    // Full screen, it is brought back to the edge.
    fullscreen = 1;
    PTR_MouseHandler();
    EXPECT_EQ(cur_mx, 319);
    I_GetMousePos(&mx, &my);
    EXPECT_EQ(mx, 319);
    EXPECT_EQ(my, 100);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
}

// Not a test: a window to try the pointer and keys in by hand or from a script. Prints what
// it sees, one line per event, and ends on Escape or after VULTAR_POINTER_DEMO seconds.
TEST(PointerWindow, Demo)
{
    const char* env = getenv("VULTAR_POINTER_DEMO");
    if (!env) GTEST_SKIP() << "set VULTAR_POINTER_DEMO=<seconds> to run the demo window";
    uint32_t seconds = static_cast<uint32_t>(atoi(env));

    vt::InitInputPlatform();
    GFX_InitSystem();
    auto pal = DemoPalette();
    GFX_InitVideo(pal.data());
    control = CONTROL_MOUSE;
    IPT_Init(); // the mouse is grabbed only during play
    PTR_Init(1);
    auto pic = ArrowPic();
    PTR_SetPic(pic.data(), static_cast<int>(pic.size()));
    DrawBackground();
    PTR_SetPos(160, 100);
    PTR_DrawCursor(1);
    printf("ready\n");
    fflush(stdout);

    uint32_t end = I_GetTicks() + seconds * 1000;
    int lastx = -1, lasty = -1;
    while (I_GetTicks() < end) {
        GFX_DisplayUpdate();
        if (cur_mx != lastx || cur_my != lasty) {
            lastx = cur_mx;
            lasty = cur_my;
            printf("pointer %d %d\n", cur_mx, cur_my);
        }
        if (lastscan) {
            printf("key %d '%c'\n", lastscan, lastascii >= 32 && lastascii < 127 ? lastascii : ' ');
            if (lastscan == SC_ESCAPE) break;
            lastscan = 0;
        }
        if (mouse_b1_ack || mouse_b2_ack || mouse_b3_ack) {
            printf("click %d %d %d at %d %d\n", mouse_b1_ack, mouse_b2_ack, mouse_b3_ack, cur_mx,
                   cur_my);
            mouse_b1_ack = mouse_b2_ack = mouse_b3_ack = 0;
        }
        fflush(stdout);
    }
    printf("done\n");
    PTR_DrawCursor(0);
    closewindow();
    I_ShutdownGraphics();
}

} // namespace
