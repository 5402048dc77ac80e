// The text-mode screen and its SDL window: renders the cell grid with the 8x16 font into a
// 640x400 picture, scales that by a whole-number factor centred in the window, and turns
// SDL events into the toolkit's key, mouse and controller codes.
#include "textui/txt_main.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>

#include "game/i_system.h"
#include "game/m_misc.h"
#include "textui/txt_font.h"

namespace
{

struct RGB {
    uint8_t r, g, b;
};

constexpr std::array<RGB, 16> kDefaultPalette = {{
    {0x00, 0x00, 0x00},
    {0x00, 0x00, 0xaa},
    {0x00, 0xaa, 0x00},
    {0x00, 0xaa, 0xaa},
    {0xaa, 0x00, 0x00},
    {0xaa, 0x00, 0xaa},
    {0xaa, 0x55, 0x00},
    {0xaa, 0xaa, 0xaa},
    {0x55, 0x55, 0x55},
    {0x55, 0x55, 0xff},
    {0x55, 0xff, 0x55},
    {0x55, 0xff, 0xff},
    {0xff, 0x55, 0x55},
    {0xff, 0x55, 0xff},
    {0xff, 0xff, 0x55},
    {0xff, 0xff, 0xff},
}};

constexpr int kMaxControllers = 8;
// How long a wait with nothing to do sleeps before looking at the queue again.
constexpr uint32_t kPollMs = 10;

} // namespace

static SDL_Window* txt_window;
static SDL_Renderer* txt_renderer;
static SDL_Texture* txt_texture;
static std::array<uint8_t, TXT_SCREEN_BYTES> screendata;
static std::array<uint32_t, TXT_PIXELS_W * TXT_PIXELS_H> pixels;
static std::array<RGB, 16> txt_palette = kDefaultPalette;
static SDL_GameController* controllers[kMaxControllers];
static int mouse_x = -1, mouse_y = -1;
static bool text_input;
static void (*idle_hook)(void);

// Where the scaled picture sits in the renderer's output.
static SDL_Rect picture_rect = {0, 0, TXT_PIXELS_W, TXT_PIXELS_H};

static int ScancodeToKey(SDL_Scancode sc)
{
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return 'a' + (sc - SDL_SCANCODE_A);
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return '1' + (sc - SDL_SCANCODE_1);
    if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F10) return KEY_F1 + (sc - SDL_SCANCODE_F1);
    switch (sc) {
    case SDL_SCANCODE_0:
        return '0';
    case SDL_SCANCODE_RETURN:
        return KEY_ENTER;
    case SDL_SCANCODE_ESCAPE:
        return KEY_ESCAPE;
    case SDL_SCANCODE_BACKSPACE:
        return KEY_BACKSPACE;
    case SDL_SCANCODE_TAB:
        return KEY_TAB;
    case SDL_SCANCODE_SPACE:
        return ' ';
    case SDL_SCANCODE_MINUS:
        return '-';
    case SDL_SCANCODE_EQUALS:
        return '=';
    case SDL_SCANCODE_LEFTBRACKET:
        return '[';
    case SDL_SCANCODE_RIGHTBRACKET:
        return ']';
    case SDL_SCANCODE_BACKSLASH:
        return '\\';
    case SDL_SCANCODE_SEMICOLON:
        return ';';
    case SDL_SCANCODE_APOSTROPHE:
        return '\'';
    case SDL_SCANCODE_GRAVE:
        return '`';
    case SDL_SCANCODE_COMMA:
        return ',';
    case SDL_SCANCODE_PERIOD:
        return '.';
    case SDL_SCANCODE_SLASH:
        return '/';
    case SDL_SCANCODE_CAPSLOCK:
        return KEY_CAPSLOCK;
    case SDL_SCANCODE_F11:
        return KEY_F11;
    case SDL_SCANCODE_F12:
        return KEY_F12;
    case SDL_SCANCODE_PRINTSCREEN:
        return KEY_PRTSCR;
    case SDL_SCANCODE_SCROLLLOCK:
        return KEY_SCRLCK;
    case SDL_SCANCODE_PAUSE:
        return KEY_PAUSE;
    case SDL_SCANCODE_INSERT:
        return KEY_INS;
    case SDL_SCANCODE_HOME:
        return KEY_HOME;
    case SDL_SCANCODE_PAGEUP:
        return KEY_PGUP;
    case SDL_SCANCODE_DELETE:
        return KEY_DEL;
    case SDL_SCANCODE_END:
        return KEY_END;
    case SDL_SCANCODE_PAGEDOWN:
        return KEY_PGDN;
    case SDL_SCANCODE_RIGHT:
        return KEY_RIGHTARROW;
    case SDL_SCANCODE_LEFT:
        return KEY_LEFTARROW;
    case SDL_SCANCODE_DOWN:
        return KEY_DOWNARROW;
    case SDL_SCANCODE_UP:
        return KEY_UPARROW;
    case SDL_SCANCODE_NUMLOCKCLEAR:
        return KEY_NUMLOCK;
    case SDL_SCANCODE_KP_DIVIDE:
        return KEY_KPDIVIDE;
    case SDL_SCANCODE_KP_MULTIPLY:
        return KEY_KPMULTIPLY;
    case SDL_SCANCODE_KP_MINUS:
        return KEY_KPMINUS;
    case SDL_SCANCODE_KP_PLUS:
        return KEY_KPPLUS;
    case SDL_SCANCODE_KP_ENTER:
        return KEY_ENTER;
    // The keypad doubles as the cursor block, as on the keyboards the game was made for.
    case SDL_SCANCODE_KP_1:
        return KEY_END;
    case SDL_SCANCODE_KP_2:
        return KEY_DOWNARROW;
    case SDL_SCANCODE_KP_3:
        return KEY_PGDN;
    case SDL_SCANCODE_KP_4:
        return KEY_LEFTARROW;
    case SDL_SCANCODE_KP_5:
        return KEY_KP5;
    case SDL_SCANCODE_KP_6:
        return KEY_RIGHTARROW;
    case SDL_SCANCODE_KP_7:
        return KEY_HOME;
    case SDL_SCANCODE_KP_8:
        return KEY_UPARROW;
    case SDL_SCANCODE_KP_9:
        return KEY_PGUP;
    case SDL_SCANCODE_KP_0:
        return KEY_INS;
    case SDL_SCANCODE_KP_PERIOD:
        return KEY_DEL;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL:
        return KEY_RCTRL;
    case SDL_SCANCODE_LSHIFT:
        return KEY_LSHIFT;
    case SDL_SCANCODE_RSHIFT:
        return KEY_RSHIFT;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT:
        return KEY_RALT;
    default:
        return 0;
    }
}

