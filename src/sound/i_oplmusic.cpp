#include "sound/i_oplmusic.h"

#include <array>
#include <cmath>
#include <cstring>

#include "res/glbapi.h"
#include "sound/fx.h"
#include "sound/musapi.h"
#include "sound/opl3.h"

MUSIC_DEVICE mus_device_opl = {I_OPL_InitMusic, I_OPL_ShutdownMusic, I_OPL_Mix,
                               I_OPL_KeyOff,    I_OPL_KeyOn,         I_OPL_Controller,
                               I_OPL_PitchBend, I_OPL_ProgramChange, I_OPL_AllNotesOff};

static OPL_INSTR opl_bank[OPLBANK_MELODIC + OPLBANK_PERCUSSION];
static int opl_bankloaded;
static int opl_initcount;

constexpr int kVoices = 18;
constexpr int kPairs = 6;
constexpr int kBendCentre = 128;
constexpr double kBendRange = 2.0; // semitones either way

struct OPL_CHAN {
    int program;
    int volume;
    int expression;
    int pan;
    int bend;
    bool sustain;
};

struct OPL_VOICE {
    int chan; // -1 when free
    int note; // the key as the song named it
    const OPL_INSTR* instr;
    int half;       // which half of the instrument this voice plays
    bool fourop;    // first channel of a four-operator voice
    bool partner;   // second channel of a four-operator voice
    bool keyed;     // key held down
    bool sustained; // released while the sustain pedal was down
    int velocity;
    uint32_t stamp; // when keyed on, or when released
    int blockfnum;  // last A0/B0 pair without the key bit
};

static OPL_CHAN opl_chans[MUS_CHANNELS];
static OPL_VOICE opl_voices[kVoices];
static int opl_fourmask;
static uint32_t opl_clock;

// First operator slot of each channel within a register bank.
constexpr int kOpSlot[9] = {0x00, 0x01, 0x02, 0x08, 0x09, 0x0A, 0x10, 0x11, 0x12};
// First channels of the pairs that can join into four-operator voices.
constexpr int kPairFirst[kPairs] = {0, 1, 2, 9, 10, 11};

// Attenuation in chip level steps (0.75 dB) for a MIDI volume or velocity of 0..127, on the
// usual 40 log10 curve.
static const std::array<uint8_t, 128> kAttenuation = [] {
    std::array<uint8_t, 128> t{};
    for (int i = 0; i < 128; i++) {
        double db = i == 0 ? 96.0 : -40.0 * std::log10(i / 127.0);
        int steps = static_cast<int>(db / 0.75 + 0.5);
        t[i] = static_cast<uint8_t>(steps > 63 ? 63 : steps);
    }
    return t;
}();

static int RegBank(int voice)
{
    return voice >= 9 ? 0x100 : 0;
}

static int OpReg(int voice, int base, int op)
{
    return RegBank(voice) + base + kOpSlot[voice % 9] + (op ? 3 : 0);
}

static int ChanReg(int voice, int base)
{
    return RegBank(voice) + base + voice % 9;
}

static int PairOf(int voice)
{
    for (int p = 0; p < kPairs; p++)
        if (voice == kPairFirst[p] || voice == kPairFirst[p] + 3) return p;
    return -1;
}

// ---------------------------------------------------------------------------------------
// The bank

static void ReadHalf(const uint8_t* p, OPL_HALF* h)
{
    memcpy(h->mod, p, 5);
    memcpy(h->car, p + 5, 5);
    h->fbconn = p[10] & 0x0F;
    h->noteoffset = static_cast<int8_t>(p[11]);
}

