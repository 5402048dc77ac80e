#include "setup/se_main.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <vector>

#include "game/m_misc.h"
#include "setup/se_input.h"
#include "setup/se_music.h"
#include "setup/se_prefapi.h"
#include "setup/se_sound.h"
#include "textui/txt_cp437.h"
#include "textui/txt_toolkit.h"

int setupflag;
int writesetupflag;

int se_cfg_control, se_cfg_musiccard, se_cfg_fxcard;
int se_control, se_musiccard, se_fxcard;
int se_music_baseport, se_music_midiport;
int se_fx_baseport, se_fx_midiport, se_fx_irq, se_fx_dma, se_fx_channels;

int key_up, key_down, key_left, key_right, key_fire, key_special, key_mega;
int key_up_convert, key_down_convert, key_left_convert, key_right_convert, key_fire_convert,
    key_special_convert, key_mega_convert;
int writeflagkey;
int mouse_fire, mouse_firesp, mouse_changesp, writeflagmouse;
int joy_fire, joy_firesp, joy_changesp, writeflagjoy;

int se_fullscreen, se_aspect_ratio, se_txt_fullscreen, se_software_renderer, se_opl_exact;
int se_sys_midi, se_winmm_mpu_device, se_core_dls_synth, se_core_midi_port;
int se_alsaclient, se_alsaport, se_haptic, se_joy_ipt_MenuNew, se_setup_menu;
char se_soundfont[SE_SOUNDFONT_LEN];

char se_control_label[SE_LABEL_WIDTH + 1];
char se_music_label[SE_LABEL_WIDTH + 1];
char se_fx_label[SE_LABEL_WIDTH + 1];

static constexpr char kVersionText[] = "Vultar ver 0.8.2";
static constexpr char kWindowTitle[] = "Vultar 0.8.2";
static constexpr char kDesktopTitle[] = "Vultar Setup ver 0.8.2";

// The scan codes the game uses when the file names no keys.
static constexpr int kDefaultKeys[8] = {72, 80, 75, 77, 29, 56, 57, 54};
// The mega bomb key is not offered in the keyboard window: it is always right Shift.
static constexpr int kMegaFireScan = 54;
static constexpr int kDefaultVolume = 85;
// The SoundFont name box: its width on screen and the longest name it takes.
static constexpr int kSoundFontBoxWidth = 35;
static constexpr int kSoundFontMaxChars = 115;
static_assert(kSoundFontMaxChars < SE_SOUNDFONT_LEN);

// ---- the start screen picture

// The picture is kept as two layers of 25 rows of 80 cells: the characters, written as the
// Unicode characters they show, and their colours, one letter per cell (see StartColor).
static constexpr const char* start_chars[TXT_SCREEN_H] = {
    "╔══════════════════════════════════════════════════════════════════════════════╗",
    "║                                                                              ║",
    "║         ∙   ██   ██  ██   ██  ██       ███████   ▄███▄   ██████▄          ·  ║",
    "║       *     ██▒  ██▒ ██▒  ██▒ ██▒       ▒███▒▒▒ ██▒▒▒██  ██▒▒▒██▒            ║",
    "║             ██▒  ██▒ ██▒  ██▒ ██▒        ███▒   ███████▒ ██████▀▒       ·    ║",
    "║             ▀██▄██▀▒ ██▒  ██▒ ██▒        ███▒   ██▒▒▒██▒ ██▒▀█▄▒▒      ·     ║",
    "║              ▒▀█▀▒▒▒ ▀█████▀▒ ███████    ███▒   ██▒  ██▒ ██▒ ▒██             ║",
    "║        * ·     ▒▒▒    ▒▒▒▒▒▒▒  ▒▒▒▒▒▒▒    ▒▒▒    ▒▒   ▒▒  ▒▒   ▒▒            ║",
    "║                                                                              ║",
    "║           ▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀▀           ║",
    "║                                                                              ║",
    "║                      A R C A D E   A I R   C O M B A T                  ··   ║",
    "║             ·           ·                            ∙    ·                  ║",
    "║                                                                        ·     ║",
    "║                   ·          ┌────────────────┐        ·                     ║",
    "║       *      ▄            ·  │                │▒▒          ▄▄   ▄▄           ║",
    "║  *          ▐█▌           ∙  │                │▒▒          ▀█▄█▄█▀           ║",
    "║            ▄███▄             │                │▒▒            ▀█▀             ║",
    "║           ▀▀▐█▌▀▀ ·          │                │▒▒  ·   ·                     ║",
    "║ ·       ·   ▀▀▀              │                │▒▒                            ║",
    "║                      ·       │                │▒▒                ∙           ║",
    "║                    ·         │                │▒▒                            ║",
    "║                              └────────────────┘▒▒                            ║",
    "╚══════════════════════════════════════════════════════════════════════════════╝",
    "  ↑↓ Select   Enter Run   Esc Exit                                              ",
};
static constexpr const char* start_colors[TXT_SCREEN_H] = {
    "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF",
    "F                                                                              F",
    "F         1   YY   YY  YY   YY  YY       YYYYYYY   YYYYY   YYYYYYY          w  F",
    "F       w     YYS  YYS YYS  YYS YYS       SYYYSSS YYSSSYY  YYSSSYYS            F",
    "F             OOS  OOS OOS  OOS OOS        OOOS   OOOOOOOS OOOOOOOS       1    F",
    "F             OOOOOOOS OOS  OOS OOS        OOOS   OOSSSOOS OOSOOOSS      w     F",
    "F              SRRRSSS RRRRRRRS RRRRRRR    RRRS   RRS  RRS RRS SRR             F",
    "F        w w     SSS    SSSSSSS  SSSSSSS    SSS    SS   SS  SS   SS            F",
    "F                                                                              F",
    "F           ffffffffffffffffffffffffffffffffffffffffffffffffffffffff           F",
    "F                                                                              F",
    "F                      111111111111111111111111111111111                  11   F",
    "F             w           w                            w    w                  F",
    "F                                                                        w     F",
    "F                   w          ffffffffffffffffff        w                     F",
    "F       1      C            w  f________________fSS          OO   OO           F",
    "F  w          CCC           w  f________________fSS          OOOOOOO           F",
    "F            CCCCC             f________________fSS            OOO             F",
    "F           CCCCCCC w          f________________fSS  w   1                     F",
    "F w       w   CCC              f________________fSS                            F",
    "F                      w       f________________fSS                1           F",
    "F                    w         f________________fSS                            F",
    "F                              ffffffffffffffffffSS                            F",
    "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF",
    "__cc_DDDDDD___ccccc_DDD___ccc_DDDD______________________________________________",
};

