// Plays arbitrary bytes as a song item: whatever the checks accept must play, loop, fade
// and stop without reading outside the item or spinning for ever within a tick.
// fuzz-sources: sound/musapi.cpp
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sound/fx.h"
#include "sound/gssapi.h"
#include "sound/i_oplmusic.h"
#include "sound/musapi.h"

extern "C" const char* __ubsan_default_options()
{
    return "halt_on_error=1:print_stacktrace=1";
}

// The little the sequencer needs from the rest of the sound code, without a device.
int fx_freq = 44100;
const char cards[SND_NUMCARDS][23] = {"None"};
const MUSIC_DEVICE* gss_device;
int gsshack;
const int gssrate = 140;
void SND_Lock(void) {}
void SND_Unlock(void) {}
void GSS_Poll(void) {}
void GSS_Service(void) {}
void LoadInstrumentTable(void) {}
int INI_GetPreferenceLong(const char*, const char*, int def)
{
    return def;
}
uint32_t I_GetTicks(void)
{
    return 0;
}
static unsigned sink;
static void Key(int c, int n)
{
    sink += static_cast<unsigned>(c + n);
}
static void Three(int c, int n, int v)
{
    sink += static_cast<unsigned>(c + n + v);
}
static void Two(int c, int v)
{
    sink += static_cast<unsigned>(c + v);
}
MUSIC_DEVICE mus_device_opl = {nullptr, nullptr, nullptr, Key, Three, Three, Two, Two, Two};
MUSIC_DEVICE mus_device_winmm = mus_device_opl;
MUSIC_DEVICE mus_device_tsf = mus_device_opl;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size copy, so reading one byte past the item is caught.
    std::vector<uint8_t> song(data, data + size);
    MUS_InitDevice(&mus_device_opl, 0);
    if (!MUS_CheckSong(song.data(), static_cast<int>(song.size()))) return 0;
    MUS_SetVolume(size % 128);
    MUS_PlaySong(song.data(), size & 1, size & 2);
    for (int t = 0; t < 3000 && MUS_SongPlaying(); t++) {
        MUS_Service();
        if (t % 3 == 0) MUS_ServiceFader();
        if (t == 2000) MUS_StopSong(1);
    }
    MUS_StopSong(0);
    return 0;
}
