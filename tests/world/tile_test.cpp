// The tile map on a small hand-made archive: map checks, the first view of a wave,
// scrolling, damage and its spreading, explosions and the wrecks that follow them.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/game.h"
#include "game/loadsave.h"
#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "res/glbapi.h"
#include "testutil/gfxitems.h"
#include "testutil/testutil.h"
#include "world/tile.h"

namespace
{

// Tile 0 is plain ground, tile 1 a building (10 hit points, pays 150) whose wreck is
// tile 2; tile 3 a building with 0 hit points.
enum { GROUND = 0, HOUSE = 1, WRECK = 2, SHED = 3 };

std::vector<uint8_t> Flats()
{
    struct {
        int32_t wreck;
        int16_t hp, money;
    } rows[] = {{GROUND, 0, 0}, {WRECK, 10, 150}, {WRECK, 0, 0}, {WRECK, 0, 40}};
    std::vector<uint8_t> out;
    for (auto& r : rows) {
        uint8_t rec[8];
        memcpy(rec, &r.wreck, 4);
        memcpy(rec + 4, &r.hp, 2);
        memcpy(rec + 6, &r.money, 2);
        out.insert(out.end(), rec, rec + 8);
    }
    return out;
}

// A tile picture whose rows show the tile number and the row: (tile * 40 + row) & 0xFF.
std::vector<uint8_t> TilePic(int tile)
{
    return vt::MakePic(32, 32, vt::Grid(32, 32, [tile](int, int y) { return tile * 40 + y + 1; }));
}

struct MapSpec {
    std::vector<int16_t> tiles = std::vector<int16_t>(MAP_CELLS, GROUND);
    std::vector<int16_t> sets = std::vector<int16_t>(MAP_CELLS, 0);
    int32_t count = 0;
    int extra = 0; // placement bytes actually present
};

std::vector<uint8_t> MapItem(const MapSpec& m)
{
    std::vector<uint8_t> out(MAP_PLACEMENTS + m.extra, 0);
    memcpy(out.data() + 8, &m.count, 4);
    for (int n = 0; n < MAP_CELLS; n++) {
        memcpy(out.data() + MAP_HEADER + 4 * n, &m.tiles[n], 2);
        memcpy(out.data() + MAP_HEADER + 4 * n + 2, &m.sets[n], 2);
    }
    return out;
}

// Houses on rows 140..149 in columns 2..6, ground elsewhere.
MapSpec Village()
{
    MapSpec m;
    for (int row = 140; row < MAP_ROWS; row++)
        for (int col = 2; col <= 6; col++)
            m.tiles[row * MAP_COLS + col] = HOUSE;
    m.tiles[1] = m.tiles[2] = m.tiles[9] = HOUSE; // at the far end, for bombing there
    m.tiles[149 * MAP_COLS + 8] = HOUSE;          // the last spot of a fresh wave
    return m;
}

class TileTest : public ::testing::Test
{
  protected:
    static void SetUpTestSuite()
    {
        static vt::TempHome home;
        std::string dir = home.dir() + "/";
        vt::WriteArchive(dir + "FILE0000.GLB", {{"ZERO", std::vector<uint8_t>(4, 0), false}});
        MapSpec damaged = Village();
        damaged.tiles[700] = 9; // past the attribute table
        std::vector<GLB_WRITEITEM> items = {
            {"FLATSG1_ITM", Flats(), true},
            {"STARTG1TILES", {}, false},
            {"T0", TilePic(0), false},
            {"T1", TilePic(1), false},
            {"T2", TilePic(2), false},
            {"T3", TilePic(3), false},
            {"MAP1G1_MAP", MapItem(Village()), true},
            {"MAP2G1_MAP", MapItem(damaged), true},
        };
        vt::WriteArchive(dir + "FILE0001.GLB", items);
        GLB_InitSystem(dir.c_str(), 2, nullptr);
        GFX_InitSystem();
        gameflag[0] = 1;
        flatlib[0] = GLB_LockItem(GLB_GetItemID("FLATSG1_ITM"));
        TILE_Init();
    }

