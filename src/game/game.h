// The mission loop and the player ship, the heads-up display, the palette animation, the
// game's random generator and the straight-line mover that enemies and shots use.
#pragma once

#include <cstdint>

struct MOVEOBJ {
    int32_t x, y;       // current point
    int32_t x2, y2;     // target point
    int32_t delx, dely; // absolute distances
    int32_t addx, addy; // step direction, +1 or -1
    int32_t maxloop;    // steps left
    int32_t err;        // error term
    int32_t done;       // 1 once the target is reached
};

// The ship: 32 x 32 pixels, seven banking frames.
constexpr int SHIP_FRAMES = 7;
constexpr int SHIP_STARTX = 144;
constexpr int SHIP_STARTY = 160;

extern int playerx, playery;
extern int player_cx, player_cy;
extern int playerpic;
// Level-flight frame of the ship; banking leans at most three frames either side of it.
extern int playerbasepic;
extern int g_flash;     // 0, or 7 for one frame: the ship's flash frames while a weapon fires
extern int draw_player; // 0 once the ship has blown up
extern int curship[2 * SHIP_FRAMES];

// End-of-wave countdown in frames, -1 while none runs.
extern int startendwave;
extern int end_wave;      // 1 ends the loop after this frame
extern int fadeflag;      // the white flash is fading back
extern int startfadeflag; // set by weapons: start the white flash after this frame
extern int fadecnt;
extern int gl_cnt; // mission frames so far
extern int debugflag;
extern int g_oldshield, g_oldsuper; // bar values last drawn; -1 redraws
extern uint8_t gpal[768];           // the palette the mission animates
extern int32_t wRandSeed;

// One stream for the whole game, reseeded at every wave start so demos replay exactly.
int wrand(void);
void wsrand(int32_t seed);

void InitMobj(MOVEOBJ* obj);
void MoveMobj(MOVEOBJ* obj);
void MoveSobj(MOVEOBJ* obj, int steps);

// Plays the loaded wave: 0 when it ended (won, ship lost, or a demo ran out), 1 when the
// player abandoned it (the score is put back as it was) or stopped a demo.
int Do_Game(void);
void VUL_GetShipPic(void);
void VUL_DisplayStats(void);
void VUL_PaletteStuff(void);

// Points in a mission frame, for whoever watches frames go by (the timedemo, tests).
enum {
    GAME_FRAME_START,   // before anything of the frame
    GAME_FRAME_THOUGHT, // every module has thought
    GAME_FRAME_DRAWN,   // the frame and the display are drawn
    GAME_FRAME_PACED,   // the frame's time has come
    GAME_FRAME_SHOWN,   // the frame is presented
};
extern void (*game_framehook)(int point);
