// Video output on SDL's dummy driver: the window's shape rules, the scaling factors, the
// window position rules, what reaches the window, the mouse mapping, the full-screen
// toggle and screenshots.
#include <SDL.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/prefapi.h"
#include "gfx/gfxapi.h"
#include "gfx/i_video.h"
#include "gfx/ptrapi.h"
#include "input/kbdapi.h"
#include "testutil/gfxitems.h"
#include "testutil/testutil.h"

namespace
{

TEST(ShapeTest, WindowSizesAreBroughtToTheScreenShape)
{
    struct {
        int w, h, ah, ew, eh;
    } cases[] = {
        {800, 600, 240, 800, 600},   // already 4:3
        {1000, 600, 240, 800, 600},  // too wide: the height stays
        {800, 900, 240, 800, 600},   // too tall: the width stays
        {1001, 751, 240, 1001, 751}, // rounding up keeps the whole picture
        {1000, 600, 200, 960, 600},  // 16:10 without correction
        {320, 240, 240, 320, 240},
        {1920, 1080, 240, 1440, 1080}, // a full-HD screen shows a 1440x1080 picture
    };
    for (auto c : cases) {
        int w = c.w, h = c.h;
        I_FitWindowShape(&w, &h, c.ah);
        EXPECT_EQ(w, c.ew) << c.w << "x" << c.h;
        EXPECT_EQ(h, c.eh) << c.w << "x" << c.h;
    }
}

TEST(ShapeTest, UpscaleFactorsFitTheOutputAndTheLimits)
{
    I_UPSCALE up;
    ASSERT_TRUE(I_ComputeUpscale(1920, 1080, 240, 16384, 16384, &up));
    EXPECT_EQ(up.w_factor, 5); // 1440 wide inside 1920x1080
    EXPECT_EQ(up.h_factor, 6);
    EXPECT_FALSE(up.limited);

    ASSERT_TRUE(I_ComputeUpscale(800, 600, 240, 16384, 16384, &up));
    EXPECT_EQ(up.w_factor, 3);
    EXPECT_EQ(up.h_factor, 3);
    ASSERT_TRUE(I_ComputeUpscale(100, 50, 200, 16384, 16384, &up));
    EXPECT_EQ(up.w_factor, 1);
    EXPECT_EQ(up.h_factor, 1);

    // The largest texture the renderer takes.
    ASSERT_TRUE(I_ComputeUpscale(1920, 1080, 240, 1024, 1024, &up));
    EXPECT_EQ(up.w_factor, 3);
    EXPECT_EQ(up.h_factor, 5);
    EXPECT_TRUE(up.limited);
    EXPECT_FALSE(I_ComputeUpscale(1920, 1080, 240, 200, 4096, &up));

    // At most 16 million pixels, taking the larger factor down first.
    ASSERT_TRUE(I_ComputeUpscale(8000, 6000, 240, 65536, 65536, &up));
    EXPECT_TRUE(up.limited);
    EXPECT_LE(int64_t{up.w_factor} * up.h_factor * 64000, 16000000);
    EXPECT_LE(abs(up.w_factor - up.h_factor), 1);
}

class VideoTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        GFX_InitSystem();
        pal = vt::MakeRampPalette();
        // Entry 1 pure red, 2 pure blue, 3 white.
        const uint8_t special[4][3] = {{0, 0, 0}, {63, 0, 0}, {0, 0, 63}, {63, 63, 63}};
        memcpy(pal.data(), special, sizeof(special));
        fullscreen = 0;
        window_width = 800;
        window_height = 600;
        M_window_position("center");
        video_display = 0;
    }
    void TearDown() override
    {
        closewindow();
        I_ShutdownGraphics();
        aspect_ratio_correct = 1;
        fullscreen = 0;
    }
    static void M_window_position(const char* s)
    {
        strncpy(window_position, s, sizeof(window_position) - 1);
    }
    void Open()
    {
        GFX_InitVideo(pal.data());
        ASSERT_NE(I_GetWindow(), nullptr);
    }
    // The colour the window shows at a window pixel.
    static SDL_Color WindowPixel(int x, int y)
    {
        SDL_Renderer* r = SDL_GetRenderer(I_GetWindow());
        uint32_t px = 0;
        SDL_Rect one = {x, y, 1, 1};
        SDL_RenderReadPixels(r, &one, SDL_PIXELFORMAT_ARGB8888, &px, 4);
        return SDL_Color{uint8_t(px >> 16), uint8_t(px >> 8), uint8_t(px), 255};
    }
    static void PushKey(SDL_Scancode sc, uint16_t mod)
    {
        SDL_Event ev = {};
        ev.type = SDL_KEYDOWN;
        ev.key.windowID = SDL_GetWindowID(I_GetWindow());
        ev.key.state = SDL_PRESSED;
        ev.key.keysym.scancode = sc;
        ev.key.keysym.sym = SDL_GetKeyFromScancode(sc);
        ev.key.keysym.mod = mod;
        SDL_PushEvent(&ev);
    }
    static void PushWindowEvent(uint8_t what)
    {
        SDL_Event ev = {};
        ev.type = SDL_WINDOWEVENT;
        ev.window.windowID = SDL_GetWindowID(I_GetWindow());
        ev.window.event = what;
        SDL_PushEvent(&ev);
    }
    vt::FakeClock clock{1000, 1};
    std::vector<uint8_t> pal;
};

