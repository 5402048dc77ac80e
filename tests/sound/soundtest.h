// Builders shared by the sound tests: effect patches, songs and a back-end that records
// every operation it receives.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "sound/i_oplmusic.h"
#include "sound/musapi.h"

namespace st
{

inline void Put16(std::vector<uint8_t>& v, size_t at, int x)
{
    v[at] = static_cast<uint8_t>(x);
    v[at + 1] = static_cast<uint8_t>(x >> 8);
}

inline void Put32(std::vector<uint8_t>& v, size_t at, int32_t x)
{
    for (int i = 0; i < 4; i++)
        v[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(x) >> (8 * i));
}

// A digital patch: samples at offset 24, the length field counting 32 more.
inline std::vector<uint8_t> Sample(const std::vector<uint8_t>& samples, int rate = 11025)
{
    std::vector<uint8_t> p(24 + samples.size(), 0);
    Put16(p, 0, 3);
    Put16(p, 2, rate);
    Put32(p, 4, static_cast<int32_t>(samples.size()) + 32);
    std::copy(samples.begin(), samples.end(), p.begin() + 24);
    return p;
}

inline std::vector<uint8_t> Constant(size_t n, uint8_t value, int rate = 11025)
{
    return Sample(std::vector<uint8_t>(n, value), rate);
}

inline std::vector<uint8_t> Tone(const std::vector<uint8_t>& steps, int bank = 0, int program = 0)
{
    std::vector<uint8_t> p(8 + steps.size(), 0);
    Put16(p, 0, 1);
    Put16(p, 2, static_cast<int>(steps.size()));
    Put16(p, 4, bank);
    Put16(p, 6, program);
    std::copy(steps.begin(), steps.end(), p.begin() + 8);
    return p;
}

// A song around the given event bytes.
inline std::vector<uint8_t> Song(const std::vector<uint8_t>& events, int channels = 2)
{
    std::vector<uint8_t> s(16, 0);
    Put16(s, 4, static_cast<int>(events.size()));
    Put16(s, 6, 16);
    Put16(s, 8, channels);
    s.insert(s.end(), events.begin(), events.end());
    return s;
}

// The delay bytes for a number of ticks.
inline std::vector<uint8_t> Delay(uint32_t ticks)
{
    std::vector<uint8_t> out;
    out.push_back(ticks & 0x7F);
    while (ticks >>= 7)
        out.insert(out.begin(), static_cast<uint8_t>(0x80 | (ticks & 0x7F)));
    return out;
}

inline std::vector<uint8_t> Cat(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// An OPL bank in which every program and drum is a plain sine on the carrier, except
// program 1 (a four-operator voice) and program 2 (a double voice).
inline std::vector<uint8_t> Bank()
{
    std::vector<uint8_t> b(OPLBANK_SIZE, 0);
    b[0] = 'V', b[1] = 'O', b[2] = 'P', b[3] = 'L';
    Put16(b, 4, OPLBANK_MELODIC);
    Put16(b, 6, OPLBANK_PERCUSSION);
    for (int i = 0; i < OPLBANK_MELODIC + OPLBANK_PERCUSSION; i++) {
        uint8_t* r = b.data() + OPLBANK_HEADER + i * OPLBANK_RECORD;
        r[0] = i == 1 ? OPLBANK_FOUROP : (i == 2 ? OPLBANK_DOUBLE : 0);
        r[1] = 60; // drum pitch
        for (int h = 0; h < 2; h++) {
            uint8_t* half = r + 4 + 14 * h;
            const uint8_t mod[5] = {0x21, 0x3F, 0xF0, 0x0F, 0}; // silent modulator
            const uint8_t car[5] = {0x21, 0x00, 0xF0, 0x0F, 0}; // loud sine, sustained
            std::copy(mod, mod + 5, half);
            std::copy(car, car + 5, half + 5);
            half[10] = 0; // plain FM: the carrier alone sounds
        }
    }
    return b;
}

// Every operation the recording back-end receives, as text ("on 0 60 100").
inline std::vector<std::string> ops;
// Frames rendered through the recording back-end's mix operation.
inline long mixed_frames;
// For each recorded operation, the number of frames mixed before it.
inline std::vector<long> op_frames;

inline void Rec(const std::string& s)
{
    ops.push_back(s);
    op_frames.push_back(mixed_frames);
}
inline int RecInit(int)
{
    Rec("init");
    return 1;
}
inline void RecDeinit(void)
{
    Rec("deinit");
}
inline void RecMix(int16_t*, int count)
{
    mixed_frames += count;
}
inline void RecKeyOff(int c, int n)
{
    Rec("off " + std::to_string(c) + " " + std::to_string(n));
}
inline void RecKeyOn(int c, int n, int v)
{
    Rec("on " + std::to_string(c) + " " + std::to_string(n) + " " + std::to_string(v));
}
inline void RecCtrl(int c, int n, int v)
{
    Rec("ctrl " + std::to_string(c) + " " + std::to_string(n) + " " + std::to_string(v));
}
inline void RecBend(int c, int v)
{
    Rec("bend " + std::to_string(c) + " " + std::to_string(v));
}
inline void RecProgram(int c, int p)
{
    Rec("prog " + std::to_string(c) + " " + std::to_string(p));
}
inline void RecAllOff(int c, int v)
{
    Rec("alloff " + std::to_string(c) + " " + std::to_string(v));
}

// Clocked by the millisecond counter, like the MIDI back-ends.
inline MUSIC_DEVICE recorder = {RecInit, RecDeinit, nullptr,    RecKeyOff, RecKeyOn,
                                RecCtrl, RecBend,   RecProgram, RecAllOff};
// Renders into the sound output and is clocked per frame, like the OPL back-end.
inline MUSIC_DEVICE recorder_mix = {RecInit, RecDeinit, RecMix,     RecKeyOff, RecKeyOn,
                                    RecCtrl, RecBend,   RecProgram, RecAllOff};

// The operations recorded since the last call, then forgets them.
inline std::vector<std::string> Take()
{
    std::vector<std::string> out;
    out.swap(ops);
    op_frames.clear();
    return out;
}

// Recorded operations that start with the given text.
inline std::vector<std::string> Matching(const std::vector<std::string>& all,
                                         const std::string& start)
{
    std::vector<std::string> out;
    for (const auto& s : all)
        if (s.compare(0, start.size(), start) == 0) out.push_back(s);
    return out;
}

} // namespace st
