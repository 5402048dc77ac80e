// sndrender: listen to the sound content without the game.
//
//   sndrender song N OUT.wav [opl|opl-exact|sf2] [SECONDS]
//                                                 render song N (83..97) offline, on the
//                                                 light FM chip, the exact one, or the
//                                                 SoundFont synthesiser
//   sndrender effect LABEL OUT.wav [tone]         render an effect: its sample through the
//                                                 mixer, or its tone sequence on the FM synth
//   sndrender play opl|midi|sf2 SECONDS           play a song with effects over it on the
//                                                 audio outputs (try SDL_AUDIODRIVER=disk)
//   sndrender check                               check every song, effect and the bank
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "game/i_system.h"
#include "game/prefapi.h"
#include "sndgen.h"
#include "sound/dspapi.h"
#include "sound/fx.h"
#include "sound/gssapi.h"
#include "sound/i_oplmusic.h"
#include "sound/mputsf.h"
#include "sound/mpuwinmm.h"
#include "sound/musapi.h"
#include "sound/opl3.h"

namespace
{

constexpr int kRate = 44100;
constexpr int kFramesPerTick = kRate / MUS_TICKRATE; // 630

void WriteWav(const std::string& path, const std::vector<int16_t>& frames)
{
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    uint32_t bytes = static_cast<uint32_t>(frames.size() * 2);
    out.write("RIFF", 4);
    u32(36 + bytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(2);
    u32(kRate);
    u32(kRate * 4);
    u16(4);
    u16(16);
    out.write("data", 4);
    u32(bytes);
    out.write(reinterpret_cast<const char*>(frames.data()), bytes);
}

void LoadBank()
{
    sndgen::Bytes bank = sndgen::OplBank();
    if (!OPL_LoadBank(bank.data(), static_cast<int>(bank.size()))) {
        fprintf(stderr, "the generated bank does not load\n");
        exit(1);
    }
}

// Runs the audio callback for the given time.
std::vector<int16_t> RenderFill(double seconds)
{
    std::vector<int16_t> out(static_cast<size_t>(seconds * kRate) * 2);
    for (size_t at = 0; at < out.size(); at += 512 * 2) {
        size_t n = std::min<size_t>(512 * 2, out.size() - at);
        FX_Fill(nullptr, reinterpret_cast<uint8_t*>(out.data() + at), static_cast<int>(n * 2));
    }
    return out;
}

SOFTSYNTH offline;

void ToSynth(int status, int d1, int d2)
{
    SYN_Message(&offline, status, d1, d2);
}

int RenderSong(int number, const std::string& path, bool sf2, double seconds)
{
    sndgen::Bytes song = sndgen::Song(number);
    fx_freq = kRate;
    MUS_SetVolume(127);
    if (!sf2) {
        LoadBank();
        MUS_InitDevice(&mus_device_opl, 0);
        MUS_PlaySong(song.data(), 1, 0);
        WriteWav(path, RenderFill(seconds));
        return 0;
    }
    // The system MIDI back-end's messages, played on a synthesiser rendered here and
    // clocked by hand: one sequencer tick every 630 frames.
    if (!SYN_Open(&offline, SYN_DefaultSoundFont(), kRate)) {
        fprintf(stderr, "no General MIDI SoundFont\n");
        return 1;
    }
    MPU_SetMessageHook(ToSynth);
    static MUSIC_DEVICE midi = mus_device_winmm;
    midi.init = nullptr;
    midi.deinit = nullptr;
    MUS_InitDevice(&midi, 0);
    MUS_PlaySong(song.data(), 1, 0);
    std::vector<int16_t> out(static_cast<size_t>(seconds * kRate) * 2);
    for (size_t at = 0; at + kFramesPerTick * 2 <= out.size(); at += kFramesPerTick * 2) {
        MUS_Service();
        SYN_Render(&offline, out.data() + at, kFramesPerTick);
    }
    WriteWav(path, out);
    SYN_Close(&offline);
    return 0;
}

int RenderEffect(const std::string& label, const std::string& path, bool tone)
{
    fx_freq = kRate;
    sndgen::Bytes patch = sndgen::EffectVariant(label, tone ? 2 : 4);
    if (tone) {
        LoadBank();
        GSS_Init(2, 0);
    } else {
        DSP_Init(1, DSP_RATE);
    }
    if (SFX_PlayPatch(patch.data(), 128, 127, 127, 1) == -1) {
        fprintf(stderr, "%s does not play\n", label.c_str());
        return 1;
    }
    std::vector<int16_t> out;
    for (int guard = 0; guard < 400; guard++) { // at most 20 s
        std::vector<int16_t> part = RenderFill(0.05);
        out.insert(out.end(), part.begin(), part.end());
        if (tone ? gss_type == 0 : dsp_channels[0].left == 0) break;
    }
    std::vector<int16_t> tail = RenderFill(tone ? 0.5 : 0.05);
    out.insert(out.end(), tail.begin(), tail.end());
    WriteWav(path, out);
    return 0;
}

// Plays through the real audio outputs for the given time; with SDL's disk driver the
// effect stream goes to fx.raw and the synthesiser's own output (sf2, midi) to music.raw.
int Play(const std::string& backend, double seconds)
{
    char dir[] = "/tmp/sndrender-XXXXXX";
    if (!mkdtemp(dir)) return 1;
    setenv("XDG_DATA_HOME", dir, 1);
    std::string datapath = std::string(dir) + "/Vultar/";
    std::filesystem::create_directories(datapath);
    int card = backend == "opl" ? 5 : 8;
    char ini[512];
    snprintf(ini, sizeof(ini),
             "\r\n[Setup]\r\nsys_midi=%d\r\n\r\n[Music]\r\nVolume=127\r\nCardType=%d\r\n"
             "\r\n[SoundFX]\r\nVolume=127\r\nCardType=5\r\nChannels=8\r\n",
             backend == "midi" ? 1 : 0, card);
    std::ofstream(datapath + "setup.ini") << ini;
    INI_InitPreference((datapath + "setup.ini").c_str());
    LoadBank();

    setenv("SDL_DISKAUDIOFILE", "music.raw", 1);
    if (backend != "opl") {
        // The synthesiser opens its own output first, so the two outputs go to two files.
        SDL_InitSubSystem(SDL_INIT_AUDIO);
        MUS_InitDevice(backend == "sf2" ? &mus_device_tsf : &mus_device_winmm, 0);
    }
    setenv("SDL_DISKAUDIOFILE", "fx.raw", 1);
    if (!SND_InitSound()) {
        fprintf(stderr, "no audio output\n");
        return 1;
    }
    MUS_SetVolume(127);
    music_volume = 127;
    sndgen::Bytes song = sndgen::Song(96);
    MUS_PlaySong(song.data(), 1, 1);
    std::map<std::string, sndgen::Bytes> fx;
    for (const std::string& l : sndgen::EffectLabels())
        fx[l] = sndgen::EffectVariant(l, 4);
    const char* order[] = {"GUN_FX", "EXPLO_FX", "LASER_FX", "BONUS_FX", "MISSLE_FX", "ESHOT_FX"};
    uint32_t start = I_GetTicks(), next = start;
    int k = 0;
    while (I_GetTicks() - start < seconds * 1000) {
        if (I_GetTicks() >= next) {
            SFX_PlayPatch(fx[order[k % 6]].data(), 110 + k % 30, k * 37 % 256, 110, 1);
            k++;
            next += 250;
        }
        MUS_Poll();
        I_Delay(2);
    }
    printf("played %d effects over song 96 for %.1f s\n", k, seconds);
    SND_DeInit();
    std::filesystem::remove_all(dir);
    return 0;
}

int Check()
{
    int bad = 0;
    LoadBank();
    for (int n = sndgen::FIRST_SONG; n <= sndgen::LAST_SONG; n++) {
        sndgen::Bytes song = sndgen::Song(n);
        std::vector<sndgen::SongEvent> ev;
        uint32_t length = 0;
        if (!sndgen::DecodeSong(song, &ev, &length) ||
            !MUS_CheckSong(song.data(), static_cast<int>(song.size()))) {
            printf("song %d: malformed\n", n);
            bad++;
            continue;
        }
        // Every note released by the end, so the loop has no hanging notes.
        std::map<std::pair<int, int>, int> held;
        for (const auto& e : ev)
            if (e.type == 1)
                held[{e.channel, e.a}]++;
            else if (e.type == 0)
                held[{e.channel, e.a}]--;
        int hanging = 0;
        for (auto& [k, v] : held)
            hanging += v != 0;
        printf("song %d: %5zu bytes, %.1f s, %zu events%s\n", n, song.size(),
               length / double(MUS_TICKRATE), ev.size(), hanging ? ", NOTES LEFT HANGING" : "");
        if (length < 60 * MUS_TICKRATE || hanging) bad++;
    }
    for (const std::string& l : sndgen::EffectLabels()) {
        std::vector<uint8_t> s = sndgen::EffectSamples(l);
        double sum = 0;
        for (uint8_t v : s)
            sum += (v - 128.0) * (v - 128.0);
        double rms = std::sqrt(sum / std::max<size_t>(1, s.size()));
        printf("%-10s %6zu samples (%.2f s), rms %.1f\n", l.c_str(), s.size(),
               s.size() / double(DSP_RATE), rms);
        if (rms < 5) bad++;
    }
    printf(bad ? "%d problems\n" : "all good\n", bad);
    return bad ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::string cmd = argc > 1 ? argv[1] : "";
    if (cmd == "song" && argc > 4 && std::string(argv[4]) == "opl-exact")
        OPL_SetEngine(OPL_ENGINE_EXACT);
    if (cmd == "song" && argc >= 4)
        return RenderSong(atoi(argv[2]), argv[3], argc > 4 && std::string(argv[4]) == "sf2",
                          argc > 5 ? atof(argv[5]) : 70.0);
    if (cmd == "effect" && argc >= 4)
        return RenderEffect(argv[2], argv[3], argc > 4 && std::string(argv[4]) == "tone");
    if (cmd == "play" && argc >= 4) return Play(argv[2], atof(argv[3]));
    if (cmd == "check") return Check();
    fprintf(stderr, "usage: see the top of tools/sndrender/main.cpp\n");
    return 2;
}
