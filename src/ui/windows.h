// Menu screens and the campaign loop between missions.
#pragma once

#include <cstddef>

#include "game/loadsave.h"

struct SWD_DLG;

extern int ingameflag;           // a game is running: the main menu offers to return to it
extern int hangto;               // 1: the hangar opens with the focus on fly mission
extern int d_count;              // idle ticks of the main menu
extern int opt_vol[2];           // music and effects volume while the options window is open
extern int g_x, g_y, g_lx, g_ly; // the loading bar
// Portrait pictures of the pilot windows, by the pilot's id_pic.
extern const int id_pics[PLR_PORTRAITS];
// Sector names of the four episodes, shown on the loading screen.
extern const char* const sector_names[4];

void WIN_MainMenu(void);
// Hangar, store, ship's computer and waves until the pilot leaves or dies.
int WIN_MainLoop(void);
// New pilot: 1 when one was created.
int WIN_Register(void);
// 2 fly a mission, 3 enter the store, -99 back to the main menu.
int WIN_Hangar(void);
// 1 start the mission, 0 back to the hangar.
int WIN_ShipComp(void);
void WIN_LoadComp(void);
void WIN_SetLoadLevel(int percent);
void WIN_EndLoad(void);
void WIN_Opts(void);
void WIN_OptDraw(SWD_DLG* dlg);
// A volume moved by `delta`, kept within 0 and 127.
int WIN_OptStep(int vol, int delta);
void WIN_Pause(void);
void WIN_Msg(const char* msg);
// 1 for yes, 0 for no.
int WIN_AskBool(const char* question);
// 0 training .. 3 hard, or -1 when cancelled.
int WIN_AskDiff(void);
// Asks whether to leave the game and quits on yes; 0 otherwise.
int WIN_AskExit(void);
// The victory picture of an episode (0..3).
void WIN_WinGame(int episode);
// The credits page; 1 when a press cut it short.
int WIN_Credits(void);
// The attract mode from the given step: opening, credits and the archives' demos in turn
// until a press stops one.
void WIN_MainAuto(int start);
// Counts idle timer ticks: 1 once 4000 have passed; a non-zero `reset` starts again.
int WIN_DemoDelay(int reset);
// Starts the mission song of the current episode and wave.
void WIN_PlayWaveSong(void);

// Waves of the current episode at the pilot's difficulty.
int WIN_WaveCount(void);
// "WAVE n", or "FINAL WAVE n" for the last wave of the episode.
void WIN_WaveText(char* buf, size_t len);
// The episode flown after `game`: the next one whose archive is here, wrapping.
int WIN_NextEpisode(int game);
// Main gun 1, three shield purchases and 10000 in money.
void WIN_StartingKit(void);
// After a won wave: the next wave, or at the end of an episode the pilot's difficulty
// raised (the training reward given once) and the next episode chosen. `ended` gets the
// episode that was flown.
enum { WAVE_NEXT, WAVE_EPISODEEND, WAVE_TRAININGEND };
int WIN_WaveWon(int* ended);
