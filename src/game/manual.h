// A program's manual, written once and printed two ways: as the --help text and as its
// manual page. Both come from the same tables, so they always say the same thing.
//
// Texts are plain words. A word written {LIKE_THIS} is a placeholder the user fills in:
// the help shows it as LIKE_THIS, the manual page in italics. A blank line ("\n\n")
// starts a new paragraph.
#pragma once

#include <cstdio>
#include <span>

struct MAN_ITEM {
    const char* term; // the word, key or file being explained
    const char* text;
};

struct MAN_SECTION {
    const char* title; // "Command line"; the manual page shows it in capitals
    const char* text;  // paragraphs before the items, or null
    std::span<const MAN_ITEM> items;
    const char* after; // paragraphs after the items, or null
};

struct MAN_PAGE {
    const char* name;                   // the program's name
    int section;                        // manual section: 1 for commands, 6 for games
    const char* summary;                // one line: what the program is
    std::span<const char* const> usage; // the ways to call it, without the name
    const char* description;
    std::span<const MAN_SECTION> sections;
};

// The help text, wrapped to 79 columns.
void MAN_PrintHelp(const MAN_PAGE& page, FILE* out);
// The manual page in the man macros; version and date go into its title line.
void MAN_WriteRoff(const MAN_PAGE& page, const char* version, const char* date, FILE* out);
