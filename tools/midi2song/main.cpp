// midi2song IN.mid OUT.song: converts a standard MIDI file to the game's song format. The
// song loops at the end of the file's last track; MIDI channel 10 becomes the percussion
// channel. Put the result into an archive (glbtool) in place of one of songs 83..97.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sndgen.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: midi2song IN.mid OUT.song\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        fprintf(stderr, "midi2song: cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<uint8_t> midi((std::istreambuf_iterator<char>(in)), {});
    sndgen::Bytes song;
    std::string err;
    if (!sndgen::MidiToSong(midi.data(), midi.size(), &song, &err)) {
        fprintf(stderr, "midi2song: %s: %s\n", argv[1], err.c_str());
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(song.data()),
              static_cast<std::streamsize>(song.size()));
    if (!out) {
        fprintf(stderr, "midi2song: cannot write %s\n", argv[2]);
        return 1;
    }
    std::vector<sndgen::SongEvent> events;
    uint32_t length = 0;
    sndgen::DecodeSong(song, &events, &length);
    printf("%s: %zu events, %.1f s, %zu bytes\n", argv[2], events.size(), length / 70.0,
           song.size());
    return 0;
}
