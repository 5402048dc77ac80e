// Encoding and decoding of the song format: one event byte (bit 7 a delay follows, bits
// 4..6 the type, bits 0..3 the channel), its data, and delays as 7-bit groups.
#include <algorithm>
#include <array>

#include "sndgen.h"

namespace sndgen
{

static void PutDelay(Bytes& out, uint32_t ticks)
{
    uint8_t groups[5];
    int n = 0;
    do {
        groups[n++] = ticks & 0x7F;
        ticks >>= 7;
    } while (ticks);
    while (n-- > 0)
        out.push_back(static_cast<uint8_t>(groups[n] | (n ? 0x80 : 0)));
}

Bytes EncodeSong(std::vector<SongEvent> events, uint32_t endtick, int channels)
{
    // Within one tick: releases, then controllers, bends, and the new notes last, so a
    // note struck again right after its release is not cut off.
    auto rank = [](int type) { return type == 0 ? 0 : (type == 1 ? 3 : (type == 2 ? 2 : 1)); };
    std::stable_sort(events.begin(), events.end(), [&](const SongEvent& x, const SongEvent& y) {
        return x.tick != y.tick ? x.tick < y.tick : rank(x.type) < rank(y.type);
    });
    Bytes score;
    std::array<int, 16> lastvel;
    lastvel.fill(-1);
    size_t lastev = SIZE_MAX; // position of the event byte that owns the next delay
    uint32_t now = 0;
    auto advance = [&](uint32_t to) {
        if (to <= now) return;
        if (lastev == SIZE_MAX) {
            // A delay before the first event hangs on an ignored event.
            lastev = score.size();
            score.push_back(0x50);
        }
        score[lastev] |= 0x80;
        PutDelay(score, to - now);
        now = to;
    };
    for (const SongEvent& e : events) {
        advance(e.tick);
        lastev = score.size();
        int ch = e.channel & 15;
        score.push_back(static_cast<uint8_t>((e.type & 7) << 4 | ch));
        switch (e.type) {
        case 0:
            score.push_back(static_cast<uint8_t>(e.a & 0x7F));
            break;
        case 1:
            if (e.b >= 0 && e.b != lastvel[ch]) {
                score.push_back(static_cast<uint8_t>(0x80 | (e.a & 0x7F)));
                score.push_back(static_cast<uint8_t>(e.b & 0x7F));
                lastvel[ch] = e.b & 0x7F;
            } else {
                score.push_back(static_cast<uint8_t>(e.a & 0x7F));
            }
            break;
        case 2:
            score.push_back(static_cast<uint8_t>(e.a & 0xFF));
            break;
        case 3:
            score.push_back(static_cast<uint8_t>(e.a));
            break;
        case 4:
            score.push_back(static_cast<uint8_t>(e.a));
            score.push_back(static_cast<uint8_t>(e.b & 0x7F));
            break;
        default:
            break;
        }
    }
    advance(endtick);
    score.push_back(0x60);

    Bytes song(16 + score.size(), 0);
    auto put16 = [&](size_t at, size_t v) {
        song[at] = static_cast<uint8_t>(v);
        song[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    put16(4, score.size());
    put16(6, 16);
    put16(8, static_cast<size_t>(channels));
    std::copy(score.begin(), score.end(), song.begin() + 16);
    return song;
}

bool DecodeSong(const Bytes& song, std::vector<SongEvent>* events, uint32_t* length)
{
    if (song.size() < 10) return false;
    size_t len = song[4] | (song[5] << 8);
    size_t pos = song[6] | (song[7] << 8);
    if (pos < 10 || pos + len > song.size()) return false;
    size_t end = pos + len;
    uint32_t now = 0;
    std::array<int, 16> vel;
    vel.fill(127);
    auto next = [&](int* v) {
        if (pos >= end) return false;
        *v = song[pos++];
        return true;
    };
    for (;;) {
        int ev;
        if (!next(&ev)) return false;
        int type = (ev >> 4) & 7, ch = ev & 15, a = 0, b = 0;
        switch (type) {
        case 0:
        case 2:
        case 3:
            if (!next(&a)) return false;
            break;
        case 1:
            if (!next(&a)) return false;
            if (a & 0x80) {
                if (!next(&b)) return false;
                vel[ch] = b;
            }
            a &= 0x7F;
            b = vel[ch];
            break;
        case 4:
            if (!next(&a) || !next(&b)) return false;
            break;
        case 6:
            *length = now;
            return true;
        default:
            break;
        }
        if (type <= 4 && events) events->push_back({now, type, ch, a, b});
        if (ev & 0x80) {
            uint32_t d = 0;
            int byte;
            do {
                if (!next(&byte)) return false;
                d = (d << 7) | (byte & 0x7F);
            } while (byte & 0x80);
            now += d;
        }
    }
}

} // namespace sndgen
