// Converts arbitrary bytes as a standard MIDI file: the converter must refuse what it cannot
// read without reading outside the file, and what it writes must pass the song checks.
// fuzz-sources: ../tools/gen/sound/midifile.cpp ../tools/gen/sound/songwriter.cpp
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "../tools/gen/sound/sndgen.h"

extern "C" const char* __ubsan_default_options()
{
    return "halt_on_error=1:print_stacktrace=1";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> midi(data, data + size);
    sndgen::Bytes song;
    std::string err;
    if (!sndgen::MidiToSong(midi.data(), midi.size(), &song, &err)) return 0;
    std::vector<sndgen::SongEvent> events;
    uint32_t length = 0;
    if (song.size() - 16 <= 0xFFFF && !sndgen::DecodeSong(song, &events, &length)) abort();
    return 0;
}
