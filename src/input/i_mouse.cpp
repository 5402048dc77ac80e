// Mouse buttons and touches from the platform's events, decoded for the pointer module.
#include <array>

#include <SDL.h>

#include "gfx/ptrapi.h"

namespace
{

// Fingers on the screen, counted from the events themselves so that the count follows
// the order in which the touches happened.
constexpr int MAX_FINGERS = 10;

struct FINGER {
    SDL_TouchID touch;
    SDL_FingerID finger;
};

std::array<FINGER, MAX_FINGERS> fingers;
int numfingers;

int FindFinger(SDL_TouchID touch, SDL_FingerID finger)
{
    for (int i = 0; i < numfingers; i++)
        if (fingers[i].touch == touch && fingers[i].finger == finger) return i;
    return -1;
}

int FingersOn(SDL_TouchID touch)
{
    int n = 0;
    for (int i = 0; i < numfingers; i++)
        if (fingers[i].touch == touch) n++;
    return n;
}

} // namespace

void I_HandleMouseEvent(const SDL_Event* ev)
{
    switch (ev->type) {
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        int button;
        switch (ev->button.button) {
        case SDL_BUTTON_LEFT:
            button = 1;
            break;
        case SDL_BUTTON_MIDDLE:
            button = 2;
            break;
        case SDL_BUTTON_RIGHT:
            button = 3;
            break;
        default:
            button = 0;
            break;
        }
        PTR_ButtonEvent(button, ev->type == SDL_MOUSEBUTTONDOWN,
                        ev->button.which == SDL_TOUCH_MOUSEID);
        break;
    }
    case SDL_MOUSEWHEEL:
        touchmode = ev->wheel.which == SDL_TOUCH_MOUSEID;
        break;
    default:
        break;
    }
}

void I_HandleTouchEvent(const SDL_Event* ev)
{
    const SDL_TouchFingerEvent& tf = ev->tfinger;
    if (ev->type == SDL_FINGERDOWN) {
        if (FindFinger(tf.touchId, tf.fingerId) < 0) {
            // A finger whose lift never arrived (the window lost the touch) must not count
            // for ever: a full table starts over.
            if (numfingers == MAX_FINGERS) numfingers = 0;
            fingers[numfingers++] = {tf.touchId, tf.fingerId};
        }
        PTR_FingerDown(FingersOn(tf.touchId));
    } else if (ev->type == SDL_FINGERUP) {
        int i = FindFinger(tf.touchId, tf.fingerId);
        if (i >= 0) fingers[i] = fingers[--numfingers];
        PTR_FingerUp();
    }
}
