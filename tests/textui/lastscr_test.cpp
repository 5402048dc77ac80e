// The closing text screen: shown exactly as stored, full screen on request, gone on a key.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "gfx/i_lastscr.h"
#include "gfx/i_video.h"
#include "testutil/testutil.h"
#include "textui/txt_script.h"

namespace
{

class LastScreenTest : public ::testing::Test
{
  protected:
    void TearDown() override
    {
        txt_fullscreen = 0;
        SDL_Quit();
    }
    vt::TempHome home;
    vt::FakeClock clock{1000, 1};
    vt::TxtScript script;
};

const char* WindowTitle()
{
    for (Uint32 id = 1; id < 1000; id++)
        if (SDL_Window* w = SDL_GetWindowFromID(id)) return SDL_GetWindowTitle(w);
    return "";
}

TEST_F(LastScreenTest, ShowsTheCellsUntilAKeyIsPressed)
{
    std::vector<uint8_t> cells(4000);
    for (size_t i = 0; i < cells.size(); i += 2) {
        cells[i] = static_cast<uint8_t>(i / 2 % 251 + 1);
        cells[i + 1] = static_cast<uint8_t>(i / 2 % 256); // bit 7: bright background
    }
    // A key pressed while the game was closing is not taken as the answer.
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
    vt::PushKey(SDL_SCANCODE_Y);
    bool seen = false;
    script
        .Then([&] {
            seen = true;
            EXPECT_EQ(memcmp(TXT_GetScreenData(), cells.data(), cells.size()), 0);
            EXPECT_STREQ(WindowTitle(), "Vultar 0.8.2");
            EXPECT_FALSE(TXT_IsFullscreen());
            vt::PushMouseMove(10, 10); // moving the mouse is no answer
        })
        .Then([] { vt::PushKey(SDL_SCANCODE_SPACE); });
    I_LASTSCR(cells.data(), cells.size());
    EXPECT_TRUE(seen);
    EXPECT_EQ(script.Remaining(), 0u);
    EXPECT_FALSE(TXT_IsOpen());
}

TEST_F(LastScreenTest, FullScreenWhenTheTextScreensAreSetSo)
{
    std::vector<uint8_t> cells(4000, 0x41);
    txt_fullscreen = 1;
    script.Then([] {
        EXPECT_TRUE(TXT_IsFullscreen());
        vt::PushMouseButton(SDL_BUTTON_LEFT, 1, 1); // a click ends it too
    });
    I_LASTSCR(cells.data(), cells.size());
    EXPECT_EQ(script.Remaining(), 0u);
}

TEST_F(LastScreenTest, AShortScreenShowsWhatThereIsAndNothingShowsNoScreen)
{
    // A damaged item shorter than a screen: shown as far as it goes, never read past.
    std::vector<uint8_t> cells(10, 'x');
    script.Then([] {
        const uint8_t* s = TXT_GetScreenData();
        EXPECT_EQ(s[8], 'x');
        EXPECT_EQ(s[10], 0);
        EXPECT_EQ(s[3999], 0);
        vt::PushKey(SDL_SCANCODE_RETURN);
    });
    I_LASTSCR(cells.data(), cells.size());

    I_LASTSCR(nullptr); // with no steps left, any wait would abort
    EXPECT_FALSE(TXT_IsOpen());
}

} // namespace
