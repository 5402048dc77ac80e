// Menu screens and the campaign loop.
//
// For now plain stand-ins drawn with the game's fonts: a title menu that starts an episode,
// a campaign that flies its waves one after another, the loading screen, the pause box and
// the questions. The windows loaded from the archives replace them.
#pragma once

#include <cstddef>

extern int ingameflag; // a game is running
extern int hangto;

// Sector names of the four episodes, shown on the loading screen.
extern const char* const sector_names[4];

void WIN_MainMenu(void);
// Flies the chosen episode wave after wave; returns when the ship is lost or the player
// abandons a wave.
int WIN_MainLoop(void);
void WIN_Pause(void);
// Shows a message until a key, button or click.
void WIN_Msg(const char* msg);
// 1 for yes, 0 for no.
int WIN_AskBool(const char* question);
// Asks whether to leave the game and quits on yes; 0 otherwise.
int WIN_AskExit(void);
void WIN_LoadComp(void);
void WIN_SetLoadLevel(int percent);
void WIN_EndLoad(void);
// Starts the mission song of the current episode and wave.
void WIN_PlayWaveSong(void);
// Plays the demos of the archives one after another until a press stops one.
void WIN_MainAuto(int start);

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
// The victory picture of an episode (0..3).
void WIN_WinGame(int episode);
