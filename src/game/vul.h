// Start-up, the endless menu loop, the quit sequence and shutdown.
#pragma once

#include <cstdint>
#include <ctime>

extern int godmode;
extern int demo_flag;
extern int cur_diff;
extern int gameflag[4];
extern int cur_game;
extern int game_wave[4];
extern uint8_t* palette;
extern uint8_t* cursor_pic;
extern int lship[7], dship[7], fship[7];
extern uint8_t* flatlib[4];
extern uint8_t* numbers[11];
extern uint8_t* g_highmem;
extern int bday_num;
extern int bday_flag;

// The six-character access code: turns god mode on and keys the pilot files.
extern const char vul_accesscode[];

// The program's entry point; never returns.
extern "C" int SDL_main(int argc, char* argv[]);

void VUL_InitMem(void);
void VUL_LoadGraphics(int ptrflag);
// Sets `bday_num` to the team member whose birthday falls on the local date of `now` (-1 for
// none) and `bday_flag` when it is the first of them.
void VUL_Bday(time_t now);
void ShutDown(int flag);
// Prints and shows the missing-data message and ends the program. Never returns.
[[noreturn]] void VUL_MissingData(void);
// Song fade, birthday greeting, palette fades, shutdown, exit. Never returns.
[[noreturn]] void VUL_QuitGame(void);

// Called before every pass of the main-menu loop when set (tests stop the loop with it).
extern void (*vul_menuhook)(void);
