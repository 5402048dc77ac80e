// Landscapes: each wave's map is drawn whole, as one picture of 288 x 4800 pixels, and
// then cut into 32x32 tiles; identical tiles are stored once. Drawing the whole map at once
// makes every seam join by construction. Ground textures repeat every 32 pixels, so plain
// ground cuts into few tiles; only edges, roads and buildings make tiles of their own.
#pragma once

#include <string>
#include <vector>

#include "gen.h"

constexpr int kTile = 32;
constexpr int kCols = 9, kRows = 150;
constexpr int kCanvasW = kCols * kTile, kCanvasH = kRows * kTile;

// What a map character stands for: the ground under it and what stands or runs on it.
struct LegendEntry {
    std::string ground;
    std::string overlay; // road, object or decoration; empty for none
    int hp = 0;          // > 0: destructible, replaced by a wreck
    int money = 0;
};

struct Cell {
    int ground = 0;   // index into the theme's grounds
    int overlay = -1; // index into the episode's overlay names
    int hp = 0, money = 0;
};

struct MapGrid {
    std::vector<Cell> cells; // kRows x kCols
    const Cell& at(int c, int r) const;
};

// The look of one episode: its grounds (by priority, lowest first) and overlays.
struct Theme {
    int episode = 0;
    std::vector<std::string> grounds;
    std::vector<std::string> overlays;
    int groundIndex(const std::string& name, const std::string& where) const;
    int overlayIndex(const std::string& name, const std::string& where);
};

Theme THEME_Make(int episode);
// Paints the ground layer of a whole map: terrain, edges, shading.
void THEME_PaintGround(const Theme& th, const MapGrid& map, Image& canvas);
// True when the overlay is a line that joins its neighbours (roads, pipes).
bool THEME_IsLine(const Theme& th, int overlay);
// Paints line overlays (roads and their bridges) onto the ground.
void THEME_PaintLines(const Theme& th, const MapGrid& map, Image& canvas);
// Draws a building or decoration inside cell (c, r), intact or as a wreck.
void OBJ_Draw(const Theme& th, const std::string& name, Image& canvas, int c, int r, bool wreck);
bool OBJ_Known(int episode, const std::string& name);

// A darker (negative) or lighter colour of the same ramp.
uint8_t SHADE(uint8_t colour, int delta);
