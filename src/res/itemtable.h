// Every item of the five archives in directory order: the fixed ids the game asks for by
// number, the labels it asks for by name, and the runs it finds by position after a label.
// The data-set generator lays the archives out from this table alone, and the game's item
// constants are the names below, so the two cannot drift apart.
#pragma once

#include <array>
#include <cstdint>
#include <span>

constexpr int ITM_ARCHIVES = 5;

constexpr int ITM_Id(int archive, int index)
{
    return (archive << 16) | index;
}
constexpr int ITM_Archive(int id)
{
    return id >> 16;
}
constexpr int ITM_Index(int id)
{
    return id & 0xFFFF;
}

// ---- Archive 0: shutdown screen, store and victory pictures, instruments, songs --------
constexpr int ITM_STOREPIC_NONE = ITM_Id(0, 0); // store picture of the never-held item 23
constexpr int ITM_EXITSCREEN = ITM_Id(0, 2);    // 80x25 text screen shown after the game
constexpr int ITM_VICTORY_TRAINING = ITM_Id(0, 9);
constexpr int ITM_VICTORY = ITM_Id(0, 10); // 3: episodes 1, 2 and 3
constexpr int ITM_OPLBANK = ITM_Id(0, 14);
constexpr int ITM_STOREPICS = ITM_Id(0, 58); // 18: inventory types 0..17
constexpr int ITM_SHOP_HELLO = ITM_Id(0, 76);
constexpr int ITM_SHOP_NOMONEY = ITM_Id(0, 79);
constexpr int ITM_SHOP_NOTHING = ITM_Id(0, 80);
constexpr int ITM_SHOP_NOROOM = ITM_Id(0, 81);
// Songs are numbered by their index in archive 0.
constexpr int ITM_FIRSTSONG = 83;
constexpr int ITM_LASTSONG = 97;