// The colour letters of the picture.
static constexpr int StartColor(char c)
{
    switch (c) {
    case ' ':
        return TXT_Attr(TXT_COLOR_GREY, TXT_COLOR_BLUE); // sky
    case 'w':
        return TXT_Attr(TXT_COLOR_GREY, TXT_COLOR_BLUE); // dim star
    case '1':
        return TXT_Attr(TXT_COLOR_BRIGHT_WHITE, TXT_COLOR_BLUE); // bright star, tagline
    case 'F':
        return TXT_Attr(TXT_COLOR_BRIGHT_CYAN, TXT_COLOR_BLUE); // outer frame
    case 'f':
        return TXT_Attr(TXT_COLOR_CYAN, TXT_COLOR_BLUE); // rules and menu frame
    case 'Y':
        return TXT_Attr(TXT_COLOR_YELLOW, TXT_COLOR_BLUE); // title, top
    case 'O':
        return TXT_Attr(TXT_COLOR_BRIGHT_RED, TXT_COLOR_BLUE); // title, middle; enemy
    case 'R':
        return TXT_Attr(TXT_COLOR_RED, TXT_COLOR_BLUE); // title, bottom
    case 'S':
        return TXT_Attr(TXT_COLOR_BLACK, TXT_COLOR_BLUE); // shadows
    case 'C':
        return TXT_Attr(TXT_COLOR_BRIGHT_CYAN, TXT_COLOR_BLUE); // the player's ship
    case '_':
        return TXT_Attr(TXT_COLOR_GREY, TXT_COLOR_BLACK); // menu and bottom row
    case 'c':
        return TXT_Attr(TXT_COLOR_CYAN, TXT_COLOR_BLACK); // key names
    case 'D':
        return TXT_Attr(TXT_COLOR_DARK_GREY, TXT_COLOR_BLACK); // hints
    default:
        return -1;
    }
}

static constexpr std::array<uint8_t, TXT_SCREEN_BYTES> BuildStartPicture()
{
    std::array<uint8_t, TXT_SCREEN_BYTES> out{};
    for (int row = 0; row < TXT_SCREEN_H; row++) {
        const char* s = start_chars[row];
        size_t i = 0;
        int col = 0;
        while (s[i]) {
            int32_t cp = TXT_DecodeUtf8(s, i);
            int c = cp < 0 ? -1 : TXT_UnicodeToCp437(static_cast<uint32_t>(cp));
            if (c < 0) throw "start picture: a character code page 437 does not have";
            if (col >= TXT_SCREEN_W) throw "start picture: a row longer than 80 cells";
            out[(row * TXT_SCREEN_W + col) * 2] = static_cast<uint8_t>(c);
            col++;
        }
        if (col != TXT_SCREEN_W) throw "start picture: a row shorter than 80 cells";
        for (col = 0; col < TXT_SCREEN_W; col++) {
            int attr = StartColor(start_colors[row][col]);
            if (attr < 0) throw "start picture: an unknown colour letter";
            out[(row * TXT_SCREEN_W + col) * 2 + 1] = static_cast<uint8_t>(attr);
        }
        if (start_colors[row][TXT_SCREEN_W] != '\0') throw "start picture: colour row too long";
    }
    return out;
}

