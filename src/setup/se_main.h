// The setup tool: the start screen offered before the game, and the menus that choose the
// sound devices, the controller and its keys and buttons, and the additional options,
// written to setup.ini by "Save Settings".
#pragma once

#include <cstddef>

#include "textui/txt_widget.h"

// The text-mode start screen: returns 0 to run the game; "Exit" (or Escape) ends the
// process. Returns 0 at once when the setup's start screen is switched off.
int StartScreen(void);
// Runs the setup menus until their windows are closed.
void Setup(void);
// Reads the settings (and whether this is a first run) from the preference file.
void GetSetupSettings(void);
// Works out the three information labels from the current settings.
void CheckSetupSettings(void);
// Writes the settings; false when the preference file could not be written.
bool SaveSettings(void);

// While editing, "NONE" and DMA channel 0 are held as this, so that 0 keeps meaning
// "nothing chosen in this run"; both are written as 0.
constexpr int SE_HELD_ZERO = 1000;

// Controller types as chosen in the menu.
constexpr int SE_CONTROL_MOUSE = 1;
constexpr int SE_CONTROL_JOYSTICK = 2;
constexpr int SE_CONTROL_KEYBOARD = SE_HELD_ZERO;

// Device numbers, as stored in the CardType keys.
constexpr int SE_CARD_NONE = 0;
constexpr int SE_CARD_PCSPEAKER = 1;
constexpr int SE_CARD_ADLIB = 2;
constexpr int SE_CARD_ULTRASOUND = 3;
constexpr int SE_CARD_PAS = 4;
constexpr int SE_CARD_SOUNDBLASTER = 5;
constexpr int SE_CARD_WAVEBLASTER = 6;
constexpr int SE_CARD_CANVAS = 7;
constexpr int SE_CARD_GENERALMIDI = 8;
constexpr int SE_CARD_AWE32 = 9;

// Width of the information labels.
constexpr int SE_LABEL_WIDTH = 28;

// Set when no preference file existed: the menus then lead from one to the next, and
// saving also writes the default keys and buttons.
extern int setupflag;
extern int writesetupflag;

// The settings as read from the file.
extern int se_cfg_control, se_cfg_musiccard, se_cfg_fxcard;
// Chosen in this run (0: nothing chosen).
extern int se_control, se_musiccard, se_fxcard;
extern int se_music_baseport, se_music_midiport;
extern int se_fx_baseport, se_fx_midiport, se_fx_irq, se_fx_dma, se_fx_channels;

// Keys as toolkit key codes, their scan codes once accepted, and the accepted flag.
extern int key_up, key_down, key_left, key_right, key_fire, key_special, key_mega;
extern int key_up_convert, key_down_convert, key_left_convert, key_right_convert, key_fire_convert,
    key_special_convert, key_mega_convert;
extern int writeflagkey;
// Mouse and controller buttons for fire, change weapon and mega bomb.
extern int mouse_fire, mouse_firesp, mouse_changesp, writeflagmouse;
extern int joy_fire, joy_firesp, joy_changesp, writeflagjoy;

// The additional features.
extern int se_fullscreen, se_aspect_ratio, se_txt_fullscreen, se_software_renderer, se_opl_exact;
extern int se_sys_midi, se_winmm_mpu_device, se_core_dls_synth, se_core_midi_port;
extern int se_alsaclient, se_alsaport, se_haptic, se_joy_ipt_MenuNew, se_setup_menu;
constexpr size_t SE_SOUNDFONT_LEN = 128;
extern char se_soundfont[SE_SOUNDFONT_LEN];

// The information window's labels, padded to SE_LABEL_WIDTH.
extern char se_control_label[SE_LABEL_WIDTH + 1];
extern char se_music_label[SE_LABEL_WIDTH + 1];
extern char se_fx_label[SE_LABEL_WIDTH + 1];

// ---- shared by the setup's menus

// One entry of a selection menu.
struct SE_CHOICE {
    const char* label;
    int value;
    const char* help;
};

// What a selection menu reports when it was aborted.
constexpr int SE_ABORTED = -1;

struct TXT_WINDOW;
struct TXT_WINDOW_ACTION;

// A window of buttons, one per choice, with Enter "Accept" and Escape "Abort". Pressing a
// button closes the menu and reports its value to done; Escape reports SE_ABORTED. The
// choice whose value is current starts with the focus.
TXT_WINDOW* SE_SelectionMenu(const char* title, const SE_CHOICE* choices, int count, int current,
                             void (*done)(int value));

// Puts an action with its help line at one end (or the middle) of a window's bottom edge.
void SE_SetAction(TXT_WINDOW* window, TXT_HORIZ_ALIGN position, TXT_WINDOW_ACTION* action,
                  const char* help);

// Whether the first-run chain of menus is under way.
bool SE_InFirstRunChain(void);
// Refreshes the information window after a choice.
void SE_UpdateInfo(void);
// The first-run chain moves on from the controller type to the music menus, from those to
// the effect menus, and from those to the main menu.
void SE_ChainAfterControl(void);
void SE_ChainAfterMusic(void);
void SE_ChainAfterSound(void);
