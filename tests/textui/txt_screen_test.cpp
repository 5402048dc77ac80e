// The text-mode screen: rendering of cells through the font and palette, the font's cover
// of code page 437, and how SDL input turns into the toolkit's codes.
#include <gtest/gtest.h>

#include <set>

#include "testutil/testutil.h"
#include "textui/txt_cp437.h"
#include "textui/txt_font.h"
#include "textui/txt_main.h"
#include "textui/txt_script.h"

namespace
{

class TxtScreenTest : public ::testing::Test
{
  protected:
    void SetUp() override { ASSERT_EQ(TXT_Init(0), 1); }
    void TearDown() override
    {
        TXT_Shutdown();
        SDL_Quit();
    }
    vt::TempHome home;
    vt::FakeClock clock{1000, 1};
};

uint32_t Pixel(int x, int y)
{
    return TXT_GetPixels()[y * TXT_PIXELS_W + x];
}

void PutCell(int x, int y, uint8_t c, uint8_t attr)
{
    uint8_t* s = TXT_GetScreenData();
    s[(y * TXT_SCREEN_W + x) * 2] = c;
    s[(y * TXT_SCREEN_W + x) * 2 + 1] = attr;
}

TEST_F(TxtScreenTest, CellsAreDrawnWithTheirGlyphAndColours)
{
    // A full block in yellow on blue, a space on a bright background (bit 7 set: never
    // blinking, just bright), and a glyph with both colours in its cell.
    PutCell(0, 0, 0xdb, TXT_Attr(TXT_COLOR_YELLOW, TXT_COLOR_BLUE));
    PutCell(1, 0, ' ', 0xe0);
    PutCell(79, 24, 'A', TXT_Attr(TXT_COLOR_BRIGHT_WHITE, TXT_COLOR_RED));
    TXT_UpdateScreen();

    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 8; x++)
            ASSERT_EQ(Pixel(x, y), 0xffffff55u) << x << "," << y;
    EXPECT_EQ(Pixel(8 + 3, 5), 0xffffff55u) << "background 14 is yellow, not a blinking brown";

    std::set<uint32_t> seen;
    for (int y = 24 * 16; y < 25 * 16; y++)
        for (int x = 79 * 8; x < 80 * 8; x++)
            seen.insert(Pixel(x, y));
    EXPECT_EQ(seen, (std::set<uint32_t>{0xffffffffu, 0xffaa0000u}));
}

TEST_F(TxtScreenTest, ChangedPaletteEntryIsUsed)
{
    TXT_SetColor(TXT_COLOR_BLUE, 4, 20, 64);
    PutCell(5, 5, ' ', TXT_Attr(TXT_COLOR_GREY, TXT_COLOR_BLUE));
    TXT_UpdateScreen();
    EXPECT_EQ(Pixel(5 * 8, 5 * 16), 0xff041440u);
}

TEST(TxtFont, EveryCharacterOfCodePage437HasItsOwnGlyph)
{
    // Blank only where the character is blank; every other glyph differs from the rest,
    // so no character was silently given another's picture.
    std::set<TXT_GLYPH> glyphs;
    for (int c = 0; c < 256; c++) {
        bool blank = c == 0 || c == ' ' || c == 255;
        bool empty = txt_font[c] == TXT_GLYPH{};
        EXPECT_EQ(empty, blank) << "character " << c;
        if (!blank) {
            EXPECT_TRUE(glyphs.insert(txt_font[c]).second) << "character " << c;
        }
    }
    // The full block is solid and the light shade is a sparse pattern.
    for (uint8_t row : txt_font[0xdb])
        EXPECT_EQ(row, 0xff);
    int lit = 0;
    for (uint8_t row : txt_font[0xb0])
        lit += __builtin_popcount(row);
    EXPECT_GT(lit, 16);
    EXPECT_LT(lit, 64);
}

TEST(TxtCp437, UnicodeRoundTrip)
{
    for (int c = 1; c < 255; c++)
        EXPECT_EQ(TXT_UnicodeToCp437(txt_cp437_unicode[c]), c);
    EXPECT_EQ(TXT_UnicodeToCp437(0x2554), 0xc9); // double top-left corner
    EXPECT_EQ(TXT_UnicodeToCp437(0x20ac), -1);   // the euro sign is not there
    const char* s = "\xe2\x96\x88x\xff";
    size_t i = 0;
    EXPECT_EQ(TXT_DecodeUtf8(s, i), 0x2588);
    EXPECT_EQ(TXT_DecodeUtf8(s, i), 'x');
    EXPECT_EQ(TXT_DecodeUtf8(s, i), -1);
}

int Next()
{
    return TXT_GetChar();
}

TEST_F(TxtScreenTest, KeysBecomeToolkitCodes)
{
    vt::PushKey(SDL_SCANCODE_A);
    vt::PushKey(SDL_SCANCODE_UP);
    vt::PushKey(SDL_SCANCODE_F1);
    vt::PushKey(SDL_SCANCODE_F11);
    vt::PushKey(SDL_SCANCODE_ESCAPE);
    vt::PushKey(SDL_SCANCODE_KP_8); // the keypad is a second cursor block
    vt::PushKey(SDL_SCANCODE_RSHIFT);
    vt::PushKey(SDL_SCANCODE_LCTRL);
    EXPECT_EQ(Next(), 'a');
    EXPECT_EQ(Next(), 173);
    EXPECT_EQ(Next(), 187);
    EXPECT_EQ(Next(), 215);
    EXPECT_EQ(Next(), 27);
    EXPECT_EQ(Next(), KEY_UPARROW);
    EXPECT_EQ(Next(), KEY_RSHIFT);
    EXPECT_EQ(Next(), KEY_RCTRL);
    EXPECT_EQ(Next(), -1) << "key releases are not input";
}

