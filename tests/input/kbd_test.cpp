// The keyboard as the game sees it: scan codes, characters, held keys and presses.
#include <string>
#include <vector>

#include "input/inputtest.h"
#include "testutil/testutil.h"

namespace
{

class KeyboardTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        vt::InitInputPlatform();
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        KBD_Install();
        KBD_Clear();
        lastascii = 0;
        capslock = 0;
        kbd_ack = 0;
    }

    // Presses each key in turn (with the given key held throughout) and collects the
    // characters.
    std::string Type(const std::vector<SDL_Scancode>& keys,
                     SDL_Scancode held = SDL_SCANCODE_UNKNOWN)
    {
        if (held != SDL_SCANCODE_UNKNOWN) vt::PushKey(held, true);
        std::string out;
        for (SDL_Scancode sc : keys) {
            vt::PushKey(sc, true);
            vt::Pump();
            out += static_cast<char>(lastascii);
            vt::PushKey(sc, false);
            vt::Pump();
        }
        if (held != SDL_SCANCODE_UNKNOWN) {
            vt::PushKey(held, false);
            vt::Pump();
        }
        return out;
    }

    static std::vector<SDL_Scancode> Keys(const std::vector<const char*>& names)
    {
        std::vector<SDL_Scancode> keys;
        for (const char* n : names) {
            SDL_Scancode sc = SDL_GetScancodeFromName(n);
            EXPECT_NE(sc, SDL_SCANCODE_UNKNOWN) << n;
            keys.push_back(sc);
        }
        return keys;
    }

    vt::TempHome home; // the pump may write (screenshots): never into the real home
    vt::FakeClock clock{1000, 1};
};

// Every key of a PC keyboard by its platform name, and the scan code the game knows it by.
struct NAMED {
    const char* name;
    int code;
};
const NAMED named_keys[] = {
    {"A", 30},
    {"B", 48},
    {"C", 46},
    {"D", 32},
    {"E", 18},
    {"F", 33},
    {"G", 34},
    {"H", 35},
    {"I", 23},
    {"J", 36},
    {"K", 37},
    {"L", 38},
    {"M", 50},
    {"N", 49},
    {"O", 24},
    {"P", 25},
    {"Q", 16},
    {"R", 19},
    {"S", 31},
    {"T", 20},
    {"U", 22},
    {"V", 47},
    {"W", 17},
    {"X", 45},
    {"Y", 21},
    {"Z", 44},
    {"1", 2},
    {"2", 3},
    {"3", 4},
    {"4", 5},
    {"5", 6},
    {"6", 7},
    {"7", 8},
    {"8", 9},
    {"9", 10},
    {"0", 11},
    {"Return", 28},
    {"Escape", 1},
    {"Backspace", 14},
    {"Tab", 15},
    {"Space", 57},
    {"-", 12},
    {"=", 13},
    {"[", 26},
    {"]", 27},
    {"\\", 43},
    {";", 39},
    {"'", 40},
    {"`", 41},
    {",", 51},
    {".", 52},
    {"/", 53},
    {"CapsLock", 58},
    {"F1", 59},
    {"F2", 60},
    {"F3", 61},
    {"F4", 62},
    {"F5", 63},
    {"F6", 64},
    {"F7", 65},
    {"F8", 66},
    {"F9", 67},
    {"F10", 68},
    {"F11", 86},
    {"PrintScreen", 224},
    {"ScrollLock", 70},
    {"Pause", 224},
    {"Insert", 82},
    {"Home", 71},
    {"PageUp", 73},
    {"Delete", 83},
    {"End", 79},
    {"PageDown", 81},
    {"Right", 77},
    {"Left", 75},
    {"Down", 80},
    {"Up", 72},
    {"Numlock", 69},
    {"Keypad /", 224},
    {"Keypad *", 55},
    {"Keypad -", 74},
    {"Keypad +", 78},
    {"Keypad Enter", 28},
    {"Keypad 1", 79},
    {"Keypad 2", 80},
    {"Keypad 3", 81},
    {"Keypad 4", 75},
    {"Keypad 5", 76},
    {"Keypad 6", 77},
    {"Keypad 7", 71},
    {"Keypad 8", 72},
    {"Keypad 9", 73},
    {"Keypad 0", 82},
    {"Keypad .", 83},
    {"Left Ctrl", 29},
    {"Right Ctrl", 29},
    {"Left Shift", 42},
    {"Right Shift", 54},
    {"Left Alt", 56},
    {"Right Alt", 56},
};

