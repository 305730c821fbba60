#include "common/text.h"

#include <gtest/gtest.h>

#include <limits>

namespace arkivo {
namespace {

TEST(Utf, ConversionsRoundTripAcrossPlanes) {
    const std::u16string text = u"a\u00e9\u65e5\U0001F600\uFFFD\u0a0a";
    EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
    EXPECT_EQ(Utf16ToUtf8(u"\u00e9"), "\xC3\xA9");
    EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
}

TEST(Utf, InvalidInputBecomesReplacementCharacters) {
    EXPECT_EQ(Utf8ToUtf16("a\xFF"
                          "b"),
              u"a\uFFFDb");
    EXPECT_EQ(Utf8ToUtf16("\xC3"), u"\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");  // overlong "/"
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");    // encoded surrogate
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD");
}

TEST(Numbers, ReadLikeTheCRuntime) {
    EXPECT_EQ(ParseLeadingInt(u"42"), 42);
    EXPECT_EQ(ParseLeadingInt(u"  -12abc"), -12);
    EXPECT_EQ(ParseLeadingInt(u"+7"), 7);
    EXPECT_EQ(ParseLeadingInt(u"abc"), 0);
    EXPECT_EQ(ParseLeadingInt(u""), 0);
    EXPECT_EQ(ParseLeadingInt(u"- 5"), 0);
    EXPECT_EQ(ParseLeadingInt(u"99999999999999999999"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(ParseLeadingInt(u"-99999999999999999999"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(ParseLeadingUnsigned(u"18446744073709551615"),
              std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(ParseLeadingUnsigned(u"4102444800,"), 4102444800u);
}

TEST(Numbers, WriteEveryValueBack) {
    for (std::int64_t v :
         {std::int64_t{0}, std::int64_t{-1}, std::int64_t{2457},
          std::numeric_limits<std::int64_t>::min(), std::numeric_limits<std::int64_t>::max()}) {
        EXPECT_EQ(ParseLeadingInt(ToDecimal(v)), v);
    }
    EXPECT_EQ(ToDecimalUnsigned(std::numeric_limits<std::uint64_t>::max()),
              u"18446744073709551615");
    EXPECT_EQ(ToDecimal(-2147483648LL), u"-2147483648");
}

}  // namespace
}  // namespace arkivo