static constexpr std::array<uint8_t, TXT_SCREEN_BYTES> start_picture = BuildStartPicture();

// ---- reading and writing the settings

static int ReadFlag(const char* section, const char* key, int def)
{
    return SE_INI_GetPreferenceLong(section, key, def) != 0;
}

void GetSetupSettings(void)
{
    const char* path = VUL_GetSetupPath();
    setupflag = writesetupflag = access(path, F_OK) != 0;
    SE_INI_InitPreference(path);

    se_cfg_control = SE_INI_GetPreferenceLong("Setup", "Control", 3);
    se_cfg_musiccard = SE_INI_GetPreferenceLong("Music", "CardType", 0);
    se_cfg_fxcard = SE_INI_GetPreferenceLong("SoundFX", "CardType", 0);

    static const char* const keynames[7] = {"MoveUp", "MoveDn", "MoveLeft", "MoveRight",
                                            "Fire",   "FireSp", "ChangeSp"};
    int* keys[7] = {&key_up, &key_down, &key_left, &key_right, &key_fire, &key_special, &key_mega};
    int* converted[7] = {&key_up_convert,    &key_down_convert, &key_left_convert,
                         &key_right_convert, &key_fire_convert, &key_special_convert,
                         &key_mega_convert};
    for (int i = 0; i < 7; i++) {
        *converted[i] = SE_INI_GetPreferenceLong("Keyboard", keynames[i], kDefaultKeys[i]);
        *keys[i] = SE_ScanToKey(*converted[i]);
    }

    mouse_fire = SE_INI_GetPreferenceLong("Mouse", "Fire", 0);
    mouse_firesp = SE_INI_GetPreferenceLong("Mouse", "FireSp", 1);
    mouse_changesp = SE_INI_GetPreferenceLong("Mouse", "ChangeSp", 2);
    joy_fire = SE_INI_GetPreferenceLong("JoyStick", "Fire", 0);
    joy_firesp = SE_INI_GetPreferenceLong("JoyStick", "FireSp", 1);
    joy_changesp = SE_INI_GetPreferenceLong("JoyStick", "ChangeSp", 2);

    se_fullscreen = ReadFlag("Video", "fullscreen", 1);
    se_aspect_ratio = ReadFlag("Video", "aspect_ratio_correct", 1);
    se_txt_fullscreen = ReadFlag("Video", "txt_fullscreen", 0);
    se_software_renderer = ReadFlag("Video", "force_software_renderer", 1);
    se_opl_exact = ReadFlag("Music", "opl_exact", 0);
    se_haptic = ReadFlag("Setup", "Haptic", 1);
    se_joy_ipt_MenuNew = ReadFlag("Setup", "joy_ipt_MenuNew", 0);
    se_sys_midi = ReadFlag("Setup", "sys_midi", 0);
    se_winmm_mpu_device = SE_INI_GetPreferenceLong("Setup", "winmm_mpu_device", 0);
    se_core_dls_synth = ReadFlag("Setup", "core_dls_synth", 1);
    se_core_midi_port = SE_INI_GetPreferenceLong("Setup", "core_midi_port", 0);
    se_alsaclient = SE_INI_GetPreferenceLong("Setup", "alsa_output_client", 128);
    se_alsaport = SE_INI_GetPreferenceLong("Setup", "alsa_output_port", 0);
    SE_INI_GetPreference("Setup", "SoundFont", se_soundfont, sizeof(se_soundfont), "SoundFont.sf2");
    se_setup_menu = SE_INI_GetPreferenceLong("Setup", "setup_menu", 1);

    se_control = se_musiccard = se_fxcard = 0;
    se_music_baseport = se_music_midiport = 0;
    se_fx_baseport = se_fx_midiport = se_fx_irq = se_fx_dma = se_fx_channels = 0;
    writeflagkey = writeflagmouse = writeflagjoy = 0;
    if (setupflag) {
        // A first run starts from devices that play: a menu left with Escape keeps them,
        // so saving straight away never writes a silent game.
        se_musiccard = SE_CARD_GENERALMIDI;
        se_music_midiport = 330;
        se_fxcard = SE_CARD_SOUNDBLASTER;
        se_fx_channels = 4;
        se_fx_baseport = 220;
        se_fx_irq = 7;
        se_fx_dma = 1;
    }

    CheckSetupSettings();
}

