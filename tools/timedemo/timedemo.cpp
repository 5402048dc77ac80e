// Measures the mission loop on a quiet and on a busy battlefield in the same run.
//
// Plays a demo the way the game's TIMEDEMO word does (the clock running as fast as the
// machine allows, the frame shown to whatever video driver SDL has; the dummy one unless
// SDL_VIDEODRIVER says otherwise): first quiet, the same wave with its enemies taken out
// of play the moment they come in (the landscape, the ship and its shots alone), then as
// recorded (the wave's enemies flying, shooting and blowing up), then with a busy
// battlefield laid over it: every frame a few shots land on the ground, buildings blow up and burn,
// air explosions scatter debris, pickups fall, and every few seconds a mega bomb flashes and shakes
// the screen, as a hard wave brings. Given a recorded fight as well, each round also plays that as
// recorded: the weapons, enemies and enemy shots of a real fight. Rounds alternate quiet, wave,
// busy and fight; the figures of each and their ratios to quiet are printed.
//
//   timedemo DATADIR [DEMOFILE] [ROUNDS] [FIGHTFILE]
//
// Without a demo file (or with "-") the first attract demo of the archives is played. With
// TIMEDEMO_SHOTS set to a folder, frames 200, 400 and 600 of the first busy round are
// written there as PNG files.
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <SDL.h>

#include "game/demo.h"
#include "game/game.h"
#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "gfx/i_png.h"
#include "gfx/ptrapi.h"
#include "input/input.h"
#include "input/kbdapi.h"
#include "res/glbapi.h"
#include "res/itemtable.h"
#include "sound/fx.h"
#include "world/anims.h"
#include "world/bonus.h"
#include "world/enemy.h"
#include "world/objects.h"
#include "world/tile.h"

namespace
{

// The battlefield's own random numbers, apart from the wave's, so the wave plays as
// recorded underneath.
uint32_t rng = 12345;
int Rand(int n)
{
    rng ^= rng << 13;
    rng ^= rng >> 17;
    rng ^= rng << 5;
    return static_cast<int>(rng % static_cast<uint32_t>(n));
}

struct LOAD {
    long anims, pickups, samples;
    int frame;
};
LOAD load;
const char* shots; // folder for the busy frames, or null

void Shot(int frame)
{
    uint8_t rgb[768];
    for (int i = 0; i < 768; i++)
        rgb[i] = static_cast<uint8_t>(gpal[i] << 2 | gpal[i] >> 4);
    std::string path = std::string(shots) + "/busy-" + std::to_string(frame) + ".png";
    if (I_WritePNGFile(path.c_str(), displayscreen, SCREENWIDTH, SCREENHEIGHT, rgb))
        printf("%s\n", path.c_str());
}

constexpr int kAirBlasts[] = {ANIM_AIRBLAST, ANIM_BIGBLAST, ANIM_FIREBALL, ANIM_MIDBLAST};
constexpr int kPickups[] = {23, 23, 23, 23, OBJ_SHIELD, 3, 4, 5, 6, 7, OBJ_MEGABOMB};

// What the weapons and enemies of a hard wave would start, put in at the start of a frame.
void Busy(int point)
{
    if (point == GAME_FRAME_SHOWN) {
        load.anims += ANIMS_Count();
        load.pickups += BONUS_Count();
        load.samples++;
        if (shots && load.frame % 200 == 0 && load.frame <= 600) Shot(load.frame);
        return;
    }
    if (point != GAME_FRAME_START) return;
    int f = load.frame++;
    for (int k = 0; k < 3; k++) // gunfire reaching the ground
        TILE_Bomb(60, 16 + Rand(288), 8 + Rand(150));
    { // an air enemy dying
        int x = 40 + Rand(240), y = 10 + Rand(120);
        ANIMS_StartAnim(kAirBlasts[Rand(4)], x, y);
        for (int k = 0; k < 3; k++)
            ANIMS_StartAAnim(ANIM_DEBRIS, x + Rand(33) - 16, y + Rand(33) - 16);
        ANIMS_StartAnim(ANIM_SMOKE, x + Rand(17) - 8, y + Rand(17) - 8);
    }
    if (f % 3 == 0) ANIMS_StartAnim(ANIM_SHOTHIT1 + Rand(2), 30 + Rand(260), Rand(150));
    if (f % 5 == 0)
        BONUS_Add(kPickups[Rand(static_cast<int>(std::size(kPickups)))], 40 + Rand(240), Rand(100));
    if (f % 150 == 149) { // a mega bomb
        TILE_DamageAll();
        startfadeflag = 1;
    }
}

// The quiet round: every enemy leaves play at the start of the frame after it came in,
// unpaid and without a blast, so the wave flies over an empty landscape.
void Empty(int point)
{
    if (point != GAME_FRAME_START) return;
    while (ships.first.next != &ships.last)
        ENEMY_Remove(ships.first.next);
}

// The recorded round: counts the enemies in play and in view.
long enemies, inview, enemyframes;
void Count(int point)
{
    if (point != GAME_FRAME_SHOWN) return;
    enemies += numships;
    inview += cur_visable;
    enemyframes++;
}

bool Exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

void Print(const char* what, const DEMO_TIMING& t)
{
    double n = t.frames > 0 ? t.frames : 1;
    printf("%-6s %5d frames %8.1f fps   think %.3f  draw %.3f  present %.3f  other %.3f ms\n", what,
           t.frames, t.total > 0 ? t.frames / t.total : 0.0, 1000 * t.think / n, 1000 * t.draw / n,
           1000 * t.present / n, 1000 * t.other / n);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        fprintf(stderr, "usage: timedemo DATADIR [DEMOFILE] [ROUNDS] [FIGHTFILE]\n");
        return 2;
    }
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    std::string dir = argv[1];
    if (dir.back() != '/') dir += '/';
    int rounds = argc > 3 ? std::clamp(atoi(argv[3]), 1, 20) : 2;