TEST_F(VideoTest, TheWindowShowsTheScreenBufferScaledToFourByThree)
{
    Open();
    int w, h;
    SDL_GetWindowSize(I_GetWindow(), &w, &h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    EXPECT_STREQ(SDL_GetWindowTitle(I_GetWindow()), "Vultar 0.8.2");

    // Left half red, right half blue, the top ten rows white.
    for (int y = 0; y < 200; y++)
        for (int x = 0; x < 320; x++)
            displaybuffer[y * 320 + x] = y < 10 ? 3 : x < 160 ? 1 : 2;
    GFX_MarkUpdate(0, 0, 320, 200);
    GFX_DisplayUpdate();
    EXPECT_EQ(memcmp(displayscreen, displaybuffer, SCREENSIZE), 0);

    SDL_Color c = WindowPixel(200, 300);
    EXPECT_EQ(c.r, 252);
    EXPECT_EQ(c.b, 0);
    c = WindowPixel(600, 300);
    EXPECT_EQ(c.r, 0);
    EXPECT_EQ(c.b, 252);
    // Ten of 200 rows are 30 of 600 window rows with the 4:3 stretch.
    c = WindowPixel(400, 26);
    EXPECT_EQ(c.g, 252);
    c = WindowPixel(400, 34);
    EXPECT_EQ(c.g, 0);

    // A palette change shows at the next presentation without a frame copy.
    uint8_t green[768] = {};
    for (int i = 0; i < 256; i++)
        green[i * 3 + 1] = 63;
    GFX_SetPalette(green, 0);
    I_FinishUpdate();
    c = WindowPixel(200, 300);
    EXPECT_EQ(c.r, 0);
    EXPECT_EQ(c.g, 252);
}

TEST_F(VideoTest, ResizingKeepsTheShapeOnlyWithAspectCorrection)
{
    Open();
    SDL_SetWindowSize(I_GetWindow(), 1000, 600);
    PushWindowEvent(SDL_WINDOWEVENT_RESIZED);
    I_GetEvent();
    I_FinishUpdate();
    int w, h;
    SDL_GetWindowSize(I_GetWindow(), &w, &h);
    EXPECT_EQ(w, 800);
    EXPECT_EQ(h, 600);
    EXPECT_EQ(window_width, 800);
    // A menu loop learns of the resize once.
    EXPECT_TRUE(I_GetNeedResize(true));
    EXPECT_FALSE(I_GetNeedResize(true));
    closewindow();
    I_ShutdownGraphics();

    aspect_ratio_correct = 0;
    window_width = 1000;
    window_height = 600;
    Open();
    SDL_GetWindowSize(I_GetWindow(), &w, &h);
    EXPECT_EQ(w, 1000);
    SDL_SetWindowSize(I_GetWindow(), 1000, 600);
    PushWindowEvent(SDL_WINDOWEVENT_RESIZED);
    I_GetEvent();
    I_FinishUpdate();
    SDL_GetWindowSize(I_GetWindow(), &w, &h);
    EXPECT_EQ(w, 1000);
    EXPECT_EQ(h, 600);
}

TEST_F(VideoTest, MousePositionMapsToScreenCoordinatesBothWays)
{
    for (int correct : {1, 0}) {
        aspect_ratio_correct = correct;
        Open();
        for (auto [x, y] :
             {std::pair{160, 100}, std::pair{0, 0}, std::pair{319, 199}, std::pair{37, 151}}) {
            I_SetMousePos(x, y);
            int mx = -1, my = -1;
            I_GetMousePos(&mx, &my);
            EXPECT_EQ(mx, x) << "correction " << correct;
            EXPECT_EQ(my, y) << "correction " << correct;
        }
        closewindow();
        I_ShutdownGraphics();
    }
}

// The whole window as 32-bit pixels.
std::vector<uint32_t> ReadWindow()
{
    SDL_Renderer* r = SDL_GetRenderer(I_GetWindow());
    int w, h;
    SDL_GetRendererOutputSize(r, &w, &h);
    std::vector<uint32_t> px(size_t(w) * h);
    if (SDL_RenderReadPixels(r, nullptr, SDL_PIXELFORMAT_ARGB8888, px.data(), w * 4) != 0)
        px.clear();
    return px;
}

// A picture with sharp edges everywhere: every pixel a colour of its own neighbours do not
// share, so any pixel taken from the wrong place or blended differently shows.
void DrawBusyPicture(uint32_t seed)
{
    for (int i = 0; i < SCREENSIZE; i++) {
        seed = seed * 1103515245 + 12345;
        displayscreen[i] = static_cast<uint8_t>(seed >> 16);
    }
}

TEST_F(VideoTest, BothPresentationsShowTheSamePixels)
{
    struct {
        int w, h, correct;
    } cases[] = {
        {640, 400, 0},  {640, 480, 1},  {800, 600, 1},   {1280, 800, 0},
        {1280, 800, 1}, {1001, 751, 1}, {1920, 1080, 1}, {333, 250, 0},
    };
    for (auto c : cases) {
        std::vector<uint32_t> shot[2];
        for (int classic : {1, 0}) {
            classic_present = classic;
            aspect_ratio_correct = c.correct;
            window_width = c.w;
            window_height = c.h;
            Open();
            DrawBusyPicture(c.w * 7 + c.h);
            I_FinishUpdate();
            shot[classic] = ReadWindow();
            // The point of the current presentation: the renderer's last step is ours.
            if (!classic) {
                EXPECT_TRUE(I_OwnFilterInUse()) << c.w << "x" << c.h;
            }
            closewindow();
            I_ShutdownGraphics();
        }
        classic_present = 0;
        ASSERT_FALSE(shot[1].empty());
        ASSERT_EQ(shot[0].size(), shot[1].size()) << c.w << "x" << c.h;
        size_t differ = 0;
        for (size_t i = 0; i < shot[0].size(); i++)
            differ += shot[0][i] != shot[1][i];
        EXPECT_EQ(differ, 0u) << c.w << "x" << c.h << " correction " << c.correct;
    }
}

TEST_F(VideoTest, AnUnchangedPictureIsNotPresentedAgainUntilTheWindowNeedsIt)
{
    Open();
    DrawBusyPicture(1);
    I_FinishUpdate();
    std::vector<uint32_t> picture = ReadWindow();
    ASSERT_FALSE(picture.empty());

    // Something else paints over the window: presenting the same picture leaves it so,
    // telling that nothing was done, until the window is exposed.
    SDL_Surface* surface = SDL_GetWindowSurface(I_GetWindow());
    ASSERT_NE(surface, nullptr);
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 10, 20, 30));
    std::vector<uint32_t> painted = ReadWindow();
    I_FinishUpdate();
    EXPECT_EQ(ReadWindow(), painted);
    PushWindowEvent(SDL_WINDOWEVENT_EXPOSED);
    I_GetEvent();
    I_FinishUpdate();
    EXPECT_EQ(ReadWindow(), picture);

    // One changed pixel or a changed palette is shown.
    SDL_FillRect(surface, nullptr, 0);
    displayscreen[100 * 320 + 100] ^= 0xFF;
    I_FinishUpdate();
    EXPECT_NE(ReadWindow(), picture);
    SDL_FillRect(surface, nullptr, 0);
    displayscreen[100 * 320 + 100] ^= 0xFF;
    GFX_SetPalette(pal.data(), 0);
    I_FinishUpdate();
    EXPECT_EQ(ReadWindow(), picture);
}