static const char* CardName(int card, bool effects)
{
    switch (card) {
    case SE_CARD_PCSPEAKER:
        return effects ? "PC Speaker" : "None";
    case SE_CARD_ADLIB:
        return "Adlib";
    case SE_CARD_ULTRASOUND:
        return "UltraSound";
    case SE_CARD_PAS:
        return "Pro Audio Spectrum";
    case SE_CARD_SOUNDBLASTER:
        return "Sound Blaster";
    case SE_CARD_WAVEBLASTER:
        return effects ? "None" : "WaveBlaster";
    case SE_CARD_CANVAS:
        return "Sound Canvas";
    case SE_CARD_GENERALMIDI:
        return "General Midi";
    case SE_CARD_AWE32:
        return effects ? "None" : "SB AWE 32";
    default:
        return "None";
    }
}

// This run's choice as it will be written, else the value read.
static int Effective(int chosen, int read)
{
    if (!chosen) return read;
    return chosen == SE_HELD_ZERO ? 0 : chosen;
}

static void SetLabel(char* label, const char* text)
{
    M_snprintf(label, SE_LABEL_WIDTH + 1, "%-*s", SE_LABEL_WIDTH, text);
}

void CheckSetupSettings(void)
{
    int control = Effective(se_control, se_cfg_control);
    SetLabel(se_control_label, control == 0   ? "Keyboard"
                               : control == 1 ? "Mouse"
                               : control == 2 ? "Joystick"
                                              : "None");
    SetLabel(se_music_label, CardName(Effective(se_musiccard, se_cfg_musiccard), false));
    SetLabel(se_fx_label, CardName(Effective(se_fxcard, se_cfg_fxcard), true));
}

namespace
{

// Counts failed writes, so that saving can say when the file could not be written.
struct WRITER {
    bool ok = true;
    void Put(const char* section, const char* key, int value)
    {
        ok &= SE_INI_PutPreferenceLong(section, key, value) != 0;
    }
    void Put(const char* section, const char* key, const char* value)
    {
        ok &= SE_INI_PutPreference(section, key, value) != 0;
    }
    void Delete(const char* section, const char* key)
    {
        ok &= SE_INI_DeletePreference(section, key) != 0;
    }
    void DeletePorts(const char* section)
    {
        Delete(section, "MidiPort");
        Delete(section, "BasePort");
        Delete(section, "Irq");
        Delete(section, "Dma");
    }
    void PutBasePortDefaults(const char* section)
    {
        Put(section, "BasePort", 220);
        Put(section, "Irq", 7);
        Put(section, "Dma", 1);
    }
};

} // namespace

static void SaveSetupSection(WRITER& w)
{
    // The detail level belongs to the game's options window: keep what it stored.
    w.Put("Setup", "Detail", SE_INI_GetPreferenceLong("Setup", "Detail", 1));
    if (se_control) w.Put("Setup", "Control", Effective(se_control, 0));
    w.Put("Setup", "Haptic", se_haptic);
    w.Put("Setup", "joy_ipt_MenuNew", se_joy_ipt_MenuNew);
    w.Put("Setup", "sys_midi", se_sys_midi);
    w.Put("Setup", "winmm_mpu_device", se_winmm_mpu_device);
    w.Put("Setup", "core_dls_synth", se_core_dls_synth);
    w.Put("Setup", "core_midi_port", se_core_midi_port);
    w.Put("Setup", "alsa_output_client", se_alsaclient);
    w.Put("Setup", "alsa_output_port", se_alsaport);
    w.Put("Setup", "SoundFont", se_soundfont);
    w.Put("Setup", "setup_menu", se_setup_menu);
}

static void SaveMusicSection(WRITER& w)
{
    if (!se_musiccard) return;
    int card = Effective(se_musiccard, 0);
    w.Put("Music", "Volume", kDefaultVolume);
    w.Put("Music", "CardType", card);
    switch (card) {
    case SE_CARD_ULTRASOUND:
    case SE_CARD_PAS:
        w.Delete("Music", "MidiPort");
        w.PutBasePortDefaults("Music");
        break;
    case SE_CARD_ADLIB:
    case SE_CARD_NONE:
        w.DeletePorts("Music");
        break;
    default:
        break;
    }
    if (se_music_baseport) {
        w.Delete("Music", "MidiPort");
        w.Put("Music", "BasePort", se_music_baseport);
        w.Put("Music", "Irq", 7);
        w.Put("Music", "Dma", 1);
    }
    if (se_music_midiport) {
        w.Delete("Music", "BasePort");
        w.Delete("Music", "Irq");
        w.Delete("Music", "Dma");
        w.Put("Music", "MidiPort", se_music_midiport);
    }
}