struct KEYNAME {
    int key;
    const char* name;
};

static constexpr KEYNAME keynames[] = {
    {KEY_BACKSPACE, "BACKSP"},
    {KEY_TAB, "TAB"},
    {KEY_ENTER, "ENTER"},
    {KEY_ESCAPE, "ESC"},
    {' ', "SPACE"},
    {KEY_UPARROW, "UP"},
    {KEY_DOWNARROW, "DOWN"},
    {KEY_LEFTARROW, "LEFT"},
    {KEY_RIGHTARROW, "RIGHT"},
    {KEY_RCTRL, "CTRL"},
    {KEY_LSHIFT, "LSHIFT"},
    {KEY_RSHIFT, "RSHIFT"},
    {KEY_RALT, "ALT"},
    {KEY_CAPSLOCK, "CAPSLK"},
    {KEY_F1, "F1"},
    {KEY_F2, "F2"},
    {KEY_F3, "F3"},
    {KEY_F4, "F4"},
    {KEY_F5, "F5"},
    {KEY_F6, "F6"},
    {KEY_F7, "F7"},
    {KEY_F8, "F8"},
    {KEY_F9, "F9"},
    {KEY_F10, "F10"},
    {KEY_F11, "F11"},
    {KEY_F12, "F12"},
    {KEY_NUMLOCK, "NUMLCK"},
    {KEY_SCRLCK, "SCRLCK"},
    {KEY_HOME, "HOME"},
    {KEY_PGUP, "PGUP"},
    {KEY_END, "END"},
    {KEY_PGDN, "PGDN"},
    {KEY_INS, "INS"},
    {KEY_DEL, "DEL"},
    {KEY_KPMINUS, "KP-"},
    {KEY_KPPLUS, "KP+"},
    {KEY_KP5, "KP5"},
    {KEY_KPMULTIPLY, "KP*"},
    {KEY_KPDIVIDE, "KP/"},
    {KEY_PRTSCR, "PRTSC"},
    {KEY_PAUSE, "PAUSE"},
};

bool TXT_IsNamedKey(int key)
{
    for (const KEYNAME& k : keynames)
        if (k.key == key) return true;
    return (key >= 'a' && key <= 'z') || (key >= '0' && key <= '9') ||
           (key != 0 && strchr("-=[]\\;'`,./", key) != nullptr);
}

