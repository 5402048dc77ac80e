#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "game/manual.h"
#include "game/usage.h"

namespace
{

template <typename Print> std::string Capture(Print print)
{
    char* buf = nullptr;
    size_t len = 0;
    FILE* f = open_memstream(&buf, &len);
    print(f);
    fclose(f);
    std::string out(buf, len);
    free(buf);
    return out;
}

constexpr const char* kUsage[] = {"[-v] {FILE} ...", "--help"};
constexpr MAN_ITEM kItems[] = {
    {"-v, --verbose", "Say more."},
    {"a-term-much-too-long-for-its-column", "Text under it."},
    {"{FILE}", ".starts with a dot, holds a back\\slash and {WORD}.\n\nSecond paragraph."},
};
constexpr MAN_SECTION kSections[] = {
    {"Options", "Before.", kItems, "After."},
};
const MAN_PAGE kPage = {"demo",
                        1,
                        "tries the formatter",
                        kUsage,
                        "A description long enough to need a second line when it is filled to "
                        "seventy-nine columns of text.",
                        kSections};

TEST(ManualTest, HelpIsFilledToTheWidthWithTermsInAColumn)
{
    std::string help = Capture([](FILE* f) { MAN_PrintHelp(kPage, f); });
    // Worked by hand: placeholders lose their braces, long terms push their text down,
    // paragraphs are separated by a blank line.
    const char* expected = "Usage: demo [-v] FILE ...\n"
                           "       demo --help\n"
                           "\n"
                           "demo - tries the formatter\n"
                           "\n"
                           "A description long enough to need a second line when it is filled "
                           "to\n"
                           "seventy-nine columns of text.\n"
                           "\n"
                           "Options:\n"
                           "  Before.\n"
                           "  -v, --verbose         Say more.\n"
                           "  a-term-much-too-long-for-its-column\n"
                           "                        Text under it.\n"
                           "  FILE                  .starts with a dot, holds a back\\slash and "
                           "WORD.\n"
                           "                        Second paragraph.\n"
                           "\n"
                           "  After.\n";
    EXPECT_EQ(help, expected);
}

TEST(ManualTest, RoffEscapesWhatTheMacrosWouldMisread)
{
    std::string roff = Capture([](FILE* f) { MAN_WriteRoff(kPage, "1.0", "2026-01-02", f); });
    const char* expected = ".TH DEMO 1 \"2026-01-02\" \"Vultar 1.0\" \"User Commands\"\n"
                           ".SH NAME\n"
                           "demo \\- tries the formatter\n"
                           ".SH SYNOPSIS\n"
                           "\\fBdemo\\fR [\\fB\\-v\\fR] \\fIFILE\\fR ...\n"
                           ".br\n"
                           "\\fBdemo\\fR \\fB\\-\\-help\\fR\n"
                           ".SH DESCRIPTION\n"
                           "A description long enough to need a second line when it is filled "
                           "to seventy-nine columns of text.\n"
                           ".SH OPTIONS\n"
                           "Before.\n"
                           ".TP\n"
                           "\\fB\\-v\\fR, \\fB\\-\\-verbose\\fR\n"
                           "Say more.\n"
                           ".TP\n"
                           "\\fBa-term-much-too-long-for-its-column\\fR\n"
                           "Text under it.\n"
                           ".TP\n"
                           "\\fIFILE\\fR\n"
                           "\\&.starts with a dot, holds a back\\eslash and \\fIWORD\\fR.\n"
                           ".IP\n"
                           "Second paragraph.\n"
                           ".PP\n"
                           "After.\n";
    EXPECT_EQ(roff, expected);
}

// Every line of the game's own help fits a terminal of 80 columns.
TEST(ManualTest, GameHelpFitsEightyColumns)
{
    std::string help = Capture([](FILE* f) { MAN_PrintHelp(vul_manual, f); });
    size_t start = 0;
    while (start < help.size()) {
        size_t end = help.find('\n', start);
        EXPECT_LE(end - start, 79u) << help.substr(start, end - start);
        start = end + 1;
    }
}

} // namespace