// ---- Archive 1: palette, HUD, pointer, windows, cut-scenes, episode 1, battlefield -----
constexpr int ITM_PALETTE = ITM_Id(1, 0);
constexpr int ITM_DEMOFONT = ITM_Id(1, 4);
constexpr int ITM_NUMBERS = ITM_Id(1, 5); // 11: digits 0..9, then the score label
constexpr int ITM_NUMBERCOUNT = 11;
constexpr int ITM_SCORELABEL = ITM_Id(1, 15); // also the picture of a taken money pickup
constexpr int ITM_WARN_SHIELD = ITM_Id(1, 16);
constexpr int ITM_WARN_DAMAGE = ITM_Id(1, 17);
constexpr int ITM_POINTER = ITM_Id(1, 18);
constexpr int ITM_RETURNPIC = ITM_Id(1, 41);
constexpr int ITM_CREDITS_PIC1 = ITM_Id(1, 43);
constexpr int ITM_CREDITS_PAL1 = ITM_Id(1, 44);
constexpr int ITM_CREDITS_PIC2 = ITM_Id(1, 45);
constexpr int ITM_CREDITS_PAL2 = ITM_Id(1, 46);
constexpr int ITM_WIN_STORE = ITM_Id(1, 49);
constexpr int ITM_WIN_MAINMENU = ITM_Id(1, 50);
constexpr int ITM_WIN_COMPUTER = ITM_Id(1, 51);
constexpr int ITM_WIN_HANGAR = ITM_Id(1, 52);
constexpr int ITM_WIN_ASK = ITM_Id(1, 53);
constexpr int ITM_WIN_NEWPILOT = ITM_Id(1, 55);
constexpr int ITM_WIN_HELP = ITM_Id(1, 56);
constexpr int ITM_WIN_LOADPILOT = ITM_Id(1, 57);
constexpr int ITM_WIN_MESSAGE = ITM_Id(1, 58);
constexpr int ITM_WIN_CREDITS = ITM_Id(1, 60);
constexpr int ITM_WIN_DIFFICULTY = ITM_Id(1, 61);
constexpr int ITM_WIN_VICTORY = ITM_Id(1, 62);
constexpr int ITM_WIN_OPTIONS = ITM_Id(1, 63);
constexpr int ITM_WIN_LOADING = ITM_Id(1, 64);
// Cut-scene frame runs; the first frame of each run starts with the fill colour.
constexpr int ITM_SCENE_CITY = ITM_Id(1, 65);       // 30
constexpr int ITM_SCENE_SIDE1 = ITM_Id(1, 95);      // 20, also the first part of side 2
constexpr int ITM_SCENE_PILOT = ITM_Id(1, 115);     // 21
constexpr int ITM_SCENE_SIDE2 = ITM_Id(1, 136);     // 20
constexpr int ITM_SCENE_EXPLOSION = ITM_Id(1, 156); // 22
constexpr int ITM_SCENE_DEATH2 = ITM_Id(1, 178);    // 6
constexpr int ITM_SCENE_GAME1END = ITM_Id(1, 184);  // 5
constexpr int ITM_SCENE_LANDING = ITM_Id(1, 189);   // 33
constexpr int ITM_SCENE_DEATH = ITM_Id(1, 222);     // 30
constexpr int ITM_ENEMYLIB1 = ITM_Id(1, 252);
constexpr int ITM_DEMOS1 = ITM_Id(1, 263); // 3
constexpr int ITM_HANGARPIC = ITM_Id(1, 267);
constexpr int ITM_PORTRAITS = ITM_Id(1, 278); // 4 pilot portraits
constexpr int ITM_LSHIP = ITM_Id(1, 282);     // 7 banking frames of the player's ship
constexpr int ITM_SHIPFRAMES = 7;
constexpr int ITM_KNOB = ITM_Id(1, 295);
constexpr int ITM_ROWMARKER = ITM_Id(1, 296);
constexpr int ITM_SWITCH_ON = ITM_Id(1, 298);
constexpr int ITM_SWITCH_OFF = ITM_Id(1, 299);
constexpr int ITM_STOREBUTTONS = ITM_Id(1, 304); // 6
// The battlefield block: explosions, shots, pickups, status icons.
constexpr int ITM_ANIM0 = ITM_Id(1, 356);
constexpr int ITM_ANIM13 = ITM_Id(1, 398); // also type 19
constexpr int ITM_ANIM14 = ITM_Id(1, 412);
constexpr int ITM_ANIM15 = ITM_Id(1, 421);
constexpr int ITM_ANIM8 = ITM_Id(1, 430);
constexpr int ITM_SHOT_W3 = ITM_Id(1, 442);
constexpr int ITM_SHOT_W6 = ITM_Id(1, 445); // also weapon 7
constexpr int ITM_SHOT_W8 = ITM_Id(1, 447);
constexpr int ITM_SHOT_W2 = ITM_Id(1, 449);
constexpr int ITM_SHOT_W0 = ITM_Id(1, 451); // also weapon 4
constexpr int ITM_ANIM16 = ITM_Id(1, 455);
constexpr int ITM_SHOT_W11 = ITM_Id(1, 459);
constexpr int ITM_SHOT_W1 = ITM_Id(1, 463);
constexpr int ITM_ESHOT_MINE = ITM_Id(1, 465);
constexpr int ITM_SHOT_W9 = ITM_Id(1, 467);
constexpr int ITM_ESHOT_MISSILE = ITM_Id(1, 468);
constexpr int ITM_ESHOT_PLAIN = ITM_Id(1, 470); // 2: the aimed and the straight shot
constexpr int ITM_ANIM5 = ITM_Id(1, 472);
constexpr int ITM_ANIM4 = ITM_Id(1, 485);
constexpr int ITM_LASHIT = ITM_Id(1, 497);
constexpr int ITM_ANIM2 = ITM_Id(1, 501);
constexpr int ITM_ANIM6 = ITM_Id(1, 508);
constexpr int ITM_ANIM10 = ITM_Id(1, 522); // its last five frames are type 11
constexpr int ITM_ANIM11 = ITM_Id(1, 526);
constexpr int ITM_ANIM3 = ITM_Id(1, 531);
constexpr int ITM_SHOT_W10 = ITM_Id(1, 541);
constexpr int ITM_SHOT_W12 = ITM_Id(1, 547);
constexpr int ITM_GLOW = ITM_Id(1, 549);
constexpr int ITM_ANIM9 = ITM_Id(1, 553);
constexpr int ITM_ANIM12 = ITM_Id(1, 557);
constexpr int ITM_SHOT_W14 = ITM_Id(1, 561);
constexpr int ITM_SHOT_W13 = ITM_Id(1, 565);
constexpr int ITM_DETPOW = ITM_Id(1, 569);
constexpr int ITM_LASPOW = ITM_Id(1, 573);
constexpr int ITM_ESHOT_BEAM = ITM_Id(1, 577);
constexpr int ITM_ELASPOW = ITM_Id(1, 581);
constexpr int ITM_ANIM20 = ITM_Id(1, 585);
constexpr int ITM_ESHOT_VOICE = ITM_Id(1, 589);
constexpr int ITM_ESHOT_FAST = ITM_Id(1, 593);
constexpr int ITM_ANIM17 = ITM_Id(1, 594);
constexpr int ITM_ANIM18 = ITM_Id(1, 620);
constexpr int ITM_ANIM1 = ITM_Id(1, 637);
constexpr int ITM_ANIM7 = ITM_Id(1, 672);
constexpr int ITM_INVPICS = ITM_Id(1, 688); // pickup and inventory pictures, 688..734
constexpr int ITM_ICON_MEGABOMB = ITM_Id(1, 735);
constexpr int ITM_ICON_SUPERSHIELD = ITM_Id(1, 736);

// ---- Archives 2..4 ----------------------------------------------------------------------
constexpr int ITM_ENEMYLIB2 = ITM_Id(2, 0);
constexpr int ITM_DEMOS2 = ITM_Id(2, 11);
constexpr int ITM_SCENE_BASE = ITM_Id(2, 14);     // 30
constexpr int ITM_SCENE_GAME2END = ITM_Id(2, 44); // 25
constexpr int ITM_DSHIP = ITM_Id(2, 69);          // 7: the other ship of two special waves
constexpr int ITM_FSHIP = ITM_Id(2, 76);          // 7: its frames while a weapon flashes
constexpr int ITM_ENEMYLIB3 = ITM_Id(3, 0);
constexpr int ITM_DEMOS3 = ITM_Id(3, 7);
constexpr int ITM_SCENE_GAME3END = ITM_Id(3, 197); // 39
constexpr int ITM_ENEMYLIB4 = ITM_Id(4, 0);