const char* TXT_GetKeyDescription(int key, char* buf, size_t len)
{
    for (const KEYNAME& k : keynames) {
        if (k.key == key) {
            M_StringCopy(buf, k.name, len);
            return buf;
        }
    }
    if (key > ' ' && key < 0x7f) {
        char c[2] = {static_cast<char>(key >= 'a' && key <= 'z' ? key - 'a' + 'A' : key), 0};
        M_StringCopy(buf, c, len);
    } else {
        M_StringCopy(buf, "?", len);
    }
    return buf;
}

static void ComputePictureRect(void)
{
    int out_w = TXT_PIXELS_W, out_h = TXT_PIXELS_H;
    if (txt_renderer) SDL_GetRendererOutputSize(txt_renderer, &out_w, &out_h);
    int scale = std::min(out_w / TXT_PIXELS_W, out_h / TXT_PIXELS_H);
    if (scale < 1) scale = 1;
    picture_rect.w = TXT_PIXELS_W * scale;
    picture_rect.h = TXT_PIXELS_H * scale;
    picture_rect.x = (out_w - picture_rect.w) / 2;
    picture_rect.y = (out_h - picture_rect.h) / 2;
}

// The largest whole-number window size that leaves room on the desktop.
static int InitialScale(void)
{
    SDL_Rect bounds;
    if (SDL_GetDisplayUsableBounds(0, &bounds) != 0) return 1;
    int scale = std::min(bounds.w * 9 / 10 / TXT_PIXELS_W, bounds.h * 9 / 10 / TXT_PIXELS_H);
    return std::clamp(scale, 1, 3);
}

int TXT_Init(int fullscreen)
{
    if (txt_window) return 1;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return 0;
    // Controllers are optional: without the subsystem the controller prompts just find none.
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);

    int scale = InitialScale();
    Uint32 flags = SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI;
    if (fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    txt_window = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                  TXT_PIXELS_W * scale, TXT_PIXELS_H * scale, flags);
    if (!txt_window) {
        TXT_Shutdown();
        return 0;
    }
    SDL_SetWindowMinimumSize(txt_window, TXT_PIXELS_W, TXT_PIXELS_H);

    txt_renderer = SDL_CreateRenderer(txt_window, -1, 0);
    if (!txt_renderer) txt_renderer = SDL_CreateRenderer(txt_window, -1, SDL_RENDERER_SOFTWARE);
    if (!txt_renderer) {
        TXT_Shutdown();
        return 0;
    }
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    txt_texture = SDL_CreateTexture(txt_renderer, SDL_PIXELFORMAT_ARGB8888,
                                    SDL_TEXTUREACCESS_STREAMING, TXT_PIXELS_W, TXT_PIXELS_H);
    if (!txt_texture) {
        TXT_Shutdown();
        return 0;
    }

    screendata.fill(0);
    txt_palette = kDefaultPalette;
    mouse_x = mouse_y = -1;
    text_input = false;
    SDL_StopTextInput();
    return 1;
}

