#include "input/kbdapi.h"

#include <array>
#include <cstring>

#include <SDL.h>

#include "game/i_system.h"
#include "gfx/i_video.h"

int keyboard[256];
int lastscan;
int lastascii;
int capslock;
int kbd_ack;

static constexpr std::array<uint8_t, KBD_MAPPED> MakeScanCodeMap()
{
    std::array<uint8_t, KBD_MAPPED> m{};
    constexpr uint8_t letters[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                     49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};
    for (int i = 0; i < 26; i++)
        m[SDL_SCANCODE_A + i] = letters[i];
    // Digits 1..9 then 0 sit on 2..11, in the same order as the platform's codes.
    for (int i = 0; i < 10; i++)
        m[SDL_SCANCODE_1 + i] = static_cast<uint8_t>(2 + i);
    m[SDL_SCANCODE_RETURN] = 28;
    m[SDL_SCANCODE_ESCAPE] = 1;
    m[SDL_SCANCODE_BACKSPACE] = 14;
    m[SDL_SCANCODE_TAB] = 15;
    m[SDL_SCANCODE_SPACE] = 57;
    m[SDL_SCANCODE_MINUS] = 12;
    m[SDL_SCANCODE_EQUALS] = 13;
    m[SDL_SCANCODE_LEFTBRACKET] = 26;
    m[SDL_SCANCODE_RIGHTBRACKET] = 27;
    m[SDL_SCANCODE_BACKSLASH] = 43;
    m[SDL_SCANCODE_NONUSHASH] = 0;
    m[SDL_SCANCODE_SEMICOLON] = 39;
    m[SDL_SCANCODE_APOSTROPHE] = 40;
    m[SDL_SCANCODE_GRAVE] = 41;
    m[SDL_SCANCODE_COMMA] = 51;
    m[SDL_SCANCODE_PERIOD] = 52;
    m[SDL_SCANCODE_SLASH] = 53;
    m[SDL_SCANCODE_CAPSLOCK] = 58;
    for (int i = 0; i < 10; i++)
        m[SDL_SCANCODE_F1 + i] = static_cast<uint8_t>(59 + i);
    m[SDL_SCANCODE_F11] = 86;
    m[SDL_SCANCODE_F12] = 88;
    m[SDL_SCANCODE_PRINTSCREEN] = 224;
    m[SDL_SCANCODE_SCROLLLOCK] = 70;
    m[SDL_SCANCODE_PAUSE] = 224;
    m[SDL_SCANCODE_INSERT] = 82;
    m[SDL_SCANCODE_HOME] = 71;
    m[SDL_SCANCODE_PAGEUP] = 73;
    m[SDL_SCANCODE_DELETE] = 83;
    m[SDL_SCANCODE_END] = 79;
    m[SDL_SCANCODE_PAGEDOWN] = 81;
    m[SDL_SCANCODE_RIGHT] = 77;
    m[SDL_SCANCODE_LEFT] = 75;
    m[SDL_SCANCODE_DOWN] = 80;
    m[SDL_SCANCODE_UP] = 72;
    m[SDL_SCANCODE_NUMLOCKCLEAR] = 69;
    m[SDL_SCANCODE_KP_DIVIDE] = 224;
    m[SDL_SCANCODE_KP_MULTIPLY] = 55;
    m[SDL_SCANCODE_KP_MINUS] = 74;
    m[SDL_SCANCODE_KP_PLUS] = 78;
    m[SDL_SCANCODE_KP_ENTER] = 28;
    constexpr uint8_t keypad[9] = {79, 80, 81, 75, 76, 77, 71, 72, 73};
    for (int i = 0; i < 9; i++)
        m[SDL_SCANCODE_KP_1 + i] = keypad[i];
    m[SDL_SCANCODE_KP_0] = 82;
    m[SDL_SCANCODE_KP_PERIOD] = 83;
    return m;
}

