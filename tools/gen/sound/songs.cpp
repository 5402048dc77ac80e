// The game's songs: each one a plan (key, scale, tempo, form, chord progressions, the
// instruments of its five parts and the style of its bass and drums) that an arranger
// turns into notes. Melodies come from a motif per section, repeated and varied, so a
// section that comes back is heard again note for note. Every song lasts at least a
// minute and ends on a bar line with every note released, so it loops without a seam.
#include <algorithm>
#include <cstdlib>
#include <array>
#include <map>
#include <string>

#include "sndgen.h"

namespace sndgen
{
namespace
{

constexpr int kTicksPerSecond = 70;
constexpr int kMinSeconds = 60;
constexpr int kStepsPerBar = 16;

enum Channel { LEAD = 0, BASS = 1, PAD = 2, ARP = 3, COUNTER = 4, DRUMS = 15 };
constexpr int kPrimaryChannels = 5;

// General MIDI drum keys.
enum Drum {
    KICK = 36,
    SIDESTICK = 37,
    SNARE = 38,
    CLAP = 39,
    LOWTOM = 45,
    HHCLOSED = 42,
    HHOPEN = 46,
    MIDTOM = 47,
    HIGHTOM = 50,
    CRASH = 49,
    RIDE = 51,
    TAMBOURINE = 54,
};

constexpr std::array<std::array<int, 7>, 6> kScales = {{
    {0, 2, 4, 5, 7, 9, 11}, // major
    {0, 2, 3, 5, 7, 8, 10}, // natural minor
    {0, 2, 3, 5, 7, 9, 10}, // dorian
    {0, 2, 3, 5, 7, 8, 11}, // harmonic minor
    {0, 2, 4, 5, 7, 9, 10}, // mixolydian
    {0, 1, 3, 5, 7, 8, 10}, // phrygian
}};
enum { MAJOR, MINOR, DORIAN, HARMONIC, MIXOLYDIAN, PHRYGIAN };

enum DrumStyle { DR_NONE, DR_ROCK, DR_DRIVE, DR_HALFTIME, DR_MARCH };
enum BassStyle { BS_QUARTERS, BS_EIGHTHS, BS_OCTAVES, BS_SYNCOPATED, BS_LONG };
enum PadStyle { PD_SUSTAIN, PD_STABS };

struct Plan {
    int number;
    int tonic; // MIDI note of the key's tonic in the lead's octave
    int scale;
    int t16; // ticks per sixteenth note
    std::string form;
    std::map<char, std::string> chords; // scale degree (1..7) per bar, for each section
    int lead, bass, pad, arp, counter;
    int drums, bassstyle, padstyle;
    bool loops;
};

// Form letters: I intro (no melody, light), A and B main sections, C a bridge, E an ending
// (a held final chord, for the song that does not loop).
const Plan kPlans[] = {
    {83,
     67,
     MAJOR,
     10,
     "IAABBA",
     {{'I', "1451"}, {'A', "15641511"}, {'B', "46154455"}},
     73,
     33,
     48,
     46,
     71,
     DR_HALFTIME,
     BS_QUARTERS,
     PD_SUSTAIN,
     true},
    {84,
     64,
     DORIAN,
     9,
     "IAABAB",
     {{'I', "1414"}, {'A', "14141474"}, {'B', "37143711"}},
     11,
     33,
     89,
     4,
     73,
     DR_ROCK,
     BS_SYNCOPATED,
     PD_SUSTAIN,
     true},
    {85,
     60,
     MAJOR,
     8,
     "IAABAC",
     {{'I', "1515"}, {'A', "14561451"}, {'B', "65456455"}, {'C', "44115511"}},
     56,
     34,
     61,
     46,
     60,
     DR_MARCH,
     BS_OCTAVES,
     PD_STABS,
     true},
    {86,
     62,
     HARMONIC,
     8,
     "IAABAB",
     {{'I', "1155"}, {'A', "16371645"}, {'B', "44115565"}},
     62,
     38,
     50,
     81,
     48,
     DR_DRIVE,
     BS_OCTAVES,
     PD_SUSTAIN,
     true},
    {87,
     69,
     MINOR,
     8,
     "IAABAC",
     {{'I', "1616"}, {'A', "16371635"}, {'B', "46154657"}, {'C', "44665555"}},
     81,
     38,
     89,
     80,
     50,
     DR_ROCK,
     BS_EIGHTHS,
     PD_SUSTAIN,
     true},
    {88,
     65,
     DORIAN,
     10,
     "IAABA",
     {{'I', "1414"}, {'A', "14151417"}, {'B', "47144715"}},
     4,
     33,
     16,
     11,
     65,
     DR_HALFTIME,
     BS_SYNCOPATED,
     PD_STABS,
     true},
    {89,
     64,
     PHRYGIAN,
     7,
     "IAABABC",
     {{'I', "1212"}, {'A', "12171276"}, {'B', "67126712"}, {'C', "44221177"}},
     30,
     34,
     29,
     81,
     62,
     DR_DRIVE,
     BS_EIGHTHS,
     PD_STABS,
     true},
    {90,
     71,
     MINOR,
     7,
     "IAABAB",
     {{'I', "1717"}, {'A', "16741675"}, {'B', "34673455"}},
     80,
     38,
     50,
     81,
     56,
     DR_DRIVE,
     BS_OCTAVES,
     PD_SUSTAIN,
     true},
    {91,
     67,
     MINOR,
     8,
     "IAABAC",
     {{'I', "1414"}, {'A', "14761475"}, {'B', "63746375"}, {'C', "44117755"}},
     62,
     38,
     48,
     80,
     81,
     DR_ROCK,
     BS_SYNCOPATED,
     PD_SUSTAIN,
     true},
    {92,
     60,
     HARMONIC,
     7,
     "IAABAB",
     {{'I', "1515"}, {'A', "16451645"}, {'B', "46374655"}},
     81,
     39,
     89,
     4,
     61,
     DR_DRIVE,
     BS_EIGHTHS,
     PD_STABS,
     true},
    {93,
     62,
     MINOR,
     14,
     "IAAB",
     {{'I', "1611"}, {'A', "14161455"}, {'B', "64153611"}},
     71,
     32,
     48,
     46,
     42,
     DR_NONE,
     BS_LONG,
     PD_SUSTAIN,
     true},
    {94,
     66,
     HARMONIC,
     6,
     "IAABABC",
     {{'I', "1155"}, {'A', "16251675"}, {'B', "44665575"}, {'C', "11661155"}},
     30,
     34,
     61,
     81,
     62,
     DR_DRIVE,
     BS_OCTAVES,
     PD_STABS,
     true},
    {95,
     69,
     MIXOLYDIAN,
     8,
     "IAABAB",
     {{'I', "1717"}, {'A', "17411741"}, {'B', "44771141"}},
     56,
     33,
     61,
     80,
     65,
     DR_MARCH,
     BS_SYNCOPATED,
     PD_STABS,
     true},
    {96,
     64,
     MINOR,
     8,
     "IAABAB",
     {{'I', "1616"}, {'A', "16731675"}, {'B', "46134655"}},
     81,
     38,
     50,
     80,
     62,
     DR_ROCK,
     BS_EIGHTHS,
     PD_SUSTAIN,
     true},
    {97,
     60,
     MAJOR,
     11,
     "IABE",
     {{'I', "1451"}, {'A', "16451645"}, {'B', "46153415"}, {'E', "1111"}},
     11,
     32,
     89,
     46,
     73,
     DR_HALFTIME,
     BS_QUARTERS,
     PD_SUSTAIN,
     false},
};

// Onset patterns of one bar (x a note starts on that sixteenth).
const char* const kRhythms[] = {
    "x...x...x.x.x...", "x.x.x...x...x.x.", "x...x.x.x.......", "x..x..x.x.x.x...",
    "x.......x...x...", "x.xx.x..x.xx.x..", "x...x...x...x.x.", "x..x..x...x.x...",
    "x.x.x.x.x...x...", "x.....x.x.x.x...",
};

struct Rng {
    uint32_t s;
    uint32_t Next()
    {
        s = s * 1664525u + 1013904223u;
        return s >> 8;
    }
    int Range(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }
    bool Chance(int percent) { return Range(100) < percent; }
};

struct Arranger {
    const Plan& plan;
    std::vector<SongEvent> ev;
    Rng rng;

