// The autopilot. Each frame it weighs a fixed fan of ship steps: for every step it follows
// the ship a short way ahead (moving for a few frames, then holding) against where each
// enemy shot, beam and air enemy will be, and adds what the course is worth: lining up
// under a target, reaching a pickup, keeping low on the field with room to move. The
// cheapest course wins; ties go to the earlier step in the fan, so the choice never
// depends on anything but the battlefield.
#include "game/autopilot.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>

#include "game/game.h"
#include "game/loadsave.h"
#include "input/input.h"
#include "world/bonus.h"
#include "world/enemy.h"
#include "world/eshot.h"
#include "world/objects.h"
#include "world/shots.h"
#include "world/tile.h"

namespace
{

// The ship's field (top-left corner) and size, as the input layer keeps it.
constexpr int kMinX = 5, kMaxX = 282, kMinY = 0, kMaxY = 160;
constexpr int kHalf = 16;
constexpr int kMaxStepX = 10, kMaxStepY = 8;

// A shot hits within this many pixels of the ship's centre; the autopilot keeps a little
// more room than that.
constexpr int kHitRange = 15;
constexpr int kMargin = 3;
// Frames looked ahead, and frames a course keeps moving before it holds still.
constexpr int kHorizon = 14;
constexpr int kMoveFrames = 3;
// The height the ship likes to fly at: low, with the whole field above it in view.
constexpr int kHomeY = 150;
// Below this shield the autopilot looks for a way out with a mega bomb.
constexpr int kBombShield = 35;
// Frames between two mega bombs.
constexpr int kBombRest = 90;
// A boss that has sat this long below the guns (the map stopped with it at the bottom of
// the field) is out of reach for good: only a mega bomb gets at it.
constexpr int kBossOutOfReach = 100;

// The fan of steps, in the order ties are settled: standing still first, then small steps.
constexpr std::array<int, 9> kStepsX = {0, -2, 2, -4, 4, -7, 7, -10, 10};
constexpr std::array<int, 5> kStepsY = {0, -4, 4, -8, 8};

// What each special weapon (inventory types 3..14) can hit: air, ground.
struct REACH {
    bool air, ground;
};
constexpr REACH kReach[OBJ_NUMTYPES] = {
    {true, true},   {true, true},  {true, true}, // main guns
    {true, true},                                // 3
    {true, true},                                // 4
    {true, true},                                // 5 the laser
    {true, false},  {true, false},               // 6, 7
    {false, true},  {false, true},               // 8, 9 ground attack
    {true, false},                               // 10 the energy weapon
    {false, false},                              // 11 the mega bomb is not selected
    {true, true},                                // 12
    {true, false},                               // 13
    {true, true},                                // 14
};

// The memory of the last frame: where each enemy record was, for its speed, and whether
// the latches were pressed (the game acts once per press).
struct SEEN {
    int x, y, item;
};
struct MEMORY {
    std::array<SEEN, ENEMY_MAX> enemy;
    int lastframe;
    int pressed_change, pressed_bomb;
    int bomb_rest;
    int boss_below; // frames a boss has sat below the guns' reach
};
MEMORY mem;
bool enabled;

int Clamp(int v, int lo, int hi)
{
    return v < lo ? lo : v > hi ? hi : v;
}

// One shot's forecast: its hit point in each frame ahead, or a beam's column.
struct FORECAST {
    std::array<int, kHorizon + 1> x, y;
    int frames; // frames it is still in play
    int damage;
    bool beam;
};

FORECAST Forecast(const ESHOT_S& s)
{
    FORECAST f{};
    f.damage = s.lib ? s.lib->damage : 1;
    f.frames = kHorizon;
    if (!s.lib) {
        f.frames = 0;
        return f;
    }
    const PLIB& w = *s.lib;
    if (s.kind == 5 /* beam */) {
        f.beam = true;
        f.frames = std::max(0, w.numframes - s.frame);
        for (int t = 1; t <= kHorizon; t++) {
            f.x[t] = s.x;
            f.y[t] = s.y;
        }
        return f;
    }
    if (!w.maxspeed) {
        // The mine drifts down a pixel a frame round its wobble, and burns out.
        f.frames = std::min(kHorizon, s.speed - 1);
        static constexpr int xpos[16] = {-1, 0, 1, 2, 3, 3, 3, 2, 1, 0, -1, -2, -3, -3, -3, -2};
        static constexpr int ypos[16] = {-3, -3, -3, -2, -1, 0, 1, 2, 3, 3, 3, 2, 1, 0, -1, -2};
        for (int t = 1; t <= kHorizon; t++) {
            int k = (s.wobble + t - 1) % 16;
            f.x[t] = s.move.x + xpos[k];
            f.y[t] = s.move.y + t - 1 + ypos[k];
        }
        return f;
    }
    // A flying shot is checked where its mover stands, then moves on, faster each frame.
    MOVEOBJ m = s.move;
    int speed = s.speed;
    for (int t = 1; t <= kHorizon; t++) {
        f.x[t] = m.x;
        f.y[t] = m.y;
        MoveSobj(&m, speed);
        if (speed < w.maxspeed) speed++;
    }
    return f;
}

bool Hits(const FORECAST& f, int t, int cx, int cy, int range)
{
    if (t > f.frames) return false;
    int dx = cx - f.x[t];
    if (dx < -range || dx > range) return false;
    if (f.beam) return f.y[t] < cy;
    int dy = cy - f.y[t];
    return dy >= -range && dy <= range;
}

// Every shot in play, forecast once a frame.
int Forecasts(std::array<FORECAST, ESHOT_MAX>& out)
{
    int n = 0;
    for (const ESHOT_S* s = eshots.first.next; s != &eshots.last && n < ESHOT_MAX; s = s->next)
        out[n++] = Forecast(*s);
    return n;
}

// An air enemy's box and its speed, for ramming.
struct BODY {
    int x, y, x2, y2, vx, vy, damage;
};

int SlotOf(const SPRITE_SHIP_S* sh)
{
    return static_cast<int>(sh - ships.rec);
}

int Bodies(std::array<BODY, ENEMY_MAX>& out)
{
    int n = 0;
    for (SPRITE_SHIP_S* sh = ENEMY_First(); sh; sh = ENEMY_Next(sh)) {
        if (sh->groundflag || sh->hp <= 0) continue;
        const SEEN& was = mem.enemy[SlotOf(sh)];
        int vx = 0, vy = 0;
        if (was.item != -1 && mem.lastframe == gl_cnt - 1) {
            vx = Clamp(sh->x - was.x, -12, 12);
            vy = Clamp(sh->y - was.y, -12, 12);
        }
        out[n++] = {sh->x, sh->y, sh->x2, sh->y2, vx, vy, std::max(sh->width, sh->height) / 4};
    }
    return n;
}

// The ship's top-left corner `t` frames along a course.
void Along(int dx, int dy, int t, int* x, int* y)
{
    int k = std::min(t, kMoveFrames);
    *x = Clamp(playerx + dx * k, kMinX, kMaxX);
    *y = Clamp(playery + dy * k, kMinY, kMaxY);
}

struct TARGET {
    int x;       // screen x to line up under, -1 for none
    bool boss;   // the target is a boss: it comes before pickups
    bool air;    // what is in view
    bool ground; //
    int visible; // enemies in view
};

// The enemy to line up under: one above the ship, the nearest sideways, bosses first.
// Without an enemy, a building that pays.
TARGET ChooseTarget(void)
{
    TARGET t{-1, false, false, false, 0};
    int best = INT_MAX;
    for (int i = 0; i < cur_visable && i < ENEMY_MAX; i++) {
        const SPRITE_SHIP_S* sh = onscreen[i];
        if (!sh || sh->item == -1 || sh->hp <= 0) continue;
        t.visible++;
        (sh->groundflag ? t.ground : t.air) = true;
        if (sh->y > playery - 4 || sh->y2 < 0) continue; // below the guns or not in yet
        int cx = (sh->x + sh->x2) / 2;
        int score = std::abs(cx - player_cx) + (playery - sh->y2) / 4;
        if (sh->lib && sh->lib->boss) score -= 80;
        if (score < best) {
            best = score;
            t.x = cx;
            t.boss = sh->lib && sh->lib->boss;
        }
    }
    if (t.x != -1) return t;
    for (const TILESPOT& spot : tspots) {
        int n = spot.index;
        if (n < 0 || n >= MAP_CELLS || tdead[n] || money[n] <= 0 || hits[n] < 0) continue;
        if (spot.y + 24 > playery || spot.y < 0) continue;
        int cx = spot.x + 16;
        int score = std::abs(cx - player_cx);
        if (score < best) {
            best = score;
            t.x = cx;
        }
    }
    return t;
}

// The special weapon to have selected: the dearest held that reaches what is in view.
int WantWeapon(const TARGET& t)
{
    int want = -1, price = -1;
    for (int type = OBJ_FIRSTSPECIAL; type <= OBJ_LASTSPECIAL; type++) {
        if (type == OBJ_MEGABOMB || OBJS_GetTotal(type) <= 0) continue;
        const REACH r = kReach[type];
        bool fits = (!t.air || r.air) && (!t.ground || r.ground);
        if (t.visible && !fits && want != -1) continue;
        int p = OBJS_GetCost(type) + (fits ? 1 << 24 : 0);
        if (p > price) {
            price = p;
            want = type;
        }
    }
    return want;
}

} // namespace

