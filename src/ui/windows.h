// Menu screens and the campaign loop.
//
// For now plain stand-ins drawn with the game's fonts: a title menu that starts an episode,
// a campaign that flies its waves one after another, the loading screen, the pause box and
// the questions. The windows loaded from the archives replace them.
#pragma once

extern int ingameflag; // a game is running
extern int hangto;

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
