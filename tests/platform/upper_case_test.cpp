#include "platform/upper_case.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace arkivo::platform {
namespace {

std::u16string Unit(char16_t c) {
    return std::u16string(1, c);
}

TEST(UpperCase, FoldsTheScriptsOfFolderNames) {
    EXPECT_EQ(ToUpper(u"backup-\u00e9t\u00e9"), u"BACKUP-\u00c9T\u00c9");
    EXPECT_EQ(ToUpper(u"\u0434\u0430\u043d\u043d\u044b\u0435"),
              u"\u0414\u0410\u041d\u041d\u042b\u0415");
    EXPECT_EQ(ToUpper(u"\u03b1\u03c3"), u"\u0391\u03a3");
    EXPECT_EQ(ToUpper(u"\u0105\u017c"), u"\u0104\u017b");
    EXPECT_EQ(ToUpper(u"\uff41"), u"\uff21");
    EXPECT_EQ(ToUpper(u"\u65e5\u00f7\u00d7"), u"\u65e5\u00f7\u00d7");
    EXPECT_EQ(ToUpper(u""), u"");
    EXPECT_TRUE(EqualsIgnoreCase(u"C:\\Data", u"c:\\DATA"));
    EXPECT_FALSE(EqualsIgnoreCase(u"abc", u"abd"));
    EXPECT_FALSE(EqualsIgnoreCase(u"abc", u"ab"));
}

// Capitals at odd code points, each followed by its small letter; the palochka's small
// letter comes after them, at U+04CF.
TEST(UpperCase, PairsTheCyrillicLettersWithHookAndTail) {
    for (char16_t capital = 0x04C1; capital <= 0x04CD; capital += 2) {
        const char16_t small = capital + 1;
        SCOPED_TRACE(testing::Message()
                     << std::hex << std::uppercase << "U+0" << static_cast<int>(capital));
        EXPECT_EQ(ToUpper(Unit(small)), Unit(capital));
        EXPECT_EQ(ToUpper(Unit(capital)), Unit(capital));
        EXPECT_TRUE(EqualsIgnoreCase(Unit(small), Unit(capital)));
        EXPECT_FALSE(EqualsIgnoreCase(Unit(capital), Unit(capital - 1)));
    }
    EXPECT_EQ(ToUpper(u"\u04cf"), u"\u04c0");
    EXPECT_TRUE(EqualsIgnoreCase(u"\u0416\u04c2\u0443\u043a", u"\u0436\u04c1\u0423\u041a"));
}

TEST(UpperCase, GivesGreekVowelsWithTonosTheirCapitals) {
    const std::u16string smalls = u"\u03ac\u03ad\u03ae\u03af\u03cc\u03cd\u03ce\u03ca\u03cb";
    const std::u16string capitals = u"\u0386\u0388\u0389\u038a\u038c\u038e\u038f\u03aa\u03ab";
    EXPECT_EQ(ToUpper(smalls), capitals);
    EXPECT_EQ(ToUpper(capitals), capitals);
    EXPECT_TRUE(EqualsIgnoreCase(u"\u03ce\u03c1\u03b1", u"\u038f\u03a1\u0391"));
    // With both dialytika and tonos there is no single capital: the letter stays as it is.
    EXPECT_EQ(ToUpper(u"\u0390\u03b0"), u"\u0390\u03b0");
}

// A capital that lower-cases to another letter does not take these in: the final sigma, the
// dotless i, the long s, the micro sign and the title-case digraph stay as they are.
TEST(UpperCase, KeepsLettersWhoseCapitalLowerCasesToAnother) {
    const std::u16string letters = u"\u03c2\u0131\u017f\u00b5\u01c5";
    EXPECT_EQ(ToUpper(letters), letters);
    EXPECT_FALSE(EqualsIgnoreCase(u"\u03c2", u"\u03a3"));
    EXPECT_FALSE(EqualsIgnoreCase(u"\u0131", u"I"));
}

// Elsewhere the table was generated from this file: every BMP character whose simple upper case
// lies in the BMP and lower-cases back to it. Checking every code point against the file
// catches a table that was edited by hand and a lookup that misses entries.
TEST(UpperCase, FollowsTheOneToOneMappingsOfUnicodeData) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows upper-cases by its own tables, which the system keeps";
#endif
    std::ifstream data("/usr/share/unicode/UnicodeData.txt");
    if (!data) {
        GTEST_SKIP() << "/usr/share/unicode/UnicodeData.txt is missing (Debian: unicode-data)";
    }
    std::map<char32_t, char32_t> upper;
    std::map<char32_t, char32_t> lower;
    std::string line;
    while (std::getline(data, line)) {
        std::istringstream fields(line);
        std::string field;
        char32_t code = 0;
        for (int i = 0; i <= 13 && std::getline(fields, field, ';'); ++i) {
            if (i == 0) {
                code = std::stoul(field, nullptr, 16);
            } else if (i == 12 && !field.empty()) {
                upper[code] = std::stoul(field, nullptr, 16);
            } else if (i == 13 && !field.empty()) {
                lower[code] = std::stoul(field, nullptr, 16);
            }
        }
    }
    ASSERT_GT(upper.size(), 1000u);
    int wrong = 0;
    std::ostringstream examples;
    for (char32_t c = 0; c <= 0xFFFF; ++c) {
        const auto capital = upper.find(c);
        const bool oneToOne = capital != upper.end() && capital->second <= 0xFFFF &&
                              lower.count(capital->second) && lower[capital->second] == c;
        const char32_t expected = oneToOne ? capital->second : c;
        const char16_t got = ToUpper(Unit(static_cast<char16_t>(c)))[0];
        if (got != expected && ++wrong <= 10) {
            examples << std::hex << std::uppercase << " U+" << static_cast<int>(c) << "->U+"
                     << static_cast<int>(got) << " (not U+" << static_cast<int>(expected) << ")";
        }
    }
    EXPECT_EQ(wrong, 0) << examples.str();
}

}  // namespace
}  // namespace arkivo::platform