bool OPL_LoadBank(const uint8_t* data, int size)
{
    if (!data || size < OPLBANK_SIZE || memcmp(data, "VOPL", 4) != 0) return false;
    if ((data[4] | (data[5] << 8)) != OPLBANK_MELODIC ||
        (data[6] | (data[7] << 8)) != OPLBANK_PERCUSSION)
        return false;
    for (int i = 0; i < OPLBANK_MELODIC + OPLBANK_PERCUSSION; i++) {
        const uint8_t* r = data + OPLBANK_HEADER + i * OPLBANK_RECORD;
        OPL_INSTR& in = opl_bank[i];
        in.flags = r[0] & (OPLBANK_FOUROP | OPLBANK_DOUBLE);
        in.drumnote = r[1] & 0x7F;
        in.finetune = static_cast<int8_t>(r[2]);
        ReadHalf(r + 4, &in.half[0]);
        ReadHalf(r + 18, &in.half[1]);
    }
    opl_bankloaded = 1;
    return true;
}

void LoadInstrumentTable(void)
{
    if (opl_bankloaded) return;
    int size = GLB_ItemSize(OPLBANK_ITEM);
    uint8_t* data = GLB_GetItem(OPLBANK_ITEM);
    OPL_LoadBank(data, size);
    GLB_FreeItem(OPLBANK_ITEM);
}

const OPL_INSTR* OPL_Instrument(int program, bool percussion, int key)
{
    if (!percussion) return &opl_bank[program & 0x7F];
    int k = key - OPLBANK_FIRSTDRUM;
    if (k < 0 || k >= OPLBANK_PERCUSSION) return nullptr;
    return &opl_bank[OPLBANK_MELODIC + k];
}

// ---------------------------------------------------------------------------------------
// Voices

static void ResetChannel(OPL_CHAN* c)
{
    c->volume = 100;
    c->expression = 127;
    c->pan = 64;
    c->bend = kBendCentre;
    c->sustain = false;
}

static void KeyOffVoice(int v)
{
    OPL_VOICE& vo = opl_voices[v];
    OPL_WriteReg(ChanReg(v, 0xA0), vo.blockfnum & 0xFF);
    OPL_WriteReg(ChanReg(v, 0xB0), (vo.blockfnum >> 8) & 0x1F);
    vo.keyed = false;
    vo.sustained = false;
    vo.stamp = ++opl_clock;
}

// Cuts a voice at once: fastest release, then key off.
static void SilenceVoice(int v)
{
    for (int op = 0; op < 2; op++)
        OPL_WriteReg(OpReg(v, 0x80, op), 0x0F);
    KeyOffVoice(v);
}

static void FreeVoice(int v)
{
    OPL_VOICE& vo = opl_voices[v];
    if (vo.keyed) SilenceVoice(v);
    if (vo.fourop) {
        opl_voices[v + 3].chan = -1;
        opl_voices[v + 3].partner = false;
    }
    vo.chan = -1;
    vo.fourop = vo.partner = false;
}

static void SetFourOp(int pair, bool on)
{
    int bit = 1 << pair;
    int mask = on ? (opl_fourmask | bit) : (opl_fourmask & ~bit);
    if (mask == opl_fourmask) return;
    opl_fourmask = mask;
    OPL_WriteReg(0x104, opl_fourmask);
}

// A voice is busy while keyed, held by the pedal, or part of a four-operator voice that is.
static bool VoiceBusy(int v)
{
    const OPL_VOICE& vo = opl_voices[v];
    if (vo.partner) return VoiceBusy(v - 3);
    return vo.chan >= 0 && (vo.keyed || vo.sustained);
}

static int Alloc2Op(void)
{
    int best = -1;
    bool bestbusy = true;
    uint32_t beststamp = 0;
    for (int v = 0; v < kVoices; v++) {
        bool busy = VoiceBusy(v);
        uint32_t stamp = opl_voices[v].partner ? opl_voices[v - 3].stamp : opl_voices[v].stamp;
        // Free voices first, the longest released; otherwise the oldest note gives way.
        if (best < 0 || (!busy && bestbusy) || (busy == bestbusy && stamp < beststamp)) {
            best = v;
            bestbusy = busy;
            beststamp = stamp;
        }
    }
    int owner = opl_voices[best].partner ? best - 3 : best;
    FreeVoice(owner);
    if (owner != best) FreeVoice(best);
    int pair = PairOf(best);
    if (pair >= 0 && (opl_fourmask & (1 << pair))) {
        int first = kPairFirst[pair];
        FreeVoice(first);
        FreeVoice(first + 3);
        SetFourOp(pair, false);
    }
    return best;
}