TEST_F(VideoTest, AltReturnTogglesFullScreenAndIsNotAKeyPress)
{
    Open();
    KBD_Clear();
    PushKey(SDL_SCANCODE_RETURN, KMOD_LALT);
    I_GetEvent();
    EXPECT_EQ(fullscreen, 1);
    EXPECT_TRUE(SDL_GetWindowFlags(I_GetWindow()) & SDL_WINDOW_FULLSCREEN_DESKTOP);
    EXPECT_EQ(lastscan, 0);
    PushKey(SDL_SCANCODE_KP_ENTER, KMOD_RALT);
    I_GetEvent();
    EXPECT_EQ(fullscreen, 0);
    EXPECT_FALSE(SDL_GetWindowFlags(I_GetWindow()) & SDL_WINDOW_FULLSCREEN);
    int w, h;
    SDL_GetWindowSize(I_GetWindow(), &w, &h);
    EXPECT_EQ(w * 3, h * 4);
    EXPECT_EQ(lastscan, 0);
    // Return alone is the game's.
    PushKey(SDL_SCANCODE_RETURN, KMOD_NONE);
    I_GetEvent();
    EXPECT_EQ(fullscreen, 0);
    EXPECT_EQ(lastscan, 28);
}

TEST_F(VideoTest, MouseButtonsReachThePointerOnlyWithFocus)
{
    Open();
    auto click = [](uint32_t type) {
        SDL_Event ev = {};
        ev.type = type;
        ev.button.windowID = SDL_GetWindowID(I_GetWindow());
        ev.button.button = SDL_BUTTON_LEFT;
        ev.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
        SDL_PushEvent(&ev);
    };
    mouseb1 = mouse_b1_ack = 0;
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    click(SDL_MOUSEBUTTONDOWN);
    I_GetEvent();
    EXPECT_EQ(mouseb1, 0);
    EXPECT_EQ(mouse_b1_ack, 0);
    PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    click(SDL_MOUSEBUTTONDOWN);
    I_GetEvent();
    EXPECT_EQ(mouseb1, 1);
    EXPECT_EQ(mouse_b1_ack, 1);
    click(SDL_MOUSEBUTTONUP);
    I_GetEvent();
    EXPECT_EQ(mouseb1, 0);
}

