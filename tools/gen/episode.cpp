// An episode's tile set, attribute table and maps, from tiles/eN.txt (the legend) and
// maps/eNwM.txt (the nine waves).
#include <algorithm>
#include <map>
#include <unordered_map>

#include "content.h"
#include "episode.h"
#include "res/itemfmt.h"

namespace
{

struct Legend {
    std::map<char, LegendEntry> entries;
};

Legend LoadLegend(int episode, Theme& th)
{
    std::string src = "tiles/e" + std::to_string(episode + 1) + ".txt";
    std::vector<std::string> lines = GEN_ReadLines(src);
    Legend lg;
    for (size_t ln = 0; ln < lines.size(); ln++) {
        std::string where = src + ":" + std::to_string(ln + 1);
        std::vector<std::string> w = GEN_Split(lines[ln]);
        if (w.empty()) continue;
        if (w[0].size() != 1 || w.size() < 2 || w.size() > 5 || w.size() == 4)
            GEN_Fail("%s: CHAR GROUND [OVERLAY [HP MONEY]]", where.c_str());
        char ch = w[0][0];
        if (lg.entries.count(ch)) GEN_Fail("%s: '%c' explained twice", where.c_str(), ch);
        LegendEntry e;
        e.ground = w[1];
        th.groundIndex(e.ground, where);
        if (w.size() >= 3) {
            e.overlay = w[2];
            th.overlayIndex(e.overlay, where);
        }
        if (w.size() == 5) {
            e.hp = GEN_ToInt(w[3], where);
            e.money = GEN_ToInt(w[4], where);
            if (e.hp < 0 || e.hp > 32767 || e.money < 0 || e.money > 32767)
                GEN_Fail("%s: hit points and money are 0..32767", where.c_str());
            if (e.hp > 0 && THEME_IsLine(th, th.overlayIndex(e.overlay, where)))
                GEN_Fail("%s: roads cannot be destroyed", where.c_str());
        }
        lg.entries[ch] = e;
    }
    return lg;
}

struct Placement {
    int row, col, type, level;
};

int LevelCode(const std::string& word, const std::string& where)
{
    if (word == "all") return 3;
    if (word == "medium") return 4;
    if (word == "hard") return 5;
    int v = GEN_ToInt(word, where);
    if (v < 0 || v > 5) GEN_Fail("%s: level is all, medium, hard or 0..5", where.c_str());
    return v;
}

// Frames an enemy of a library type stays in play at most if it is never shot; -1 for one
// that stays until it is shot (a patrol, or anything on the ground once the map stops).
// Worked from its path the way the game flies it, a pixel a frame of scrolling.
int LifeFrames(std::span<const uint8_t> rec, int row)
{
    const int flight = ITEM_Long(rec, 100), speed = std::max(1, ITEM_Long(rec, 88));
    // The map stops once its top row is in view: 142 rows of 32 pixels from the start.
    const int arrives = (139 - row) * 32, stops = 142 * 32;
    if (flight == 0) return -1;
    if (flight >= 3) {
        // From above the screen to below it at the scrolling speed; drivers may leave
        // sooner, but a wave is checked as if none did.
        const int life = 81 + 32 + 211 + 32;
        return arrives + life > stops ? -1 : life;
    }
    // From the spawn row to each point in turn, then a dive across the screen.
    int x = 0, y = -190, steps = 0;
    const int n = std::clamp(ITEM_Long(rec, 92), 0, 30);
    for (int i = 0; i < n; i++) {
        int px = ITEM_Short(rec, 408 + 2 * i), py = ITEM_Short(rec, 468 + 2 * i);
        steps += std::max(std::abs(px - x), std::abs(py - y));
        x = px;
        y = py;
    }
    if (flight == 2) steps += 400;
    return steps / speed + 2;
}

// No more than the game's 30 enemies may be in play at once, even at the hardest level
// with nothing shot down.
void CheckCrowd(int episode, const std::vector<Placement>& enemies, const std::string& src)
{
    const Bytes lib = ENEMY_Library(episode);
    std::vector<std::pair<int, int>> spans; // frames in play: from, to
    for (const Placement& p : enemies) {
        std::span<const uint8_t> rec(lib.data() + size_t(p.type) * ITEM_ENEMYSIZE, ITEM_ENEMYSIZE);
        const int from = (139 - p.row) * 32, life = LifeFrames(rec, p.row);
        spans.push_back({from, life < 0 ? INT32_MAX : from + life});
    }
    for (const auto& [from, to] : spans) {
        (void)to;
        int alive = 0;
        for (const auto& [f, t] : spans)
            if (f <= from && from < t) alive++;
        if (alive > 30)
            GEN_Fail("%s: %d enemies in play at once at row %d; the game holds 30", src.c_str(),
                     alive, 139 - from / 32);
    }
}

void LoadMap(int episode, int wave, const Legend& lg, Theme& th, MapGrid& grid,
             std::vector<Placement>& enemies)
{
    std::string src =
        "maps/e" + std::to_string(episode + 1) + "w" + std::to_string(wave + 1) + ".txt";
    std::vector<std::string> lines = GEN_ReadLines(src);
    std::string section;
    grid.cells.clear();
    for (size_t ln = 0; ln < lines.size(); ln++) {
        std::string where = src + ":" + std::to_string(ln + 1);
        const std::string& l = lines[ln];
        if (l == "[map]" || l == "[enemies]") {
            section = l;
            continue;
        }
        if (l.empty()) continue;
        if (section == "[map]") {
            if (l.size() != kCols)
                GEN_Fail("%s: a map row has %d cells, not %zu", where.c_str(), kCols, l.size());
            for (char ch : l) {
                auto it = lg.entries.find(ch);
                if (it == lg.entries.end())
                    GEN_Fail("%s: '%c' is not in tiles/e%d.txt", where.c_str(), ch, episode + 1);
                Cell c;
                c.ground = th.groundIndex(it->second.ground, where);
                c.overlay =
                    it->second.overlay.empty() ? -1 : th.overlayIndex(it->second.overlay, where);
                c.hp = it->second.hp;
                c.money = it->second.money;
                grid.cells.push_back(c);
            }
        } else if (section == "[enemies]") {
            std::vector<std::string> w = GEN_Split(l);
            if (w.size() < 3 || w.size() > 4)
                GEN_Fail("%s: ROW COLUMN TYPE [LEVEL]", where.c_str());
            Placement p{GEN_ToInt(w[0], where), GEN_ToInt(w[1], where),
                        ENEMY_TypeIndex(episode, w[2], where),
                        w.size() == 4 ? LevelCode(w[3], where) : 3};
            if (p.row < -3 || p.row > 139)
                GEN_Fail("%s: rows -3..139 come into play", where.c_str());
            if (p.col < 0 || p.col >= kCols) GEN_Fail("%s: columns are 0..8", where.c_str());
            enemies.push_back(p);
        } else {
            GEN_Fail("%s: text before [map]", where.c_str());
        }
    }
    if (grid.cells.size() != size_t(kCols) * kRows)
        GEN_Fail("%s: the map needs %d rows", src.c_str(), kRows);
    if (enemies.empty()) GEN_Fail("%s: a wave needs enemies", src.c_str());
    // Placements come into play from the bottom of the map up; within a row in file order.
    std::stable_sort(enemies.begin(), enemies.end(),
                     [](const Placement& a, const Placement& b) { return a.row > b.row; });
    if (enemies.back().level != 3)
        GEN_Fail("%s: the last enemy must come at every level, or the wave cannot end",
                 src.c_str());
    CheckCrowd(episode, enemies, src);
}

// Tiles are shared by their pixels and attributes.
struct TileSet {
    std::unordered_map<std::string, int> index; // only looked up, never walked
    Episode* out;

