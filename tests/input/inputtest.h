// Helpers for the input and pointer tests: events pushed into the platform queue, the
// event pump, and virtual game controllers.
#pragma once

#include <functional>

#include <SDL.h>

#include <gtest/gtest.h>

#include "gfx/i_video.h"
#include "gfx/ptrapi.h"
#include "input/input.h"
#include "input/joyapi.h"
#include "input/kbdapi.h"

namespace vt
{

// The platform side the tests need: events, controllers and a clock-free dummy video.
inline void InitInputPlatform()
{
    constexpr Uint32 wanted = SDL_INIT_EVENTS | SDL_INIT_GAMECONTROLLER;
    if (SDL_WasInit(wanted) != wanted) {
        ASSERT_EQ(SDL_InitSubSystem(wanted), 0) << SDL_GetError();
    }
}

inline void Pump()
{
    I_GetEvent();
}

inline void PushKey(SDL_Scancode sc, bool down, bool repeat = false)
{
    SDL_Event ev{};
    ev.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    ev.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    ev.key.repeat = repeat;
    ev.key.keysym.scancode = sc;
    SDL_PushEvent(&ev);
}

// A key press and release, handled by one pump.
inline void TapKey(SDL_Scancode sc)
{
    PushKey(sc, true);
    PushKey(sc, false);
    Pump();
}

inline void PushMouseButton(Uint8 button, bool down, bool touch = false)
{
    SDL_Event ev{};
    ev.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    ev.button.button = button;
    ev.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    ev.button.which = touch ? SDL_TOUCH_MOUSEID : 0;
    ev.button.clicks = 1;
    SDL_PushEvent(&ev);
}

inline void PushFinger(SDL_FingerID finger, bool down, SDL_TouchID touch = 7)
{
    SDL_Event ev{};
    ev.type = down ? SDL_FINGERDOWN : SDL_FINGERUP;
    ev.tfinger.touchId = touch;
    ev.tfinger.fingerId = finger;
    ev.tfinger.x = ev.tfinger.y = 0.5f;
    ev.tfinger.pressure = 1.0f;
    SDL_PushEvent(&ev);
}

// A game controller that exists only in software: buttons and axes are set by the test,
// rumble requests are recorded, and every pump of the platform's events calls onpump.
class VirtualPad
{
  public:
    VirtualPad()
    {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
        desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
        desc.name = "Test Pad";
        desc.userdata = this;
        desc.Rumble = [](void* self, Uint16 low, Uint16 high) {
            auto* pad = static_cast<VirtualPad*>(self);
            pad->rumbles++;
            pad->rumblelow = low;
            pad->rumblehigh = high;
            return 0;
        };
        desc.Update = [](void* self) {
            auto* pad = static_cast<VirtualPad*>(self);
            if (pad->onpump) pad->onpump();
        };
        int index = SDL_JoystickAttachVirtualEx(&desc);
        EXPECT_GE(index, 0) << SDL_GetError();
        joy = SDL_JoystickOpen(index);
        EXPECT_NE(joy, nullptr) << SDL_GetError();
        id = SDL_JoystickInstanceID(joy);
        // A trigger at rest sits at the bottom of the raw axis range.
        SetAxis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, SDL_JOYSTICK_AXIS_MIN);
        SetAxis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, SDL_JOYSTICK_AXIS_MIN);
    }
    ~VirtualPad() { Unplug(); }
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    void Press(SDL_GameControllerButton b) { SDL_JoystickSetVirtualButton(joy, b, SDL_PRESSED); }
    void Release(SDL_GameControllerButton b) { SDL_JoystickSetVirtualButton(joy, b, SDL_RELEASED); }
    void SetAxis(SDL_GameControllerAxis a, Sint16 v) { SDL_JoystickSetVirtualAxis(joy, a, v); }

    void Unplug()
    {
        if (!joy) return;
        SDL_JoystickClose(joy);
        joy = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); i++)
            if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
    }

    SDL_Joystick* joy = nullptr;
    SDL_JoystickID id = -1;
    int rumbles = 0;
    Uint16 rumblelow = 0, rumblehigh = 0;
    std::function<void()> onpump;
};

} // namespace vt
