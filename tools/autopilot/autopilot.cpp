// Flies the campaign with the autopilot, headless and as fast as the machine allows.
//
//   autopilot DATADIR DIFFICULTY [WAVES] [options]
//
// DIFFICULTY is training, easy, medium or hard (or 0..3); WAVES how many waves to fly (all
// four episodes when left out or 0). The pilot and its files live in a folder of their own
// (--home, a fresh one under /tmp by default), never among the player's pilots.
//
//   --report NAME  write NAME.md (a table of every wave) and NAME.png (money and shield)
//   --demos DIR    record every wave as a demo file in DIR
//   --quiet        no line per wave
//   --soak SECONDS fly campaign after campaign, with the attract mode between them, for
//                  this long, printing the resident memory at every campaign's end
//   --reload N     leave the hangar and load the pilot again every N waves
//   --attract DIR  record the attract demos instead (three per episode archive), as
//                  DIR/e1d1.dem ... e3d3.dem
//   --shots DIR    a picture of the battlefield every 500 frames, for looking at
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <SDL.h>

#include "game/autorun.h"
#include "game/i_system.h"
#include "game/loadsave.h"
#include "game/prefapi.h"
#include "game/vul.h"
#include "gfx/gfxapi.h"
#include "gfx/ptrapi.h"
#include "input/input.h"
#include "input/kbdapi.h"
#include "res/glbapi.h"
#include "sound/fx.h"
#include "ui/swdapi.h"
#include "ui/windows.h"

namespace
{

// A clock that moves on with every reading: waits end at once.
uint32_t fast_ms;
uint32_t FastTicks(void)
{
    return fast_ms += 5;
}
void FastDelay(uint32_t ms)
{
    fast_ms += ms;
}
constexpr I_CLOCK kFastClock = {FastTicks, FastDelay};

// The attract mode runs until a press: one comes after this many pictures.
constexpr int kAttractFrames = 3000;
int attract_frames;
void AttractHook(void (*copy)(void))
{
    copy();
    if (++attract_frames == kAttractFrames) lastscan = SC_ESCAPE;
}

bool Exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

int ParseDiff(const char* s)
{
    for (int d = 0; d < 4; d++)
        if (strcmp(s, AUTO_DiffName(d)) == 0) return d;
    if (s[0] >= '0' && s[0] <= '3' && !s[1]) return s[0] - '0';
    return -1;
}

// Resident memory in kilobytes, from the kernel's account of this process.
long ResidentKB(void)
{
    FILE* f = fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256];
    long kb = -1;
    while (fgets(line, sizeof(line), f))
        if (strncmp(line, "VmRSS:", 6) == 0) kb = atol(line + 6);
    fclose(f);
    return kb;
}

