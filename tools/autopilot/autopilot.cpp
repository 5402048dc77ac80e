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
//   --soak SECONDS fly campaign after campaign for this long, each begun at a main menu left
//                  alone until its attract mode comes, a key ending the mode; reports the
//                  resident memory at intervals and a verdict at the end (status 0 when
//                  it stayed flat, 1 when it grew, 3 on a hang)
//   --hang SECONDS processor time without the campaign getting anywhere (no menu, store,
//                  wave or attract demo begun) that is a hang (default 300)
//   --reload N     leave the hangar and load the pilot again every N waves
//   --attract DIR  record the attract demos instead (three per episode archive), as
//                  DIR/e1d1.dem ... e3d3.dem
//   --shots DIR    a picture of the battlefield every 500 frames, for looking at
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <condition_variable>
#include <atomic>
#include <iterator>
#include <string>
#include <thread>

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

#include "report.h"

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

// A figure of the kernel's account of this process, in kilobytes: "VmRSS" is the resident
// memory now, "VmHWM" its peak so far.
long StatusKB(const char* key)
{
    FILE* f = fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256];
    long kb = -1;
    const size_t n = strlen(key);
    while (fgets(line, sizeof(line), f))
        if (strncmp(line, key, n) == 0 && line[n] == ':') kb = atol(line + n + 1);
    fclose(f);
    return kb;
}

// Processor time used by the process so far, in seconds.
double CpuSeconds(void)
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + ts.tv_nsec * 1e-9;
}

// ---- the soak ------------------------------------------------------------------------------

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// Pictures of the attract mode before the key that ends it, round after round: it lands in
// the opening, early or late in a demo, and after a whole cycle of the demos.
constexpr int kAttractPress[] = {0, 400, 3000, 12000, 40000};

struct SOAK {
    std::atomic<int> rounds{0}, waves{0}, lost{0}, menus{0}, stores{0}, attract{0}, demos{0};
    std::atomic<long> warm_kb{-1}; // resident once the warm-up is over
    std::mutex lock;
    std::condition_variable wake;
    bool over = false;
};

// Every `interval` seconds a line of progress and memory. `hang` seconds of processor time
// without the campaign getting anywhere is a hang (it only ever waits on the fast clock, so
// a stuck one spins): reported, and the process ends with status 3. Processor time and not
// wall time, so that a soak starved on a busy machine is not taken for a hung one.
void Watch(SOAK& s, double interval, double hang, const std::function<double()>& elapsed,
           long start_kb)
{
    std::unique_lock<std::mutex> hold(s.lock);
    double next = interval;
    long last = AUTO_Progress();
    double last_cpu = CpuSeconds();
    while (!s.over) {
        s.wake.wait_for(hold, std::chrono::milliseconds(250));
        if (s.over) break;
        const double now = elapsed();
        if (AUTO_Progress() != last) {
            last = AUTO_Progress();
            last_cpu = CpuSeconds();
        }
        if (CpuSeconds() - last_cpu > hang) {
            printf("soak: FAIL: round %d has used %.0f s of processor time without getting "
                   "anywhere: a hang\n",
                   s.rounds + 1, CpuSeconds() - last_cpu);
            fflush(stdout);
            std::_Exit(3);
        }
        if (now < next) continue;
        next += interval;
        const long kb = StatusKB("VmRSS");
        printf("soak: %6.0f s (cpu %5.0f s)  rounds %4d  waves %5d (lost %d)  attract %4d "
               "(demos %d)  resident %ld kB (%+ld)  peak %ld kB\n",
               now, CpuSeconds(), s.rounds.load(), s.waves.load(), s.lost.load(), s.attract.load(),
               s.demos.load(), kb, kb - start_kb, StatusKB("VmHWM"));
    }
}