static constexpr std::array<uint8_t, 256> MakeASCIINames()
{
    std::array<uint8_t, 256> a{};
    // Keys that give a character: scan code, unshifted, shifted.
    struct KEYCHAR {
        uint8_t scan;
        char plain;
        char shifted;
    };
    constexpr KEYCHAR keys[] = {
        {1, 27, 27},     {2, '1', '!'},  {3, '2', '@'},  {4, '3', '#'},   {5, '4', '$'},
        {6, '5', '%'},   {7, '6', '^'},  {8, '7', '&'},  {9, '8', '*'},   {10, '9', '('},
        {11, '0', ')'},  {12, '-', '_'}, {13, '=', '+'}, {14, 8, 8},      {15, 9, 9},
        {16, 'q', 'Q'},  {17, 'w', 'W'}, {18, 'e', 'E'}, {19, 'r', 'R'},  {20, 't', 'T'},
        {21, 'y', 'Y'},  {22, 'u', 'U'}, {23, 'i', 'I'}, {24, 'o', 'O'},  {25, 'p', 'P'},
        {26, '[', '{'},  {27, ']', '}'}, {28, 13, 13},   {30, 'a', 'A'},  {31, 's', 'S'},
        {32, 'd', 'D'},  {33, 'f', 'F'}, {34, 'g', 'G'}, {35, 'h', 'H'},  {36, 'j', 'J'},
        {37, 'k', 'K'},  {38, 'l', 'L'}, {39, ';', ':'}, {40, '\'', '"'}, {41, '`', '~'},
        {43, '\\', '|'}, {44, 'z', 'Z'}, {45, 'x', 'X'}, {46, 'c', 'C'},  {47, 'v', 'V'},
        {48, 'b', 'B'},  {49, 'n', 'N'}, {50, 'm', 'M'}, {51, ',', '<'},  {52, '.', '>'},
        {53, '/', '?'},  {55, '*', '*'}, {57, ' ', ' '}, {71, '7', '7'},  {72, '8', '8'},
        {73, '9', '9'},  {74, '-', '-'}, {75, '4', '4'}, {76, '5', '5'},  {77, '6', '6'},
        {78, '+', '+'},  {79, '1', '1'}, {80, '2', '2'}, {81, '3', '3'},  {82, '0', '0'},
        {83, 127, 127},
    };
    for (const KEYCHAR& k : keys) {
        a[k.scan] = static_cast<uint8_t>(k.plain);
        a[k.scan + 128] = static_cast<uint8_t>(k.shifted);
    }
    return a;
}

constinit const std::array<uint8_t, KBD_MAPPED> ScanCodeMap = MakeScanCodeMap();
constinit const std::array<uint8_t, 256> ASCIINames = MakeASCIINames();

void KBD_Install(void)
{
    memset(keyboard, 0, sizeof(keyboard));
}

void KBD_Clear(void)
{
    memset(keyboard, 0, sizeof(keyboard));
    lastscan = 0;
}

static bool Held(int scan)
{
    return scan >= 0 && scan < 256 && keyboard[scan];
}

int KBD_IsKey(int scan)
{
    if (!Held(scan)) return 0;
    KBD_Wait(scan);
    return 1;
}

void KBD_Wait(int scan)
{
    // A millisecond's rest between looks at the queue: a held key is let go at human speed.
    while (Held(scan)) {
        I_GetEvent();
        if (Held(scan)) I_Delay(1);
    }
    lastscan = 0;
    lastascii = 0;
}

// The game's scan code for a platform scancode, 0 for keys it ignores.
static int KBD_Translate(SDL_Scancode sc)
{
    switch (sc) {
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL:
        return SC_CTRL;
    case SDL_SCANCODE_LSHIFT:
        return SC_LSHIFT;
    case SDL_SCANCODE_RSHIFT:
        return SC_RSHIFT;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT:
        return SC_ALT;
    default:
        break;
    }
    if (sc < 0 || sc >= KBD_MAPPED) return 0;
    return ScanCodeMap[sc];
}

void I_HandleKeyboardEvent(const SDL_Event* ev)
{
    if (ev->type != SDL_KEYDOWN && ev->type != SDL_KEYUP) return;
    int code = KBD_Translate(ev->key.keysym.scancode);
    if (code == 0) return;

    if (ev->type == SDL_KEYUP) {
        kbd_ack = 0;
        keyboard[code] = 0;
        if (code == SC_CAPSLOCK) capslock = 0;
        return;
    }
    // Auto-repeat comes through here as well, so a held key keeps offering itself.
    lastscan = code;
    keyboard[code] = 1;
    kbd_ack = 1;
    if (code == SC_CAPSLOCK) capslock = 1;
    bool shifted = capslock || keyboard[SC_LSHIFT] || keyboard[SC_RSHIFT];
    // Codes from 128 up (Print Screen, Pause, keypad divide) have no character, shifted
    // or not; their shifted entry would lie beyond the table.
    if (code >= 128)
        lastascii = 0;
    else
        lastascii = ASCIINames[shifted ? code + 128 : code];
}
