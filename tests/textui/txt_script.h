// Scripted input for the text-mode toolkit: SDL events pushed onto the queue, one step at
// a time, each time the toolkit waits for input with nothing queued. Steps can also look
// at the screen between inputs. Running out of steps while the toolkit still waits is a
// failure (the process aborts rather than hang).
#pragma once

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <functional>
#include <string>

#include "textui/txt_main.h"

namespace vt
{

inline SDL_Keycode KeycodeOf(SDL_Scancode sc)
{
    return SDL_GetKeyFromScancode(sc);
}

inline void PushKey(SDL_Scancode sc, Uint16 mod = KMOD_NONE)
{
    SDL_Event ev{};
    ev.type = SDL_KEYDOWN;
    ev.key.state = SDL_PRESSED;
    ev.key.keysym.scancode = sc;
    ev.key.keysym.sym = KeycodeOf(sc);
    ev.key.keysym.mod = mod;
    SDL_PushEvent(&ev);
    ev.type = SDL_KEYUP;
    ev.key.state = SDL_RELEASED;
    SDL_PushEvent(&ev);
}

inline void PushText(const char* text)
{
    for (const char* p = text; *p; p++) {
        SDL_Event ev{};
        ev.type = SDL_TEXTINPUT;
        ev.text.text[0] = *p;
        SDL_PushEvent(&ev);
    }
}

inline void PushMouseMove(int cell_x, int cell_y)
{
    SDL_Event ev{};
    ev.type = SDL_MOUSEMOTION;
    TXT_CellToWindow(cell_x, cell_y, &ev.motion.x, &ev.motion.y);
    SDL_PushEvent(&ev);
}

// SDL's button numbers: 1 left, 2 middle, 3 right, 4 and 5 the side buttons.
inline void PushMouseButton(int sdl_button, int cell_x, int cell_y)
{
    SDL_Event ev{};
    ev.type = SDL_MOUSEBUTTONDOWN;
    ev.button.button = static_cast<Uint8>(sdl_button);
    ev.button.state = SDL_PRESSED;
    TXT_CellToWindow(cell_x, cell_y, &ev.button.x, &ev.button.y);
    SDL_PushEvent(&ev);
    ev.type = SDL_MOUSEBUTTONUP;
    ev.button.state = SDL_RELEASED;
    SDL_PushEvent(&ev);
}

inline void PushClick(int cell_x, int cell_y)
{
    PushMouseMove(cell_x, cell_y);
    PushMouseButton(SDL_BUTTON_LEFT, cell_x, cell_y);
}

inline void PushWheel(int y)
{
    SDL_Event ev{};
    ev.type = SDL_MOUSEWHEEL;
    ev.wheel.y = y;
    ev.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    SDL_PushEvent(&ev);
}

inline void PushControllerButton(int button)
{
    SDL_Event ev{};
    ev.type = SDL_CONTROLLERBUTTONDOWN;
    ev.cbutton.button = static_cast<Uint8>(button);
    ev.cbutton.state = SDL_PRESSED;
    SDL_PushEvent(&ev);
}

inline void PushQuit()
{
    SDL_Event ev{};
    ev.type = SDL_QUIT;
    SDL_PushEvent(&ev);
}

// The characters of one screen row.
inline std::string ScreenRow(int y)
{
    const uint8_t* s = TXT_GetScreenData();
    std::string row;
    for (int x = 0; x < TXT_SCREEN_W; x++)
        row += static_cast<char>(s[(y * TXT_SCREEN_W + x) * 2]);
    return row;
}

inline std::string ScreenText()
{
    std::string text;
    for (int y = 0; y < TXT_SCREEN_H; y++)
        text += ScreenRow(y) + "\n";
    return text;
}

inline bool ScreenHas(const std::string& s)
{
    return ScreenText().find(s) != std::string::npos;
}

// Where text first appears on the screen; false when it does not.
inline bool FindOnScreen(const std::string& s, int* x, int* y)
{
    for (int row = 0; row < TXT_SCREEN_H; row++) {
        size_t at = ScreenRow(row).find(s);
        if (at != std::string::npos) {
            *x = static_cast<int>(at);
            *y = row;
            return true;
        }
    }
    return false;
}

inline uint8_t AttrAt(int x, int y)
{
    return TXT_GetScreenData()[(y * TXT_SCREEN_W + x) * 2 + 1];
}

// Steps run from the toolkit's idle hook, one per wait. Install one per test.
class TxtScript
{
  public:
    TxtScript() { TXT_SetIdleHook(Idle); }
    ~TxtScript()
    {
        TXT_SetIdleHook(nullptr);
        Steps().clear();
    }
    // Queues a step.
    TxtScript& Then(std::function<void()> step)
    {
        Steps().push_back(std::move(step));
        return *this;
    }
    // Queues a step that presses keys.
    TxtScript& Keys(std::initializer_list<SDL_Scancode> keys)
    {
        std::vector<SDL_Scancode> list(keys);
        return Then([list] {
            for (SDL_Scancode k : list)
                PushKey(k);
        });
    }
    // Queues a step that clicks on the first place some text appears.
    TxtScript& ClickOn(const std::string& text)
    {
        return Then([text] {
            int x, y;
            if (!FindOnScreen(text, &x, &y)) Fail(("not on screen: " + text).c_str());
            PushClick(x, y);
        });
    }
    size_t Remaining() const { return Steps().size(); }

    [[noreturn]] static void Fail(const char* why)
    {
        fprintf(stderr, "script: %s\n--- screen ---\n%s", why, ScreenText().c_str());
        fflush(stderr);
        abort();
    }

  private:
    static std::deque<std::function<void()>>& Steps()
    {
        static std::deque<std::function<void()>> steps;
        return steps;
    }
    static void Idle()
    {
        if (Steps().empty()) Fail("ran out of steps while the toolkit waits for input");
        auto step = std::move(Steps().front());
        Steps().pop_front();
        step();
    }
};

} // namespace vt
