// Standard MIDI files (formats 0 and 1) to the song format, so players can bring their own
// music: tempo changes are followed exactly, channels and controllers are mapped to the
// song format's numbering, and anything the sequencer has no event for is left out.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "sndgen.h"

namespace sndgen
{
namespace
{

struct Reader {
    const uint8_t* p;
    size_t size, pos = 0;
    bool ok = true;

    int Byte()
    {
        if (pos >= size) {
            ok = false;
            return 0;
        }
        return p[pos++];
    }
    uint32_t Be(int n)
    {
        uint32_t v = 0;
        for (int i = 0; i < n; i++)
            v = (v << 8) | static_cast<uint32_t>(Byte());
        return v;
    }
    uint32_t Vlq()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; i++) {
            int b = Byte();
            v = (v << 7) | (b & 0x7F);
            if (!(b & 0x80)) return v;
        }
        ok = false; // longer than the format allows
        return v;
    }
    void Skip(size_t n)
    {
        if (n > size - pos) {
            ok = false;
            pos = size;
        } else {
            pos += n;
        }
    }
};

struct Raw {
    uint64_t tick;
    int order; // file order, to keep simultaneous events in sequence
    int status, d1, d2;
    uint32_t tempo; // for tempo events (status 0x51)
};

// Song-format channel of a MIDI channel: 9 (percussion) becomes 15, 10..15 move down one.
int SongChannel(int midi)
{
    if (midi == 9) return 15;
    return midi > 9 ? midi - 1 : midi;
}

// Song-format controller of a MIDI controller, or -1.
int SongController(int cc)
{
    switch (cc) {
    case 0:
        return 1;
    case 1:
        return 2;
    case 7:
        return 3;
    case 10:
        return 4;
    case 11:
        return 5;
    case 91:
        return 6;
    case 93:
        return 7;
    case 64:
        return 8;
    case 67:
        return 9;
    default:
        return -1;
    }
}

// System events: all sounds off, all notes off, mono, poly, reset all controllers.
int SongSystem(int cc)
{
    switch (cc) {
    case 120:
        return 10;
    case 123:
        return 11;
    case 126:
        return 12;
    case 127:
        return 13;
    case 121:
        return 14;
    default:
        return -1;
    }
}

bool Fail(std::string* err, const char* what)
{
    if (err) *err = what;
    return false;
}

} // namespace

bool MidiToSong(const uint8_t* data, size_t size, Bytes* song, std::string* err)
{
    Reader r{data, size};
    if (size < 14 || r.Be(4) != 0x4D546864 /* MThd */) return Fail(err, "not a MIDI file");
    uint32_t hlen = r.Be(4);
    int format = static_cast<int>(r.Be(2));
    int tracks = static_cast<int>(r.Be(2));
    int division = static_cast<int>(r.Be(2));
    if (hlen < 6 || !r.ok) return Fail(err, "damaged header");
    r.Skip(hlen - 6);
    if (format > 1) return Fail(err, "only formats 0 and 1 are supported");
    if (division == 0) return Fail(err, "no time division");
    bool smpte = division & 0x8000;
    double ticksPerSecondSmpte = 0;
    if (smpte) {
        int fps = -static_cast<int8_t>(division >> 8);
        int sub = division & 0xFF;
        if (fps <= 0 || sub <= 0) return Fail(err, "bad time division");
        ticksPerSecondSmpte = (fps == 29 ? 29.97 : fps) * sub;
    }

    std::vector<Raw> raw;
    int order = 0;
    for (int t = 0; t < tracks && r.ok && r.pos < size; t++) {
        uint32_t id = r.Be(4);
        uint32_t len = r.Be(4);
        if (!r.ok || len > size - r.pos) return Fail(err, "damaged track");
        if (id != 0x4D54726B /* MTrk */) {
            r.Skip(len);
            t--;
            continue;
        }
        Reader tr{data + r.pos, len};
        r.Skip(len);
        uint64_t tick = 0;
        int running = 0;
        while (tr.ok && tr.pos < tr.size) {
            tick += tr.Vlq();
            int status = tr.Byte();
            if (status < 0x80) { // running status: this byte was data
                if (!running) return Fail(err, "data without a status");
                tr.pos--;
                status = running;
            }
            if (status == 0xFF) {
                int type = tr.Byte();
                uint32_t mlen = tr.Vlq();
                if (!tr.ok || mlen > tr.size - tr.pos) return Fail(err, "damaged meta event");
                if (type == 0x51 && mlen == 3) {
                    uint32_t us = (tr.p[tr.pos] << 16) | (tr.p[tr.pos + 1] << 8) | tr.p[tr.pos + 2];
                    if (us > 0) raw.push_back({tick, order++, 0x51, 0, 0, us});
                }
                if (type == 0x2F) raw.push_back({tick, order++, 0x2F, 0, 0, 0});
                tr.Skip(mlen);
                continue;
            }
            if (status == 0xF0 || status == 0xF7) {
                tr.Skip(tr.Vlq());
                continue;
            }
            if (status >= 0xF0) return Fail(err, "unexpected system message");
            running = status;
            int d1 = tr.Byte();
            int d2 = (status & 0xE0) == 0xC0 ? 0 : tr.Byte();
            raw.push_back({tick, order++, status, d1 & 0x7F, d2 & 0x7F, 0});
        }
        if (!tr.ok) return Fail(err, "a track ends inside an event");
    }
    if (raw.empty()) return Fail(err, "no events");
    std::stable_sort(raw.begin(), raw.end(),
                     [](const Raw& a, const Raw& b) { return a.tick < b.tick; });

    // Walk the tempo map: MIDI ticks to seconds to sequencer ticks.
    std::vector<SongEvent> events;
    uint64_t lasttick = 0;
    double seconds = 0;
    double secPerTick = smpte ? 1.0 / ticksPerSecondSmpte : 0.5 / division; // 120 bpm
    uint32_t end = 0;
    int maxchan = 0;
    auto at = [&](uint64_t tick) {
        seconds += (tick - lasttick) * secPerTick;
        lasttick = tick;
        return static_cast<uint32_t>(std::lround(seconds * 70.0));
    };
    for (const Raw& e : raw) {
        uint32_t t = at(e.tick);
        end = std::max(end, t);
        if (e.status == 0x51) {
            if (!smpte) secPerTick = e.tempo / 1e6 / division;
            continue;
        }
        if (e.status == 0x2F) continue;
        int ch = SongChannel(e.status & 15);
        switch (e.status & 0xF0) {
        case 0x80:
            events.push_back({t, 0, ch, e.d1, 0});
            break;
        case 0x90:
            events.push_back({t, e.d2 ? 1 : 0, ch, e.d1, e.d2});
            break;
        case 0xB0: {
            int c = SongController(e.d1);
            int s = SongSystem(e.d1);
            if (c >= 0) events.push_back({t, 4, ch, c, e.d2});
            if (s >= 0) events.push_back({t, 3, ch, s, 0});
            break;
        }
        case 0xC0:
            events.push_back({t, 4, ch, 0, e.d1});
            break;
        case 0xE0:
            events.push_back({t, 2, ch, ((e.d2 << 7) | e.d1) >> 6, 0});
            break;
        default:
            continue;
        }
        if (ch != 15) maxchan = std::max(maxchan, ch + 1);
    }
    if (end == 0) end = 1; // a loop needs some time in it
    *song = EncodeSong(events, end, std::max(maxchan, 1));
    if (song->size() - 16 > 0xFFFF)
        return Fail(err, "too long for the song format (64 KiB of events)");
    return true;
}

} // namespace sndgen