inline constexpr std::array<int, 4> ITM_ENEMYLIBS = {ITM_ENEMYLIB1, ITM_ENEMYLIB2, ITM_ENEMYLIB3,
                                              ITM_ENEMYLIB4};

// ---- Labels -----------------------------------------------------------------------------
constexpr int ITM_EPISODES = 4;
constexpr int ITM_WAVES = 9;
// Tile attribute tables and the markers after which each episode's tile pictures follow.
inline constexpr std::array<const char*, 4> ITM_FLATS_LABELS = {"FLATSG1_ITM", "FLATSG2_ITM",
                                                         "FLATSG3_ITM", "FLATSG4_ITM"};
inline constexpr std::array<const char*, 4> ITM_TILES_LABELS = {"STARTG1TILES", "STARTG2TILES",
                                                         "STARTG3TILES", "STARTG4TILES"};
// Map of wave w (1..9) of episode e (1..4).
inline constexpr const char* ITM_MAP_LABEL_FORMAT = "MAP%uG%u_MAP";
// The fourth episode's victory picture, in its own archive; without it the third's is shown.
inline constexpr const char* ITM_VICTORY4_LABEL = "VICTORYG4_PIC";
inline constexpr const char* ITM_HELP_START = "STARTHELP";
inline constexpr const char* ITM_HELP_END = "ENDHELP";
inline constexpr std::array<const char*, 9> ITM_HELP_PAGES = {
    "HELP1_TXT",    "VUL1_TXT",     "NEWPLAY1_TXT", "HANGHLP1_TXT", "COMPHLP1_TXT",
    "STORHLP1_TXT", "OVERVW06_TXT", "WEAPONS1_TXT", "HINTS1_TXT"};
// Each effect label is followed by its device variants: +1 silent (speaker), +2 tone
// sequence, +3 unused, +4 digital sample.
constexpr int ITM_EFFECT_VARIANTS = 5;
inline constexpr std::array<const char*, 26> ITM_EFFECT_LABELS = {
    "THEME_FX",  "MON1_FX",   "MON2_FX",   "MON3_FX",   "MON4_FX",  "MON5_FX",   "MON6_FX",
    "VOXO_FX",   "EXPLO_FX",  "EXPLO2_FX", "BONUS_FX",  "CRASH_FX", "DOOR_FX",   "FLYBY_FX",
    "EGRAB_FX",  "GEXPLO_FX", "GUN_FX",    "JETSND_FX", "LASER_FX", "MISSLE_FX", "SWEP_FX",
    "TURRET_FX", "WARN_FX",   "BOSS_FX",   "ESHOT_FX",  "HIT_FX"};

// ---- The layout ---------------------------------------------------------------------------
enum ITEMFORMAT : uint8_t {
    IFMT_FILLER,     // label-free, empty entry that keeps the numbering
    IFMT_MARKER,     // empty entry found by its label; the items after it are found by position
    IFMT_PALETTE,    // 256 x (r, g, b), components 0..63
    IFMT_PICTURE,    // plain picture: 20-byte header, width x height pixels
    IFMT_SPRITE,     // run-length sprite
    IFMT_POINTER,    // plain 16x16 picture; a 255 pixel marks the hot spot
    IFMT_FONT,       // height, glyph offsets, widths, glyph pixels
    IFMT_WINDOW,     // window header and field records
    IFMT_ENEMYLIB,   // 528-byte enemy type records
    IFMT_DEMO,       // 12-byte records: header, then one per frame
    IFMT_SCENEFIRST, // cut-scene frame that starts with the fill colour
    IFMT_SCENE,      // cut-scene frame: runs against the frame before
    IFMT_SONG,       // sequencer events
    IFMT_OPLBANK,    // FM instrument bank
    IFMT_TEXTSCREEN, // 80x25 character and attribute pairs
    IFMT_TEXT,       // help page text with layout commands
    IFMT_FLATS,      // tile attributes: wreck tile, hit points, money
    IFMT_TILE,       // plain 32x32 picture
    IFMT_MAP,        // 9x150 cells, then enemy placements
    IFMT_EFFECT,     // an effect label and its four device variants
};

// Count of a tile run: as many pictures as the episode's attribute table has records.
constexpr int ITM_TILECOUNT = -1;

struct ITEMRUN {
    int archive;
    int index;           // index of the first item; -1: directly after the run before
    int count;           // items in the run (or ITM_TILECOUNT)
    ITEMFORMAT format;   //
    const char* label;   // label of the first item, or nullptr
    const char* content; // what goes there, for the generator ("hud.digits", ...)
    int param;           // content parameter (episode, wave, song number, ...)
};

namespace itm_detail
{
constexpr ITEMRUN Fixed(int id, int count, ITEMFORMAT fmt, const char* content, int param = 0,
                        const char* label = nullptr)
{
    return {ITM_Archive(id), ITM_Index(id), count, fmt, label, content, param};
}
constexpr ITEMRUN Next(int archive, int count, ITEMFORMAT fmt, const char* label,
                       const char* content, int param = 0)
{
    return {archive, -1, count, fmt, label, content, param};
}
} // namespace itm_detail