static int Alloc4Op(void)
{
    int best = -1;
    bool bestbusy = true;
    uint32_t beststamp = 0;
    for (int p = 0; p < kPairs; p++) {
        int a = kPairFirst[p], b = a + 3;
        bool busy = VoiceBusy(a) || VoiceBusy(b);
        uint32_t stamp =
            opl_voices[a].stamp < opl_voices[b].stamp ? opl_voices[a].stamp : opl_voices[b].stamp;
        if (best < 0 || (!busy && bestbusy) || (busy == bestbusy && stamp < beststamp)) {
            best = p;
            bestbusy = busy;
            beststamp = stamp;
        }
    }
    int a = kPairFirst[best];
    // Whatever used the two channels (two-operator voices or another voice's partner) ends.
    for (int v : {a, a + 3}) {
        int owner = opl_voices[v].partner ? v - 3 : v;
        FreeVoice(owner);
        FreeVoice(v);
    }
    SetFourOp(best, true);
    return a;
}

// Which operators of a voice reach the output, given its connection.
static void OutputOps(const OPL_VOICE& vo, bool out[4])
{
    const OPL_INSTR* in = vo.instr;
    out[0] = out[1] = out[2] = out[3] = false;
    if (vo.fourop) {
        int c1 = in->half[0].fbconn & 1, c2 = in->half[1].fbconn & 1;
        out[3] = true;
        if (c1 && !c2) out[0] = true;
        if (!c1 && c2) out[1] = true;
        if (c1 && c2) out[0] = out[2] = true;
    } else {
        out[1] = true;
        if (in->half[vo.half].fbconn & 1) out[0] = true;
    }
}

static void WriteLevels(int v)
{
    OPL_VOICE& vo = opl_voices[v];
    const OPL_CHAN& c = opl_chans[vo.chan];
    int extra = kAttenuation[vo.velocity] + kAttenuation[c.volume] + kAttenuation[c.expression];
    bool out[4];
    OutputOps(vo, out);
    for (int op = 0; op < (vo.fourop ? 4 : 2); op++) {
        const OPL_HALF& h = vo.instr->half[vo.fourop ? op / 2 : vo.half];
        uint8_t reg = (op & 1) ? h.car[1] : h.mod[1];
        int level = reg & 0x3F;
        if (out[op]) level += extra;
        if (level > 63) level = 63;
        int target = vo.fourop ? v + (op / 2) * 3 : v;
        OPL_WriteReg(OpReg(target, 0x40, op & 1), (reg & 0xC0) | level);
    }
}

static int PanBits(int pan)
{
    if (pan < 43) return 0x10; // left only
    if (pan > 84) return 0x20; // right only
    return 0x30;
}

static void WritePan(int v)
{
    OPL_VOICE& vo = opl_voices[v];
    int bits = PanBits(opl_chans[vo.chan].pan);
    if (vo.fourop) {
        OPL_WriteReg(ChanReg(v, 0xC0), vo.instr->half[0].fbconn | bits);
        OPL_WriteReg(ChanReg(v + 3, 0xC0), (vo.instr->half[1].fbconn & 1) | bits);
    } else {
        OPL_WriteReg(ChanReg(v, 0xC0), vo.instr->half[vo.half].fbconn | bits);
    }
}

static void WriteOperators(int v, const OPL_HALF& h)
{
    static constexpr int kBases[5] = {0x20, 0x40, 0x60, 0x80, 0xE0};
    for (int i = 0; i < 5; i++) {
        OPL_WriteReg(OpReg(v, kBases[i], 0), h.mod[i]);
        OPL_WriteReg(OpReg(v, kBases[i], 1), h.car[i]);
    }
}

