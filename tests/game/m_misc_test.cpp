// The bounded string helpers: every result ends in a terminator inside the buffer, and the
// copy and append helpers say whether the whole text fitted. Buffers are filled with '#'
// first so a byte written past the text, or a missing terminator, shows.
#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "game/m_misc.h"

namespace
{

// The buffer as the caller sees it: up to its terminator, "<none>" without one.
std::string Text(const char* buf, size_t size)
{
    const void* end = memchr(buf, '\0', size);
    return end ? std::string(buf) : std::string("<none>");
}

TEST(MString, CopyKeepsWhatFitsAndSaysSo)
{
    char buf[8];
    memset(buf, '#', sizeof(buf));
    EXPECT_TRUE(M_StringCopy(buf, "", 4));
    EXPECT_EQ(Text(buf, 4), "");
    EXPECT_TRUE(M_StringCopy(buf, "abc", 4)); // three letters and the terminator: exact
    EXPECT_EQ(Text(buf, 4), "abc");
    memset(buf, '#', sizeof(buf));
    EXPECT_FALSE(M_StringCopy(buf, "abcd", 4));
    EXPECT_EQ(Text(buf, 4), "abc");
    EXPECT_EQ(buf[4], '#');
    EXPECT_FALSE(M_StringCopy(buf, "x", 0)); // no room at all: nothing written
    EXPECT_EQ(buf[0], 'a');
    EXPECT_FALSE(M_StringCopy(buf, "x", 1));
    EXPECT_EQ(Text(buf, 1), "");
}

TEST(MString, AppendFillsTheBufferExactlyAndNoFurther)
{
    char buf[8];
    memset(buf, '#', sizeof(buf));
    strcpy(buf, "abc");
    EXPECT_TRUE(M_StringConcat(buf, "", 6));
    EXPECT_TRUE(M_StringConcat(buf, "de", 6)); // "abcde" and its terminator: six bytes
    EXPECT_EQ(Text(buf, 6), "abcde");
    EXPECT_EQ(buf[6], '#');
    EXPECT_FALSE(M_StringConcat(buf, "f", 6));
    EXPECT_EQ(Text(buf, 6), "abcde");

    strcpy(buf, "ab");
    EXPECT_FALSE(M_StringConcat(buf, "cdefgh", 6));
    EXPECT_EQ(Text(buf, 6), "abcde");
    EXPECT_EQ(buf[6], '#');

    // A buffer with no terminator inside its size ends up terminated, at its last byte.
    memset(buf, 'z', sizeof(buf));
    EXPECT_FALSE(M_StringConcat(buf, "q", 5));
    EXPECT_EQ(Text(buf, 5), "zzzz");
    EXPECT_EQ(buf[5], 'z');
    EXPECT_FALSE(M_StringConcat(buf, "q", 0));
}

TEST(MString, FormattingReportsWhatWasKept)
{
    char buf[8];
    memset(buf, '#', sizeof(buf));
    EXPECT_EQ(M_snprintf(buf, 6, "%d-%s", 12, "ab"), 5); // exact fit
    EXPECT_EQ(Text(buf, 6), "12-ab");
    EXPECT_EQ(M_snprintf(buf, 6, "%d-%s", 1234, "ab"), 5);
    EXPECT_EQ(Text(buf, 6), "1234-");
    EXPECT_EQ(buf[6], '#');
    EXPECT_EQ(M_snprintf(buf, 1, "%s", "abc"), 0);
    EXPECT_EQ(Text(buf, 1), "");
    EXPECT_EQ(M_snprintf(buf, 0, "%s", "abc"), 0);

    char* joined = M_StringJoin("a", "", "bc", nullptr);
    EXPECT_STREQ(joined, "abc");
    free(joined);
    joined = M_StringJoin("", nullptr);
    EXPECT_STREQ(joined, "");
    free(joined);
}

} // namespace