void AUTO_Enable(int on)
{
    enabled = on != 0;
    ipt_pilot = enabled ? AUTO_Think : nullptr;
    AUTO_Clear();
}

int AUTO_IsEnabled(void)
{
    return enabled;
}

void AUTO_Clear(void)
{
    for (SEEN& s : mem.enemy)
        s = {0, 0, -1};
    mem.lastframe = -2;
    mem.pressed_change = mem.pressed_bomb = 0;
    mem.bomb_rest = 0;
    mem.boss_below = 0;
}

namespace
{

// A boss in view whose top is below the ship's guns.
bool BossBelow(void)
{
    for (int i = 0; i < cur_visable && i < ENEMY_MAX; i++) {
        const SPRITE_SHIP_S* sh = onscreen[i];
        if (sh && sh->item != -1 && sh->hp > 0 && sh->lib && sh->lib->boss && sh->y > playery - 4)
            return true;
    }
    return false;
}

} // namespace

int AUTO_ShotDanger(int cx, int cy, int frames)
{
    std::array<FORECAST, ESHOT_MAX> f;
    int n = Forecasts(f);
    int lost = 0;
    // A shot that hits leaves play; a beam burns every frame it touches.
    for (int i = 0; i < n; i++)
        for (int t = 1; t <= std::min(frames, kHorizon); t++)
            if (Hits(f[i], t, cx, cy, kHitRange)) {
                lost += f[i].damage;
                if (!f[i].beam) break;
            }
    return lost;
}

