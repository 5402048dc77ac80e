// Shows an 80x25 text screen (4000 bytes of character and attribute pairs, as stored in
// the archives) in the text-mode window until a key is pressed: a preview for whoever
// draws the closing screen.
//
//   lastscr SCREEN.BIN [--fullscreen]
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "gfx/i_lastscr.h"
#include "textui/txt_main.h"

int main(int argc, char* argv[])
{
    if (argc < 2) {
        fprintf(stderr, "usage: %s SCREEN.BIN\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        fprintf(stderr, "lastscr: cannot open %s\n", argv[1]);
        return 1;
    }
    std::vector<uint8_t> cells((std::istreambuf_iterator<char>(in)), {});
    if (cells.size() != TXT_SCREEN_BYTES)
        fprintf(stderr, "lastscr: %s has %zu bytes, not %d\n", argv[1], cells.size(),
                TXT_SCREEN_BYTES);
    I_LASTSCR(cells.data(), cells.size());
    return 0;
}
