// The start screen offered before the game: run the game, run the setup, or leave.
#include <gtest/gtest.h>

#include <filesystem>

#include "setup/se_main.h"
#include "testutil/testutil.h"
#include "textui/txt_script.h"
#include "textui/txt_toolkit.h"

namespace
{

class StartScreenTest : public ::testing::Test
{
  protected:
    void SetUp() override { home.writeSetup("\r\n[Setup]\r\nControl=0\r\nsetup_menu=1\r\n"); }
    void TearDown() override
    {
        TXT_Shutdown();
        SDL_Quit();
    }
    vt::TempHome home;
    vt::FakeClock clock{1000, 1};
    vt::TxtScript script;
};

constexpr int kItemX = 35;
constexpr int kRunRow = 16, kSetupRow = 18, kExitRow = 20;
constexpr uint8_t kSelected = TXT_Attr(TXT_COLOR_BLACK, TXT_COLOR_GREY);
constexpr uint8_t kPlain = TXT_Attr(TXT_COLOR_GREY, TXT_COLOR_BLACK);
constexpr uint8_t kHover = TXT_Attr(TXT_COLOR_BLACK, TXT_COLOR_CYAN);

TEST_F(StartScreenTest, ShowsThePictureAndItsThreeItemsAndRunsTheGameOnEnter)
{
    script
        .Then([] {
            EXPECT_EQ(vt::ScreenRow(kRunRow).substr(kItemX, 10), "Run Vultar");
            EXPECT_EQ(vt::ScreenRow(kSetupRow).substr(kItemX, 10), "Run Setup ");
            EXPECT_EQ(vt::ScreenRow(kExitRow).substr(kItemX, 10), "Exit      ");
            EXPECT_EQ(vt::AttrAt(kItemX, kRunRow), kSelected);
            EXPECT_EQ(vt::AttrAt(kItemX + 9, kRunRow), kSelected) << "the whole padded item";
            EXPECT_EQ(vt::AttrAt(kItemX, kSetupRow), kPlain);
            EXPECT_EQ(vt::ScreenRow(24).substr(45, 16), "Vultar ver 0.8.2");
            EXPECT_EQ(vt::AttrAt(45, 24), TXT_Attr(TXT_COLOR_DARK_GREY, TXT_COLOR_BLACK));
        })
        .Keys({SDL_SCANCODE_UP}) // already at the top
        .Keys({SDL_SCANCODE_RETURN});
    EXPECT_EQ(StartScreen(), 0);
    EXPECT_EQ(script.Remaining(), 0u);
    EXPECT_FALSE(TXT_IsOpen()) << "the game gets the display to itself";
}

TEST_F(StartScreenTest, SwitchedOffItReturnsAtOnce)
{
    home.writeSetup("\r\n[Setup]\r\nsetup_menu=0\r\n");
    // No steps: had the screen waited for input, the script would have aborted.
    EXPECT_EQ(StartScreen(), 0);
    EXPECT_FALSE(TXT_IsOpen());
}

TEST_F(StartScreenTest, SelectionFollowsTheArrowsTheWheelAndThePointer)
{
    script
        .Keys({SDL_SCANCODE_DOWN, SDL_SCANCODE_DOWN, SDL_SCANCODE_DOWN}) // stops at Exit
        .Then([] {
            EXPECT_EQ(vt::AttrAt(kItemX, kExitRow), kSelected);
            EXPECT_EQ(vt::AttrAt(kItemX, kRunRow), kPlain);
            // Pointing at an item shows it, one cell past its text included.
            vt::PushMouseMove(kItemX + 10, kSetupRow);
        })
        .Then([] {
            EXPECT_EQ(vt::AttrAt(kItemX, kSetupRow), kHover);
            EXPECT_EQ(vt::AttrAt(kItemX, kExitRow), kSelected);
            vt::PushWheel(-1); // the wheel over an item selects it
            vt::PushMouseMove(kItemX + 11, kSetupRow);
        })
        .Then([] {
            EXPECT_EQ(vt::AttrAt(kItemX, kSetupRow), kSelected);
            EXPECT_EQ(vt::AttrAt(kItemX, kExitRow), kPlain);
        })
        .Keys({SDL_SCANCODE_UP, SDL_SCANCODE_RETURN});
    EXPECT_EQ(StartScreen(), 0);
}

TEST_F(StartScreenTest, ExitEndsTheProcess)
{
    EXPECT_EXIT(
        {
            script.Keys({SDL_SCANCODE_DOWN, SDL_SCANCODE_DOWN, SDL_SCANCODE_RETURN});
            StartScreen();
            fprintf(stderr, "returned\n");
        },
        ::testing::ExitedWithCode(0), "^$");
}

TEST_F(StartScreenTest, EscapeClickOnExitAndClosingTheWindowEndTheProcess)
{
    EXPECT_EXIT(
        {
            script.Keys({SDL_SCANCODE_ESCAPE});
            StartScreen();
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(
        {
            script.Then([] { vt::PushClick(kItemX + 2, kExitRow); });
            StartScreen();
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(
        {
            script.Then([] { vt::PushQuit(); });
            StartScreen();
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(StartScreenTest, SetupReturnsToTheStartScreen)
{
    script.ClickOn("Run Setup")
        .Then([] {
            EXPECT_TRUE(vt::ScreenHas("Vultar Setup ver 0.8.2"));
            EXPECT_TRUE(vt::ScreenHas("Main Menu"));
        })
        .Keys({SDL_SCANCODE_ESCAPE})
        .Then([] {
            EXPECT_EQ(vt::ScreenRow(kRunRow).substr(kItemX, 10), "Run Vultar");
            EXPECT_EQ(vt::ScreenRow(24).substr(45, 16), "Vultar ver 0.8.2");
            EXPECT_EQ(vt::AttrAt(kItemX, kSetupRow), kHover) << "the pointer is still on it";
        })
        .Keys({SDL_SCANCODE_UP, SDL_SCANCODE_RETURN});
    EXPECT_EQ(StartScreen(), 0);
    EXPECT_EQ(script.Remaining(), 0u);
}

TEST_F(StartScreenTest, ClosingTheWindowDuringTheSetupEndsTheProcess)
{
    EXPECT_EXIT(
        {
            script.Keys({SDL_SCANCODE_DOWN, SDL_SCANCODE_RETURN}).Then([] { vt::PushQuit(); });
            StartScreen();
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(StartScreenTest, NoDisplayIsReported)
{
    EXPECT_EXIT(
        {
            setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
            StartScreen();
        },
        ::testing::ExitedWithCode(255), "Failed to initialise GUI");
}

} // namespace
