#include "glbtool_manual.h"

namespace
{

constexpr const char* kUsage[] = {
    "list {FILE} [--slot {N}]",
    "extract {FILE} {DIR}",
    "pack {OUT} {LISTFILE}",
    "verify {FILE} ...",
    "--help",
};

constexpr MAN_ITEM kCommands[] = {
    {"list {FILE} [--slot {N}]",
     "Show the directory: index, item id, length, whether the data is stored scrambled, and "
     "label. The archive slot of the ids is taken from the digits of the file name "
     "(FILE0003.GLB is slot 3) unless --slot gives {N}."},
    {"extract {FILE} {DIR}",
     "Write every item with data to {DIR} as one file each, and a list file {DIR}/items.lst that "
     "pack accepts, so that extract and pack give back the same archive."},
    {"pack {OUT} {LISTFILE}", "Build the archive {OUT} from a list file (format below)."},
    {"verify {FILE} ...",
     "Check the structure of each archive and report every problem; the exit status is 1 when "
     "any was found."},
    {"--help, -h", "Show this text."},
};

constexpr MAN_ITEM kListKinds[] = {
    {"plain  {LABEL} {FILE}", "An item whose data is {FILE}, stored as it is."},
    {"scrambled  {LABEL} {FILE}", "An item whose data is {FILE}, stored scrambled."},
    {"label  {LABEL}", "An entry with a label and no data."},
};

constexpr MAN_SECTION kSections[] = {
    {"Commands", nullptr, kCommands, nullptr},
    {"List file format", "One directory entry per line, in directory order:", kListKinds,
     "Blank lines and lines starting with # are ignored. Words are separated by blanks; a word "
     "containing blanks, quotes or backslashes, or an empty word, is written in double quotes, "
     "where \\\" is a quote, \\\\ a backslash and \\xHH any byte. Labels are at most 15 "
     "characters and case-sensitive; \"\" is an empty label. A {FILE} that is not an absolute "
     "path is taken relative to the folder of the list file."},
    {"Exit status",
     "0 success, 1 problems found (verify, extract of a damaged archive), 2 wrong usage or a "
     "file that cannot be read or written.",
     {},
     nullptr},
    {"See also",
     "vultar(6): the game that reads the archives FILE0000.GLB ... FILE0004.GLB.",
     {},
     nullptr},
};

} // namespace

const MAN_PAGE glbtool_manual = {
    "glbtool",
    1,
    "list, extract, pack and verify Vultar's resource archives",
    kUsage,
    "glbtool works on the game's resource archives FILE0000.GLB ... FILE0004.GLB, so that "
    "modders can look inside them, replace items and pack them again. Archives are checked "
    "with the same routines the game uses when it opens them, so verify and the game agree on "
    "what a damaged archive is.",
    kSections,
};