int Usage(void)
{
    fprintf(stderr, "usage: autopilot DATADIR training|easy|medium|hard [WAVES] [--report NAME] "
                    "[--demos DIR] [--home DIR] [--quiet] [--soak SECONDS] [--reload N]\n");
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) return Usage();
    std::string dir = argv[1];
    if (dir.back() != '/') dir += '/';
    AUTO_RUN run;
    run.difficulty = ParseDiff(argv[2]);
    if (run.difficulty < 0) return Usage();
    run.progress = true;
    std::string report, home;
    double soak = 0;
    std::string attract;
    for (int i = 3; i < argc; i++) {
        std::string a = argv[i];
        bool more = i + 1 < argc;
        if (a == "--report" && more)
            report = argv[++i];
        else if (a == "--demos" && more)
            run.demodir = argv[++i];
        else if (a == "--home" && more)
            home = argv[++i];
        else if (a == "--soak" && more)
            soak = atof(argv[++i]);
        else if (a == "--reload" && more)
            run.reload_every = atoi(argv[++i]);
        else if (a == "--attract" && more)
            attract = argv[++i];
        else if (a == "--shots" && more)
            run.shotdir = argv[++i];
        else if (a == "--quiet")
            run.progress = false;
        else if (a[0] >= '0' && a[0] <= '9')
            run.waves = atoi(a.c_str());
        else
            return Usage();
    }

    // The pilot files and settings go to a folder of their own.
    if (home.empty()) {
        char tmpl[] = "/tmp/vultar-autopilot-XXXXXX";
        if (!mkdtemp(tmpl)) {
            perror("autopilot");
            return 1;
        }
        home = tmpl;
    }
    mkdir(home.c_str(), 0755);
    for (const std::string& d : {run.demodir, run.shotdir})
        if (!d.empty() && mkdir(d.c_str(), 0755) != 0 && errno != EEXIST) {
            fprintf(stderr, "autopilot: cannot make %s\n", d.c_str());
            return 1;
        }
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);

    if (SDL_InitSubSystem(SDL_INIT_EVENTS | SDL_INIT_GAMECONTROLLER) != 0) {
        fprintf(stderr, "autopilot: %s\n", SDL_GetError());
        return 1;
    }
    if (!Exists(dir + "FILE0000.GLB")) {
        fprintf(stderr, "autopilot: no archives in %s\n", dir.c_str());
        return 1;
    }
    I_SetClock(&kFastClock);
    VUL_InitLoadSave();
    INI_InitPreference(VUL_SetupFilename());
    KBD_Install();
    GFX_InitSystem();
    SWD_Install(0);
    IPT_LoadPrefs();
    control = CONTROL_KEYBOARD;
    PTR_Init(1);
    for (int k = 0; k < 4; k++)
        gameflag[k] = Exists(dir + "FILE000" + std::to_string(k + 1) + ".GLB");
    GLB_InitSystem(dir.c_str(), 6, nullptr);
    SND_InitSound();
    IPT_Init();
    GLB_FreeAll();
    VUL_InitMem();
    VUL_LoadGraphics(1);

    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };

    if (!attract.empty()) {
        mkdir(attract.c_str(), 0755);
        for (int game = 0; game < 3; game++)
            for (int k = 0; k < 3; k++) {
                if (!gameflag[game]) continue;
                std::string path = attract + "/e" + std::to_string(game + 1) + "d" +
                                   std::to_string(k + 1) + ".dem";
                if (!AUTO_RecordDemo(game, AUTO_DEMOWAVES[k], path)) {
                    fprintf(stderr, "autopilot: cannot write %s\n", path.c_str());
                    return 1;
                }
                printf("%s: episode %d wave %d\n", path.c_str(), game + 1, AUTO_DEMOWAVES[k] + 1);
            }
        SND_DeInit();
        SDL_Quit();
        return 0;
    }

    if (soak > 0) {
        // Campaign after campaign, each a fresh pilot, the attract mode between them.
        const long first_kb = ResidentKB();
        long last_kb = first_kb;
        int rounds = 0, waves = 0, lost = 0;
        printf("soak: %.0f s, resident %ld kB at the start\n", soak, first_kb);
        while (elapsed() < soak) {
            run.progress = false;
            run.difficulty = rounds % 4;
            run.waves = 3 + rounds % 5;
            run.reload_every = 2;
            char name[20];
            snprintf(name, sizeof(name), "SOAK %d", rounds % 10);
            run.name = name;
            for (const AUTO_WAVE& w : AUTO_Campaign(run)) {
                waves++;
                lost += !w.survived;
            }
            attract_frames = 0;
            GFX_SetFrameHook(AttractHook);
            WIN_MainAuto(0);
            GFX_SetFrameHook(nullptr);
            rounds++;
            last_kb = ResidentKB();
            printf("soak: %7.0f s  campaigns %4d  waves %5d  lost %4d  resident %ld kB (%+ld)\n",
                   elapsed(), rounds, waves, lost, last_kb, last_kb - first_kb);
            fflush(stdout);
        }
        printf("soak: done after %.0f s: %d campaigns, %d waves, resident %ld kB at the start, "
               "%ld kB at the end\n",
               elapsed(), rounds, waves, first_kb, last_kb);
        SND_DeInit();
        SDL_Quit();
        return 0;
    }

    std::vector<AUTO_WAVE> waves = AUTO_Campaign(run);
    int lost = 0;
    for (const AUTO_WAVE& w : waves)
        lost += !w.survived;
    printf("autopilot: %s, %zu waves flown, %d lost, %.1f s\n", AUTO_DiffName(run.difficulty),
           waves.size(), lost, elapsed());
    if (!report.empty()) {
        char title[64];
        snprintf(title, sizeof(title), "Autopilot campaign at %s", AUTO_DiffName(run.difficulty));
        if (!AUTO_WriteReport(waves, title, report + ".md", report + ".png")) {
            fprintf(stderr, "autopilot: could not write %s.md or .png\n", report.c_str());
            return 1;
        }
    }
    SND_DeInit();
    SDL_Quit();
    return 0;
}