TEST_F(TxtScreenTest, TextInputDeliversTypedCharactersOnce)
{
    TXT_SetTextInput(true);
    // A key press and the text it types arrive together; only the text counts, while
    // editing keys still come through.
    vt::PushKey(SDL_SCANCODE_A);
    vt::PushText("A");
    vt::PushKey(SDL_SCANCODE_BACKSPACE);
    EXPECT_EQ(Next(), 'A');
    EXPECT_EQ(Next(), KEY_BACKSPACE);
    EXPECT_EQ(Next(), -1);

    TXT_SetTextInput(false);
    vt::PushText("b");
    EXPECT_EQ(Next(), -1) << "text events are ignored outside text entry";
}

TEST_F(TxtScreenTest, AltEnterSwitchesFullScreenAndGoesNoFurther)
{
    EXPECT_FALSE(TXT_IsFullscreen());
    vt::PushKey(SDL_SCANCODE_RETURN, KMOD_LALT);
    vt::PushKey(SDL_SCANCODE_RETURN);
    EXPECT_EQ(Next(), KEY_ENTER);
    EXPECT_EQ(Next(), -1);
    EXPECT_TRUE(TXT_IsFullscreen());
}

TEST_F(TxtScreenTest, MouseButtonsWheelControllerAndQuit)
{
    vt::PushMouseButton(SDL_BUTTON_LEFT, 3, 4);
    vt::PushMouseButton(SDL_BUTTON_RIGHT, 3, 4);
    vt::PushMouseButton(SDL_BUTTON_MIDDLE, 3, 4);
    vt::PushMouseButton(SDL_BUTTON_X1, 3, 4);
    vt::PushWheel(1);
    vt::PushWheel(-2);
    vt::PushControllerButton(2);
    vt::PushQuit();
    EXPECT_EQ(Next(), TXT_MOUSE_LEFT);
    EXPECT_EQ(Next(), TXT_MOUSE_RIGHT);
    EXPECT_EQ(Next(), TXT_MOUSE_MIDDLE);
    EXPECT_EQ(Next(), TXT_MOUSE_BASE + 3);
    EXPECT_EQ(Next(), TXT_MOUSE_SCROLLUP);
    EXPECT_EQ(Next(), TXT_MOUSE_SCROLLDOWN);
    EXPECT_EQ(Next(), TXT_JOY_BASE + 2);
    EXPECT_EQ(Next(), TXT_QUIT);
}

TEST_F(TxtScreenTest, PointerPositionIsInCellsAtAnyScale)
{
    int x, y;
    TXT_GetMousePosition(&x, &y);
    EXPECT_EQ(x, -1) << "no position before the pointer was seen";

    // Around the corners of the grid, at the window's first size and at a bigger one,
    // where the picture is scaled by a whole factor and centred.
    SDL_Window* win = nullptr;
    for (Uint32 id = 1; id < 1000 && !win; id++)
        win = SDL_GetWindowFromID(id);
    ASSERT_NE(win, nullptr);
    for (int pass = 0; pass < 2; pass++) {
        if (pass == 1) {
            SDL_SetWindowSize(win, 1700, 1000);
            TXT_UpdateScreen();
        }
        for (auto [cx, cy] : {std::pair{0, 0}, {79, 24}, {40, 12}, {13, 7}}) {
            vt::PushMouseMove(cx, cy);
            EXPECT_EQ(Next(), -1);
            TXT_GetMousePosition(&x, &y);
            EXPECT_EQ(x, cx);
            EXPECT_EQ(y, cy);
        }
    }

    // Outside the picture there is no cell.
    SDL_Event ev{};
    ev.type = SDL_MOUSEMOTION;
    ev.motion.x = 1;
    ev.motion.y = 1;
    SDL_PushEvent(&ev);
    Next();
    TXT_GetMousePosition(&x, &y);
    EXPECT_EQ(x, -1);
    EXPECT_EQ(y, -1);
}

TEST_F(TxtScreenTest, KeyNames)
{
    char buf[16];
    EXPECT_STREQ(TXT_GetKeyDescription(KEY_UPARROW, buf, sizeof(buf)), "UP");
    EXPECT_STREQ(TXT_GetKeyDescription('q', buf, sizeof(buf)), "Q");
    EXPECT_STREQ(TXT_GetKeyDescription(' ', buf, sizeof(buf)), "SPACE");
    EXPECT_STREQ(TXT_GetKeyDescription(KEY_F12, buf, sizeof(buf)), "F12");
    EXPECT_STREQ(TXT_GetKeyDescription(0x1234, buf, sizeof(buf)), "?");
    EXPECT_TRUE(TXT_IsNamedKey(KEY_RCTRL));
    EXPECT_TRUE(TXT_IsNamedKey(';'));
    EXPECT_FALSE(TXT_IsNamedKey('A')) << "upper case is typed text, never a key";
    EXPECT_FALSE(TXT_IsNamedKey(0));
}

TEST(TxtScreen, SleepingWaitsOnTheClockUntilInputOrTimeout)
{
    vt::TempHome home;
    vt::FakeClock clock(1000, 1);
    ASSERT_EQ(TXT_Init(0), 1);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    uint32_t before = clock.now();
    TXT_Sleep(500);
    EXPECT_GE(clock.now() - before, 500u);
    EXPECT_LT(clock.now() - before, 600u);
    vt::PushKey(SDL_SCANCODE_Q);
    before = clock.now();
    TXT_Sleep(0);
    EXPECT_LT(clock.now() - before, 5u) << "input ends the wait at once";
    TXT_Shutdown();
    SDL_Quit();
}

} // namespace