TEST_F(KeyboardTest, EveryPlatformKeyLandsOnItsScanCodeOrIsIgnored)
{
    // F12 (scan code 88) is the screenshot key: the video layer takes it before the game
    // sees it, so it is checked on the table alone.
    EXPECT_EQ(ScanCodeMap[SDL_SCANCODE_F12], 88);
    int expected[SDL_NUM_SCANCODES] = {};
    for (const NAMED& k : named_keys) {
        SDL_Scancode sc = SDL_GetScancodeFromName(k.name);
        ASSERT_NE(sc, SDL_SCANCODE_UNKNOWN) << k.name;
        expected[sc] = k.code;
    }
    for (int sc = 0; sc < SDL_NUM_SCANCODES; sc++) {
        SCOPED_TRACE(testing::Message()
                     << "scancode " << sc << " " << SDL_GetScancodeName(SDL_Scancode(sc)));
        lastscan = 0;
        vt::PushKey(SDL_Scancode(sc), true);
        vt::Pump();
        int held = 0, count = 0;
        for (int c = 0; c < 256; c++)
            if (keyboard[c]) {
                held = c;
                count++;
            }
        EXPECT_EQ(held, expected[sc]);
        EXPECT_LE(count, 1);
        EXPECT_EQ(lastscan, expected[sc]);
        vt::PushKey(SDL_Scancode(sc), false);
        vt::Pump();
        if (expected[sc]) {
            EXPECT_EQ(keyboard[expected[sc]], 0);
        }
    }
}

TEST_F(KeyboardTest, CharactersFollowTheUsLayoutWithAndWithoutShift)
{
    auto row =
        Keys({"Q", "W", "E", "R", "T", "Y", "U", "I", "O",  "P", "A", "S", "D", "F", "G", "H",
              "J", "K", "L", "Z", "X", "C", "V", "B", "N",  "M", "1", "2", "3", "4", "5", "6",
              "7", "8", "9", "0", "-", "=", "[", "]", "\\", ";", "'", "`", ",", ".", "/", "Space"});
    EXPECT_EQ(Type(row), "qwertyuiopasdfghjklzxcvbnm1234567890-=[]\\;'`,./ ");
    EXPECT_EQ(Type(row, SDL_SCANCODE_LSHIFT), "QWERTYUIOPASDFGHJKLZXCVBNM!@#$%^&*()_+{}|:\"~<>? ");
    EXPECT_EQ(Type(row, SDL_SCANCODE_RSHIFT), "QWERTYUIOPASDFGHJKLZXCVBNM!@#$%^&*()_+{}|:\"~<>? ");

    // The keypad gives the same characters shifted or not; its full stop is Delete.
    auto pad =
        Keys({"Keypad 7", "Keypad 8", "Keypad 9", "Keypad -", "Keypad 4", "Keypad 5", "Keypad 6",
              "Keypad +", "Keypad 1", "Keypad 2", "Keypad 3", "Keypad 0", "Keypad *"});
    EXPECT_EQ(Type(pad), "789-456+1230*");
    EXPECT_EQ(Type(pad, SDL_SCANCODE_LSHIFT), "789-456+1230*");

    auto controls = Keys({"Escape", "Backspace", "Tab", "Return", "Keypad .", "F1", "F11"});
    EXPECT_EQ(Type(controls), std::string("\x1b\x08\x09\x0d\x7f\0\0", 7));
    EXPECT_EQ(Type(controls, SDL_SCANCODE_LSHIFT), std::string("\x1b\x08\x09\x0d\x7f\0\0", 7));
}

TEST_F(KeyboardTest, CapsLockHeldActsAsShiftForLettersAndDigits)
{
    vt::PushKey(SDL_SCANCODE_CAPSLOCK, true);
    vt::Pump();
    EXPECT_EQ(capslock, 1);
    EXPECT_EQ(Type(Keys({"1", "A", "/"})), "!A?");

    vt::PushKey(SDL_SCANCODE_CAPSLOCK, false);
    vt::Pump();
    EXPECT_EQ(capslock, 0);
    EXPECT_EQ(Type(Keys({"1", "A"})), "1a");
}

TEST_F(KeyboardTest, KeysBeyondTheCharacterTableGiveNoCharacterEvenShifted)
{
    // Print Screen, Pause and keypad divide share a code above the table's shifted half.
    for (const char* name : {"PrintScreen", "Pause", "Keypad /"}) {
        lastascii = 'x';
        EXPECT_EQ(Type(Keys({name}), SDL_SCANCODE_LSHIFT), std::string(1, '\0')) << name;
        EXPECT_EQ(lastscan, 224);
    }
}

TEST_F(KeyboardTest, AutoRepeatOffersAHeldKeyAgainAndReleaseEndsTheAcknowledge)
{
    vt::PushKey(SDL_SCANCODE_DOWN, true);
    vt::Pump();
    EXPECT_EQ(lastscan, SC_DOWN);
    EXPECT_EQ(kbd_ack, 1);
    lastscan = 0; // taken by a menu

    vt::PushKey(SDL_SCANCODE_DOWN, true, true);
    vt::Pump();
    EXPECT_EQ(lastscan, SC_DOWN);
    EXPECT_EQ(keyboard[SC_DOWN], 1);

    vt::PushKey(SDL_SCANCODE_DOWN, false);
    vt::Pump();
    EXPECT_EQ(keyboard[SC_DOWN], 0);
    EXPECT_EQ(kbd_ack, 0);
    EXPECT_EQ(lastscan, SC_DOWN); // a release does not take the press back

    KBD_Clear();
    EXPECT_EQ(lastscan, 0);
}

} // namespace