TEST(WindowPositionTest, CentreNumbersAndBadSettings)
{
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
    SDL_Rect bounds;
    ASSERT_EQ(SDL_GetDisplayBounds(0, &bounds), 0);
    int x, y;

    strcpy(window_position, "center");
    video_display = 0;
    ASSERT_TRUE(I_GetWindowPosition(&x, &y, 800, 600));
    EXPECT_EQ(x, bounds.x + (bounds.w - 800) / 2);
    EXPECT_EQ(y, bounds.y + (bounds.h - 600) / 2);
    // A window as large as the display (or nearly) sits at its corner.
    ASSERT_TRUE(I_GetWindowPosition(&x, &y, bounds.w - 1, bounds.h));
    EXPECT_EQ(x, bounds.x);
    EXPECT_EQ(y, bounds.y);

    strcpy(window_position, "100,50");
    ASSERT_TRUE(I_GetWindowPosition(&x, &y, 800, 600));
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 50);

    for (const char* bad : {"left", "100", "100,50,7", "x,y"}) {
        strcpy(window_position, bad);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(I_GetWindowPosition(&x, &y, 800, 600)) << bad;
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "I_GetWindowPosition: invalid window_position setting\n")
            << bad;
    }

    strcpy(window_position, "center");
    video_display = 7;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(I_GetWindowPosition(&x, &y, 800, 600));
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("configured to run on display #7, but it no longer exists"),
              std::string::npos);
    EXPECT_EQ(video_display, 0);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

