// Window-module state shared by the drawing half (swdapi.cpp) and the dialog loop
// (swddlg.cpp); nothing outside the window module includes this.
#pragma once

#include <memory>

#include "ui/swdapi.h"

struct SWD_SLOT {
    int item = -1;    // the window item, locked while the window lives
    int inuse = 0;    //
    int viewflag = 0; // the window has a mouse view area
    std::unique_ptr<SWIN> win;
};

// What the dialog loop remembers between calls.
struct SWD_MEMORY {
    int old_win = -99, old_field = -99; // window and field seen by the previous call
    int highlight_flag = 0;             // the highlight must be redrawn at the next call
    int kbactive = 0;                   // the active field shows a keyboard highlight
    int lastwin = -1, lastfld = -1;     // the field drawn highlighted, or none
    int fi_joy_count = 0;               // a controller-typed character is being cycled
    int joyheld = 0;                    // controller buttons held at the last text step
};

constexpr int SWD_FLDFUNCS = 15;

extern SWD_SLOT g_wins[SWD_MAXWINS];
extern void (*winfuncs[SWD_MAXWINS])(SWD_DLG*);
extern void (*fldfuncs[SWD_FLDFUNCS])(SWIN*, SFIELD*);
extern SWD_MEMORY swd_mem;

// The field, or null for a wrong handle or index.
SFIELD* SWD_Field(int handle, int field);
// Forgets the highlighted field, first setting its state to 0 when asked.
void SWD_ForgetHighlight(bool clearstate);
int SWD_FindShownBelow(int from, bool skipmaster);
// The saved screen without the active window (null without window dragging).
uint8_t* SWD_MoveBuffer(void);