    explicit Arranger(const Plan& p) : plan(p), rng{static_cast<uint32_t>(p.number) * 7919u} {}

    int BarTicks() const { return plan.t16 * kStepsPerBar; }

    // The pitch of a scale index: 0 is the tonic in the lead's octave, 7 an octave up.
    int Pitch(int index) const
    {
        int oct = index >= 0 ? index / 7 : -((-index + 6) / 7);
        int deg = index - oct * 7;
        return plan.tonic + 12 * oct + kScales[plan.scale][deg];
    }

    void Note(int ch, uint32_t tick, int dur, int pitch, int vel)
    {
        if (dur < 1 || pitch < 0 || pitch > 127) return;
        ev.push_back({tick, 1, ch, pitch, vel});
        ev.push_back({tick + static_cast<uint32_t>(dur), 0, ch, pitch, 0});
    }

    void Setup()
    {
        struct Part {
            int ch, program, volume, pan;
        };
        const Part parts[] = {{LEAD, plan.lead, 112, 64},
                              {BASS, plan.bass, 110, 64},
                              {PAD, plan.pad, 82, 30},
                              {ARP, plan.arp, 78, 100},
                              {COUNTER, plan.counter, 88, 64}};
        for (const Part& p : parts) {
            ev.push_back({0, 4, p.ch, 0, p.program});
            ev.push_back({0, 4, p.ch, 3, p.volume});
            ev.push_back({0, 4, p.ch, 4, p.pan});
        }
        ev.push_back({0, 4, DRUMS, 3, 110});
    }

