// Content functions of the generator: each fills one run of the item layout.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "gen.h"
#include "res/itemtable.h"

// One item: its bytes, and whether the archive stores them scrambled.
struct GenItem {
    Bytes data;
    std::string label;
    bool encoded = false;

    GenItem() = default;
    GenItem(Bytes d) : data(std::move(d)) {}
};

// Builds the five archives in memory, item by item in layout order.
std::array<std::vector<GenItem>, ITM_ARCHIVES> LAYOUT_Build();
// The bytes of one archive as written to disk.
Bytes LAYOUT_ArchiveBytes(const std::vector<GenItem>& items);

// ---- fonts (font.cpp) ----
struct Font {
    int height = 0;
    std::array<Image, 256> glyphs; // w == 0: no glyph
    bool has(uint8_t c) const { return glyphs[c].w > 0; }
};
const Font& FONT_Get(const std::string& name); // "small", "medium", "large"
Bytes FONT_Item(const std::string& name);
// Draws text with the font's values mapped onto colour + value - 1; returns the width.
int FONT_Print(Image& img, const Font& f, int x, int y, const std::string& text, uint8_t colour);
int FONT_Width(const Font& f, const std::string& text);

// ---- HUD, pointer, ship (hud.cpp, ship.cpp) ----
Image HUD_Digit(int d);
Image HUD_ScoreLabel();
Image HUD_Warning(int which);
Image HUD_Icon(int which);
Image HUD_Pointer();
Bytes HUD_PointerItem();
// Frame k (0..6) of ship set 0 (lship), 1 (dship) or 2 (fship: dship with muzzle flash).
Image SHIP_Frame(int set, int frame);
// The game's icon at size x size pixels: the fighter over the sea; 0 is transparent.
Image SHIP_Icon(int size);

// ---- tiles and maps (episode.cpp) ----
struct EnemyType;
struct Episode {
    std::vector<Image> tiles;            // tile pictures in set order
    std::vector<Bytes> flats;            // one attribute record per tile, 8 bytes each
    std::vector<Bytes> maps;             // the nine maps
    std::vector<std::string> tilenames;  // what each tile shows, for the contact sheets
    std::vector<std::vector<int>> cells; // tile of each cell, per map (for previews)
};
const Episode& EPI_Get(int episode);
// Reads and checks an episode's legend, maps and enemies without drawing anything, so a
// mistake in any source is reported at once.
void EPI_Check(int episode);

// ---- enemies (enemies.cpp) ----
struct EnemyType {
    std::string name;  // name used by the map sources
    std::string label; // label of the first frame item
    int kind = 0;      // artwork: index into the episode's enemy frame runs
};
// The enemy types of an episode's library, in library order.
const std::vector<EnemyType>& ENEMY_Types(int episode);
int ENEMY_TypeIndex(int episode, const std::string& name, const std::string& where);
Bytes ENEMY_Library(int episode);
std::vector<Image> ENEMY_Frames(int episode, int kind, int count);

// ---- battlefield pictures (battle.cpp: shots and beams; effects.cpp: explosions, smoke,
// sparks, flares, debris, glows and pickups) ----
std::vector<Image> BATTLE_Frames(const std::string& content, int param, int count);
bool EFFECTS_Makes(const std::string& content);
std::vector<Image> EFFECTS_Frames(const std::string& content, int param, int count);
// Contact sheets of the effects over the landscape, drawn as the game draws them.
std::vector<std::pair<std::string, Image>> EFFECTS_Sheets();

// ---- screens, windows and other items drawn simply for now (screens.cpp) ----
Image SCREEN_Picture(const std::string& content, int param);
Bytes SCREEN_Demo(int episode, int which);
Bytes SCREEN_TextScreen();
Bytes SCREEN_HelpPage(int page);
Bytes SCREEN_CreditsPalette(int which);
// Tiling textures: 0 riveted steel panel, 1 camouflage net, 2 computer screen grid.
Image SCREEN_Texture(int which);

// ---- windows and their artwork (windows.cpp) ----
// The window item with the given id, as the screens open it.
Bytes WINDOW_Item(int id);
// Window backgrounds ("winpic.*") and the pictures screens put into fields ("ui.*").
Image WINDOW_Picture(const std::string& content, int param);
// The player's fighter drawn large, for the scenes.
Image SHIP_Large(int size, double roll, double yaw);

// ---- sound items (sound_hooks.cpp): every sound item's bytes come from here ----
Bytes SOUNDHOOK_EffectVariant(int effect, int variant);
Bytes SOUNDHOOK_OplBank();
Bytes SOUNDHOOK_Song(int number);