    void SetUp() override
    {
        cur_game = 0;
        game_wave[0] = 0;
        map_item = GLB_GetItemID("MAP1G1_MAP");
        mapmem = GLB_LockItem(map_item);
        TILE_CacheLevel();
        plr.score = 0;
        wsrand(1);
    }
    void TearDown() override { GLB_UnlockItem(map_item); }

    static int Cell(int row, int col) { return row * MAP_COLS + col; }
    static int Tile(int n) { return titems[n] - startflat[0]; }
    static int Wreck(int n) { return eitems[n] - startflat[0]; }

    vt::FakeClock clock{1000, 1};
};

TEST_F(TileTest, MapsAreCheckedBeforeTheyAreTrusted)
{
    auto check = [](const MapSpec& m) {
        std::vector<uint8_t> item = MapItem(m);
        return TILE_CheckMap(item.data(), static_cast<int>(item.size()));
    };
    EXPECT_TRUE(check(Village()));

    MapSpec m = Village();
    m.count = 2;
    m.extra = 48;
    EXPECT_TRUE(check(m)) << "two placements that are there";
    m.extra = 47;
    EXPECT_FALSE(check(m)) << "the second placement is cut short";
    m.count = -1;
    EXPECT_FALSE(check(m));
    m.count = 0x7FFFFFFF;
    EXPECT_FALSE(check(m)) << "a count whose size overflows";

    m = Village();
    m.tiles[5] = 4;
    EXPECT_FALSE(check(m)) << "tile number past the attribute table";
    m.tiles[5] = -1;
    EXPECT_FALSE(check(m));
    m = Village();
    m.sets[77] = 1;
    EXPECT_FALSE(check(m)) << "a tile set whose episode is not here";
    m.sets[77] = 4;
    EXPECT_FALSE(check(m));

    std::vector<uint8_t> item = MapItem(Village());
    EXPECT_FALSE(TILE_CheckMap(item.data(), MAP_PLACEMENTS - 1));
}

TEST_F(TileTest, ADamagedMapEndsTheGameCleanly)
{
    game_wave[0] = 1;
    EXPECT_EXIT(VUL_LoadMap(), ::testing::ExitedWithCode(0), "");
    game_wave[0] = 5; // no such map
    EXPECT_EXIT(VUL_LoadMap(), ::testing::ExitedWithCode(0), "");
}

TEST_F(TileTest, AFreshWaveShowsTheLastRowsAndScrollsAPixelAFrame)
{
    EXPECT_EQ(Tile(Cell(142, 3)), HOUSE);
    EXPECT_EQ(hits[Cell(142, 3)], 10);
    EXPECT_EQ(hits[Cell(142, 0)], 1) << "indestructible cells hold one hit point";
    EXPECT_EQ(money[Cell(142, 3)], 150);

    TILE_Think();
    EXPECT_EQ(tspots[0].index, Cell(142, 0));
    EXPECT_EQ(tspots[0].y, -56);
    EXPECT_EQ(lastspot->index, Cell(149, 8));
    EXPECT_EQ(lastspot->y, 168);
    EXPECT_EQ(lastspot->x, 16 + 8 * 32);

    memset(displaybuffer, 0, SCREENSIZE);
    TILE_Display();
    // Row 149 fills screen rows 168..199; row 142 is wholly above the screen; row 143
    // shows its last eight rows at the top.
    EXPECT_EQ(vt::Px(16, 199), 0 * 40 + 31 + 1);
    EXPECT_EQ(vt::Px(16 + 2 * 32, 168), 1 * 40 + 0 + 1);
    EXPECT_EQ(vt::Px(16, 0), 0 * 40 + 24 + 1);
    EXPECT_EQ(vt::Px(15, 100), 0) << "nothing left of the field";
    EXPECT_EQ(vt::Px(304, 100), 0) << "nothing right of the field";
    EXPECT_EQ(tileyoff, -55);

    // The first row step after 57 frames, then one every 32.
    for (int f = 1; f < 57; f++)
        TILE_Display();
    EXPECT_EQ(tilepos, 141 * MAP_COLS);
    EXPECT_EQ(tileyoff, -31);
    for (int f = 0; f < 32; f++)
        TILE_Display();
    EXPECT_EQ(tilepos, 140 * MAP_COLS);
}

TEST_F(TileTest, TheMapStopsWithItsFirstRowAtTheTop)
{
    tilepos = MAP_COLS;
    tileyoff = 0;
    TILE_Think();
    TILE_Display();
    EXPECT_EQ(tilepos, 0);
    EXPECT_EQ(last_tile, 1);
    EXPECT_EQ(scroll_flag, 1);
    for (int f = 0; f < 31; f++)
        TILE_Display();
    EXPECT_EQ(scroll_flag, 1);
    TILE_Display();
    EXPECT_EQ(scroll_flag, 0);
    EXPECT_EQ(tileyoff, 0);
    TILE_Display();
    EXPECT_EQ(tileyoff, 0);
    EXPECT_EQ(tilepos, 0);
}

TEST_F(TileTest, DamageSpreadsSidewaysAndAheadButNeverBehind)
{
    int n = Cell(145, 4);
    TILE_DoDamage(n, 3);
    EXPECT_EQ(hits[n - 1], 7);
    EXPECT_EQ(hits[n + 1], 7);
    EXPECT_EQ(hits[n - MAP_COLS], 7) << "the cell ahead";
    EXPECT_EQ(hits[n + MAP_COLS], 10) << "the row behind";
    EXPECT_EQ(hits[n], 10) << "not the cell itself";

    // Column 2 has ground (indestructible) to its left: it keeps its one point.
    TILE_DoDamage(Cell(145, 2), 5);
    EXPECT_EQ(hits[Cell(145, 1)], 1);

    // From column 0 nothing reaches column 8 of the row ahead, and from column 8 nothing
    // reaches column 0 of the next row.
    int before8 = hits[Cell(148, 8)];
    hits[Cell(149, 0)] = 5;
    titems[Cell(149, 0)] = startflat[0] + HOUSE;
    eitems[Cell(149, 0)] = startflat[0] + WRECK;
    TILE_DoDamage(Cell(149, 1), 0);
    TILE_DoDamage(Cell(149, 0), 2);
    EXPECT_EQ(hits[Cell(148, 8)], before8);
    TILE_DoDamage(Cell(148, 8), 2);
    EXPECT_EQ(hits[Cell(149, 0)], 5);

    // Out of the map: nothing happens and nothing is written.
    TILE_DoDamage(0, 50);
    TILE_DoDamage(MAP_CELLS - 1, 50);
    EXPECT_EQ(hits[1], 10 - 50);
}

TEST_F(TileTest, AnExplodingTileShowsItsWreckElevenFramesLater)
{
    TILE_Think();
    int n = Cell(146, 4);
    hits[n] = 0;
    TILE_Think();
    EXPECT_EQ(tdead[n], 0) << "zero hit points is not yet below zero";

    hits[n] = -1;
    TILE_Think();
    EXPECT_EQ(tdead[n], 1);
    EXPECT_EQ(plr.score, 150);
    EXPECT_EQ(Tile(n), HOUSE) << "the intact picture stays until the wreck shows";
    EXPECT_EQ(eitems[n], titems[n]) << "no longer destructible";
    EXPECT_EQ(hits[n - 1], 10 - 5) << "the blast hurts the neighbours";

    // Damage now changes nothing: the explosion is pending.
    int hp = hits[n];
    TILE_DoDamage(n + 1, 4);
    EXPECT_EQ(hits[n], hp);

    for (int f = 1; f <= 10; f++) {
        TILE_Think();
        ASSERT_EQ(Tile(n), HOUSE) << "frame " << f;
    }
    TILE_Think();
    EXPECT_EQ(Tile(n), WRECK);
    EXPECT_EQ(Wreck(n), WRECK);
    EXPECT_EQ(hits[n - 1], 10 - 5 - 20) << "the wreck hurts the neighbours again";
    EXPECT_EQ(plr.score, 150) << "it pays once";
    EXPECT_EQ(tdelays.first.next, &tdelays.last);
}

TEST_F(TileTest, AWreckThatScrollsAwayIsDropped)
{
    TILE_Think();
    int n = Cell(149, 3);
    hits[n] = -1;
    TILE_Think();
    ASSERT_NE(tdelays.first.next, &tdelays.last);
    tilepos -= MAP_COLS; // the row leaves the window before the event fires
    TILE_Think();
    EXPECT_EQ(tdelays.first.next, &tdelays.last);
    EXPECT_EQ(Tile(n), HOUSE);
}

TEST_F(TileTest, ShotsAndBombsFindTheFirstDestructibleSpot)
{
    TILE_Think();
    // A shot on ground is not absorbed; on a house it is.
    EXPECT_EQ(TILE_IsHit(3, 16 + 5, 100), 0);
    int x = 16 + 3 * 32 + 10, y = tspots[4 * MAP_COLS].y + 5;
    EXPECT_EQ(TILE_IsHit(3, x, y), 1);
    EXPECT_EQ(hits[tspots[4 * MAP_COLS + 3].index], 7);

    // The last spot (bottom right) never takes a shot or a bomb, but the mega bomb hits it.
    int last = lastspot->index;
    ASSERT_EQ(Tile(last), HOUSE);
    EXPECT_EQ(TILE_IsHit(3, lastspot->x + 4, lastspot->y + 4), 0);
    EXPECT_EQ(TILE_Bomb(3, lastspot->x + 4, lastspot->y + 4), 0);
    TILE_DamageAll();
    EXPECT_EQ(hits[last], 10 - 20);

    // A bomb hurts the cell, its neighbours, and the row ahead of them by half.
    int n = tspots[5 * MAP_COLS + 4].index;
    int hb = hits[n], hl = hits[n - 1], ha = hits[n - MAP_COLS], haa = hits[n - 2 * MAP_COLS];
    EXPECT_EQ(TILE_Bomb(8, tspots[5 * MAP_COLS + 4].x, tspots[5 * MAP_COLS + 4].y), 1);
    EXPECT_EQ(hits[n], hb - 8);
    EXPECT_EQ(hits[n - 1], hl - 8);
    EXPECT_EQ(hits[n - MAP_COLS], ha - 8) << "the cell ahead, by the ring around the bomb";
    EXPECT_EQ(hits[n - 2 * MAP_COLS], haa - 4) << "the half ring around the cell ahead";
}

TEST_F(TileTest, ABombAtTheFarEndHasNoHalfRing)
{
    tilepos = 0;
    tileyoff = 0;
    TILE_Think();
    // Cell 9 (row 1, column 0): a half ring would reach cells -1, 0 and 1.
    int h1 = hits[1], h2 = hits[2];
    EXPECT_EQ(TILE_Bomb(6, 16 + 2, 32 + 2), 1);
    EXPECT_EQ(hits[9], 10 - 6);
    EXPECT_EQ(hits[0], 1);
    EXPECT_EQ(hits[1], h1) << "cell 9 is not past 9: no half ring";
    EXPECT_EQ(hits[2], h2);
}

TEST_F(TileTest, DamageRunsOutAtTheLowestHitPointsInsteadOfWrapping)
{
    TILE_Think();
    int n = tspots[2 * MAP_COLS + 3].index;
    for (int i = 0; i < 400; i++)
        TILE_IsHit(200, tspots[2 * MAP_COLS + 3].x, tspots[2 * MAP_COLS + 3].y);
    EXPECT_LT(hits[n], 0) << "still counts as destroyed";
    TILE_Think();
    EXPECT_EQ(tdead[n], 1);
}

TEST_F(TileTest, ExplodeAtOnceOrLater)
{
    TILE_Think();
    TILESPOT* s = &tspots[3 * MAP_COLS + 5];
    TILE_Explode(s, 0);
    EXPECT_EQ(Tile(s->index), WRECK);
    EXPECT_EQ(s->item, titems[s->index]);

    TILESPOT* t = &tspots[3 * MAP_COLS + 6];
    TILE_Explode(t, 2);
    for (int f = 0; f < 3; f++)
        TILE_Think();
    EXPECT_EQ(Tile(t->index), HOUSE);
    TILE_Think();
    EXPECT_EQ(Tile(t->index), WRECK);

    TILESPOT none = {0, 0, 0, -1};
    TILE_Explode(&none, 0); // nothing, and nothing read
}

} // namespace