// Campaign after campaign for `seconds` of wall time, each a fresh pilot at another
// difficulty, flown some waves with a reload between, and begun at a main menu left alone
// until the attract mode comes. The verdict: the resident memory after the warm-up (the
// first quarter of the time) against that at the end.
int Soak(AUTO_RUN run, double seconds, double hang)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point begin = Clock::now();
    const std::function<double()> elapsed = [begin] {
        return std::chrono::duration<double>(Clock::now() - begin).count();
    };
    const long start_kb = StatusKB("VmRSS");
    const double interval = std::clamp(seconds / 20, 5.0, 60.0);
    printf("soak: %.0f s, resident %ld kB at the start, a report every %.0f s\n", seconds, start_kb,
           interval);
    SOAK s;
    std::thread watcher(Watch, std::ref(s), interval, hang, elapsed, start_kb);
    run.progress = false;
    run.reload_every = 2;
    while (elapsed() < seconds) {
        // Each round a pilot of its own among no others: the ten pilot files would fill up,
        // and a name already taken is refused.
        for (int slot = 0; slot < PLR_SLOTS; slot++) {
            char file[512];
            VUL_PilotFilename(slot, file, sizeof(file));
            remove(file);
        }
        const int r = s.rounds;
        run.difficulty = r % 4;
        run.waves = 3 + r % 5;
        run.attract_press = kAttractPress[r % std::size(kAttractPress)];
        for (const AUTO_WAVE& w : AUTO_Campaign(run)) {
            s.waves++;
            s.lost += !w.survived;
        }
        const AUTO_SEEN seen = AUTO_Seen();
        s.menus = seen.menus;
        s.stores = seen.stores;
        s.attract = seen.attract;
        s.demos = seen.demos;
        s.rounds++;
        if (s.warm_kb < 0 && elapsed() >= seconds / 4) s.warm_kb = StatusKB("VmRSS");
    }
    {
        std::lock_guard<std::mutex> hold(s.lock);
        s.over = true;
    }
    s.wake.notify_all();
    watcher.join();

    const long end_kb = StatusKB("VmRSS"), peak_kb = StatusKB("VmHWM");
    const long warm_kb = s.warm_kb >= 0 ? s.warm_kb.load() : start_kb;
    const long growth = end_kb - warm_kb, allowed = std::max(2048L, warm_kb / 50);
    printf("soak: done after %.0f s (%.0f s of processor time): %d rounds, %d waves (%d lost), "
           "%d main menus, %d store visits, %d attract modes back at the menu (%d demos "
           "begun)\n",
           elapsed(), CpuSeconds(), s.rounds.load(), s.waves.load(), s.lost.load(), s.menus.load(),
           s.stores.load(), s.attract.load(), s.demos.load());
    printf("soak: resident %ld kB at the start, %ld kB after the warm-up, %ld kB at the end, "
           "%ld kB at the peak\n",
           start_kb, warm_kb, end_kb, peak_kb);
    const bool attract_ok = s.attract == s.rounds;
    // The address sanitizer holds freed memory back for a while and keeps its own books:
    // resident memory says nothing about leaks there (its leak check at the exit does).
    const bool judged = !kSanitized;
    const bool flat = growth <= allowed || !judged;
    if (!attract_ok)
        printf("soak: FAIL: %d rounds but only %d attract modes back at the menu\n",
               s.rounds.load(), s.attract.load());
    if (!flat)
        printf("soak: FAIL: resident memory grew by %ld kB since the warm-up (%ld kB allowed)\n",
               growth, allowed);
    if (!attract_ok || !flat) return 1;
    if (judged)
        printf("soak: PASS: resident memory flat (%+ld kB since the warm-up, %ld kB allowed), "
               "every attract mode back at the menu\n",
               growth, allowed);
    else
        printf("soak: PASS: every attract mode back at the menu (%+ld kB since the warm-up, not "
               "judged under the address sanitizer)\n",
               growth);
    return 0;
}

int Usage(void)
{
    fprintf(stderr, "usage: autopilot DATADIR training|easy|medium|hard [WAVES] [--report NAME] "
                    "[--demos DIR] [--home DIR] [--quiet] [--soak SECONDS [--hang SECONDS]] "
                    "[--reload N]\n");
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
    double soak = 0, hang = 300;
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
        else if (a == "--hang" && more)
            hang = atof(argv[++i]);
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
        setvbuf(stdout, nullptr, _IOLBF, 0);
        const int status = Soak(run, soak, hang);
        SND_DeInit();
        SDL_Quit();
        return status;
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