static void SaveSoundSection(WRITER& w)
{
    if (!se_fxcard) return;
    int card = Effective(se_fxcard, 0);
    w.Put("SoundFX", "Volume", kDefaultVolume);
    w.Put("SoundFX", "CardType", card);
    switch (card) {
    case SE_CARD_GENERALMIDI:
    case SE_CARD_CANVAS:
        w.Delete("SoundFX", "BasePort");
        w.Delete("SoundFX", "Irq");
        w.Delete("SoundFX", "Dma");
        w.Put("SoundFX", "Channels", 6);
        if (se_fx_midiport) w.Put("SoundFX", "MidiPort", se_fx_midiport);
        break;
    case SE_CARD_SOUNDBLASTER:
        w.Delete("SoundFX", "MidiPort");
        // Only what was chosen: an aborted sub-menu leaves the file's value alone.
        if (se_fx_channels) w.Put("SoundFX", "Channels", se_fx_channels);
        if (se_fx_baseport) w.Put("SoundFX", "BasePort", se_fx_baseport);
        if (se_fx_irq) w.Put("SoundFX", "Irq", se_fx_irq);
        if (se_fx_dma) w.Put("SoundFX", "Dma", Effective(se_fx_dma, 0));
        break;
    case SE_CARD_PAS:
        w.DeletePorts("SoundFX");
        if (se_fx_channels) w.Put("SoundFX", "Channels", se_fx_channels);
        break;
    case SE_CARD_ULTRASOUND:
        w.Delete("SoundFX", "MidiPort");
        if (se_fx_channels) w.Put("SoundFX", "Channels", se_fx_channels);
        w.PutBasePortDefaults("SoundFX");
        break;
    case SE_CARD_ADLIB:
        w.DeletePorts("SoundFX");
        w.Put("SoundFX", "Channels", 3);
        break;
    case SE_CARD_PCSPEAKER:
        w.DeletePorts("SoundFX");
        w.Put("SoundFX", "Channels", 4);
        break;
    case SE_CARD_NONE:
        w.DeletePorts("SoundFX");
        w.Put("SoundFX", "Channels", 4);
        break;
    default:
        break;
    }
}

static void SaveControls(WRITER& w)
{
    static const char* const keynames[7] = {"MoveUp", "MoveDn", "MoveLeft", "MoveRight",
                                            "Fire",   "FireSp", "ChangeSp"};
    if (writeflagkey) {
        const int converted[7] = {key_up_convert,    key_down_convert, key_left_convert,
                                  key_right_convert, key_fire_convert, key_special_convert,
                                  key_mega_convert};
        for (int i = 0; i < 7; i++)
            w.Put("Keyboard", keynames[i], converted[i]);
        w.Put("Keyboard", "MegaFire", kMegaFireScan);
    } else if (writesetupflag) {
        for (int i = 0; i < 7; i++)
            w.Put("Keyboard", keynames[i], kDefaultKeys[i]);
        w.Put("Keyboard", "MegaFire", kMegaFireScan);
    }

    if (writeflagmouse) {
        w.Put("Mouse", "Fire", mouse_fire);
        w.Put("Mouse", "FireSp", mouse_firesp);
        w.Put("Mouse", "ChangeSp", mouse_changesp);
    } else if (writesetupflag) {
        w.Put("Mouse", "Fire", 0);
        w.Put("Mouse", "FireSp", 1);
        w.Put("Mouse", "ChangeSp", 2);
    }

    if (writeflagjoy) {
        w.Put("JoyStick", "Fire", joy_fire);
        w.Put("JoyStick", "FireSp", joy_firesp);
        w.Put("JoyStick", "ChangeSp", joy_changesp);
    } else if (writesetupflag) {
        w.Put("JoyStick", "Fire", 0);
        w.Put("JoyStick", "FireSp", 1);
        w.Put("JoyStick", "ChangeSp", 2);
        w.Put("JoyStick", "MegaFire", 3);
    }
}

bool SaveSettings(void)
{
    WRITER w;
    SaveSetupSection(w);
    SaveMusicSection(w);
    SaveSoundSection(w);
    SaveControls(w);
    w.Put("Video", "fullscreen", se_fullscreen);
    w.Put("Video", "aspect_ratio_correct", se_aspect_ratio);
    w.Put("Video", "txt_fullscreen", se_txt_fullscreen);
    w.Put("Video", "force_software_renderer", se_software_renderer);
    w.Put("Music", "opl_exact", se_opl_exact);
    return w.ok;
}

void SE_SetAction(TXT_WINDOW* window, TXT_HORIZ_ALIGN position, TXT_WINDOW_ACTION* action,
                  const char* help)
{
    TXT_SetWidgetHelp(action, help);
    TXT_SetWindowAction(window, position, action);
}

// ---- selection menus

namespace
{

struct SE_MENU;

struct SE_MENU_ITEM {
    SE_MENU* menu;
    int value;
};

struct SE_MENU {
    TXT_WINDOW* window;
    void (*done)(int value);
    std::vector<SE_MENU_ITEM> items;
};

} // namespace

