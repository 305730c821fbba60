#include "common/shown_text.h"

#include <gtest/gtest.h>

namespace arkivo {
namespace {

TEST(ShownText, BytesThatWouldBreakOrHideALineAreEscapedAndTextIsLeftAsItIs) {
    const struct {
        std::string bytes;
        std::string shown;
    } cases[] = {
        {"plain/caf\xC3\xA9 \xE6\x97\xA5\xF0\x9F\x98\x80.txt",
         "plain/caf\xC3\xA9 \xE6\x97\xA5\xF0\x9F\x98\x80.txt"},
        {"line\nbreak\ttab\rreturn", "line\\nbreak\\ttab\\rreturn"},
        {"back\\slash\\n", "back\\\\slash\\\\n"},
        {std::string("nul") + '\0' +
             "bell\x07"
             "esc\x1B[31m del\x7F",
         "nul\\x00bell\\x07esc\\x1B[31m del\\x7F"},
        // C1 controls, the line separator and a bidirectional override are valid UTF-8 that
        // would still move or hide text.
        {"c1\xC2\x85 ls\xE2\x80\xA8 rlo\xE2\x80\xAE isolate\xE2\x81\xA6",
         "c1\\xC2\\x85 ls\\xE2\\x80\\xA8 rlo\\xE2\\x80\\xAE isolate\\xE2\\x81\\xA6"},
        {"latin1 caf\xE9", "latin1 caf\\xE9"},
        {"cut \xE6\x97", "cut \\xE6\\x97"},
        // An invalid lead byte does not swallow the valid sequence after it.
        {"\xFF\xC3\xA9", "\\xFF\xC3\xA9"},
        {"overlong \xC0\xAF surrogate \xED\xA0\x80 beyond \xF4\x90\x80\x80",
         "overlong \\xC0\\xAF surrogate \\xED\\xA0\\x80 beyond \\xF4\\x90\\x80\\x80"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EscapedForDisplay(c.bytes), c.shown);
    }
}

TEST(ShownText, DifferentNamesNeverShowAlike) {
    const std::string names[] = {"a\nb",        "a\\nb", "a\\\nb", "a\xC3\xA9",
                                 "a\\xC3\\xA9", "a\xE9", "a\\xE9"};
    for (const auto& one : names) {
        for (const auto& other : names) {
            if (&one != &other) {
                EXPECT_NE(EscapedForDisplay(one), EscapedForDisplay(other)) << one << " " << other;
            }
        }
    }
}

// Windows names are UTF-16 and their separator is the backslash.
TEST(ShownText, Utf16NamesEscapeControlsAndLoneSurrogatesAndKeepBackslashes) {
    EXPECT_EQ(EscapedForDisplay(u"C:\\Users\\caf\u00e9\U0001F600.txt"),
              u"C:\\Users\\caf\u00e9\U0001F600.txt");
    EXPECT_EQ(EscapedForDisplay(u"a\nb\tc\u0085d\u202Ee"), u"a\\nb\\tc\\u0085d\\u202Ee");
    EXPECT_EQ(EscapedForDisplay(std::u16string{u'x', char16_t(0xD800), u'y', char16_t(0xDC00)}),
              u"x\\uD800y\\uDC00");
}

}  // namespace
}  // namespace arkivo
