// The sound effects: each synthesised here from oscillators, filtered noise and envelopes
// (the voices from a small formant synthesiser), then stored as unsigned 8-bit samples at
// 11,025 Hz. Each also has a short tone sequence for the FM and MIDI effect devices.
#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

#include "sndgen.h"

namespace sndgen
{
namespace
{

constexpr double kRate = 11025.0;
constexpr double kPi = 3.14159265358979323846;
using Wave = std::vector<double>;

struct Noise {
    uint32_t s;
    double Next()
    {
        s ^= s << 13;
        s ^= s >> 17;
        s ^= s << 5;
        return (s / 4294967295.0) * 2.0 - 1.0;
    }
};

int Frames(double seconds)
{
    return static_cast<int>(seconds * kRate);
}

double Lerp(double a, double b, double t)
{
    return a + (b - a) * t;
}

// Exponential glide from a to b over t in 0..1.
double Glide(double a, double b, double t)
{
    return a * std::pow(b / a, t);
}

// A resonant state-variable filter, one sample at a time.
struct Svf {
    double low = 0, band = 0;
    double Band(double in, double freq, double q)
    {
        double f = 2.0 * std::sin(kPi * std::min(freq, kRate / 6.0) / kRate);
        low += f * band;
        double high = in - low - band / q;
        band += f * high;
        return band;
    }
    double Low(double in, double freq, double q)
    {
        Band(in, freq, q);
        return low;
    }
};

struct OnePole {
    double y = 0;
    double Low(double in, double freq)
    {
        double a = 1.0 - std::exp(-2.0 * kPi * freq / kRate);
        y += a * (in - y);
        return y;
    }
};

double Square(double phase)
{
    return phase - std::floor(phase) < 0.5 ? 1.0 : -1.0;
}

double Saw(double phase)
{
    return 2.0 * (phase - std::floor(phase)) - 1.0;
}

// A tone whose frequency follows f(t) (t from 0 to 1 over the length).
Wave Sweep(double seconds, const std::function<double(double)>& freq,
           const std::function<double(double)>& shape)
{
    Wave w(Frames(seconds));
    double phase = 0;
    for (size_t i = 0; i < w.size(); i++) {
        double t = double(i) / w.size();
        w[i] = shape(phase);
        phase += freq(t) / kRate;
    }
    return w;
}

void Envelope(Wave& w, double attack, double decaypow)
{
    for (size_t i = 0; i < w.size(); i++) {
        double t = double(i) / w.size();
        double a = attack > 0 ? std::min(1.0, (i / kRate) / attack) : 1.0;
        w[i] *= a * std::pow(1.0 - t, decaypow);
    }
}

void Mix(Wave& into, const Wave& w, double gain, double at = 0)
{
    size_t off = static_cast<size_t>(at * kRate);
    if (into.size() < off + w.size()) into.resize(off + w.size(), 0.0);
    for (size_t i = 0; i < w.size(); i++)
        into[off + i] += w[i] * gain;
}

// A noise burst through a low-pass filter whose cut-off glides, with a decay.
Wave Rumble(double seconds, double from, double to, double decaypow, uint32_t seed, double q = 0.8)
{
    Wave w(Frames(seconds));
    Noise n{seed};
    Svf f;
    for (size_t i = 0; i < w.size(); i++) {
        double t = double(i) / w.size();
        w[i] = f.Low(n.Next(), Glide(from, to, t), q);
    }
    Envelope(w, 0.004, decaypow);
    return w;
}

// A glottal buzz through three formant filters: vowels given as (F1, F2, F3) targets.
struct Syllable {
    double seconds;
    double pitch0, pitch1;
    double f1, f2, f3; // the vowel at the start
    double g1, g2, g3; // and where it moves to
    double breath;     // share of breath noise (an "h" at the start)
};

Wave Voice(const std::vector<Syllable>& sylls, uint32_t seed, double rough)
{
    Wave out;
    Noise n{seed};
    double at = 0;
    for (const Syllable& s : sylls) {
        Wave w(Frames(s.seconds));
        Svf a, b, c;
        OnePole tilt;
        double phase = 0;
        for (size_t i = 0; i < w.size(); i++) {
            double t = double(i) / w.size();
            double f0 = Glide(s.pitch0, s.pitch1, t) * (1.0 + rough * 0.03 * n.Next());
            phase += f0 / kRate;
            double pulse = tilt.Low(Saw(phase), 900.0);
            double h = t < 0.18 ? s.breath * (1.0 - t / 0.18) : 0.0;
            double src = pulse * (1.0 - h) + n.Next() * h * 0.7;
            double y = a.Band(src, Lerp(s.f1, s.g1, t), 6) * 1.0 +
                       b.Band(src, Lerp(s.f2, s.g2, t), 8) * 0.6 +
                       c.Band(src, Lerp(s.f3, s.g3, t), 10) * 0.3;
            double env = std::min(1.0, t / 0.08) * std::min(1.0, (1.0 - t) / 0.25);
            w[i] = y * env;
        }
        Mix(out, w, 1.0, at);
        at += s.seconds;
    }
    return out;
}

// Vowel formants (Hz).
constexpr double A1 = 750, A2 = 1250, A3 = 2600; // "ah"
constexpr double O1 = 500, O2 = 850, O3 = 2500;  // "oh"
constexpr double E1 = 450, E2 = 2000, E3 = 2700; // "eh"
constexpr double I1 = 300, I2 = 2300, I3 = 3000; // "ee"
constexpr double U1 = 330, U2 = 800, U3 = 2300;  // "oo"

Wave Make(const std::string& label)
{
    if (label == "EXPLO_FX") {
        Wave w = Rumble(1.3, 3200, 160, 2.2, 11);
        Mix(w,
            Sweep(
                0.5, [](double t) { return Glide(70, 32, t); },
                [](double p) { return std::sin(2 * kPi * p); }),
            0.8);
        return w;
    }
    if (label == "EXPLO2_FX") {
        Wave w = Rumble(2.2, 2600, 90, 1.6, 21, 1.2);
        Mix(w, Rumble(1.4, 3600, 200, 2.4, 22), 0.8, 0.35);
        Mix(w, Rumble(1.0, 4000, 260, 2.6, 23), 0.6, 0.8);
        Mix(w,
            Sweep(
                0.9, [](double t) { return Glide(60, 25, t); },
                [](double p) { return std::sin(2 * kPi * p); }),
            0.9);
        return w;
    }
    if (label == "GEXPLO_FX") {
        Wave w = Rumble(0.9, 1500, 120, 2.0, 31, 1.0);
        Wave thump = Sweep(
            0.35, [](double t) { return Glide(90, 35, t); },
            [](double p) { return std::sin(2 * kPi * p); });
        Envelope(thump, 0.002, 1.5);
        Mix(w, thump, 1.0);
        return w;
    }
    if (label == "CRASH_FX") {
        Wave w = Rumble(0.7, 5000, 600, 2.5, 41, 2.5);
        for (double f : {312.0, 467.0, 731.0, 1103.0}) {
            Wave ring = Sweep(
                0.6, [f](double t) { return f * (1 - 0.05 * t); },
                [](double p) { return std::sin(2 * kPi * p); });
            Envelope(ring, 0.001, 3.0);
            Mix(w, ring, 0.25);
        }
        return w;
    }
    if (label == "BONUS_FX") {
        Wave w;
        const double notes[] = {784, 988, 1175, 1568, 1976};
        for (int i = 0; i < 5; i++) {
            Wave b = Sweep(
                0.09, [&, i](double) { return notes[i]; }, Square);
            Envelope(b, 0.002, 1.0);
            Mix(w, b, 0.5, 0.055 * i);
        }
        return w;
    }
    if (label == "DOOR_FX") {
        Wave w = Rumble(1.0, 260, 180, 0.6, 51, 3.0);
        Wave servo = Sweep(
            0.8, [](double t) { return Lerp(180, 340, std::sin(t * kPi / 2)); }, Saw);
        Envelope(servo, 0.05, 0.4);
        OnePole lp;
        for (double& s : servo)
            s = lp.Low(s, 1200);
        Mix(w, servo, 0.5);
        Wave clunk = Rumble(0.25, 900, 100, 3.0, 52);
        Mix(w, clunk, 1.2, 0.85);
        return w;
    }
    if (label == "FLYBY_FX") {
        Wave w(Frames(1.9));
        Noise n{61};
        Svf f;
        for (size_t i = 0; i < w.size(); i++) {
            double t = double(i) / w.size();
            double centre = Glide(2400, 500, t);
            double amp = std::exp(-std::pow((t - 0.42) / 0.22, 2));
            w[i] = f.Band(n.Next(), centre, 2.0) * amp;
        }
        Wave whine = Sweep(
            1.9, [](double t) { return Glide(1400, 700, t); },
            [](double p) { return std::sin(2 * kPi * p); });
        for (size_t i = 0; i < whine.size(); i++) {
            double t = double(i) / whine.size();
            whine[i] *= std::exp(-std::pow((t - 0.42) / 0.2, 2));
        }
        Mix(w, whine, 0.25);
        return w;
    }
    if (label == "EGRAB_FX") {
        Wave w = Sweep(
            0.55, [](double t) { return Glide(300, 1500, t); },
            [](double p) { return std::sin(2 * kPi * p) + 0.3 * Square(p * 2); });
        for (size_t i = 0; i < w.size(); i++)
            w[i] *= 0.6 + 0.4 * std::sin(2 * kPi * 24 * i / kRate);
        Envelope(w, 0.01, 0.8);
        return w;
    }
    if (label == "GUN_FX") {
        Wave w = Sweep(
            0.13, [](double t) { return Glide(1100, 240, t); }, Square);
        Envelope(w, 0.001, 2.0);
        Wave crack = Rumble(0.08, 6000, 1500, 2.0, 71);
        Mix(w, crack, 1.4);
        return w;
    }
    if (label == "JETSND_FX") {
        Wave w(Frames(1.6));
        Noise n{81};
        Svf f;
        for (size_t i = 0; i < w.size(); i++)
            w[i] = f.Low(n.Next(), 700, 1.5);
        Wave whine = Sweep(
            1.6, [](double t) { return 1850 + 40 * std::sin(t * 12); },
            [](double p) { return std::sin(2 * kPi * p); });
        Mix(w, whine, 0.18);
        Envelope(w, 0.15, 0.3);
        return w;
    }
    if (label == "LASER_FX") {
        Wave w = Sweep(
            0.32, [](double t) { return Glide(2600, 380, t) * (1 + 0.03 * std::sin(t * 90)); },
            Saw);
        Envelope(w, 0.002, 1.2);
        return w;
    }
    if (label == "MISSLE_FX") {
        Wave w(Frames(0.8));
        Noise n{91};
        Svf f;
        for (size_t i = 0; i < w.size(); i++) {
            double t = double(i) / w.size();
            w[i] = f.Band(n.Next(), Glide(500, 2600, t), 1.5) * std::min(1.0, t * 5) *
                   std::pow(1 - t, 0.7);
        }
        Wave ignition = Rumble(0.2, 2000, 300, 2.0, 92);
        Mix(w, ignition, 0.8);
        return w;
    }
    if (label == "SWEP_FX") {
        Wave w = Sweep(
            0.2, [](double t) { return Glide(420, 2100, t); },
            [](double p) { return std::sin(2 * kPi * p); });
        Envelope(w, 0.005, 1.0);
        return w;
    }
    if (label == "TURRET_FX") {
        Wave w;
        for (int i = 0; i < 3; i++) {
            Wave z = Sweep(
                0.08, [](double t) { return Glide(1800, 700, t); }, Square);
            Envelope(z, 0.001, 1.5);
            Mix(w, z, 0.6 - 0.12 * i, 0.09 * i);
        }
        return w;
    }
    if (label == "WARN_FX") {
        Wave w;
        for (int i = 0; i < 4; i++) {
            double f = i % 2 ? 660 : 880;
            Wave b = Sweep(
                0.12, [f](double) { return f; }, Square);
            Envelope(b, 0.003, 0.3);
            Mix(w, b, 0.45, 0.13 * i);
        }
        return w;
    }
    if (label == "BOSS_FX") {
        Wave w = Sweep(
            1.7, [](double t) { return 600 + 350 * std::sin(2 * kPi * (2 * t - 0.25)); },
            [](double p) { return Square(p) * 0.6 + std::sin(2 * kPi * p) * 0.4; });
        Envelope(w, 0.02, 0.3);
        return w;
    }
    if (label == "ESHOT_FX") {
        Wave w = Sweep(
            0.16, [](double t) { return Glide(1500, 450, t); },
            [](double p) { return Square(p) * 0.5 + Saw(p) * 0.5; });
        Envelope(w, 0.001, 1.6);
        return w;
    }
    if (label == "HIT_FX") {
        Wave w = Rumble(0.12, 7000, 2000, 2.0, 101);
        Wave ping = Sweep(
            0.28, [](double) { return 1660.0; },
            [](double p) { return std::sin(2 * kPi * p) + 0.5 * std::sin(2 * kPi * p * 2.76); });
        Envelope(ping, 0.001, 2.5);
        Mix(w, ping, 0.6);
        return w;
    }
    if (label == "THEME_FX") {
        // A short fanfare of our own: a rising call answered by a turn that comes home.
        const double melody[][2] = {{67, 1}, {72, 1}, {76, 2}, {74, 1}, {72, 1}, {79, 2},
                                    {77, 1}, {76, 1}, {74, 1}, {71, 1}, {72, 4}};
        const double bass[] = {48, 55, 53, 55, 48};
        Wave w;
        double at = 0, beat = 0.16;
        for (auto& m : melody) {
            double f = 440 * std::pow(2.0, (m[0] - 69) / 12);
            Wave n = Sweep(
                m[1] * beat, [f](double t) { return f * (1 + 0.004 * std::sin(t * 40)); },
                [](double p) { return Square(p) * 0.5 + std::sin(2 * kPi * p) * 0.5; });
            Envelope(n, 0.005, 0.5);
            Mix(w, n, 0.45, at);
            at += m[1] * beat;
        }
        for (int i = 0; i < 5; i++) {
            double f = 440 * std::pow(2.0, (bass[i] - 69) / 12);
            Wave n = Sweep(
                i == 4 ? 4 * beat : 3 * beat, [f](double) { return f; }, Saw);
            Envelope(n, 0.01, 0.8);
            OnePole lp;
            for (double& s : n)
                s = lp.Low(s, 800);
            Mix(w, n, 0.5, i * 3 * beat);
        }
        return w;
    }
    // Voices: greetings and taunts in a wordless tongue of our own.
    if (label == "MON1_FX") // a laugh, "ha-ha-ha", falling
        return Voice({{0.16, 210, 190, A1, A2, A3, A1, A2, A3, 0.8},
                      {0.16, 190, 170, A1, A2, A3, A1, A2, A3, 0.8},
                      {0.3, 170, 120, A1, A2, A3, O1, O2, O3, 0.8}},
                     111, 1.0);
    if (label == "MON2_FX") // "oh-oh", a worried call
        return Voice({{0.25, 160, 200, O1, O2, O3, O1, O2, O3, 0.1},
                      {0.4, 180, 130, O1, O2, O3, U1, U2, U3, 0.1}},
                     112, 0.5);
    if (label == "MON3_FX") // a low growl rising to a snarl
        return Voice({{0.7, 70, 95, U1, U2, U3, A1, A2, A3, 0.3}}, 113, 4.0);
    if (label == "MON4_FX") // "hey!", bright and sharp
        return Voice({{0.35, 240, 300, E1, E2, E3, I1, I2, I3, 0.9}}, 114, 0.5);
    if (label == "MON5_FX") // "wa-aah", a wail
        return Voice({{0.2, 150, 230, U1, U2, U3, A1, A2, A3, 0.0},
                      {0.5, 230, 110, A1, A2, A3, A1, A2, A3, 0.0}},
                     115, 1.5);
    if (label == "MON6_FX") // "uh-huh", agreeing
        return Voice({{0.2, 140, 130, 640, 1200, 2400, 640, 1200, 2400, 0.2},
                      {0.3, 130, 170, 640, 1200, 2400, 640, 1200, 2400, 0.8}},
                     116, 0.5);
    if (label == "VOXO_FX") // "yo-ee-oh", a farewell
        return Voice({{0.22, 180, 210, I1, I2, I3, O1, O2, O3, 0.0},
                      {0.2, 230, 250, I1, I2, I3, I1, I2, I3, 0.0},
                      {0.45, 220, 150, O1, O2, O3, U1, U2, U3, 0.0}},
                     117, 0.5);
    return Wave(Frames(0.05), 0.0);
}

// Tone sequences: (note, steps) pairs at 140 steps a second; note 0 is a rest. Notes are
// 29..155; a step byte b plays ((b - 1) >> 1) + 29.
struct ToneFx {
    int program;
    std::vector<std::pair<int, int>> steps;
};

std::vector<std::pair<int, int>> Slide(int from, int to, int each)
{
    std::vector<std::pair<int, int>> out;
    int dir = to >= from ? 1 : -1;
    for (int n = from;; n += dir) {
        out.push_back({n, each});
        if (n == to) break;
    }
    return out;
}

ToneFx Tones(const std::string& label)
{
    auto cat = [](std::vector<std::pair<int, int>> a, const std::vector<std::pair<int, int>>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    if (label == "EXPLO_FX" || label == "EXPLO2_FX" || label == "GEXPLO_FX" || label == "CRASH_FX")
        return {127, cat(Slide(52, 30, label == "EXPLO2_FX" ? 10 : 5), {{0, 4}})};
    if (label == "BONUS_FX") return {80, {{79, 8}, {83, 8}, {86, 8}, {91, 16}, {0, 2}}};
    if (label == "DOOR_FX") return {118, cat(Slide(40, 47, 12), {{36, 20}, {0, 2}})};
    if (label == "FLYBY_FX" || label == "JETSND_FX") return {122, cat(Slide(70, 50, 10), {{0, 2}})};
    if (label == "EGRAB_FX") return {80, cat(Slide(60, 84, 3), {{0, 2}})};
    if (label == "GUN_FX" || label == "ESHOT_FX") return {127, {{60, 6}, {54, 6}, {0, 2}}};
    if (label == "LASER_FX" || label == "TURRET_FX") return {81, cat(Slide(96, 72, 2), {{0, 2}})};
    if (label == "MISSLE_FX") return {122, cat(Slide(50, 74, 4), {{0, 2}})};
    if (label == "SWEP_FX") return {80, cat(Slide(72, 88, 2), {{0, 2}})};
    if (label == "WARN_FX") return {80, {{81, 16}, {76, 16}, {81, 16}, {76, 16}, {0, 2}}};
    if (label == "HIT_FX") return {11, {{88, 20}, {0, 2}}};
    if (label == "BOSS_FX")
        return {81, cat(cat(Slide(70, 82, 5), Slide(82, 70, 5)), cat(Slide(70, 82, 5), {{0, 2}}))};
    if (label == "THEME_FX")
        return {80,
                {{67, 22},
                 {72, 22},
                 {76, 45},
                 {74, 22},
                 {72, 22},
                 {79, 45},
                 {77, 22},
                 {76, 22},
                 {74, 22},
                 {71, 22},
                 {72, 80},
                 {0, 2}}};
    return {52, {{64, 20}, {60, 30}, {0, 2}}}; // the voices: a short call
}

void Put16(Bytes& b, int v)
{
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

} // namespace

const std::vector<std::string>& EffectLabels()
{
    static const std::vector<std::string> labels = {
        "THEME_FX",  "MON1_FX",   "MON2_FX",   "MON3_FX",   "MON4_FX",  "MON5_FX",   "MON6_FX",
        "VOXO_FX",   "EXPLO_FX",  "EXPLO2_FX", "BONUS_FX",  "CRASH_FX", "DOOR_FX",   "FLYBY_FX",
        "EGRAB_FX",  "GEXPLO_FX", "GUN_FX",    "JETSND_FX", "LASER_FX", "MISSLE_FX", "SWEP_FX",
        "TURRET_FX", "WARN_FX",   "BOSS_FX",   "ESHOT_FX",  "HIT_FX"};
    return labels;
}

std::vector<uint8_t> EffectSamples(const std::string& label)
{
    Wave w = Make(label);
    // Remove any offset, then fit the loudest peak just inside the 8-bit range, and fade the
    // last few milliseconds so no effect ends on a click.
    double mean = 0;
    for (double s : w)
        mean += s;
    mean /= std::max<size_t>(1, w.size());
    double peak = 1e-9;
    for (double& s : w) {
        s -= mean;
        peak = std::max(peak, std::fabs(s));
    }
    size_t fade = std::min<size_t>(w.size(), 40);
    std::vector<uint8_t> out(w.size());
    for (size_t i = 0; i < w.size(); i++) {
        double g = 0.94 / peak;
        if (i + fade >= w.size()) g *= double(w.size() - i) / fade;
        int v = static_cast<int>(std::lround(128.0 + 127.0 * w[i] * g));
        out[i] = static_cast<uint8_t>(std::clamp(v, 1, 255));
    }
    return out;
}

Bytes EffectVariant(const std::string& label, int variant)
{
    Bytes b;
    if (variant == 4) {
        std::vector<uint8_t> s = EffectSamples(label);
        Put16(b, 3);
        Put16(b, static_cast<int>(kRate));
        uint32_t length = static_cast<uint32_t>(s.size()) + 32;
        for (int i = 0; i < 4; i++)
            b.push_back(static_cast<uint8_t>(length >> (8 * i)));
        b.resize(24, 0);
        b.insert(b.end(), s.begin(), s.end());
        return b;
    }
    if (variant == 2) {
        ToneFx t = Tones(label);
        std::vector<uint8_t> steps;
        for (auto [note, count] : t.steps)
            for (int i = 0; i < count; i++)
                steps.push_back(note == 0 ? 0 : static_cast<uint8_t>((note - 29) * 2 + 1));
        Put16(b, 1);
        Put16(b, static_cast<int>(steps.size()));
        Put16(b, 0);
        Put16(b, t.program);
        b.insert(b.end(), steps.begin(), steps.end());
        return b;
    }
    // The speaker variant and the unused one: a type no mixer plays.
    Put16(b, 0);
    Put16(b, 0);
    return b;
}

} // namespace sndgen
