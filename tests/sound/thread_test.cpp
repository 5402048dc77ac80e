// The main thread starting, stopping and querying sounds and songs while the audio
// callback runs on its own thread (the dummy audio driver still runs it). Meant for the
// ThreadSanitizer build, where any access that misses the sound lock is reported.
#include <chrono>
#include <filesystem>
#include <vector>

#include <gtest/gtest.h>

#include "game/prefapi.h"
#include "sound/dspapi.h"
#include "sound/fx.h"
#include "sound/i_oplmusic.h"
#include "sound/musapi.h"
#include "soundtest.h"
#include "testutil/testutil.h"

namespace
{

TEST(SoundThreads, MainThreadCallsRaceNothingOnTheAudioThread)
{
    vt::TempHome home;
    std::string ini = home.writeSetup("\r\n[Music]\r\nCardType=0\r\n\r\n[SoundFX]\r\nCardType=5\r\n"
                                      "Channels=8\r\nVolume=127\r\n");
    INI_InitPreference(ini.c_str());
    auto bank = st::Bank();
    ASSERT_TRUE(OPL_LoadBank(bank.data(), static_cast<int>(bank.size())));
    ASSERT_EQ(SND_InitSound(), 1);
    ASSERT_EQ(dsp_channelnum, 8);
    MUS_InitDevice(&mus_device_opl, 0);

    std::vector<uint8_t> events;
    for (int n = 0; n < 8; n++) {
        std::vector<uint8_t> ev = {0x90 | 0x80, static_cast<uint8_t>(0x80 | (48 + n * 3)), 100, 2,
                                   0x80,        static_cast<uint8_t>(48 + n * 3),          1};
        events.insert(events.end(), ev.begin(), ev.end());
    }
    events.push_back(0x60);
    auto song = st::Song(events, 1);
    auto longfx = st::Constant(20000, 220);
    auto shortfx = st::Constant(50, 30);

    MUS_PlaySong(song.data(), 1, 1);
    for (int i = 0; i < 3000; i++) {
        int h = DSP_StartPatch(i % 2 ? longfx.data() : shortfx.data(), i % 256, 100 + i % 50, 127,
                               1 + i % 3);
        DSP_PatchIsPlaying(h);
        if (i % 5 == 0) DSP_StopPatch(h);
        if (i % 300 == 0) MUS_SetVolume(60 + i % 60);
        if (i % 700 == 0) {
            MUS_StopSong(1);
            MUS_PlaySong(song.data(), 1, i % 2);
        }
        MUS_SongPlaying();
    }

    // Proof that the callback really ran beside us: a short sound ends on its own.
    DSP_Init(8, DSP_RATE);
    int h = DSP_StartPatch(shortfx.data(), 127, 128, 127, 0);
    auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (DSP_PatchIsPlaying(h) && std::chrono::steady_clock::now() < limit) {
    }
    EXPECT_FALSE(DSP_PatchIsPlaying(h));
    MUS_StopSong(0);
    SND_DeInit();
}

} // namespace