AUTO_DECISION AUTO_Decide(void)
{
    AUTO_DECISION d{};
    d.target = -1;
    static std::array<FORECAST, ESHOT_MAX> shot;
    static std::array<BODY, ENEMY_MAX> body;
    const int nshots = Forecasts(shot);
    const int nbodies = Bodies(body);
    const TARGET target = ChooseTarget();
    d.target = target.x;

    // The nearest pickup that can still be reached (it falls a pixel a frame).
    int pick_x = -1, pick_y = -1, pick_best = INT_MAX;
    const int shield = OBJS_GetAmt(OBJ_SHIELD);
    for (const BONUS_S* b = BONUS_Next(nullptr); b; b = BONUS_Next(b)) {
        if (b->taken || b->by > kMaxY + 40) continue;
        int dist = std::abs(b->bx - player_cx) + std::abs(b->by - player_cy);
        const bool needed = b->kind == OBJ_SHIELD && shield < 50;
        if (b->kind == OBJ_SHIELD && shield < 100) dist -= 100;
        // A boss is fought first: only a shield the ship needs draws it away.
        if (target.boss && !needed) continue;
        if (dist < pick_best) {
            pick_best = dist;
            pick_x = b->bx;
            pick_y = b->by;
        }
    }

    long best = LONG_MAX;
    int best_danger = 0;
    for (int sy : kStepsY) {
        for (int sx : kStepsX) {
            long danger = 0;
            std::array<bool, ESHOT_MAX> spent{};
            for (int t = 1; t <= kHorizon; t++) {
                int x, y;
                Along(sx, sy, t, &x, &y);
                const int cx = x + kHalf, cy = y + kHalf;
                // Nearer hits are surer: they weigh more.
                const int near = 2 * kHorizon + 1 - t;
                for (int i = 0; i < nshots; i++)
                    if (!spent[i] && Hits(shot[i], t, cx, cy, kHitRange + kMargin)) {
                        danger += long(shot[i].damage) * near;
                        // A shot that hits leaves play; a beam burns on.
                        spent[i] = !shot[i].beam;
                    }
                for (int i = 0; i < nbodies; i++) {
                    const BODY& e = body[i];
                    int ox = e.vx * t, oy = e.vy * t;
                    if (e.x + ox - kMargin < cx && cx < e.x2 + ox + kMargin &&
                        e.y + oy - kMargin < cy && cy < e.y2 + oy + kMargin)
                        danger += long(e.damage) * near;
                }
            }
            int x, y;
            Along(sx, sy, kMoveFrames, &x, &y);
            const int cx = x + kHalf, cy = y + kHalf;
            long cost = danger * 100;
            if (pick_x != -1)
                cost += 3L * (std::abs(pick_x - cx) + std::abs(pick_y + kMoveFrames - cy));
            else if (target.x != -1)
                cost += (target.boss ? 4L : 2L) * std::abs(target.x - cx);
            cost += std::abs(y - kHomeY) / 2;
            // Keep off the very edges, where a dodge has only one way to go.
            if (x < kMinX + 12 || x > kMaxX - 12) cost += 20;
            if (cost < best) {
                best = cost;
                best_danger = int(danger);
                d.dx = sx;
                d.dy = sy;
            }
        }
    }
    d.danger = best_danger;
    d.fire = target.visible > 0 || target.x != -1;

    d.wantweapon = WantWeapon(target);
    d.change = d.wantweapon != -1 && plr.sweapon != d.wantweapon && !mem.pressed_change;

    // Cornered: even the best course takes hits, and the shield is low.
    const bool cornered =
        (best_danger > 0 && shield <= kBombShield) || mem.boss_below >= kBossOutOfReach;
    d.bomb = cornered && OBJS_GetAmt(OBJ_MEGABOMB) > 0 && !mem.pressed_bomb && mem.bomb_rest <= 0;
    return d;
}

