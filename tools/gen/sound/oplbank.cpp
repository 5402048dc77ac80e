// The FM instrument bank: 128 melodic programs and the percussion keys 35..81, each built
// from a few operator envelopes in the manner of its General MIDI name (struck and
// decaying for pianos and mallets, swelling and held for strings and pads, bright
// feedback for brass and leads, noise from a fed-back modulator for cymbals and snares).
#include <array>
#include <cstring>

#include "sndgen.h"

namespace sndgen
{
namespace
{

// One operator: frequency multiplier, output level (0 loudest .. 63 silent), attack,
// decay, sustain level, release (0..15 each; sustain 0 is loudest), waveform, whether the
// envelope holds at its sustain level while the key is down, vibrato and tremolo.
struct Op {
    int mult, level, attack, decay, sustain, release, wave;
    bool hold, vib, trem;
    int ksl = 0;
    bool ksr = false;
};

struct Voice {
    Op mod, car;
    int feedback;  // 0..7
    bool additive; // both operators sound (otherwise the modulator shapes the carrier)
    int noteoffset = 0;
};

struct Instrument {
    Voice v[2];
    int flags = 0; // 1 four-operator, 2 double voice
    int drumnote = 60;
    int finetune = 0; // second voice detune, 1/64 semitone
};

void PutOp(uint8_t* p, const Op& o)
{
    p[0] = static_cast<uint8_t>((o.trem ? 0x80 : 0) | (o.vib ? 0x40 : 0) | (o.hold ? 0x20 : 0) |
                                (o.ksr ? 0x10 : 0) | (o.mult & 15));
    p[1] = static_cast<uint8_t>(((o.ksl & 3) << 6) | (o.level & 63));
    p[2] = static_cast<uint8_t>(((o.attack & 15) << 4) | (o.decay & 15));
    p[3] = static_cast<uint8_t>(((o.sustain & 15) << 4) | (o.release & 15));
    p[4] = static_cast<uint8_t>(o.wave & 7);
}

void PutVoice(uint8_t* p, const Voice& v)
{
    uint8_t mod[5], car[5];
    PutOp(mod, v.mod);
    PutOp(car, v.car);
    memcpy(p, mod, 5);
    memcpy(p + 5, car, 5);
    p[10] = static_cast<uint8_t>(((v.feedback & 7) << 1) | (v.additive ? 1 : 0));
    p[11] = static_cast<uint8_t>(static_cast<int8_t>(v.noteoffset));
}

// Operator shorthands.
Op Struck(int mult, int level, int decay, int release, int wave = 0)
{
    return {mult, level, 15, decay, 15, release, wave, false, false, false, 1, true};
}
Op Held(int mult, int level, int attack, int release, int sustain = 1, int wave = 0,
        bool vib = false)
{
    return {mult, level, attack, 4, sustain, release, wave, true, vib, false};
}

Voice FM(Op mod, Op car, int fb)
{
    return {mod, car, fb, false};
}

Instrument Single(Voice v)
{
    Instrument in;
    in.v[0] = in.v[1] = v;
    return in;
}

Instrument Double(Voice a, Voice b, int detune)
{
    Instrument in;
    in.v[0] = a;
    in.v[1] = b;
    in.flags = 2;
    in.finetune = detune;
    return in;
}

Instrument Melodic(int p)
{
    int family = p / 8, k = p % 8;
    switch (family) {
    case 0: {                   // pianos
        if (k == 4 || k == 5) { // electric pianos: a soft tine with a bell on top
            Voice tine = FM(Struck(1, 36, 3, 5), Struck(1, 0, 2, 5), 2);
            Voice bell = FM(Struck(k == 4 ? 14 : 7, 40, 5, 6), Struck(1, 10, 4, 6), 0);
            return Double(tine, bell, 3);
        }
        if (k == 6) return Single(FM(Struck(4, 22, 4, 6), Struck(1, 0, 3, 7), 5));    // harpsichord
        if (k == 7) return Single(FM(Struck(3, 20, 4, 6, 1), Struck(1, 0, 4, 7), 4)); // clavinet
        Voice piano = FM(Struck(1, 30 - 4 * (k == 1), 3, 4), Struck(1, 0, 2, 5), 3);
        if (k == 3) return Double(piano, piano, 12); // honky-tonk
        return Single(piano);
    }
    case 1: { // chromatic percussion
        static constexpr int kMult[8] = {4, 7, 5, 4, 3, 5, 3, 2};
        static constexpr int kDecay[8] = {4, 4, 5, 3, 6, 7, 2, 5};
        Voice v = FM(Struck(kMult[k], 30, kDecay[k] + 1, 5), Struck(1, 0, kDecay[k], 5), 1);
        if (k == 3) v.car.trem = true; // vibraphone
        if (k == 6) return Double(v, FM(Struck(5, 34, 2, 4), Struck(2, 8, 2, 4), 0), 0); // bells
        return Single(v);
    }
    case 2: { // organs: drawbars that sound together
        Voice v = {Held(k == 6 ? 2 : 1, 4, 15, 7), Held(k == 0 ? 2 : 4, 8 + 2 * (k % 3), 15, 7),
                   k == 2 ? 4 : 0, true};
        if (k == 1) v.car = Struck(4, 4, 5, 7); // percussive organ
        if (k == 3 || k == 4 || k == 5 || k == 6 || k == 7) {
            v.mod.vib = v.car.vib = true;
            if (k >= 5) return Single(FM(Held(2, 24, 12, 6, 1, 0, true), Held(1, 0, 12, 6), 5));
        }
        if (k == 3) return Double(v, {Held(1, 6, 13, 5), Held(8, 14, 13, 5), 0, true}, 0);
        return Single(v);
    }
    case 3: {                   // guitars
        if (k == 5 || k == 6) { // overdriven, distortion: strong feedback, squared carrier
            Voice v =
                FM(Held(1, 8 + 4 * (k == 5), 15, 7, 2), Held(1, 0, 15, 8, 3, k == 6 ? 1 : 0), 7);
            return Double(v, FM(Held(2, 14, 15, 7, 2), Held(1, 6, 15, 8, 3, 1), 6), 10);
        }
        static constexpr int kLevel[8] = {30, 24, 34, 26, 22, 0, 0, 38};
        Voice v = FM(Struck(k == 7 ? 8 : (k == 1 ? 3 : 1), kLevel[k], 4, 6),
                     Struck(1, 0, k == 4 ? 7 : 3, k == 4 ? 9 : 6), 4);
        return Single(v);
    }
    case 4: {         // basses
        if (k >= 6) { // synth basses: buzzing, held
            return Single(
                FM(Held(1, 14 + 4 * (k == 7), 15, 8, 3), Held(k == 7 ? 1 : 0, 0, 15, 8, 2), 6));
        }
        static constexpr int kLevel[6] = {30, 24, 20, 32, 14, 12};
        Voice v = FM(Struck(1, kLevel[k], 3, 6), Struck(k == 0 ? 0 : 1, 0, 2, 7), k >= 4 ? 6 : 3);
        v.car.release = 8;
        return Single(v);
    }
    case 5: {                                                                      // strings
        if (k == 5) return Single(FM(Struck(1, 30, 6, 6), Struck(1, 0, 6, 6), 2)); // pizzicato
        if (k == 6) return Single(FM(Struck(2, 34, 3, 5), Struck(1, 0, 3, 5), 1)); // harp
        if (k == 7) return Single(FM(Struck(1, 28, 4, 5), Struck(0, 0, 3, 5), 3)); // timpani
        Voice v = FM(Held(1, 20, 6, 5, 1, 0, true), Held(1, 0, 6 - (k == 4), 5, 1, 0, true), 5);
        if (k == 4) v.car.trem = true;
        return Single(v);
    }
    case 6: {                                                                     // ensembles
        if (k == 7) return Single(FM(Struck(1, 6, 5, 6), Struck(1, 0, 4, 6), 7)); // orchestra hit
        if (k >= 4 && k <= 6) { // voices: round tones with a little breath of formant
            Voice v = FM(Held(2, 34, 5, 5, 1, 0, true), Held(1, 0, 5, 5, 1, 0, true), 1);
            return Double(v, FM(Held(4, 40, 5, 5), Held(2, 18, 5, 5), 0), 6);
        }
        Voice v = FM(Held(1, 22 - 2 * (k >= 2), 5 + (k == 1), 5, 1, 0, true),
                     Held(1, 0, 5 + (k == 1), 5, 1, 0, true), 5);
        return Double(v, v, 8);
    }
    case 7: { // brass: the modulator swells after the carrier, so the tone brightens
        if (k == 3)
            return Single(
                FM(Held(1, 22, 11, 7, 2, 0, true), Held(1, 0, 13, 7, 1, 0, true), 3)); // muted
        int level = k == 4 ? 24 : 16;
        Voice v = FM(Held(1, level, 8, 7, 2, 0, true), Held(1, 0, 11, 7, 1, 0, true), 6);
        if (k == 2) v.noteoffset = 0;
        if (k == 5 || k == 6 || k == 7) {
            Instrument in = Double(v, FM(Held(1, level + 4, 7, 7, 2), Held(1, 2, 10, 7, 1), 6), 9);
            return in;
        }
        if (k == 1 || k == 2) { // trombone and tuba: four operators for a fuller body
            Instrument in;
            in.v[0] = FM(Held(1, 20, 9, 7, 2, 0, true), Held(1, 18, 9, 7, 2), 5);
            in.v[1] = FM(Held(1, 24, 8, 7, 2), Held(1, 0, 11, 7, 1, 0, true), 0);
            in.flags = 1;
            return in;
        }
        return Single(v);
    }
    case 8: { // reeds
        int mult = k == 7 ? 2 : (k == 4 || k == 5 ? 3 : 1);
        Voice v =
            FM(Held(mult, 18 + 2 * (k % 4), 11, 6, 2, 0, true), Held(1, 0, 12, 6, 1, 0, true), 5);
        if (k == 7) v.feedback = 2; // clarinet: hollow
        return Single(v);
    }
    case 9: { // pipes: nearly pure, breathy onset
        Voice v = FM(Held(k == 0 ? 2 : 1, 40, 13, 6, 1, 0, true),
                     Held(1, 0, 9 + (k % 3), 6, 1, 0, true), 6);
        if (k == 6 || k == 7) v.mod.level = 50; // whistle, ocarina
        return Single(v);
    }
    case 10: { // synth leads
        if (k == 0) return Single({Held(1, 63, 15, 6), Held(1, 2, 15, 6, 1, 6), 0, true}); // square
        if (k == 1) return Single(FM(Held(1, 18, 15, 6, 1), Held(1, 0, 15, 6, 1), 5));     // saw
        if (k == 6) {                                                                      // fifths
            Voice v = FM(Held(1, 20, 15, 6), Held(1, 0, 15, 6), 5);
            Voice w = v;
            w.noteoffset = 7;
            return Double(v, w, 0);
        }
        Voice v = FM(Held(k == 2 ? 2 : 1, 16 + 2 * k, 15, 6, 1, k % 2 ? 1 : 0, true),
                     Held(1, 0, 15, 6, 1, k == 7 ? 1 : 0), 5);
        return Double(v, v, 6);
    }
    case 11: { // synth pads: slow, wide, long tails
        Voice v = FM(Held(1 + (k % 3 == 2), 26, 4 + (k % 2), 3, 1, 0, true),
                     Held(1, 0, 4, 3, 1, 0, true), 3 + k % 3);
        return Double(v, v, 10);
    }
    case 12: { // synth effects
        Voice v = FM(Held(3 + k, 24, 6, 4, 2, k % 4, true), Held(1, 0, 5, 4, 2, 0, true), 4);
        return Double(v, FM(Struck(7, 30, 4, 4), Struck(2, 6, 4, 4), 0), 12);
    }
    case 13: { // ethnic
        if (k == 6)
            return Single(
                FM(Held(1, 18, 8, 6, 2, 0, true), Held(1, 0, 10, 6, 1, 0, true), 5)); // fiddle
        if (k == 5 || k == 7)
            return Single(FM(Held(3, 16, 14, 6, 2, 0, true), Held(1, 0, 14, 6, 1), 6));
        return Single(FM(Struck(k == 0 ? 5 : 3, 24, 4, 5), Struck(1, 0, 3 + k % 3, 6), 4));
    }
    case 14: { // percussive
        static constexpr int kMult[8] = {7, 5, 3, 6, 0, 1, 1, 1};
        Voice v = FM(Struck(kMult[k], 26, 5, 5), Struck(1, 0, 4 + k % 3, 6), k == 7 ? 7 : 2);
        if (k == 7) v.car = Held(1, 4, 3, 15, 1);
        return Single(v);
    }
    default: {                                                                     // sound effects
        if (k == 7) return Single(FM(Struck(15, 0, 3, 8), Struck(1, 0, 4, 8), 7)); // gunshot
        Voice v = FM(Held(k + 1, 10, 8, 6, 2, 0, true), Held(1, 0, 8, 6, 2, 0, true), 7);
        return Single(v);
    }
    }
}

// Percussion: drum key 35..81 to a sound and the note it is played at.
Instrument Percussion(int key)
{
    auto body = [](int note, int decay, int fb) { // kicks and toms: a thump that drops away
        Instrument in = Single(FM(Struck(1, 14, decay + 1, 8), Struck(1, 0, decay, 8), fb));
        in.drumnote = note;
        return in;
    };
    auto noise = [](int note, int decay, int release, int level) { // snares, hats, cymbals
        Instrument in =
            Single(FM(Struck(15, 0, decay, release), Struck(1, level, decay, release), 7));
        in.drumnote = note;
        return in;
    };
    auto metal = [](int note, int decay, int mult) { // bells, cowbells, woodblocks
        Instrument in = Single(FM(Struck(mult, 20, decay, 6), Struck(1, 0, decay, 6), 1));
        in.drumnote = note;
        return in;
    };
    switch (key) {
    case 35:
        return body(24, 6, 3);
    case 36:
        return body(28, 6, 4);
    case 37:
        return metal(84, 9, 3);
    case 38: {
        Instrument in = Double(FM(Struck(15, 0, 7, 8), Struck(1, 0, 7, 8), 7),
                               FM(Struck(1, 30, 8, 8), Struck(1, 4, 8, 8), 2), 0);
        in.drumnote = 60;
        return in;
    }
    case 39:
        return noise(72, 8, 8, 0);
    case 40:
        return noise(64, 7, 7, 0);
    case 41:
        return body(40, 5, 2);
    case 42:
        return noise(96, 10, 10, 4);
    case 43:
        return body(43, 5, 2);
    case 44:
        return noise(96, 11, 11, 8);
    case 45:
        return body(47, 5, 2);
    case 46:
        return noise(96, 5, 6, 4);
    case 47:
        return body(50, 5, 2);
    case 48:
        return body(54, 5, 2);
    case 49:
        return noise(84, 3, 4, 2);
    case 50:
        return body(57, 5, 2);
    case 51:
        return metal(88, 4, 7);
    case 52:
        return noise(80, 3, 4, 0);
    case 53:
        return metal(92, 4, 5);
    case 54:
        return noise(100, 7, 7, 6);
    case 55:
        return noise(88, 4, 5, 2);
    case 56:
        return metal(79, 7, 4);
    case 57:
        return noise(86, 3, 4, 2);
    case 58:
        return noise(70, 4, 5, 6);
    case 59:
        return metal(86, 3, 6);
    case 60:
        return body(72, 8, 3);
    case 61:
        return body(66, 8, 3);
    case 62:
        return body(70, 9, 3);
    case 63:
        return body(64, 7, 3);
    case 64:
        return body(58, 7, 3);
    case 65:
        return body(62, 7, 4);
    case 66:
        return body(56, 7, 4);
    case 67:
        return metal(84, 6, 3);
    case 68:
        return metal(79, 6, 3);
    case 69:
        return noise(100, 9, 9, 10);
    case 70:
        return noise(104, 10, 10, 10);
    case 71:
        return metal(96, 3, 1);
    case 72:
        return metal(96, 2, 1);
    case 73:
        return noise(88, 9, 9, 12);
    case 74:
        return noise(84, 6, 6, 12);
    case 75:
        return metal(91, 10, 2);
    case 76:
        return metal(83, 10, 3);
    case 77:
        return metal(78, 10, 3);
    case 78:
        return body(74, 8, 5);
    case 79:
        return body(70, 7, 5);
    case 80:
        return metal(100, 9, 5);
    default:
        return metal(100, 4, 5);
    }
}

} // namespace

Bytes OplBank()
{
    constexpr int kMelodic = 128, kDrums = 47, kRecord = 36, kHeader = 8;
    Bytes b(kHeader + (kMelodic + kDrums) * kRecord, 0);
    memcpy(b.data(), "VOPL", 4);
    b[4] = kMelodic;
    b[6] = kDrums;
    for (int i = 0; i < kMelodic + kDrums; i++) {
        Instrument in = i < kMelodic ? Melodic(i) : Percussion(35 + i - kMelodic);
        uint8_t* r = b.data() + kHeader + i * kRecord;
        r[0] = static_cast<uint8_t>(in.flags);
        r[1] = static_cast<uint8_t>(in.drumnote);
        r[2] = static_cast<uint8_t>(static_cast<int8_t>(in.finetune));
        PutVoice(r + 4, in.v[0]);
        PutVoice(r + 18, in.v[1]);
    }
    return b;
}

} // namespace sndgen
