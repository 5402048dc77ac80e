// Draws battlefield scenes with the game's own effect modules over a wave's landscape and
// writes them as PNG files: explosions over buildings as the map scrolls, the ship with
// its shadow and engine flames, pickups with their glow, and the small effects round the
// ship. A way to look at the effects in place without flying a wave.
//
//   fxshot DATADIR OUTDIR [EPISODE]
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "game/game.h"
#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "input/input.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "shotsheet.h"
#include "world/anims.h"
#include "world/bonus.h"
#include "world/enemy.h"
#include "world/flame.h"
#include "world/objects.h"
#include "world/shadow.h"
#include "world/tile.h"

namespace
{

constexpr int kCols = 9, kRows = 150, kTile = 32, kMapLeft = 16;
constexpr int kGap = 4; // between the shots on a sheet
// Offsets of the two engine flames from the ship's centre for each banking frame.
constexpr int o_engine[7] = {0, 1, 2, 3, 2, 1, 0};

int episode = 0;
int firsttile[4];

// The landscape of wave 1 with the screen's top edge at map pixel row `top` (0 = the far
// end of the map), the side bars black as in flight.
void Landscape(int top)
{
    memset(displaybuffer, 0, SCREENSIZE);
    char label[32];
    snprintf(label, sizeof(label), "MAP1G%d_MAP", episode + 1);
    int id = GLB_GetItemID(label);
    if (id < 0 || GLB_ItemSize(id) < 12 + kCols * kRows * 4) {
        fprintf(stderr, "fxshot: no usable %s\n", label);
        exit(1);
    }
    const uint8_t* map = GLB_GetItem(id);
    for (int row = top / kTile; row <= (top + SCREENHEIGHT) / kTile && row < kRows; row++)
        for (int c = 0; c < kCols; c++) {
            int16_t cell[2];
            memcpy(cell, map + 12 + (row * kCols + c) * 4, 4);
            if (cell[1] < 0 || cell[1] > 3 || firsttile[cell[1]] <= 0) continue;
            int tile = firsttile[cell[1]] + cell[0];
            if (GLB_ItemSize(tile) < GFX_PIC_HEADER + kTile * kTile) continue;
            GFX_PutImage(GLB_GetItem(tile), kMapLeft + c * kTile, row * kTile - top, false);
        }
}

void Ship(int pic, int flip)
{
    playerpic = pic;
    player_cx = playerx + 16;
    player_cy = playery + 16;
    FLAME_Down(player_cx - o_engine[pic] - 3, player_cy + 15, 4, flip);
    FLAME_Down(player_cx + o_engine[pic] - 2, player_cy + 15, 4, flip);
    if (const uint8_t* p = ANIMS_GetSprite(ITM_LSHIP + pic)) GFX_PutSprite(p, playerx, playery);
}

// One mission frame of the effects, in the mission loop's drawing order, over the
// landscape scrolled to `top`.
void Frame(int top, bool ship)
{
    Landscape(top);
    if (ship) SHADOW_Add(ITM_LSHIP + playerpic, playerx, playery);
    SHADOW_DisplayGround();
    SHADOW_DisplaySky();
    ANIMS_DisplayGround();
    BONUS_Display();
    ANIMS_DisplaySky();
    if (ship) Ship(playerpic, top & 1);
    ANIMS_DisplayHigh();
}

// Buildings blowing up as the map scrolls: ground blasts with sparks and flares, and a
// few air kills overhead.
void Explosions(const std::string& out)
{
    ANIMS_Clear();
    wsrand(7);
    std::vector<SHOT> shots;
    // The farm of the first wave: a silo, a farmhouse and a barn at map rows 28 to 30.
    int top = 864;
    for (int f = 0; f < 40; f++, top--) {
        if (f == 0) {
            ANIMS_StartAnim(ANIM_GROUNDBLAST, 128, 48);
            ANIMS_StartAnim(ANIM_SPARK, 128, 48);
        }
        if (f == 3) {
            ANIMS_StartAnim(ANIM_GROUNDBLAST, 128, 115);
            ANIMS_StartAnim(ANIM_SPARK, 128, 115);
        }
        if (f == 6) ANIMS_StartAnim(ANIM_BIGBLAST, 160, 82);
        if (f == 8) ANIMS_StartAnim(ANIM_FLARE, 130, 54);
        if (f == 11) ANIMS_StartAnim(ANIM_FLARE, 126, 124);
        if (f == 2) ANIMS_StartAAnim(ANIM_AIRBLAST, 250, 40);
        if (f == 10) ANIMS_StartAAnim(ANIM_BURST, 240, 120);
        if (f == 12)
            for (int k = 0; k < 12; k++)
                ANIMS_StartAAnim(ANIM_DEBRIS, 240 + wrand() % 32 - 16, 120 + wrand() % 32 - 16);
        if (f == 14) ANIMS_StartAnim(ANIM_FIREBALL, 60, 160);
        if (f == 16) ANIMS_StartAnim(ANIM_MIDBLAST, 200, 60);
        ANIMS_Think();
        Frame(top, false);
        if (f == 2 || f == 6 || f == 11 || f == 17 || f == 26 || f == 38)
            shots.push_back(SHOT_Grab("explosions"));
    }
    SHOT_Save(out + "/explosions.png", shots, 3, 2, kGap);
}

// An enemy plane flying down the screen with its shadow and its engine flame behind it,
// and a tank on the ground with its flat shadow.
void Enemies(int top)
{
    int fighter = GLB_GetItemID("FIGHTER1"), bomber = GLB_GetItemID("BOMBER1");
    int tank = GLB_GetItemID("TANKL1");
    const uint8_t* f = fighter >= 0 ? ANIMS_GetSprite(fighter) : nullptr;
    const uint8_t* b = bomber >= 0 ? ANIMS_GetSprite(bomber) : nullptr;
    const uint8_t* t = tank >= 0 ? ANIMS_GetSprite(tank) : nullptr;
    Landscape(top);
    if (t) SHADOW_GAdd(tank, 232, 120);
    if (f) SHADOW_Add(fighter, 60, 30);
    if (b) SHADOW_Add(bomber, 230, 20);
    SHADOW_Add(ITM_LSHIP + playerpic, playerx, playery);
    SHADOW_DisplayGround();
    if (t) GFX_PutSprite(t, 232, 120);
    SHADOW_DisplaySky();
    int32_t w;
    if (f) {
        memcpy(&w, f + 12, 4);
        FLAME_Up(60 + w / 2 - 2, 29, 4, top & 1);
        GFX_PutSprite(f, 60, 30);
    }
    if (b) {
        memcpy(&w, b + 12, 4);
        FLAME_Up(230 + w / 2 - 7, 19, 4, top & 1);
        FLAME_Up(230 + w / 2 + 3, 19, 4, top & 1);
        GFX_PutSprite(b, 230, 20);
    }
    Ship(playerpic, top & 1);
}

// The ship with its shadow and both engine flames in every banking frame, close up and
// across the screen, where its shadow falls further from it the further it is from the
// middle; enemies with theirs.
void ShipShots(const std::string& out)
{
    ANIMS_Clear();
    std::vector<SHOT> close;
    playery = 140;
    for (int pic : {3, 3, 0, 1, 5, 6}) {
        playerx = 144;
        playerpic = pic;
        int top = 3200 + static_cast<int>(close.size()) * 17;
        Landscape(top);
        SHADOW_Add(ITM_LSHIP + pic, playerx, playery);
        SHADOW_DisplaySky();
        // The second shot of level flight shows the longer flicker of the flames.
        Ship(pic, close.size() == 1);
        close.push_back(SHOT_Grab("ship"));
    }
    SHOT_Save(out + "/ship.png", close, 3, 4, kGap, {112, 120, 96, 80});

    std::vector<SHOT> wide;
    const int places[4][3] = {{144, 160, 3}, {30, 60, 1}, {270, 100, 5}, {90, 150, 4}};
    for (const auto& p : places) {
        playerx = p[0];
        playery = p[1];
        playerpic = p[2];
        Enemies(2900 - static_cast<int>(wide.size()) * 40);
        wide.push_back(SHOT_Grab("ship"));
    }
    SHOT_Save(out + "/ship_wide.png", wide, 2, 2, kGap);
}

// Pickups of every kind drifting down with their glow, one of them just collected.
void Pickups(const std::string& out)
{
    BONUS_Clear();
    ANIMS_Clear();
    OBJS_Init();
    OBJS_Add(OBJ_SHIELD);
    wsrand(3);
    for (int k = 0; k < BONUS_MAX; k++)
        BONUS_Add(k < 11 ? k * 2 : 23, 24 + (k % 6) * 44, 20 + (k / 6) * 60);
    playerx = 240;
    playery = 160;
    std::vector<SHOT> shots;
    for (int f = 0; f < 12; f++) {
        BONUS_Think();
        Frame(1800 - f, true);
        if (f == 3 || f == 11) shots.push_back(SHOT_Grab("pickups"));
    }
    BONUS_Clear();
    for (int k = 0; k < BONUS_MAX - 1; k++)
        BONUS_Add((k * 2 + 1) % 23, 24 + (k % 6) * 44, 20 + (k / 6) * 60);
    BONUS_Add(19, playerx, playery);
    for (int f = 0; f < 8; f++) {
        BONUS_Think();
        if (f > 0) playerx -= 5; // the ship flies on, the coin stays a while
        Frame(1700 - f, true);
    }
    shots.push_back(SHOT_Grab("pickups"));
    SHOT_Save(out + "/pickups.png", shots, 3, 2, kGap);
}

// Round the ship: gun flashes, missile smoke going both ways, shot hits, an energy hit
// riding on an enemy, a laser hit and the mega bomb flash.
void ShipEffects(const std::string& out)
{
    ANIMS_Clear();
    BONUS_Clear();
    playerx = 144;
    playery = 150;
    playerpic = 3;
    player_cx = playerx + 16;
    player_cy = playery + 16;
    static SPRITE_SHIP_S enemy;
    enemy.item = 1;
    enemy.move.x = 220;
    enemy.move.y = 40;
    std::vector<SHOT> shots;
    for (int f = 0; f < 10; f++) {
        if (f % 2 == 0) {
            ANIMS_StartAnim(ANIM_MUZZLE, 8, -10);
            ANIMS_StartAnim(ANIM_MUZZLE, -9, -10);
        }
        ANIMS_StartAnim(ANIM_PLAYERSMOKE, 110, 120 - f * 8);
        ANIMS_StartAAnim(ANIM_ENEMYSMOKE, 60, 40 + f * 8);
        if (f == 1) ANIMS_StartEAnim(&enemy, ANIM_ENERGYHIT, 0, 0);
        if (f == 2) ANIMS_StartAnim(ANIM_SHOTHIT1, 200, 100);
        if (f == 3) ANIMS_StartAnim(ANIM_SHOTHIT2, 230, 110);
        if (f == 4) ANIMS_StartAnim(ANIM_LASERHIT, 260, 70);
        if (f == 6) ANIMS_StartAnim(ANIM_FLASH, 0, 0);
        enemy.move.y += 2;
        ANIMS_Think();
        Frame(1000 - f, true);
        if (f == 3 || f == 5 || f == 7) shots.push_back(SHOT_Grab("ship effects"));
    }
    SHOT_Save(out + "/ship_effects.png", shots, 3, 2, kGap);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        fprintf(stderr, "usage: %s DATADIR OUTDIR [EPISODE 1..4]\n", argv[0]);
        return 2;
    }
    std::string data = argv[1], out = argv[2];
    if (argc > 3) episode = (atoi(argv[3]) - 1) & 3;
    if (!SHOT_Init("fxshot", data, out)) return 1;
    for (int s = 0; s < 4; s++) {
        char label[32];
        snprintf(label, sizeof(label), "STARTG%dTILES", s + 1);
        int id = GLB_GetItemID(label);
        firsttile[s] = id >= 0 ? id + 1 : -1;
    }
    opt_detail = 1;
    scroll_flag = 1;
    SHADOW_Init();
    FLAME_Init();
    SHADOW_MakeShades();
    OBJS_Init();
    BONUS_Init();
    ANIMS_Init();

    Explosions(out);
    ShipShots(out);
    Pickups(out);
    ShipEffects(out);
    GLB_Shutdown();
    return 0;
}