TEST_F(VideoTest, ScreenshotKeyWritesNumberedPicturesAndNeverReplacesOne)
{
    vt::TempHome home;
    Open();
    for (int i = 0; i < SCREENSIZE; i++)
        displaybuffer[i] = static_cast<uint8_t>(i % 251);
    GFX_MarkUpdate(0, 0, 320, 200);
    GFX_DisplayUpdate();

    std::string dir = home.dataPath() + "screenshots/";
    std::filesystem::create_directories(dir);
    vt::WriteTextFile(dir + "vultar0000.png", "keep me");
    KBD_Clear();
    PushKey(SDL_SCANCODE_F12, KMOD_NONE);
    PushKey(SDL_SCANCODE_F12, KMOD_NONE);
    testing::internal::CaptureStdout();
    I_GetEvent();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(lastscan, 0) << "the game must not see the screenshot key";

    EXPECT_EQ(vt::ReadTextFile(dir + "vultar0000.png"), "keep me");
    for (const char* name : {"vultar0001.png", "vultar0002.png"}) {
        std::vector<uint8_t> png = vt::ReadFileBytes(dir + name);
        ASSERT_GT(png.size(), 33u) << name;
        EXPECT_EQ(memcmp(png.data(), "\x89PNG\r\n\x1a\n", 8), 0);
        auto be32 = [&png](size_t at) {
            return (png[at] << 24) | (png[at + 1] << 16) | (png[at + 2] << 8) | png[at + 3];
        };
        EXPECT_EQ(be32(16), 320); // width
        EXPECT_EQ(be32(20), 240); // height, with the 4:3 stretch
        EXPECT_EQ(png[25], 3);    // palette colour
    }
    EXPECT_FALSE(std::filesystem::exists(dir + "vultar0003.png"));

    // The picture handed out repeats every sixth row, as the display does.
    static uint8_t pixels[320 * 240];
    uint8_t rgb[768];
    ASSERT_EQ(I_GetPresentedPicture(pixels, rgb), 240);
    EXPECT_EQ(memcmp(pixels + 5 * 320, displayscreen + 4 * 320, 320), 0);
    EXPECT_EQ(memcmp(pixels + 239 * 320, displayscreen + 199 * 320, 320), 0);
    EXPECT_EQ(rgb[3], 252);
}

} // namespace

namespace
{

TEST(VideoPrefsTest, VideoKeysAreReadWithTheirDefaults)
{
    vt::TempHome home;
    std::string ini = home.writeSetup("\r\n[Video]\r\nfullscreen=1\r\naspect_ratio_correct=0\r\n"
                                      "txt_fullscreen=TRUE\r\n");
    ASSERT_EQ(INI_InitPreference(ini.c_str()), 1);
    VIDEO_LoadPrefs();
    EXPECT_EQ(fullscreen, 1);
    EXPECT_EQ(aspect_ratio_correct, 0);
    EXPECT_EQ(txt_fullscreen, 1);

    vt::WriteTextFile(ini, "\r\n[Setup]\r\nControl=1\r\n");
    VIDEO_LoadPrefs();
    EXPECT_EQ(fullscreen, 0);
    EXPECT_EQ(aspect_ratio_correct, 1);
    EXPECT_EQ(txt_fullscreen, 0);
    EXPECT_EQ(force_software_renderer, 1);
    EXPECT_EQ(classic_present, 0);

    vt::WriteTextFile(ini, "\r\n[Video]\r\nforce_software_renderer=0\r\nclassic_present=1\r\n");
    VIDEO_LoadPrefs();
    EXPECT_EQ(force_software_renderer, 0);
    EXPECT_EQ(classic_present, 1);
    force_software_renderer = 1;
    classic_present = 0;
}

} // namespace