    // Scale indexes of the chord on a degree (1..7): root, third, fifth.
    static std::array<int, 3> Chord(int degree) { return {degree - 1, degree + 1, degree + 3}; }

    void Drums(uint32_t start, int bars, int energy, bool fill, bool crash)
    {
        int style = plan.drums;
        if (style == DR_NONE && energy == 0) return;
        for (int bar = 0; bar < bars; bar++) {
            uint32_t t0 = start + bar * BarTicks();
            bool lastbar = fill && bar == bars - 1;
            for (int s = 0; s < kStepsPerBar; s++) {
                uint32_t t = t0 + s * plan.t16;
                int d = plan.t16;
                if (lastbar && s >= 12 && style != DR_NONE) {
                    static constexpr int kFill[4] = {HIGHTOM, MIDTOM, LOWTOM, LOWTOM};
                    Note(DRUMS, t, d, s == 15 ? SNARE : kFill[s - 12], 96 + 4 * (s - 12));
                    continue;
                }
                if (bar == 0 && s == 0 && crash) Note(DRUMS, t, d * 4, CRASH, 110);
                switch (style) {
                case DR_NONE:
                    if (s % 8 == 0) Note(DRUMS, t, d, RIDE, 60);
                    if (s == 8) Note(DRUMS, t, d, SIDESTICK, 50);
                    break;
                case DR_ROCK:
                    if (s == 0 || s == 8 || (s == 10 && energy > 1)) Note(DRUMS, t, d, KICK, 112);
                    if (s == 4 || s == 12) Note(DRUMS, t, d, SNARE, 104);
                    if (s % 2 == 0 && energy > 0) Note(DRUMS, t, d, HHCLOSED, s % 4 ? 62 : 80);
                    if (energy == 0 && s % 4 == 0) Note(DRUMS, t, d, HHCLOSED, 64);
                    break;
                case DR_DRIVE:
                    if (s % 4 == 0 || (s == 14 && energy > 1)) Note(DRUMS, t, d, KICK, 114);
                    if ((s == 4 || s == 12) && energy > 0) Note(DRUMS, t, d, SNARE, 108);
                    if (energy > 0)
                        Note(DRUMS, t, d, s == 6 || s == 14 ? HHOPEN : HHCLOSED, s % 2 ? 56 : 78);
                    break;
                case DR_HALFTIME:
                    if (s == 0 || (s == 6 && energy > 0)) Note(DRUMS, t, d, KICK, 108);
                    if (s == 8) Note(DRUMS, t, d, energy > 0 ? SNARE : SIDESTICK, 100);
                    if (s % 2 == 0 && energy > 0) Note(DRUMS, t, d, HHCLOSED, s % 4 ? 58 : 74);
                    if (s % 4 == 0 && energy == 0) Note(DRUMS, t, d, RIDE, 60);
                    break;
                case DR_MARCH:
                    if (s == 0 || s == 8) Note(DRUMS, t, d, KICK, 110);
                    if (energy > 0 && (s % 4 == 0 || s == 14 || s == 15))
                        Note(DRUMS, t, d, SNARE, s % 8 == 4 ? 110 : 76);
                    if (s % 4 == 2) Note(DRUMS, t, d, energy > 1 ? TAMBOURINE : HHCLOSED, 70);
                    break;
                default:
                    break;
                }
            }
        }
    }

