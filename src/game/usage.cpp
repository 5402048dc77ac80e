#include "game/usage.h"

#include <cstring>

#ifndef VULTAR_VERSION
#define VULTAR_VERSION "0.8.2"
#endif

const char vul_version[] = VULTAR_VERSION;

namespace
{

constexpr const char* kUsage[] = {
    "[REC {FILE} | PLAY {FILE} | TIMEDEMO {FILE}]",
    "--help | --version",
};

constexpr MAN_ITEM kWords[] = {
    {"REC {FILE}", "Record the waves you fly to {FILE}, to be played back with PLAY."},
    {"PLAY {FILE}", "Play back the demo {FILE} after the credits. The word is ignored when {FILE} "
                    "does not exist."},
    {"TIMEDEMO {FILE}",
     "Play the demo {FILE} as fast as the machine allows, print the mission frames per second and "
     "the time of a frame split into think, draw and present, and quit. The start screen and "
     "the closing screen are skipped, so it runs unattended (with SDL_VIDEODRIVER=dummy even "
     "without a display)."},
    {"--help, -h", "Print this help and exit."},
    {"--version", "Print the version and exit."},
};

constexpr MAN_ITEM kKeys[] = {
    {"Arrow keys", "Fly."},
    {"Ctrl", "Fire the main guns and the selected special weapon."},
    {"Alt", "Change to the next special weapon."},
    {"Space", "Launch a mega bomb."},
    {"1 ... 0, minus", "Pick a special weapon directly."},
    {"F1", "Help."},
    {"P", "Pause."},
    {"Escape", "Abort the mission."},
    {"Alt+X", "Leave the game."},
    {"Alt+Return", "Full screen on or off."},
    {"F12", "Save a screenshot."},
};

constexpr MAN_ITEM kFiles[] = {
    {"~/.local/share/Vultar/",
     "The per-user data folder ($XDG_DATA_HOME/Vultar/ when XDG_DATA_HOME is set). It is made "
     "on the first start and holds the files below."},
    {"setup.ini",
     "The settings: sound devices, music back-end and SoundFont, controller, keys and buttons, "
     "video. Written with every default on the first start, changed by the setup and by the "
     "options window in the game."},
    {"CHAR0000.FIL ... CHAR0009.FIL", "The ten pilot files, one per saved pilot."},
    {"screenshots/vultar0000.png ...",
     "Screenshots taken with F12, numbered from the first free number; none is ever replaced."},
    {"FILE0000.GLB ... FILE0004.GLB",
     "The game's archives: pictures, maps, sounds, songs, texts. Each is looked for in the "
     "working directory, then in the data folder, then in share/vultar/ of the folder the game "
     "is installed in (/usr/share/vultar/ for the package); lower-case names are accepted too. "
     "FILE0000.GLB and at least one episode archive are needed; episodes three and four "
     "(FILE0003.GLB and FILE0004.GLB) are offered only when both are found in the same place."},
};

constexpr MAN_ITEM kEnvironment[] = {
    {"XDG_DATA_HOME", "Where the per-user data folder is made (default ~/.local/share)."},
    {"SDL_VIDEODRIVER, SDL_AUDIODRIVER",
     "The display and sound drivers; dummy runs the game with neither, as the tests do. A "
     "video driver named in setup.ini wins over SDL_VIDEODRIVER."},
    {"QX_MODE", "A switch for the developers, ignored unless it holds their access code."},
};

constexpr MAN_SECTION kSections[] = {
    {"Command line", nullptr, kWords, "Any other word is ignored."},
    {"Keys",
     "The mouse or a game controller can steer instead of the keyboard; choose it with Run Setup "
     "on the start screen, where keys and buttons can also be changed.",
     kKeys, nullptr},
    {"Files", nullptr, kFiles, nullptr},
    {"Environment", nullptr, kEnvironment, nullptr},
    {"Exit status",
     "0, also when the game cannot start; a missing archive is reported on standard "
     "output and in a message box.",
     {},
     nullptr},
    {"See also",
     "glbtool(1): list, extract, pack and verify the archives; scenetool(1): redraw the "
     "cut-scenes.",
     {},
     nullptr},
};

} // namespace

const MAN_PAGE vul_manual = {
    "vultar",
    6,
    "vertical-scrolling arcade shooter",
    kUsage,
    "Vultar is an arcade shooter for one player. Create a pilot, buy guns, special weapons and "
    "shields in the supply store with the money you earn, and fly the waves of four episodes "
    "over a scrolling landscape, fighting ground and air enemies with the main guns, the "
    "selected special weapon and mega bombs. Pilots are saved between runs.\n\n"
    "The game opens with a text-mode start screen; Run Setup there chooses the sound devices, "
    "the controller and its keys or buttons, and the video options. The main menu plays "
    "demos while it waits.",
    kSections,
};

bool VUL_HelpWords(int argc, char* argv[])
{
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) {
            MAN_PrintHelp(vul_manual, stdout);
            return true;
        }
        if (strcmp(argv[i], "--version") == 0) {
            printf("vultar %s\n", vul_version);
            return true;
        }
    }
    return false;
}