    int Intern(const Image& img, int wreck, int hp, int money, const std::string& name)
    {
        std::string key(img.px.begin(), img.px.end());
        for (int v : {wreck, hp, money})
            for (int b = 0; b < 4; b++)
                key.push_back(static_cast<char>(v >> (8 * b)));
        auto it = index.find(key);
        if (it != index.end()) return it->second;
        int id = static_cast<int>(out->tiles.size());
        index[key] = id;
        out->tiles.push_back(img);
        out->tilenames.push_back(name);
        Bytes rec(ITEM_FLATSIZE);
        ITEM_PutLong(rec, 0, wreck < 0 ? id : wreck);
        ITEM_PutShort(rec, 4, static_cast<int16_t>(hp));
        ITEM_PutShort(rec, 6, static_cast<int16_t>(money));
        out->flats.push_back(rec);
        return id;
    }
};

Image Cut(const Image& canvas, int c, int r)
{
    Image t(kTile, kTile);
    for (int y = 0; y < kTile; y++)
        for (int x = 0; x < kTile; x++)
            t.set(x, y, canvas.at(c * kTile + x, r * kTile + y));
    return t;
}

// An episode's sources, read and checked before anything is drawn.
struct Sources {
    Theme th;
    std::vector<MapGrid> grids;
    std::vector<std::vector<Placement>> enemies;
};

const Sources& Read(int episode)
{
    static std::map<int, Sources> read;
    auto it = read.find(episode);
    if (it != read.end()) return it->second;
    Sources src;
    src.th = THEME_Make(episode);
    Legend lg = LoadLegend(episode, src.th);
    for (int wave = 0; wave < ITM_WAVES; wave++) {
        src.grids.emplace_back();
        src.enemies.emplace_back();
        LoadMap(episode, wave, lg, src.th, src.grids.back(), src.enemies.back());
    }
    return read.emplace(episode, std::move(src)).first->second;
}

Episode Build(int episode)
{
    const Sources& src = Read(episode);
    const Theme& th = src.th;
    Episode ep;
    TileSet set{{}, &ep};
    for (int wave = 0; wave < ITM_WAVES; wave++) {
        const MapGrid& grid = src.grids[wave];
        const std::vector<Placement>& enemies = src.enemies[wave];

        Image ground(kCanvasW, kCanvasH);
        THEME_PaintGround(th, grid, ground);
        THEME_PaintLines(th, grid, ground);
        Image full = ground;
        for (int r = 0; r < kRows; r++)
            for (int c = 0; c < kCols; c++) {
                const Cell& cell = grid.at(c, r);
                if (cell.overlay >= 0 && !THEME_IsLine(th, cell.overlay))
                    OBJ_Draw(th, th.overlays[cell.overlay], full, c, r, false);
            }

        Bytes map(ITEM_MAPPLACEMENTS, 0);
        ITEM_PutLong(map, 8, static_cast<int32_t>(enemies.size()));
        std::vector<int> cells;
        for (int r = 0; r < kRows; r++)
            for (int c = 0; c < kCols; c++) {
                const Cell& cell = grid.at(c, r);
                std::string name = th.grounds[cell.ground];
                if (cell.overlay >= 0) name += "+" + th.overlays[cell.overlay];
                int tile;
                if (cell.hp > 0) {
                    Image wreck = ground;
                    OBJ_Draw(th, th.overlays[cell.overlay], wreck, c, r, true);
                    int w = set.Intern(Cut(wreck, c, r), -1, 0, 0, name + " wreck");
                    tile = set.Intern(Cut(full, c, r), w, cell.hp, cell.money, name);
                } else {
                    tile = set.Intern(Cut(full, c, r), -1, 0, 0, name);
                }
                size_t at = ITEM_MAPHEADER + 4 * (size_t(r) * kCols + c);
                ITEM_PutShort(map, at, static_cast<int16_t>(tile));
                ITEM_PutShort(map, at + 2, static_cast<int16_t>(episode));
                cells.push_back(tile);
            }
        for (const Placement& p : enemies) {
            ITEM_AddLong(map, -1); // every placement stands alone
            ITEM_AddLong(map, p.type);
            ITEM_AddLong(map, p.col);
            ITEM_AddLong(map, p.row);
            ITEM_AddLong(map, episode);
            ITEM_AddLong(map, p.level);
        }
        ep.maps.push_back(map);
        ep.cells.push_back(cells);
    }
    if (ep.tiles.size() > 32767)
        GEN_Fail("episode %d needs more tiles than a map can number", episode + 1);
    return ep;
}

} // namespace

void EPI_Check(int episode)
{
    Read(episode);
}

const Episode& EPI_Get(int episode)
{
    static std::map<int, Episode> episodes;
    auto it = episodes.find(episode);
    if (it == episodes.end()) it = episodes.emplace(episode, Build(episode)).first;
    return it->second;
}