    void Bass(uint32_t start, const std::string& chords, int energy)
    {
        for (size_t bar = 0; bar < chords.size(); bar++) {
            uint32_t t0 = start + static_cast<uint32_t>(bar) * BarTicks();
            int deg = chords[bar] - '0';
            int root = Pitch(deg - 1) - 24;
            int fifth = Pitch(deg + 3) - 24;
            if (root < 28) root += 12, fifth += 12;
            int s8 = plan.t16 * 2;
            int style = energy == 0 ? BS_LONG : plan.bassstyle;
            switch (style) {
            case BS_QUARTERS:
                for (int q = 0; q < 4; q++)
                    Note(BASS, t0 + q * s8 * 2, s8 * 2 - 2, q == 2 ? fifth : root, 100);
                break;
            case BS_EIGHTHS:
                for (int e = 0; e < 8; e++)
                    Note(BASS, t0 + e * s8, s8 - 2, e == 7 ? fifth : root, e % 2 ? 88 : 104);
                break;
            case BS_OCTAVES:
                for (int e = 0; e < 8; e++)
                    Note(BASS, t0 + e * s8, s8 - 2, e % 2 ? root + 12 : root, e % 2 ? 90 : 106);
                break;
            case BS_SYNCOPATED: {
                static constexpr int kSteps[] = {0, 3, 6, 8, 11, 14};
                for (int i = 0; i < 6; i++) {
                    int len = (i == 5 ? 16 : kSteps[i + 1]) - kSteps[i];
                    Note(BASS, t0 + kSteps[i] * plan.t16, len * plan.t16 - 2,
                         i == 4 ? fifth : (i == 2 ? root + 12 : root), i % 2 ? 90 : 106);
                }
                break;
            }
            default:
                Note(BASS, t0, BarTicks() - 4, root, 96);
                break;
            }
        }
    }

    void Harmony(uint32_t start, const std::string& chords, int energy)
    {
        for (size_t bar = 0; bar < chords.size(); bar++) {
            uint32_t t0 = start + static_cast<uint32_t>(bar) * BarTicks();
            auto tones = Chord(chords[bar] - '0');
            int pad[3];
            for (int i = 0; i < 3; i++) {
                pad[i] = Pitch(tones[i]) - 12;
                if (pad[i] < 52) pad[i] += 12;
            }
            if (plan.padstyle == PD_STABS && energy > 0) {
                for (int s : {2, 6, 10, 14})
                    for (int p : pad)
                        Note(PAD, t0 + s * plan.t16, plan.t16 * 2 - 1, p, 84);
            } else {
                for (int p : pad)
                    Note(PAD, t0, BarTicks() - 2, p, 70);
            }
            if (energy > 0) {
                // Arpeggio up and down the chord, in eighths or sixteenths.
                int step = plan.t16 <= 8 ? 1 : 2;
                static constexpr int kOrder[8] = {0, 1, 2, 3, 2, 1, 0, 1};
                for (int s = 0, k = 0; s < kStepsPerBar; s += step, k++) {
                    int idx = kOrder[k % 8];
                    int p = idx == 3 ? Pitch(tones[0] + 7) : Pitch(tones[idx]);
                    Note(ARP, t0 + s * plan.t16, step * plan.t16 - 1, p, k % 4 ? 64 : 82);
                }
            }
        }
    }

    // A melody over a section's chords, from one two-bar motif.
    struct Phrase {
        std::vector<std::array<int, 4>> notes; // step from section start, length, index, vel
    };

    Phrase MakeMelody(const std::string& chords)
    {
        Phrase ph;
        int bars = static_cast<int>(chords.size());
        const char* r1 = kRhythms[rng.Range(10)];
        const char* r2 = kRhythms[rng.Range(10)];
        std::vector<int> motif; // the first bar's notes, sequenced on later even bars
        int motifdeg = chords[0] - '0';
        int cur = 7 + rng.Range(3);
        for (int bar = 0; bar < bars; bar++) {
            const char* rhythm = bar % 2 ? r2 : r1;
            bool cadence = bar == bars - 1;
            int deg = chords[bar] - '0';
            auto tones = Chord(deg);
            std::vector<int> onsets;
            for (int s = 0; s < kStepsPerBar; s++)
                if (rhythm[s] == 'x') onsets.push_back(s);
            if (cadence) onsets = {0, 4, 8};
            bool repeat = bar % 2 == 0 && bar > 0 && !cadence;
            for (size_t i = 0; i < onsets.size(); i++) {
                int s = onsets[i];
                int next = i + 1 < onsets.size() ? onsets[i + 1] : kStepsPerBar;
                int len = next - s;
                bool last = cadence && i == onsets.size() - 1;
                if (last) len = 8;
                bool strong = s % 4 == 0;
                int target;
                if (repeat && i < motif.size()) {
                    target = motif[i] + (deg - motifdeg);
                    while (target > 14)
                        target -= 7;
                    while (target < 3)
                        target += 7;
                } else if (last) {
                    target = tones[0] + (tones[0] < 4 ? 7 : 0);
                } else if (strong || cadence) {
                    // The chord tone nearest the current note.
                    target = cur;
                    int best = 99;
                    for (int tone : tones)
                        for (int o = -7; o <= 14; o += 7) {
                            int c = tone + o;
                            if (std::abs(c - cur) < best && c >= 3 && c <= 14) {
                                best = std::abs(c - cur);
                                target = c;
                            }
                        }
                } else {
                    static constexpr int kMoves[] = {-2, -1, -1, 1, 1, 2, 0};
                    target = cur + kMoves[rng.Range(7)];
                    if (target > 13) target -= 2;
                    if (target < 4) target += 2;
                }
                if (bar == 0) motif.push_back(target);
                cur = target;
                int vel = strong ? 108 : 92;
                ph.notes.push_back({bar * kStepsPerBar + s, len, target, vel});
            }
        }
        return ph;
    }

