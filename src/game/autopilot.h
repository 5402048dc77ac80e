// The autopilot: a player made of code. Every mission frame it looks at the battlefield
// (enemies, enemy shots, pickups, buildings, its own shield and inventory) and hands the
// input layer a ship step and the action latches, exactly where the keyboard, the mouse
// and the controller hand theirs. It never changes the battlefield itself, and it holds no
// state that does not come from the frames it has seen, so the same wave flown twice is
// the same flight.
#pragma once

// Installs the autopilot as the ship's controller (0 takes it out again). While it flies,
// no device steers the ship; a played-back demo still places the ship itself.
void AUTO_Enable(int on);
int AUTO_IsEnabled(void);
// Forgets everything seen so far (done by itself on the first frame of a wave).
void AUTO_Clear(void);
// One frame: decides and writes g_addx, g_addy and buttons[].
void AUTO_Think(void);

// What the autopilot would do this frame, without doing it.
struct AUTO_DECISION {
    int dx, dy;     // the ship step
    int fire;       // hold the fire button
    int change;     // press change special
    int bomb;       // press mega bomb
    int danger;     // shield the chosen course is expected to lose, scaled by nearness
    int target;     // screen x the ship lines up under, -1 for none
    int wantweapon; // the special weapon it wants selected, -1 for none
};
// Reads the battlefield and decides; the only state it touches is its own memory of the
// last frame (enemy speeds and the edge latches), advanced by AUTO_Think.
AUTO_DECISION AUTO_Decide(void);

// The shield a ship whose centre is at (cx, cy) would lose to the enemy shots in play
// over the next `frames` frames if it stayed there; a plain forecast for tests and tools.
int AUTO_ShotDanger(int cx, int cy, int frames);

// The store: the next item type the autopilot's shopping list buys with the money and
// inventory it has, or -1 when it is done. The shield first (a whole quarter at a time),
// then the main guns and special weapons up the store's list by price (the cheapest not
// held), and one mega bomb in reserve while it saves; spare bombs, up to three, only once
// every weapon is held.
int AUTO_NextPurchase(void);