// Closes the menu and then reports: the report may open the next menu.
static void FinishMenu(SE_MENU* menu, int value)
{
    void (*done)(int) = menu->done;
    menu->done = nullptr;
    TXT_CloseWindow(menu->window); // frees menu
    if (done) done(value);
}

static void MenuItemPressed(TXT_WIDGET*, void* data)
{
    auto* item = static_cast<SE_MENU_ITEM*>(data);
    FinishMenu(item->menu, item->value);
}

static void MenuAborted(TXT_WIDGET*, void* data)
{
    FinishMenu(static_cast<SE_MENU*>(data), SE_ABORTED);
}

static void MenuClosed(TXT_WIDGET*, void* data)
{
    delete static_cast<SE_MENU*>(data);
}

TXT_WINDOW* SE_SelectionMenu(const char* title, const SE_CHOICE* choices, int count, int current,
                             void (*done)(int value))
{
    auto* menu = new SE_MENU;
    menu->window = TXT_NewWindow(title);
    menu->done = done;
    menu->items.reserve(count);
    TXT_SignalConnect(menu->window, "closed", MenuClosed, menu);

    TXT_BUTTON* preselect = nullptr;
    for (int i = 0; i < count; i++) {
        menu->items.push_back({menu, choices[i].value});
        TXT_BUTTON* b = TXT_NewButton2(choices[i].label, MenuItemPressed, &menu->items.back());
        if (choices[i].help) TXT_SetWidgetHelp(b, choices[i].help);
        if (choices[i].value == current) preselect = b;
        TXT_AddWidget(menu->window, b);
    }
    if (preselect) TXT_SelectWidget(menu->window, preselect);

    TXT_WINDOW_ACTION* abort = TXT_NewWindowAction(KEY_ESCAPE, "Abort");
    TXT_SignalConnect(abort, "pressed", MenuAborted, menu);
    SE_SetAction(menu->window, TXT_HORIZ_LEFT, abort, " Press ESC to Abort");
    SE_SetAction(menu->window, TXT_HORIZ_RIGHT, TXT_NewWindowSelectAction(menu->window, "Accept"),
                 " Press ENTER to Accept");
    return menu->window;
}

// ---- the information window and the main menu

static TXT_WINDOW* info_window;
static TXT_LABEL* info_values[3];
static TXT_WINDOW* main_window;
static bool chain_active;

static void InfoClosed(TXT_WIDGET*, void*)
{
    info_window = nullptr;
}

static void OpenInfoWindow(void)
{
    info_window = TXT_NewWindow("Current Configuration:");
    TXT_InitTable(info_window, 2);
    TXT_SetWindowPosition(info_window, TXT_HORIZ_CENTER, TXT_VERT_TOP, 40, 2);
    static const char* const names[3] = {
        "Control Type  : ", "Music Card    : ", "Sound FX Card : "};
    for (int i = 0; i < 3; i++) {
        info_values[i] = TXT_NewLabel("");
        TXT_SetLabelColors(info_values[i], TXT_COLOR_YELLOW, -1);
        TXT_AddWidgets(info_window, TXT_NewLabel(names[i]), info_values[i]);
    }
    TXT_SignalConnect(info_window, "closed", InfoClosed, nullptr);
    SE_UpdateInfo();
}

void SE_UpdateInfo(void)
{
    CheckSetupSettings();
    if (!info_window) return;
    TXT_SetLabel(info_values[0], se_control_label);
    TXT_SetLabel(info_values[1], se_music_label);
    TXT_SetLabel(info_values[2], se_fx_label);
}

bool SE_InFirstRunChain(void)
{
    return chain_active;
}

static void MainClosed(TXT_WIDGET*, void*)
{
    main_window = nullptr;
    // The information belongs to the main menu: both go together.
    TXT_CloseWindow(info_window);
}

static void PressMusic(TXT_WIDGET*, void*)
{
    SE_MusicMenu();
}

static void PressSound(TXT_WIDGET*, void*)
{
    SE_SoundMenu();
}

static void PressControlType(TXT_WIDGET*, void*)
{
    SE_ControllerTypeMenu();
}

static void PressControlConfig(TXT_WIDGET*, void*)
{
    SE_ControllerConfigMenu();
}

static void OpenAdditionalFeatures(void);

static void PressFeatures(TXT_WIDGET*, void*)
{
    OpenAdditionalFeatures();
}

static void PressSave(TXT_WIDGET*, void*)
{
    if (!SaveSettings()) {
        char message[512];
        M_snprintf(message, sizeof(message), "The settings could not be written to\n%s",
                   VUL_GetSetupPath());
        TXT_MessageBox("Error", message);
        return;
    }
    TXT_CloseWindow(main_window);
}