    void Melody(int ch, uint32_t start, const Phrase& ph, int shift, int veldrop)
    {
        for (const auto& n : ph.notes) {
            int dur = n[1] * plan.t16;
            dur = dur > 2 ? dur - 2 : dur;
            Note(ch, start + n[0] * plan.t16, dur, Pitch(n[2] + shift), n[3] - veldrop);
        }
    }

    // A slow line of chord tones under the melody.
    void Counter(uint32_t start, const std::string& chords)
    {
        for (size_t bar = 0; bar < chords.size(); bar++) {
            auto tones = Chord(chords[bar] - '0');
            int idx = tones[bar % 2 ? 2 : 1];
            Note(COUNTER, start + static_cast<uint32_t>(bar) * BarTicks(), BarTicks() - 2,
                 Pitch(idx) - 12, 80);
        }
    }

    Bytes Build()
    {
        Setup();
        std::string form = plan.form;
        auto sectionTicks = [&](char c) {
            return static_cast<uint32_t>(plan.chords.at(c).size()) * BarTicks();
        };
        // Long enough for a minute: repeat the main section before the end if needed.
        auto total = [&] {
            uint32_t t = 0;
            for (char c : form)
                t += sectionTicks(c);
            return t;
        };
        while (total() < static_cast<uint32_t>(kMinSeconds * kTicksPerSecond))
            form.insert(form.end() - (plan.loops ? 0 : 1), 'A');

        std::map<char, Phrase> melodies;
        for (auto& [c, chords] : plan.chords)
            if (c != 'I' && c != 'E') melodies[c] = MakeMelody(chords);

        uint32_t t = 0;
        char prev = 0;
        int repeats = 0;
        for (size_t i = 0; i < form.size(); i++) {
            char c = form[i];
            const std::string& chords = plan.chords.at(c);
            int energy = c == 'I' ? 0 : (c == 'B' || c == 'C' ? 2 : 1);
            repeats = c == prev ? repeats + 1 : 0;
            bool nextdiffers = i + 1 < form.size() && form[i + 1] != c;
            if (c == 'E') {
                auto tones = Chord(1);
                for (int k = 0; k < 3; k++)
                    Note(PAD, t, BarTicks() * 3, Pitch(tones[k]) - 12, 80);
                Note(BASS, t, BarTicks() * 3, Pitch(0) - 24, 96);
                Note(LEAD, t, BarTicks() * 3, Pitch(7), 100);
                Note(DRUMS, t, BarTicks(), CRASH, 100);
                Note(DRUMS, t, plan.t16, KICK, 110);
            } else {
                Drums(t, static_cast<int>(chords.size()), energy, nextdiffers || c == 'I',
                      i > 0 && c != prev);
                Bass(t, chords, energy);
                Harmony(t, chords, energy);
                if (melodies.count(c)) {
                    // A section heard again at once moves its tune up an octave, softer.
                    Melody(LEAD, t, melodies[c], repeats % 2 ? 7 : 0, repeats % 2 ? 8 : 0);
                    if (c == 'B' || c == 'C') Counter(t, chords);
                }
            }
            t += sectionTicks(c);
            prev = c;
        }
        return EncodeSong(ev, t, kPrimaryChannels);
    }
};

} // namespace

Bytes Song(int number)
{
    for (const Plan& p : kPlans)
        if (p.number == number) return Arranger(p).Build();
    return EncodeSong({}, kTicksPerSecond, 1);
}

} // namespace sndgen