void TXT_Shutdown(void)
{
    for (SDL_GameController*& c : controllers) {
        if (c) SDL_GameControllerClose(c);
        c = nullptr;
    }
    if (txt_texture) SDL_DestroyTexture(txt_texture);
    if (txt_renderer) SDL_DestroyRenderer(txt_renderer);
    if (txt_window) {
        SDL_DestroyWindow(txt_window);
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    txt_texture = nullptr;
    txt_renderer = nullptr;
    txt_window = nullptr;
}

bool TXT_IsOpen(void)
{
    return txt_window != nullptr;
}

uint8_t* TXT_GetScreenData(void)
{
    return screendata.data();
}

std::span<const uint32_t> TXT_GetPixels(void)
{
    return pixels;
}

// For each byte of a glyph row, its eight pixels as all-ones (lit) or zero masks, so that
// a row is drawn without a branch per pixel.
static constexpr auto kRowMasks = [] {
    std::array<std::array<uint32_t, TXT_FONT_W>, 256> masks{};
    for (int bits = 0; bits < 256; bits++)
        for (int col = 0; col < TXT_FONT_W; col++)
            masks[bits][col] = (bits & (0x80 >> col)) ? 0xffffffffu : 0;
    return masks;
}();

static void RenderCells(void)
{
    std::array<uint32_t, 16> colors;
    for (int i = 0; i < 16; i++)
        colors[i] = 0xff000000u | txt_palette[i].r << 16 | txt_palette[i].g << 8 | txt_palette[i].b;

    for (int cy = 0; cy < TXT_SCREEN_H; cy++) {
        for (int cx = 0; cx < TXT_SCREEN_W; cx++) {
            const uint8_t* cell = &screendata[(cy * TXT_SCREEN_W + cx) * 2];
            const TXT_GLYPH& glyph = txt_font[cell[0]];
            uint32_t fg = colors[cell[1] & 15], bg = colors[cell[1] >> 4];
            uint32_t diff = fg ^ bg;
            uint32_t* out = &pixels[cy * TXT_FONT_H * TXT_PIXELS_W + cx * TXT_FONT_W];
            for (int row = 0; row < TXT_FONT_H; row++, out += TXT_PIXELS_W) {
                const auto& mask = kRowMasks[glyph[row]];
                for (int col = 0; col < TXT_FONT_W; col++)
                    out[col] = bg ^ (diff & mask[col]);
            }
        }
    }
}

void TXT_UpdateScreen(void)
{
    RenderCells();
    if (!txt_renderer) return;
    SDL_UpdateTexture(txt_texture, nullptr, pixels.data(), TXT_PIXELS_W * 4);
    ComputePictureRect();
    SDL_SetRenderDrawColor(txt_renderer, 0, 0, 0, 255);
    SDL_RenderClear(txt_renderer);
    SDL_RenderCopy(txt_renderer, txt_texture, nullptr, &picture_rect);
    SDL_RenderPresent(txt_renderer);
}

// Window coordinates to cells, allowing for high-density displays and the centred picture.
static void UpdateMousePosition(int wx, int wy)
{
    int win_w, win_h, out_w, out_h;
    SDL_GetWindowSize(txt_window, &win_w, &win_h);
    SDL_GetRendererOutputSize(txt_renderer, &out_w, &out_h);
    ComputePictureRect();
    if (win_w <= 0 || win_h <= 0) return;
    int px = static_cast<int>(static_cast<int64_t>(wx) * out_w / win_w) - picture_rect.x;
    int py = static_cast<int>(static_cast<int64_t>(wy) * out_h / win_h) - picture_rect.y;
    if (px < 0 || py < 0 || px >= picture_rect.w || py >= picture_rect.h) {
        mouse_x = mouse_y = -1;
        return;
    }
    mouse_x = px * TXT_SCREEN_W / picture_rect.w;
    mouse_y = py * TXT_SCREEN_H / picture_rect.h;
}

void TXT_CellToWindow(int x, int y, int* wx, int* wy)
{
    int win_w = TXT_PIXELS_W, win_h = TXT_PIXELS_H, out_w = TXT_PIXELS_W, out_h = TXT_PIXELS_H;
    if (txt_window) {
        SDL_GetWindowSize(txt_window, &win_w, &win_h);
        SDL_GetRendererOutputSize(txt_renderer, &out_w, &out_h);
    }
    ComputePictureRect();
    int px = picture_rect.x + (2 * x + 1) * picture_rect.w / (2 * TXT_SCREEN_W);
    int py = picture_rect.y + (2 * y + 1) * picture_rect.h / (2 * TXT_SCREEN_H);
    *wx = out_w > 0 ? static_cast<int>(static_cast<int64_t>(px) * win_w / out_w) : px;
    *wy = out_h > 0 ? static_cast<int>(static_cast<int64_t>(py) * win_h / out_h) : py;
}

static void OpenController(int index)
{
    if (!SDL_IsGameController(index)) return;
    SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
    for (SDL_GameController* c : controllers)
        if (c && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c)) == id) return;
    for (SDL_GameController*& c : controllers) {
        if (!c) {
            c = SDL_GameControllerOpen(index);
            return;
        }
    }
}

static void CloseController(SDL_JoystickID id)
{
    for (SDL_GameController*& c : controllers) {
        if (c && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c)) == id) {
            SDL_GameControllerClose(c);
            c = nullptr;
        }
    }
}

int TXT_ControllerCount(void)
{
    int n = 0;
    for (SDL_GameController* c : controllers)
        if (c && SDL_GameControllerGetAttached(c)) n++;
    return n;
}

static bool IsKeypad(SDL_Scancode sc)
{
    return sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_PERIOD;
}