static int BlockFnum(double semis)
{
    double freq = 440.0 * std::pow(2.0, (semis - 69.0) / 12.0);
    for (int block = 0; block < 8; block++) {
        double fnum = freq * static_cast<double>(1 << (20 - block)) / OPL_CHIP_RATE;
        if (fnum < 1023.5) return (block << 10) | static_cast<int>(fnum + 0.5);
    }
    return (7 << 10) | 1023;
}

static void WriteFrequency(int v)
{
    OPL_VOICE& vo = opl_voices[v];
    const OPL_CHAN& c = opl_chans[vo.chan];
    const OPL_INSTR* in = vo.instr;
    double key = vo.chan == MUS_PERCUSSION ? in->drumnote : vo.note;
    key += in->half[vo.half].noteoffset;
    if (vo.half == 1) key += in->finetune / 64.0;
    key += (c.bend - kBendCentre) / 128.0 * kBendRange;
    vo.blockfnum = BlockFnum(key);
    OPL_WriteReg(ChanReg(v, 0xA0), vo.blockfnum & 0xFF);
    OPL_WriteReg(ChanReg(v, 0xB0),
                 ((vo.blockfnum >> 8) & 0x1F) | (vo.keyed || vo.sustained ? 0x20 : 0));
}

static void StartVoice(int v, int chan, int note, int velocity, const OPL_INSTR* in, int half,
                       bool fourop)
{
    OPL_VOICE& vo = opl_voices[v];
    vo.chan = chan;
    vo.note = note;
    vo.instr = in;
    vo.half = half;
    vo.fourop = fourop;
    vo.partner = false;
    vo.velocity = velocity;
    vo.sustained = false;
    vo.stamp = ++opl_clock;
    WriteOperators(v, in->half[half]);
    if (fourop) {
        WriteOperators(v + 3, in->half[1]);
        opl_voices[v + 3].chan = chan;
        opl_voices[v + 3].partner = true;
        opl_voices[v + 3].keyed = false;
    }
    WriteLevels(v);
    WritePan(v);
    vo.keyed = true;
    WriteFrequency(v);
}

// ---------------------------------------------------------------------------------------
// The back-end operations

int I_OPL_InitMusic(int)
{
    if (opl_initcount++ > 0) return 1;
    OPL_Init(fx_freq);
    OPL_WriteReg(0x105, 0x01); // OPL3 mode: stereo and every waveform
    OPL_WriteReg(0x104, 0x00);
    OPL_WriteReg(0x001, 0x20);
    OPL_WriteReg(0x0BD, 0x00);
    opl_fourmask = 0;
    opl_clock = 0;
    for (OPL_VOICE& vo : opl_voices)
        vo = OPL_VOICE{-1, 0, nullptr, 0, false, false, false, false, 0, 0, 0};
    for (OPL_CHAN& c : opl_chans) {
        c.program = 0;
        ResetChannel(&c);
    }
    return 1;
}

void I_OPL_ShutdownMusic(void)
{
    if (opl_initcount <= 0 || --opl_initcount > 0) return;
    for (int v = 0; v < kVoices; v++)
        if (opl_voices[v].keyed) SilenceVoice(v);
}

void I_OPL_Mix(int16_t* frame, int count)
{
    if (opl_initcount <= 0) return;
    OPL_Render(frame, count);
}

static void ReleaseVoice(int v)
{
    if (opl_chans[opl_voices[v].chan].sustain) {
        opl_voices[v].keyed = false;
        opl_voices[v].sustained = true;
        // The key stays down on the chip until the pedal is lifted.
        return;
    }
    KeyOffVoice(v);
}

void I_OPL_KeyOff(int chan, int note)
{
    if (opl_initcount <= 0) return;
    for (int v = 0; v < kVoices; v++) {
        OPL_VOICE& vo = opl_voices[v];
        if (vo.chan == chan && vo.note == note && vo.keyed && !vo.partner) ReleaseVoice(v);
    }
}