void AUTO_Think(void)
{
    if (gl_cnt == 0 || gl_cnt < mem.lastframe) AUTO_Clear();
    const AUTO_DECISION d = AUTO_Decide();
    g_addx = Clamp(d.dx, -kMaxStepX, kMaxStepX);
    g_addy = Clamp(d.dy, -kMaxStepY, kMaxStepY);
    if (d.fire) buttons[BUTTON_FIRE] = 1;
    if (d.change) buttons[BUTTON_CHANGESPECIAL] = 1;
    if (d.bomb) buttons[BUTTON_MEGABOMB] = 1;

    mem.pressed_change = d.change;
    mem.pressed_bomb = d.bomb;
    mem.bomb_rest = d.bomb ? kBombRest : std::max(0, mem.bomb_rest - 1);
    mem.boss_below = BossBelow() ? mem.boss_below + 1 : 0;
    for (SEEN& s : mem.enemy)
        s.item = -1;
    for (SPRITE_SHIP_S* sh = ENEMY_First(); sh; sh = ENEMY_Next(sh))
        mem.enemy[SlotOf(sh)] = {sh->x, sh->y, sh->item};
    mem.lastframe = gl_cnt;
}

int AUTO_NextPurchase(void)
{
    const int money = plr.score;
    auto affordable = [&](int type) {
        return OBJS_CanBuy(type) && OBJS_GetCost(type) > 0 && OBJS_GetCost(type) <= money;
    };
    // The shield a quarter at a time, once a whole quarter fits: nothing else comes first.
    const OBJ_LIB& shield = obj_lib[OBJ_SHIELD];
    if (OBJS_GetAmt(OBJ_SHIELD) <= shield.max - shield.num)
        return affordable(OBJ_SHIELD) ? OBJ_SHIELD : -1;
    // Then the weapons up the store's list, by price: the cheapest main gun or special
    // weapon not held. The ship gains a weapon every few waves, the first (the cheapest
    // special weapon) after two or three, and reaches the dearest in the last episode.
    int next = -1;
    for (int type = OBJ_GUN1; type <= OBJ_LASTSPECIAL; type++) {
        if (type == OBJ_MEGABOMB || OBJS_GetTotal(type) > 0 || !OBJS_CanBuy(type)) continue;
        if (next == -1 || OBJS_GetCost(type) < OBJS_GetCost(next)) next = type;
    }
    if (next != -1 && affordable(next)) return next;
    // One mega bomb in reserve: the way out when cornered, and the only weapon that
    // reaches a boss left below the guns.
    const int bombs = OBJS_GetAmt(OBJ_MEGABOMB);
    if (bombs < 1 && affordable(OBJ_MEGABOMB)) return OBJ_MEGABOMB;
    // With every weapon held, a spare bomb or two.
    if (next == -1 && bombs < 3 && affordable(OBJ_MEGABOMB)) return OBJ_MEGABOMB;
    return -1;
}