    if (SDL_InitSubSystem(SDL_INIT_EVENTS | SDL_INIT_GAMECONTROLLER) != 0) {
        fprintf(stderr, "timedemo: %s\n", SDL_GetError());
        return 1;
    }
    KBD_Install();
    GFX_InitSystem();
    IPT_LoadPrefs();
    control = CONTROL_KEYBOARD;
    PTR_Init(1);
    if (!Exists(dir + "FILE0000.GLB")) {
        fprintf(stderr, "timedemo: no archives in %s\n", dir.c_str());
        return 1;
    }
    for (int k = 0; k < 4; k++) {
        gameflag[k] = Exists(dir + "FILE000" + std::to_string(k + 1) + ".GLB");
    }
    GLB_InitSystem(dir.c_str(), 6, nullptr);
    SND_InitSound();
    IPT_Init();
    GLB_FreeAll();
    VUL_InitMem();
    VUL_LoadGraphics(0);

    shots = getenv("TIMEDEMO_SHOTS");
    const char* demofile = argc > 2 && strcmp(argv[2], "-") != 0 ? argv[2] : nullptr;
    const char* fightfile = argc > 4 ? argv[4] : nullptr;
    // Loads the demo of a round: the quiet one (also laid under the busy battlefield) or
    // the recorded fight.
    auto loaddemo = [&](bool fight) {
        if (fight) {
            DEMO_SetFileName(fightfile);
            return DEMO_LoadFile();
        }
        if (demofile) {
            DEMO_SetFileName(demofile);
            return DEMO_LoadFile();
        }
        return DEMO_GLBFile(ITM_DEMOS1);
    };
    if (!loaddemo(false) || (fightfile && !loaddemo(true))) {
        fprintf(stderr, "timedemo: no playable demo\n");
        return 1;
    }

    DEMO_SetTimedemo(1);
    DEMO_TIMING quiet{}, wave{}, busy{}, fight{};
    long anims = 0, pickups = 0, samples = 0;
    for (int r = 0; r < rounds; r++) {
        // 0 quiet, 1 as recorded, 2 busy, 3 the recorded fight
        for (int b = 0; b < (fightfile ? 4 : 3); b++) {
            load = {};
            rng = 12345;
            loaddemo(b == 3);
            game_framehook = b == 0 ? Empty : b == 1 ? Count : b == 2 ? Busy : nullptr;
            DEMO_Play();
            game_framehook = nullptr;
            DEMO_TIMING t = DEMO_GetTiming();
            DEMO_TIMING& sum = b == 3 ? fight : b == 2 ? busy : b ? wave : quiet;
            sum.frames += t.frames;
            for (auto m : {&DEMO_TIMING::total, &DEMO_TIMING::think, &DEMO_TIMING::draw,
                           &DEMO_TIMING::wait, &DEMO_TIMING::present, &DEMO_TIMING::other})
                sum.*m += t.*m;
            if (b == 2) {
                shots = nullptr;
                anims += load.anims;
                pickups += load.pickups;
                samples += load.samples;
            }
        }
    }

    printf("\n%d rounds, %s\n", rounds, SDL_GetCurrentVideoDriver());
    Print("quiet", quiet);
    Print("wave", wave);
    Print("busy", busy);
    if (fightfile) Print("fight", fight);
    if (enemyframes > 0)
        printf("wave: on average %.1f enemies in play, %.1f in view per frame\n",
               double(enemies) / enemyframes, double(inview) / enemyframes);
    if (samples > 0)
        printf("busy: on average %.1f animations and %.1f pickups in play per frame\n",
               double(anims) / samples, double(pickups) / samples);
    auto per = [](const DEMO_TIMING& t, double DEMO_TIMING::*m) {
        return t.frames > 0 ? t.*m / t.frames : 0.0;
    };
    auto ratios = [&](const char* what, const DEMO_TIMING& t) {
        auto ratio = [&](double DEMO_TIMING::*m) {
            double q = per(quiet, m);
            return q > 0 ? per(t, m) / q : 0.0;
        };
        printf("%s/quiet: frame %.2fx, think %.2fx, draw %.2fx, present %.2fx\n", what,
               ratio(&DEMO_TIMING::total), ratio(&DEMO_TIMING::think), ratio(&DEMO_TIMING::draw),
               ratio(&DEMO_TIMING::present));
    };
    ratios("wave", wave);
    ratios("busy", busy);
    if (fightfile) ratios("fight", fight);
    SND_DeInit();
    SDL_Quit();
    return 0;
}