static int TranslateKey(const SDL_KeyboardEvent& key)
{
    SDL_Scancode sc = key.keysym.scancode;
    // Alt+Enter switches between window and full screen and goes no further.
    if ((sc == SDL_SCANCODE_RETURN || sc == SDL_SCANCODE_KP_ENTER) && (key.keysym.mod & KMOD_ALT)) {
        TXT_SetFullscreen(!TXT_IsFullscreen());
        return 0;
    }
    int code = ScancodeToKey(sc);
    if (text_input) {
        // Characters come as text events; their key presses would arrive twice.
        if (code >= ' ' && code < 0x7f) return 0;
        if (IsKeypad(sc) && (key.keysym.mod & KMOD_NUM)) return 0;
    }
    return code;
}

static int TranslateEvent(const SDL_Event& ev)
{
    switch (ev.type) {
    case SDL_QUIT:
        return TXT_QUIT;
    case SDL_KEYDOWN:
        return TranslateKey(ev.key);
    case SDL_TEXTINPUT: {
        if (!text_input) return 0;
        // Only plain ASCII goes into the toolkit's text boxes; one character per event.
        unsigned char c = static_cast<unsigned char>(ev.text.text[0]);
        return c >= ' ' && c < 0x7f ? c : 0;
    }
    case SDL_MOUSEMOTION:
        if (txt_window) UpdateMousePosition(ev.motion.x, ev.motion.y);
        return 0;
    case SDL_MOUSEBUTTONDOWN: {
        if (txt_window) UpdateMousePosition(ev.button.x, ev.button.y);
        static constexpr int buttons[] = {0, 0, 2, 1, 3, 4};
        int b = ev.button.button;
        return TXT_MOUSE_BASE + (b >= 1 && b <= 5 ? buttons[b] : b - 1);
    }
    case SDL_MOUSEWHEEL: {
        int y = ev.wheel.y;
        if (ev.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) y = -y;
        if (y > 0) return TXT_MOUSE_SCROLLUP;
        if (y < 0) return TXT_MOUSE_SCROLLDOWN;
        return 0;
    }
    case SDL_CONTROLLERDEVICEADDED:
        OpenController(ev.cdevice.which);
        return 0;
    case SDL_CONTROLLERDEVICEREMOVED:
        CloseController(ev.cdevice.which);
        return 0;
    case SDL_CONTROLLERBUTTONDOWN:
        return TXT_JOY_BASE + ev.cbutton.button;
    default:
        return 0;
    }
}

int TXT_GetChar(void)
{
    SDL_Event ev;
    while (SDL_PollEvent(&ev)) {
        int code = TranslateEvent(ev);
        if (code) return code;
    }
    return -1;
}

void TXT_FlushInput(void)
{
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_KEYDOWN, SDL_MOUSEWHEEL);
    SDL_FlushEvents(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLERBUTTONUP);
}

void TXT_Sleep(int timeout_ms)
{
    if (SDL_PollEvent(nullptr)) return;
    if (idle_hook) {
        // A scripted run never waits: the hook supplies what comes next.
        idle_hook();
        return;
    }
    uint32_t start = I_GetTicks();
    while (!SDL_PollEvent(nullptr)) {
        if (timeout_ms > 0 && I_GetTicks() - start >= static_cast<uint32_t>(timeout_ms)) return;
        I_Delay(kPollMs);
    }
}

void TXT_SetTextInput(bool on)
{
    if (on == text_input) return;
    text_input = on;
    if (on)
        SDL_StartTextInput();
    else
        SDL_StopTextInput();
}

bool TXT_ShiftHeld(void)
{
    return (SDL_GetModState() & KMOD_SHIFT) != 0;
}

void TXT_GetMousePosition(int* x, int* y)
{
    *x = mouse_x;
    *y = mouse_y;
}

void TXT_SetColor(TXT_COLOR color, int r, int g, int b)
{
    auto clamp8 = [](int v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); };
    txt_palette[color & 15] = {clamp8(r), clamp8(g), clamp8(b)};
}

void TXT_SetWindowTitle(const char* title)
{
    if (txt_window) SDL_SetWindowTitle(txt_window, title);
}

void TXT_SetFullscreen(bool on)
{
    if (txt_window) SDL_SetWindowFullscreen(txt_window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
}

bool TXT_IsFullscreen(void)
{
    return txt_window && (SDL_GetWindowFlags(txt_window) & SDL_WINDOW_FULLSCREEN) != 0;
}

void TXT_SetIdleHook(void (*hook)(void))
{
    idle_hook = hook;
}