static void OpenMainMenu(void)
{
    main_window = TXT_NewWindow("Main Menu");
    TXT_SetWindowPosition(main_window, TXT_HORIZ_CENTER, TXT_VERT_TOP, 39, 10);
    static const struct {
        const char* label;
        const char* help;
        TXT_WIDGET_SIGNAL_FUNC func;
    } buttons[] = {
        {"Select Music Card", " Select Sound Card that will play Music", PressMusic},
        {"Select Sound FX Card", " Select Sound Card that will play Sound FX", PressSound},
        {"Select Controller Type", " Select Controller Type ( Mouse / Joystick / Keyboard )",
         PressControlType},
        {"Controller Config", " Configure Keyboard / Mouse / Joystick Layout", PressControlConfig},
        {"Additional Features", " Configure Additional Features Video / Audio / Input",
         PressFeatures},
        {"Save Settings", " Save Current Settings as Defaults", PressSave},
    };
    TXT_BUTTON* last = nullptr;
    for (const auto& b : buttons) {
        last = TXT_NewButton2(b.label, b.func, nullptr);
        TXT_SetWidgetHelp(last, b.help);
        TXT_AddWidget(main_window, last);
    }
    // A first run has everything chosen already: saving is the likely next step.
    if (setupflag) TXT_SelectWidget(main_window, last);

    SE_SetAction(main_window, TXT_HORIZ_LEFT, TXT_NewWindowAbortAction(main_window),
                 " Press ESC to Abort");
    SE_SetAction(main_window, TXT_HORIZ_RIGHT, TXT_NewWindowSelectAction(main_window, "Accept"),
                 " Press ENTER to Accept");
    TXT_SignalConnect(main_window, "closed", MainClosed, nullptr);
}

void SE_ChainAfterControl(void)
{
    if (chain_active) SE_MusicMenu();
}

void SE_ChainAfterMusic(void)
{
    if (chain_active) SE_SoundMenu();
}

void SE_ChainAfterSound(void)
{
    if (!chain_active) return;
    chain_active = false;
    OpenMainMenu();
}

// ---- additional features

static void OpenAdditionalFeatures(void)
{
    TXT_WINDOW* window = TXT_NewWindow("Additional Features");
    TXT_AddWidgets(window, TXT_NewSeparator("Video"), TXT_NewCheckBox("Fullscreen", &se_fullscreen),
                   TXT_NewCheckBox("Aspect Ratio", &se_aspect_ratio),
                   TXT_NewCheckBox("Text Mode Fullscreen", &se_txt_fullscreen),
                   TXT_NewCheckBox("Software Renderer", &se_software_renderer));

    TXT_AddWidgets(window, TXT_NewSeparator("Audio"), TXT_NewCheckBox("System MIDI", &se_sys_midi));
    // The system MIDI settings only mean something while system MIDI is on.
    TXT_AddWidget(
        window, TXT_NewConditional(&se_sys_midi, 1,
                                   TXT_NewHorizBox(TXT_NewLabel("Windows Multimedia MIDI Device: "),
                                                   TXT_NewIntInputBox(&se_winmm_mpu_device, 3),
                                                   TXT_NewLabel(" (Default = 0)"))));
    TXT_AddWidget(window, TXT_NewConditional(
                              &se_sys_midi, 1,
                              TXT_NewCheckBox("Core Audio DLS Synthesizer", &se_core_dls_synth)));
    TXT_AddWidget(window, TXT_NewConditional(
                              &se_sys_midi, 1,
                              TXT_NewConditional(
                                  &se_core_dls_synth, 0,
                                  TXT_NewHorizBox(TXT_NewLabel("Core MIDI Port: "),
                                                  TXT_NewIntInputBox(&se_core_midi_port, 3)))));
    TXT_AddWidget(window, TXT_NewConditional(&se_sys_midi, 1,
                                             TXT_NewHorizBox(TXT_NewLabel("ALSA Output Port: "),
                                                             TXT_NewIntInputBox(&se_alsaclient, 4),
                                                             TXT_NewLabel(":"),
                                                             TXT_NewIntInputBox(&se_alsaport, 1),
                                                             TXT_NewLabel(" (Default = 128:0)"))));
    TXT_AddWidget(window, TXT_NewHorizBox(TXT_NewLabel("TSF SoundFont Filename: "),
                                          TXT_NewInputBox(se_soundfont, kSoundFontMaxChars + 1,
                                                          kSoundFontBoxWidth)));
    // The FM synthesiser's exact chip, at about twice the processor time of the light one.
    TXT_AddWidget(window, TXT_NewCheckBox("Exact FM Synthesis", &se_opl_exact));

    TXT_AddWidgets(window, TXT_NewSeparator("Controller"),
                   TXT_NewCheckBox("Haptic (Game Controller Rumble Support)", &se_haptic),
                   TXT_NewCheckBox("New Joystick Menu Input", &se_joy_ipt_MenuNew));

    SE_SetAction(window, TXT_HORIZ_LEFT, TXT_NewWindowAbortAction(window, "Close"),
                 " Press ESC to Close");
    SE_SetAction(window, TXT_HORIZ_RIGHT, TXT_NewWindowSelectAction(window, "Select"),
                 " Press ENTER to Select");
}

