// The frame player for cut-scenes: full-screen animations stored as one delta item per
// frame, played from a table of frame descriptions.
//
// A delta item is a list of runs: a 16-bit marker (0 ends the list), a 16-bit word not
// read, the 16-bit position in the 320 by 200 frame buffer, the 16-bit run length and the
// run's palette indices. The item of the first frame of a pass has one extra leading
// byte: the colour the whole frame buffer is filled with before its runs are applied.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Opening and closing effects of a frame.
enum {
    MOVIE_NONE = 0,
    MOVIE_FADEIN = 1,  // open: fade in after showing; close: fade in to the scene palette
    MOVIE_FADEOUT = 2, // open: fade out instead of showing; close: fade out after it
    MOVIE_SETPAL = 3,  // close only: the scene palette at once
    MOVIE_CLEAR = 4,   // clear the screen (opening: instead of showing the frame)
};

// One frame of a scene table; every field a 32-bit signed integer, in this order.
struct FRAME {
    int32_t unused0;
    int32_t speed;     // frames per second this frame is shown at
    int32_t remaining; // frames that follow this one; 0 marks the last
    int32_t item;      // archive item of the frame's delta
    int32_t open_effect;
    int32_t open_steps; // steps of the opening fade (and of closing effect 1)
    int32_t close_effect;
    int32_t close_steps;      // steps of closing effect 2
    int32_t red, green, blue; // the colour fade-outs of this frame go to
    // 0: restart the background sound if it stopped; n > 0: keep restarting it for n ticks.
    int32_t hold;
    int32_t unused1[3];
    int32_t sound; // effect started at this frame, -1 for none
    int32_t unused2;
    int32_t sound_pos; // its stereo position: 0 left, 127 centre, 255 right
};

// Room for the longest scene.
constexpr int MOVIE_MAXFRAMES = 40;
// Returned by MOVIE_Play when the player cut the scene short.
constexpr int MOVIE_INTERRUPTED = 2;

extern FRAME frm[MOVIE_MAXFRAMES];
extern int back_patch; // the background sound, -1 for none

// Applies the runs of one delta list of `size` bytes to the frame buffer. Runs are cut
// at the end of the frame buffer and at the end of the list.
void ANIM_Render(const uint8_t* list, size_t size);
// The delta list that turns frame `prev` into frame `cur` (both 320 by 200). With no
// previous frame it is the item of a pass's first frame: led by the fill byte (the most
// common colour of `cur`) and holding runs for every other byte. Runs merge across short
// gaps where a new run header would cost more than the unchanged bytes.
std::vector<uint8_t> ANIM_Encode(const uint8_t* prev, const uint8_t* cur);
// Applies one delta list and marks the whole screen for update.
void MOVIE_ShowFrame(const uint8_t* list, size_t size);
// Sets the background sound and starts it at the centre.
void MOVIE_BPatch(int effect);
// Plays the table `passes` times with the scene palette; 0 after the last pass,
// MOVIE_INTERRUPTED when a key, button or click cut it short.
int MOVIE_Play(const FRAME* frames, int passes, const uint8_t* palette);