void I_OPL_KeyOn(int chan, int note, int velocity)
{
    if (opl_initcount <= 0 || chan < 0 || chan >= MUS_CHANNELS) return;
    note &= 0x7F;
    velocity &= 0x7F;
    if (velocity == 0) {
        I_OPL_KeyOff(chan, note);
        return;
    }
    bool drums = chan == MUS_PERCUSSION;
    const OPL_INSTR* in = OPL_Instrument(opl_chans[chan].program, drums, note);
    if (!in) return;
    // The same key struck again ends its previous note.
    for (int v = 0; v < kVoices; v++) {
        OPL_VOICE& vo = opl_voices[v];
        if (vo.chan == chan && vo.note == note && !vo.partner && (vo.keyed || vo.sustained))
            KeyOffVoice(v);
    }
    if (in->flags & OPLBANK_FOUROP) {
        StartVoice(Alloc4Op(), chan, note, velocity, in, 0, true);
        return;
    }
    StartVoice(Alloc2Op(), chan, note, velocity, in, 0, false);
    if (in->flags & OPLBANK_DOUBLE) StartVoice(Alloc2Op(), chan, note, velocity, in, 1, false);
}

void I_OPL_Controller(int chan, int ctrl, int value)
{
    if (opl_initcount <= 0 || chan < 0 || chan >= MUS_CHANNELS) return;
    OPL_CHAN& c = opl_chans[chan];
    value &= 0x7F;
    switch (ctrl) {
    case MUS_CTRL_VOLUME:
    case MUS_CTRL_EXPRESSION:
        (ctrl == MUS_CTRL_VOLUME ? c.volume : c.expression) = value;
        for (int v = 0; v < kVoices; v++)
            if (opl_voices[v].chan == chan && !opl_voices[v].partner &&
                (opl_voices[v].keyed || opl_voices[v].sustained))
                WriteLevels(v);
        break;
    case MUS_CTRL_PAN:
        c.pan = value;
        for (int v = 0; v < kVoices; v++)
            if (opl_voices[v].chan == chan && !opl_voices[v].partner) WritePan(v);
        break;
    case MUS_CTRL_SUSTAIN:
        c.sustain = value >= 64;
        if (!c.sustain)
            for (int v = 0; v < kVoices; v++)
                if (opl_voices[v].chan == chan && opl_voices[v].sustained) KeyOffVoice(v);
        break;
    case MUS_CTRL_SOUNDSOFF:
        for (int v = 0; v < kVoices; v++)
            if (opl_voices[v].chan == chan && !opl_voices[v].partner) FreeVoice(v);
        break;
    case MUS_CTRL_NOTESOFF:
        I_OPL_AllNotesOff(chan, 0);
        break;
    case MUS_CTRL_RESET:
        ResetChannel(&c);
        for (int v = 0; v < kVoices; v++)
            if (opl_voices[v].chan == chan && opl_voices[v].sustained) KeyOffVoice(v);
        break;
    default:
        break;
    }
}

void I_OPL_PitchBend(int chan, int value)
{
    if (opl_initcount <= 0 || chan < 0 || chan >= MUS_CHANNELS) return;
    opl_chans[chan].bend = value & 0xFF;
    for (int v = 0; v < kVoices; v++)
        if (opl_voices[v].chan == chan && !opl_voices[v].partner &&
            (opl_voices[v].keyed || opl_voices[v].sustained))
            WriteFrequency(v);
}

void I_OPL_ProgramChange(int chan, int program)
{
    if (chan < 0 || chan >= MUS_CHANNELS) return;
    opl_chans[chan].program = program & 0x7F;
}

void I_OPL_AllNotesOff(int chan, int)
{
    if (opl_initcount <= 0 || chan < 0 || chan >= MUS_CHANNELS) return;
    for (int v = 0; v < kVoices; v++) {
        OPL_VOICE& vo = opl_voices[v];
        if (vo.chan == chan && !vo.partner && (vo.keyed || vo.sustained)) KeyOffVoice(v);
    }
}

int I_OPL_ActiveVoices(void)
{
    int n = 0;
    for (const OPL_VOICE& vo : opl_voices)
        if (vo.chan >= 0 && !vo.partner && vo.keyed) n++;
    return n;
}