// ---- the setup and the start screen

void Setup(void)
{
    GetSetupSettings();
    TXT_SetDesktopTitle(kDesktopTitle);
    OpenInfoWindow();
    if (setupflag) {
        chain_active = true;
        SE_ControllerTypeMenu();
    } else {
        OpenMainMenu();
    }
    TXT_GUIMainLoop();
    chain_active = false;
    TXT_CloseAllWindows();
    TXT_ClearScreen(TXT_Attr(TXT_COLOR_GREY, TXT_COLOR_BLACK));
}

namespace
{

enum START_ITEM { kRunGame, kRunSetup, kExit, kStartItems };

constexpr const char* kStartItemText[kStartItems] = {"Run Vultar", "Run Setup ", "Exit      "};
constexpr int kStartItemX = 35;
constexpr int kStartItemW = 10;
constexpr int kStartItemY[kStartItems] = {16, 18, 20};
constexpr int kVersionX = 45, kVersionY = 24;

} // namespace

// The start item under the mouse pointer, or -1.
static int StartItemAt(int mx, int my)
{
    // The pointer counts one cell past the item's text, as the highlight bar does.
    if (mx < kStartItemX || mx > kStartItemX + kStartItemW) return -1;
    for (int i = 0; i < kStartItems; i++)
        if (my == kStartItemY[i]) return i;
    return -1;
}

static void DrawStartScreen(void)
{
    memcpy(TXT_GetScreenData(), start_picture.data(), start_picture.size());
    TXT_SetAttr(TXT_Attr(TXT_COLOR_DARK_GREY, TXT_COLOR_BLACK));
    TXT_GotoXY(kVersionX, kVersionY);
    TXT_Puts(kVersionText);
}

static void DrawStartItems(int selected)
{
    int mx, my;
    TXT_GetMousePosition(&mx, &my);
    int hover = StartItemAt(mx, my);
    for (int i = 0; i < kStartItems; i++) {
        uint8_t attr = TXT_Attr(TXT_COLOR_GREY, TXT_COLOR_BLACK);
        if (i == selected) attr = TXT_Attr(TXT_COLOR_BLACK, TXT_COLOR_GREY);
        if (i == hover) attr = TXT_Attr(TXT_COLOR_BLACK, TXT_COLOR_CYAN);
        TXT_SetAttr(attr);
        TXT_GotoXY(kStartItemX, kStartItemY[i]);
        TXT_Puts(kStartItemText[i]);
    }
}

[[noreturn]] static void LeaveProgram(void)
{
    TXT_Shutdown();
    exit(0);
}

int StartScreen(void)
{
    GetSetupSettings();
    if (!se_setup_menu) return 0;

    if (!TXT_Init(se_txt_fullscreen)) {
        fprintf(stderr, "Failed to initialise GUI\n");
        exit(-1);
    }
    TXT_SetQuitRequested(false);
    TXT_SetColor(TXT_COLOR_BLUE, 4, 20, 64);
    TXT_SetDesktopTitle(kDesktopTitle);
    TXT_SetWindowTitle(kWindowTitle);

    int selected = kRunGame;
    bool redraw = true;
    for (;;) {
        if (redraw) {
            DrawStartScreen();
            redraw = false;
        }
        DrawStartItems(selected);
        TXT_UpdateScreen();
        TXT_Sleep(0);

        int c = TXT_GetChar();
        int act = -1;
        int mx, my;
        TXT_GetMousePosition(&mx, &my);
        switch (c) {
        case KEY_DOWNARROW:
            if (selected < kExit) selected++;
            break;
        case KEY_UPARROW:
            if (selected > kRunGame) selected--;
            break;
        case KEY_ENTER:
            act = selected;
            break;
        case KEY_ESCAPE:
        case TXT_QUIT:
            LeaveProgram();
        case TXT_MOUSE_SCROLLUP:
        case TXT_MOUSE_SCROLLDOWN:
            if (StartItemAt(mx, my) >= 0) selected = StartItemAt(mx, my);
            break;
        case TXT_MOUSE_LEFT:
            act = StartItemAt(mx, my);
            if (act >= 0) selected = act;
            break;
        default:
            break;
        }

        switch (act) {
        case kRunGame:
            TXT_Shutdown();
            return 0;
        case kRunSetup:
            Setup();
            if (TXT_QuitRequested()) LeaveProgram();
            redraw = true;
            break;
        case kExit:
            LeaveProgram();
        default:
            break;
        }
    }
}
