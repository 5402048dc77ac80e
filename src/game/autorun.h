// The autopilot's campaign: a pilot made, equipped and flown through the game's own
// screens (main menu, new pilot, hangar, store, ship's computer, loading, the wave, the
// landing or the death, saving and loading the pilot) with the autopilot at the controls,
// and a report of every wave. The game must be started (graphics, archives, windows) and
// the clock is the caller's: the campaign tool runs it as fast as the machine allows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct AUTO_RUN {
    int difficulty = 2; // of the new pilot: 0 training .. 3 hard
    int waves = 0;      // waves to fly, 0 for every wave of the four episodes
    const char* name = "AUTO PILOT";
    const char* callsign = "AUTO";
    std::string demodir;   // when set, each wave is recorded there as a demo file
    bool progress = false; // a line on stdout after each wave
    int reload_every = 0;  // also leave and load the pilot again after this many waves
    std::string shotdir;   // when set, a PNG of the battlefield every `shotevery` frames
    int shotevery = 500;
    // When 0 or more, the first main menu is left alone until it starts the attract mode of
    // itself; after that many of the mode's pictures a key is held until the menu is back.
    int attract_press = -1;
};

// What the campaigns flown so far passed through: main menus and store visits, attract modes
// that came and went back to the menu, the demos they began and their pictures.
struct AUTO_SEEN {
    int menus, stores, attract, demos;
    long attract_frames;
};
AUTO_SEEN AUTO_Seen(void);
// A count that moves on whenever a campaign gets somewhere (a main menu, a store visit, a
// wave or an attract demo begun, the attract mode back at the menu); safe to read from any
// thread, for telling a slow run from a stuck one.
long AUTO_Progress(void);

// One wave as flown.
struct AUTO_WAVE {
    int game, wave, diff; // episode and wave (from 0), difficulty flown
    bool survived;
    int shield; // at the end
    int came, killed,
        groundkilled;     // enemies that came into play, shot down, of those on the ground
    int buildings, razed; // buildings on the map, and destroyed
    int32_t money_start, money_end; // when the wave began and ended
    int32_t earned, spent;          // in the wave, and in the store before it
    int frames;
    int specials;       // special weapons held when it began
    std::string bought; // store purchases before the wave
};

// Flies the campaign; the waves as flown, in order. A lost wave is recorded, the pilot
// loaded again from its last save and moved on to the next wave, as if it had been won.
std::vector<AUTO_WAVE> AUTO_Campaign(const AUTO_RUN& run);

// Difficulty names as the new-pilot window gives them.
const char* AUTO_DiffName(int diff);

// An attract demo: the demo pilot of episode `game` (from 0) flies wave `wave` with the
// autopilot until the recording is full, and the recording is written to `path`. The same
// data set always gives the same bytes. False when the file could not be written.
bool AUTO_RecordDemo(int game, int wave, const std::string& path);
// The waves the attract demos of each episode archive show, three apiece.
constexpr int AUTO_DEMOWAVES[3] = {0, 3, 7};
