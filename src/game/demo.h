// Demo recording and playback: one wave's inputs, frame by frame.
//
// A demo file (and a demo item in the archives) is a run of 12-byte little-endian records.
// Record 0 is the header: an unused word, the episode and the wave (16 bits each), and the
// number of records including the header (32 bits). Each later record is one frame: the
// four action latches (a byte each), then the ship's x, y and banking frame (16 bits each)
// and two unused bytes. Every wave starts from a seed fixed by its number and the demo
// pilot is always built the same way, so replaying the inputs replays the wave.
#pragma once

#include <cstdint>

constexpr int DEMO_RECORD = 12;
// Frames one demo can hold (records 1..2799); the buffer has room for one record more,
// which playback reads as the frame after the last.
constexpr int DEMO_MAXFRAMES = 2799;
constexpr int DEMO_RECORDS = DEMO_MAXFRAMES + 2;

extern int demo_mode; // 0 off, 1 recording, 2 playing back
extern uint8_t playback[DEMO_RECORDS * DEMO_RECORD];
extern int cur_play, max_play;
extern int demo_game, demo_wave;

void DEMO_SetFileName(const char* name);
void DEMO_StartRec(void);
void DEMO_StartPlayback(void);
// Once per mission frame: records or plays back. 1 when a playback has run out.
int DEMO_Think(void);
void DEMO_SaveFile(void);
// Loads the demo file named on the command line; false (and nothing to play) when it is
// not a demo: too short, too long, or its header disagrees with its length.
bool DEMO_LoadFile(void);
// The same for a demo item of the archives; a missing or damaged item changes nothing.
bool DEMO_GLBFile(int item);
// Checks a demo as stored: the header's count against the length, episode and wave.
bool DEMO_Check(const uint8_t* data, int length);
// Plays the loaded demo as one wave and its landing or death scene; returns 1 when a press
// interrupted either, else 0 (also without playing when nothing playable is loaded).
int DEMO_Play(void);
void DEMO_MakePlayer(int game);
void DEMO_DisplayStats(void);

// The timedemo: plays the loaded demo with the clock running as fast as the machine
// allows and prints the mission frames per second and where the time of a frame went.
// A frame hook installed before the timedemo starts still sees every frame point.
void DEMO_SetTimedemo(int on);
int DEMO_IsTimedemo(void);
// The last timedemo's figures: frames shown, and seconds in all and spent in each part of
// the frames (the wave's loading before the first frame is in the total only).
struct DEMO_TIMING {
    int frames;
    double total, think, draw, wait, present, other;
};
DEMO_TIMING DEMO_GetTiming(void);
