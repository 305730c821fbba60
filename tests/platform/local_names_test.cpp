// Names an FTP server may list that Windows would take for something else than a file of
// that name: a stream of another file, a device, or a name shortened into another one.
#include "platform/local_names.h"

#include <gtest/gtest.h>

namespace arkivo::platform {
namespace {

TEST(LocalNames, WindowsRefusesNamesItWouldReadAsSomethingElse) {
    for (const std::u16string_view name :
         {u"a:b",       u"report.",  u"report ",    u"...",       u"a<b",  u"a>b",      u"a\"b",
          u"a|b",       u"a?b",      u"a*b",        u"tab\there", u"\x1f", u"CON",      u"con.txt",
          u"Nul",       u"nul .txt", u"aux.tar.gz", u"PRN",       u"COM1", u"com9.log", u"LPT3",
          u"COM\u00B9", u""}) {
        EXPECT_TRUE(WindowsCannotName(name)) << std::string(name.begin(), name.end());
    }
}

TEST(LocalNames, WindowsTakesNamesThatOnlyLookLikeDevicesOrEndInOddCharacters) {
    for (const std::u16string_view name :
         {u"report.txt", u".profile", u"CONSOLE", u"con-notes.txt", u"COM0", u"COM10", u"LPT",
          u"a.b.c", u" leading space", u"R\u00E9sum\u00E9 & Lettres", u"\u65E5\u672C"}) {
        EXPECT_FALSE(WindowsCannotName(name)) << std::string(name.begin(), name.end());
    }
}

TEST(LocalNames, ThisSystemHoldsWhatItsFileSystemCan) {
#ifdef _WIN32
    EXPECT_FALSE(CanNameLocalFile(u"a:b"));
    EXPECT_FALSE(CanNameLocalFile(u"nul.txt"));
#else
    EXPECT_TRUE(CanNameLocalFile(u"a:b"));
    EXPECT_TRUE(CanNameLocalFile(u"nul.txt"));
#endif
    EXPECT_TRUE(CanNameLocalFile(u"report.txt"));
}

}  // namespace
}  // namespace arkivo::platform
