#include "scenetool_manual.h"

namespace
{

constexpr const char* kUsage[] = {
    "encode {PREFIX} {FRAME.png} ...",
    "decode {PALETTE} {PREFIX} {ITEM} ...",
    "--help",
};

constexpr MAN_ITEM kCommands[] = {
    {"encode {PREFIX} {FRAME.png} ...",
     "Each {FRAME.png} is a 320 x 200 palettised PNG whose colour indices are the game "
     "palette's. Writes one item per frame, {PREFIX}000.bin, {PREFIX}001.bin and on: the first "
     "led by its fill colour (the item that opens a scene), each later one the runs that "
     "change the frame before it."},
    {"decode {PALETTE} {PREFIX} {ITEM} ...",
     "Plays the {ITEM}s as one pass of a scene (the first with its fill colour) and writes "
     "each frame as {PREFIX}000.png and on, in the colours of {PALETTE}: the 768-byte palette "
     "item, red, green and blue of 0 ... 63 for each of the 256 colours."},
    {"--help, -h", "Show this text."},
};

constexpr MAN_SECTION kSections[] = {
    {"Commands", nullptr, kCommands, nullptr},
    {"Replacing a scene",
     "Extract the archive that holds the scene with glbtool extract. A scene is a run of "
     "consecutive entries in the list file items.lst, and the game palette is the first item "
     "of FILE0001.GLB. Decode the scene's items to see its frames, draw the new frames in the "
     "same palette, as many as the scene has (the game plays a fixed number of frames for "
     "each scene), and encode them. Copy the new items over the scene's item files, in "
     "order, or point the scene's lines in items.lst at them, and build the archive again "
     "with glbtool pack.\n\nEvery scene plays in the palette the game loads at start-up, so "
     "only the colour indices of the pictures count; the colours stored in them are not "
     "read.",
     {},
     nullptr},
    {"Exit status",
     "0 success, 1 a picture, item or palette that cannot be read or is not a frame, or a "
     "file that cannot be written, 2 wrong usage.",
     {},
     nullptr},
    {"See also",
     "glbtool(1): list, extract, pack and verify the archives; vultar(6): the game that plays "
     "the scenes.",
     {},
     nullptr},
};

} // namespace

const MAN_PAGE scenetool_manual = {
    "scenetool",
    1,
    "convert Vultar's cut-scene frames to pictures and back",
    kUsage,
    "scenetool converts the frames of the game's cut-scenes between palettised PNG pictures "
    "and the frame-delta items the game plays, so that a scene can be drawn by hand and put "
    "into an archive with glbtool(1).",
    kSections,
};