// Every run in directory order, archive by archive. Gaps between fixed indexes become
// fillers. An episode's labelled items (attribute table, tile marker and tiles, maps, enemy
// frames) follow its archive's fixed block.
constexpr auto ITM_LAYOUT = [] {
    using namespace itm_detail;
    constexpr ITEMRUN runs[] = {
        // Archive 0
        Fixed(ITM_STOREPIC_NONE, 1, IFMT_PICTURE, "store.item", 23),
        Fixed(ITM_EXITSCREEN, 1, IFMT_TEXTSCREEN, "exitscreen"),
        Fixed(ITM_VICTORY_TRAINING, 1, IFMT_PICTURE, "victory", 3),
        Fixed(ITM_VICTORY, 3, IFMT_PICTURE, "victory", 0),
        Fixed(ITM_OPLBANK, 1, IFMT_OPLBANK, "sound.oplbank"),
        Fixed(ITM_STOREPICS, 18, IFMT_PICTURE, "store.item", 0),
        Fixed(ITM_SHOP_HELLO, 1, IFMT_PICTURE, "store.keeper", 0),
        Fixed(ITM_SHOP_NOMONEY, 1, IFMT_PICTURE, "store.keeper", 1),
        Fixed(ITM_SHOP_NOTHING, 1, IFMT_PICTURE, "store.keeper", 2),
        Fixed(ITM_SHOP_NOROOM, 1, IFMT_PICTURE, "store.keeper", 3),
        Fixed(ITM_Id(0, ITM_FIRSTSONG), ITM_LASTSONG - ITM_FIRSTSONG + 1, IFMT_SONG, "sound.song",
              ITM_FIRSTSONG),
        Next(0, 1, IFMT_FONT, "MEDIUM_FNT", "font.medium"),
        Next(0, 1, IFMT_FONT, "LARGE_FNT", "font.large"),
        Next(0, 1, IFMT_MARKER, ITM_HELP_START, "help.start"),
        Next(0, 1, IFMT_TEXT, ITM_HELP_PAGES[0], "help.page", 0),
        Next(0, 1, IFMT_TEXT, ITM_HELP_PAGES[1], "help.page", 1),
        Next(0, 1, IFMT_TEXT, ITM_HELP_PAGES[2], "help.page", 2),
        Next(0, 1, IFMT_TEXT, ITM_HELP_PAGES[3], "help.page", 3),
        Next(0, 1, IFMT_TEXT, ITM_HELP_PAGES[4], "help.page", 4),
        Next(0, 1, IFMT_TEXT, ITM_HELP_PAGES[5], "help.page", 5),
        Next(0, 1, IFMT_TEXT, ITM_HELP_PAGES[6], "help.page", 6),
        Next(0, 1, IFMT_TEXT, ITM_HELP_PAGES[7], "help.page", 7),
        Next(0, 1, IFMT_TEXT, ITM_HELP_PAGES[8], "help.page", 8),
        Next(0, 1, IFMT_MARKER, ITM_HELP_END, "help.end"),
#define VULTAR_EFFECT(n)                                                                           \
    Next(0, ITM_EFFECT_VARIANTS, IFMT_EFFECT, ITM_EFFECT_LABELS[n], "sound.effect", n)
        VULTAR_EFFECT(0),
        VULTAR_EFFECT(1),
        VULTAR_EFFECT(2),
        VULTAR_EFFECT(3),
        VULTAR_EFFECT(4),
        VULTAR_EFFECT(5),
        VULTAR_EFFECT(6),
        VULTAR_EFFECT(7),
        VULTAR_EFFECT(8),
        VULTAR_EFFECT(9),
        VULTAR_EFFECT(10),
        VULTAR_EFFECT(11),
        VULTAR_EFFECT(12),
        VULTAR_EFFECT(13),
        VULTAR_EFFECT(14),
        VULTAR_EFFECT(15),
        VULTAR_EFFECT(16),
        VULTAR_EFFECT(17),
        VULTAR_EFFECT(18),
        VULTAR_EFFECT(19),
        VULTAR_EFFECT(20),
        VULTAR_EFFECT(21),
        VULTAR_EFFECT(22),
        VULTAR_EFFECT(23),
        VULTAR_EFFECT(24),
        VULTAR_EFFECT(25),
#undef VULTAR_EFFECT
        // Tiling textures for window backgrounds and fields.
        Next(0, 1, IFMT_PICTURE, "PANEL_TEX", "texture", 0),
        Next(0, 1, IFMT_PICTURE, "CAMO_TEX", "texture", 1),
        Next(0, 1, IFMT_PICTURE, "SCREEN_TEX", "texture", 2),
        // Backgrounds of the windows, found by their labels.
        Next(0, 1, IFMT_PICTURE, "MENU_PIC", "winpic.menu"),
        Next(0, 1, IFMT_PICTURE, "HANGAR_PIC", "winpic.hangar"),
        Next(0, 1, IFMT_PICTURE, "COMPUTER_PIC", "winpic.computer"),
        Next(0, 1, IFMT_PICTURE, "LOADING_PIC", "winpic.loading"),
        Next(0, 1, IFMT_PICTURE, "STORE_PIC", "winpic.store"),
        Next(0, 1, IFMT_PICTURE, "WCREDITS_PIC", "winpic.credits"),
        Next(0, 1, IFMT_PICTURE, "STORE_PREV", "winpic.arrow", 0),
        Next(0, 1, IFMT_PICTURE, "STORE_NEXT", "winpic.arrow", 1),

        // Archive 1
        Fixed(ITM_PALETTE, 1, IFMT_PALETTE, "palette"),
        Fixed(ITM_DEMOFONT, 1, IFMT_FONT, "font.small", 0, "SMALL_FNT"),
        Fixed(ITM_NUMBERS, 10, IFMT_SPRITE, "hud.digits"),
        Fixed(ITM_SCORELABEL, 1, IFMT_SPRITE, "hud.scorelabel"),
        Fixed(ITM_WARN_SHIELD, 1, IFMT_SPRITE, "hud.warning", 0),
        Fixed(ITM_WARN_DAMAGE, 1, IFMT_SPRITE, "hud.warning", 1),
        Fixed(ITM_POINTER, 1, IFMT_POINTER, "pointer"),
        Fixed(ITM_RETURNPIC, 1, IFMT_PICTURE, "ui.returnpic"),
        Fixed(ITM_CREDITS_PIC1, 1, IFMT_PICTURE, "credits.picture", 0),
        Fixed(ITM_CREDITS_PAL1, 1, IFMT_PALETTE, "credits.palette", 0),
        Fixed(ITM_CREDITS_PIC2, 1, IFMT_PICTURE, "credits.picture", 1),
        Fixed(ITM_CREDITS_PAL2, 1, IFMT_PALETTE, "credits.palette", 1),
        Fixed(ITM_WIN_STORE, 1, IFMT_WINDOW, "window", 21),
        Fixed(ITM_WIN_MAINMENU, 1, IFMT_WINDOW, "window", 9),
        Fixed(ITM_WIN_COMPUTER, 1, IFMT_WINDOW, "window", 12),
        Fixed(ITM_WIN_HANGAR, 1, IFMT_WINDOW, "window", 6),
        Fixed(ITM_WIN_ASK, 1, IFMT_WINDOW, "window", 8),
        Fixed(ITM_WIN_NEWPILOT, 1, IFMT_WINDOW, "window", 7),
        Fixed(ITM_WIN_HELP, 1, IFMT_WINDOW, "window", 10),
        Fixed(ITM_WIN_LOADPILOT, 1, IFMT_WINDOW, "window", 13),
        Fixed(ITM_WIN_MESSAGE, 1, IFMT_WINDOW, "window", 6),
        Fixed(ITM_WIN_CREDITS, 1, IFMT_WINDOW, "window", 1),
        Fixed(ITM_WIN_DIFFICULTY, 1, IFMT_WINDOW, "window", 11),
        Fixed(ITM_WIN_VICTORY, 1, IFMT_WINDOW, "window", 3),
        Fixed(ITM_WIN_OPTIONS, 1, IFMT_WINDOW, "window", 13),
        Fixed(ITM_WIN_LOADING, 1, IFMT_WINDOW, "window", 12),
        Fixed(ITM_SCENE_CITY, 1, IFMT_SCENEFIRST, "scene"),
        Fixed(ITM_SCENE_CITY + 1, 29, IFMT_SCENE, "scene"),
        Fixed(ITM_SCENE_SIDE1, 1, IFMT_SCENEFIRST, "scene"),
        Fixed(ITM_SCENE_SIDE1 + 1, 19, IFMT_SCENE, "scene"),
        Fixed(ITM_SCENE_PILOT, 1, IFMT_SCENEFIRST, "scene"),
        Fixed(ITM_SCENE_PILOT + 1, 20, IFMT_SCENE, "scene"),
        Fixed(ITM_SCENE_SIDE2, 1, IFMT_SCENEFIRST, "scene"),
        Fixed(ITM_SCENE_SIDE2 + 1, 19, IFMT_SCENE, "scene"),
        Fixed(ITM_SCENE_EXPLOSION, 1, IFMT_SCENEFIRST, "scene"),
        Fixed(ITM_SCENE_EXPLOSION + 1, 21, IFMT_SCENE, "scene"),
        Fixed(ITM_SCENE_DEATH2, 1, IFMT_SCENEFIRST, "scene"),
        Fixed(ITM_SCENE_DEATH2 + 1, 5, IFMT_SCENE, "scene"),
        Fixed(ITM_SCENE_GAME1END, 1, IFMT_SCENEFIRST, "scene"),
        Fixed(ITM_SCENE_GAME1END + 1, 4, IFMT_SCENE, "scene"),
        Fixed(ITM_SCENE_LANDING, 1, IFMT_SCENEFIRST, "scene"),
        Fixed(ITM_SCENE_LANDING + 1, 32, IFMT_SCENE, "scene"),
        Fixed(ITM_SCENE_DEATH, 1, IFMT_SCENEFIRST, "scene"),
        Fixed(ITM_SCENE_DEATH + 1, 29, IFMT_SCENE, "scene"),
        Fixed(ITM_ENEMYLIB1, 1, IFMT_ENEMYLIB, "enemy.library", 0),
        Fixed(ITM_DEMOS1, 3, IFMT_DEMO, "demo", 0),
        Fixed(ITM_HANGARPIC, 1, IFMT_PICTURE, "ui.hangar"),
        Fixed(ITM_PORTRAITS, 4, IFMT_PICTURE, "ui.portrait"),
        Fixed(ITM_LSHIP, ITM_SHIPFRAMES, IFMT_SPRITE, "ship.frames", 0),
        Fixed(ITM_KNOB, 1, IFMT_SPRITE, "ui.knob"),
        Fixed(ITM_ROWMARKER, 1, IFMT_PICTURE, "ui.rowmarker"),
        Fixed(ITM_SWITCH_ON, 1, IFMT_PICTURE, "ui.switch", 1),
        Fixed(ITM_SWITCH_OFF, 1, IFMT_PICTURE, "ui.switch", 0),
        Fixed(ITM_STOREBUTTONS, 6, IFMT_PICTURE, "ui.storebutton"),
        Fixed(ITM_ANIM0, 42, IFMT_SPRITE, "anim.groundblast"),
        Fixed(ITM_ANIM13, 14, IFMT_SPRITE, "anim.energy"),
        Fixed(ITM_ANIM14, 9, IFMT_SPRITE, "anim.hit", 0),
        Fixed(ITM_ANIM15, 9, IFMT_SPRITE, "anim.hit", 1),
        Fixed(ITM_ANIM8, 12, IFMT_SPRITE, "anim.explosion", 40),
        Fixed(ITM_SHOT_W3, 3, IFMT_SPRITE, "shot.player", 3),
        Fixed(ITM_SHOT_W6, 2, IFMT_SPRITE, "shot.player", 6),
        Fixed(ITM_SHOT_W8, 2, IFMT_SPRITE, "shot.player", 8),
        Fixed(ITM_SHOT_W2, 2, IFMT_SPRITE, "shot.player", 2),
        Fixed(ITM_SHOT_W0, 4, IFMT_SPRITE, "shot.player", 0),
        Fixed(ITM_ANIM16, 4, IFMT_SPRITE, "anim.muzzle"),
        Fixed(ITM_SHOT_W11, 4, IFMT_SPRITE, "shot.player", 11),
        Fixed(ITM_SHOT_W1, 2, IFMT_SPRITE, "shot.player", 1),
        Fixed(ITM_ESHOT_MINE, 2, IFMT_SPRITE, "shot.enemy", 4),
        Fixed(ITM_SHOT_W9, 1, IFMT_SPRITE, "shot.player", 9),
        Fixed(ITM_ESHOT_MISSILE, 2, IFMT_SPRITE, "shot.enemy", 2),
        Fixed(ITM_ESHOT_PLAIN, 2, IFMT_SPRITE, "shot.enemy", 0),
        Fixed(ITM_ANIM5, 13, IFMT_SPRITE, "anim.explosion", 24),
        Fixed(ITM_ANIM4, 12, IFMT_SPRITE, "anim.explosion", 32),
        Fixed(ITM_LASHIT, 4, IFMT_SPRITE, "anim.beamhit"),
        Fixed(ITM_ANIM2, 7, IFMT_SPRITE, "anim.explosion", 16),
        Fixed(ITM_ANIM6, 14, IFMT_SPRITE, "anim.explosion", 20),
        Fixed(ITM_ANIM10, 9, IFMT_SPRITE, "anim.smoke", 0),
        Fixed(ITM_ANIM3, 10, IFMT_SPRITE, "anim.explosion", 28),
        Fixed(ITM_SHOT_W10, 6, IFMT_SPRITE, "shot.player", 10),
        Fixed(ITM_SHOT_W12, 2, IFMT_SPRITE, "shot.player", 12),
        Fixed(ITM_GLOW, 4, IFMT_SPRITE, "anim.glow"),
        Fixed(ITM_ANIM9, 4, IFMT_SPRITE, "anim.beamhit"),
        Fixed(ITM_ANIM12, 4, IFMT_SPRITE, "anim.smoke", 1),
        Fixed(ITM_SHOT_W14, 4, IFMT_SPRITE, "shot.beam", 14),
        Fixed(ITM_SHOT_W13, 4, IFMT_SPRITE, "shot.beam", 13),
        Fixed(ITM_DETPOW, 4, IFMT_SPRITE, "anim.beammuzzle", 14),
        Fixed(ITM_LASPOW, 4, IFMT_SPRITE, "anim.beammuzzle", 13),
        Fixed(ITM_ESHOT_BEAM, 4, IFMT_SPRITE, "shot.beam", 5),
        Fixed(ITM_ELASPOW, 4, IFMT_SPRITE, "anim.beammuzzle", 5),
        Fixed(ITM_ANIM20, 4, IFMT_SPRITE, "anim.flash"),
        Fixed(ITM_ESHOT_VOICE, 4, IFMT_SPRITE, "shot.enemy", 6),
        Fixed(ITM_ESHOT_FAST, 1, IFMT_SPRITE, "shot.enemy", 5),
        Fixed(ITM_ANIM17, 26, IFMT_SPRITE, "anim.flare"),
        Fixed(ITM_ANIM18, 17, IFMT_SPRITE, "anim.spark"),
        Fixed(ITM_ANIM1, 35, IFMT_SPRITE, "anim.explosion", 48),
        Fixed(ITM_ANIM7, 16, IFMT_SPRITE, "anim.debris"),
        // Pickup and inventory pictures: the parameter is the inventory type.
        Fixed(ITM_INVPICS + 0, 1, IFMT_SPRITE, "pickup", 0),
        Fixed(ITM_INVPICS + 1, 2, IFMT_SPRITE, "pickup", 1),
        Fixed(ITM_INVPICS + 3, 2, IFMT_SPRITE, "pickup", 2),
        Fixed(ITM_INVPICS + 5, 1, IFMT_SPRITE, "pickup", 3),
        Fixed(ITM_INVPICS + 6, 4, IFMT_SPRITE, "pickup", 4),
        Fixed(ITM_INVPICS + 10, 4, IFMT_SPRITE, "pickup", 5),
        Fixed(ITM_INVPICS + 14, 1, IFMT_SPRITE, "pickup", 6),
        Fixed(ITM_INVPICS + 15, 1, IFMT_SPRITE, "pickup", 7),
        Fixed(ITM_INVPICS + 16, 1, IFMT_SPRITE, "pickup", 8),
        Fixed(ITM_INVPICS + 17, 4, IFMT_SPRITE, "pickup", 10),
        Fixed(ITM_INVPICS + 21, 1, IFMT_SPRITE, "pickup", 11),
        Fixed(ITM_INVPICS + 22, 2, IFMT_SPRITE, "pickup", 12),
        Fixed(ITM_INVPICS + 24, 4, IFMT_SPRITE, "pickup", 13),
        Fixed(ITM_INVPICS + 28, 4, IFMT_SPRITE, "pickup", 14),
        Fixed(ITM_INVPICS + 32, 1, IFMT_SPRITE, "pickup", 15),
        Fixed(ITM_INVPICS + 33, 4, IFMT_SPRITE, "pickup", 16),
        Fixed(ITM_INVPICS + 37, 1, IFMT_SPRITE, "pickup", 17),
        Fixed(ITM_INVPICS + 38, 1, IFMT_SPRITE, "pickup", 19),
        Fixed(ITM_INVPICS + 39, 1, IFMT_SPRITE, "pickup", 20),
        Fixed(ITM_INVPICS + 40, 1, IFMT_SPRITE, "pickup", 21),
        Fixed(ITM_INVPICS + 41, 1, IFMT_SPRITE, "pickup", 22),
        Fixed(ITM_INVPICS + 42, 1, IFMT_SPRITE, "pickup", 9),
        Fixed(ITM_INVPICS + 43, 4, IFMT_SPRITE, "pickup", 23),
        Fixed(ITM_ICON_MEGABOMB, 1, IFMT_SPRITE, "hud.icon", 0),
        Fixed(ITM_ICON_SUPERSHIELD, 1, IFMT_SPRITE, "hud.icon", 1),
        Next(1, 1, IFMT_FLATS, ITM_FLATS_LABELS[0], "flats", 0),
        Next(1, 1, IFMT_MARKER, ITM_TILES_LABELS[0], "tiles.start", 0),
        Next(1, ITM_TILECOUNT, IFMT_TILE, nullptr, "tiles", 0),
#define VULTAR_MAP(e, w) Next(e, 1, IFMT_MAP, "MAP" #w "G" #e "_MAP", "map", (e - 1) * 9 + w - 1)
#define VULTAR_MAPS(e)                                                                             \
    VULTAR_MAP(e, 1), VULTAR_MAP(e, 2), VULTAR_MAP(e, 3), VULTAR_MAP(e, 4), VULTAR_MAP(e, 5),      \
        VULTAR_MAP(e, 6), VULTAR_MAP(e, 7), VULTAR_MAP(e, 8), VULTAR_MAP(e, 9)
// The enemies of episode e: their frames follow the label named in the enemy library.
#define VULTAR_ENEMIES(e)                                                                          \
    Next(e, 1, IFMT_SPRITE, "FIGHTER" #e, "enemy.frames", (e - 1) * 16 + 0),                       \
        Next(e, 1, IFMT_SPRITE, "INTERCEPT" #e, "enemy.frames", (e - 1) * 16 + 1),                 \
        Next(e, 4, IFMT_SPRITE, "GUNSHIP" #e, "enemy.frames", (e - 1) * 16 + 2),                   \
        Next(e, 1, IFMT_SPRITE, "BOMBER" #e, "enemy.frames", (e - 1) * 16 + 3),                    \
        Next(e, 1, IFMT_SPRITE, "TANKL" #e, "enemy.frames", (e - 1) * 16 + 4),                     \
        Next(e, 1, IFMT_SPRITE, "TANKR" #e, "enemy.frames", (e - 1) * 16 + 5),                     \
        Next(e, 8, IFMT_SPRITE, "TURRET" #e, "enemy.frames", (e - 1) * 16 + 6),                    \
        Next(e, 2, IFMT_SPRITE, "FORTRESS" #e, "enemy.frames", (e - 1) * 16 + 7),                  \
        Next(e, 2, IFMT_SPRITE, "TRUCKL" #e, "enemy.frames", (e - 1) * 16 + 8),                    \
        Next(e, 2, IFMT_SPRITE, "TRUCKR" #e, "enemy.frames", (e - 1) * 16 + 9),                    \
        Next(e, 6, IFMT_SPRITE, "BUNKER" #e, "enemy.frames", (e - 1) * 16 + 10),                   \
        Next(e, 8, IFMT_SPRITE, "BIGGUN" #e, "enemy.frames", (e - 1) * 16 + 11),                   \
        Next(e, 2, IFMT_SPRITE, "BASE" #e, "enemy.frames", (e - 1) * 16 + 12),                     \
        Next(e, 2, IFMT_SPRITE, "HEAVY" #e, "enemy.frames", (e - 1) * 16 + 13),                    \
        Next(e, 4, IFMT_SPRITE, "DRONE" #e, "enemy.frames", (e - 1) * 16 + 14)
        VULTAR_MAPS(1),
        VULTAR_ENEMIES(1),

        // Archive 2
        Fixed(ITM_ENEMYLIB2, 1, IFMT_ENEMYLIB, "enemy.library", 1),
        Fixed(ITM_DEMOS2, 3, IFMT_DEMO, "demo", 1),
        Fixed(ITM_SCENE_BASE, 1, IFMT_SCENEFIRST, "scene"),
        Fixed(ITM_SCENE_BASE + 1, 29, IFMT_SCENE, "scene"),
        Fixed(ITM_SCENE_GAME2END, 1, IFMT_SCENEFIRST, "scene"),
        Fixed(ITM_SCENE_GAME2END + 1, 24, IFMT_SCENE, "scene"),
        Fixed(ITM_DSHIP, ITM_SHIPFRAMES, IFMT_SPRITE, "ship.frames", 1),
        Fixed(ITM_FSHIP, ITM_SHIPFRAMES, IFMT_SPRITE, "ship.frames", 2),
        Next(2, 1, IFMT_FLATS, ITM_FLATS_LABELS[1], "flats", 1),
        Next(2, 1, IFMT_MARKER, ITM_TILES_LABELS[1], "tiles.start", 1),
        Next(2, ITM_TILECOUNT, IFMT_TILE, nullptr, "tiles", 1),
        VULTAR_MAPS(2),
        VULTAR_ENEMIES(2),

        // Archive 3
        Fixed(ITM_ENEMYLIB3, 1, IFMT_ENEMYLIB, "enemy.library", 2),
        Fixed(ITM_DEMOS3, 3, IFMT_DEMO, "demo", 2),
        Fixed(ITM_SCENE_GAME3END, 1, IFMT_SCENEFIRST, "scene"),
        Fixed(ITM_SCENE_GAME3END + 1, 38, IFMT_SCENE, "scene"),
        Next(3, 1, IFMT_FLATS, ITM_FLATS_LABELS[2], "flats", 2),
        Next(3, 1, IFMT_MARKER, ITM_TILES_LABELS[2], "tiles.start", 2),
        Next(3, ITM_TILECOUNT, IFMT_TILE, nullptr, "tiles", 2),
        VULTAR_MAPS(3),
        VULTAR_ENEMIES(3),

        // Archive 4
        Fixed(ITM_ENEMYLIB4, 1, IFMT_ENEMYLIB, "enemy.library", 3),
        Next(4, 1, IFMT_FLATS, ITM_FLATS_LABELS[3], "flats", 3),
        Next(4, 1, IFMT_MARKER, ITM_TILES_LABELS[3], "tiles.start", 3),
        Next(4, ITM_TILECOUNT, IFMT_TILE, nullptr, "tiles", 3),
        VULTAR_MAPS(4),
        VULTAR_ENEMIES(4),
        Next(4, 1, IFMT_PICTURE, ITM_VICTORY4_LABEL, "victory", 4),
#undef VULTAR_MAPS
#undef VULTAR_MAP
#undef VULTAR_ENEMIES
    };
    std::array<ITEMRUN, std::size(runs)> out{};
    for (size_t i = 0; i < std::size(runs); i++)
        out[i] = runs[i];
    return out;
}();

constexpr bool ITM_SameText(const char* a, const char* b)
{
    while (*a && *a == *b) {
        a++;
        b++;
    }
    return *a == *b;
}

// The run that holds a fixed id, or nullptr.
constexpr const ITEMRUN* ITM_FindFixed(int id)
{
    for (const ITEMRUN& r : ITM_LAYOUT) {
        if (r.index >= 0 && r.archive == ITM_Archive(id) && ITM_Index(id) >= r.index &&
            ITM_Index(id) < r.index + r.count)
            return &r;
    }
    return nullptr;
}

// The run whose first item carries the label, or nullptr.
constexpr const ITEMRUN* ITM_FindLabel(const char* label)
{
    for (const ITEMRUN& r : ITM_LAYOUT) {
        if (r.label && ITM_SameText(r.label, label)) return &r;
    }
    return nullptr;
}

// Archives in order, fixed runs rising and apart within an archive, labelled runs only
// after the fixed ones, every label unique and short enough for a directory entry.
constexpr bool ITM_LayoutIsSound()
{
    int archive = 0, next = 0;
    bool labelled = false;
    for (const ITEMRUN& r : ITM_LAYOUT) {
        if (r.archive < archive || r.archive >= ITM_ARCHIVES) return false;
        if (r.archive != archive) {
            archive = r.archive;
            next = 0;
            labelled = false;
        }
        if (r.index >= 0) {
            if (labelled || r.index < next || r.count <= 0) return false;
            next = r.index + r.count;
        } else {
            labelled = true;
        }
        if (r.label) {
            int len = 0;
            while (r.label[len])
                len++;
            if (len == 0 || len > 15) return false;
            if (ITM_FindLabel(r.label) != &r) return false;
        }
        if (r.count == ITM_TILECOUNT && r.format != IFMT_TILE) return false;
    }
    return true;
}
static_assert(ITM_LayoutIsSound(), "item layout out of order or with a bad label");
