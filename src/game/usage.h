// The game's command-line help and version, and the manual page made from the same text.
#pragma once

#include "game/manual.h"

extern const MAN_PAGE vul_manual;
// The release, as "0.8.2".
extern const char vul_version[];

// Answers --help (or -h) and --version when any word of the command line asks for it:
// prints to standard output and returns true, and the caller ends the program before
// anything opens. Returns false for every other command line.
bool VUL_HelpWords(int argc, char* argv[]);
