// The sound content of the data set: every effect with its device variants, the OPL
// instrument bank and the songs, all made here from our own synthesis and compositions.
// The same sources always give the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sndgen
{

using Bytes = std::vector<uint8_t>;

// The item bytes of an effect's variant: 1 the speaker variant (a type that is never
// played), 2 the tone sequence for the FM and MIDI effect devices, 3 unused, 4 the
// 8-bit digital sample at 11,025 Hz. Unknown labels give a silent sample.
Bytes EffectVariant(const std::string& label, int variant);
// The digital sample alone (unsigned 8-bit, 128 = silence), for listening and tests.
std::vector<uint8_t> EffectSamples(const std::string& label);
// Every effect label, in archive order.
const std::vector<std::string>& EffectLabels();

// The OPL instrument bank (header and 175 records; layout in sound/i_oplmusic.h).
Bytes OplBank();

// Song items 83..97 of archive 0.
Bytes Song(int number);
constexpr int FIRST_SONG = 83;
constexpr int LAST_SONG = 97;

// ---- Writing songs --------------------------------------------------------------------

// One event at an absolute sequencer tick (70 per second).
struct SongEvent {
    uint32_t tick;
    int type;    // 0 release, 1 play, 2 pitch bend, 3 system, 4 controller
    int channel; // 0..15, 15 is percussion
    int a;       // note, bend value or controller number
    int b;       // velocity or controller value (-1: a note with the channel's last velocity)
};

// Encodes events (sorted stably by tick here) into a song item whose score ends at
// `endtick`; `channels` is the number of primary channels. Velocities are written only
// where they change on a channel.
Bytes EncodeSong(std::vector<SongEvent> events, uint32_t endtick, int channels);

// Reads a song item back into events (for checks): false when it is malformed. The
// loop length in ticks (the time from the first event to the end of the score) goes to
// *length.
bool DecodeSong(const Bytes& song, std::vector<SongEvent>* events, uint32_t* length);

// Converts a standard MIDI file (format 0 or 1) to a song item; false with a reason in
// *err when the file is damaged, of another format, or too long for the song format.
bool MidiToSong(const uint8_t* data, size_t size, Bytes* song, std::string* err);

} // namespace sndgen
