// What the user types as an FTP server, and the remote paths and location texts that the chosen
// folders become.
#include "engine/remote_folders.h"

#include <gtest/gtest.h>

namespace arkivo::engine {
namespace {

struct TypedCase {
    std::u16string typed;
    std::u16string host;
    std::u16string folder;
};

TEST(RemoteFoldersTest, TypedServerIsTheHostBeforeTheFirstSlashWithoutTheScheme) {
    const TypedCase cases[] = {
        {u"host", u"host", u""},
        {u"host/a/b", u"host", u"/a/b"},
        {u"host/", u"host", u"/"},
        {u"ftp://host", u"host", u""},
        {u"ftp://host/a/b", u"host", u"/a/b"},
        {u"FTP://Host/x", u"Host", u"/x"},
        {u"ftp://", u"", u""},
        {u"ftp:/host", u"ftp:", u"/host"},
        {u"192.168.0.7/\u65e5\u672c/\ud55c", u"192.168.0.7", u"/\u65e5\u672c/\ud55c"},
        {u"", u"", u""},
    };
    for (const auto& c : cases) {
        const auto parsed = ParseTypedServer(c.typed);
        EXPECT_EQ(parsed.host, c.host) << std::string(c.typed.begin(), c.typed.end());
        EXPECT_EQ(parsed.folder, c.folder) << std::string(c.typed.begin(), c.typed.end());
    }
}

TEST(RemoteFoldersTest, RemotePathJoinsTheChainOfNamesFromTheTopAndIsTheRootWithoutOne) {
    EXPECT_EQ(RemotePath({}), u"/");
    EXPECT_EQ(RemotePath({u"a"}), u"/a");
    EXPECT_EQ(RemotePath({u"b", u"a"}), u"/b/a");
    EXPECT_EQ(RemotePath({u"with space", u"\u65e5\u672c"}), u"/with space/\u65e5\u672c");
}

TEST(RemoteFoldersTest, LocationTextIsTheHostFollowedByThePath) {
    EXPECT_EQ(LocationText(u"127.0.0.1", u"/"), u"127.0.0.1/");
    EXPECT_EQ(LocationText(u"host", u"/a/b"), u"host/a/b");
}

TEST(RemoteFoldersTest, APortIsADecimalNumberFromOneTo65535) {
    EXPECT_EQ(ParsePort(u"21"), 21);
    EXPECT_EQ(ParsePort(u"1"), 1);
    EXPECT_EQ(ParsePort(u"65535"), 65535);
    EXPECT_EQ(ParsePort(u"0021"), 21);
    for (const char16_t* refused : {u"", u"0", u"00", u"65536", u"70000", u"4294967317", u"-21",
                                    u"+21", u" 21", u"21 ", u"2l", u"0x15", u"\uff12\uff11"}) {
        EXPECT_EQ(ParsePort(refused), std::nullopt)
            << std::string(refused, refused + std::char_traits<char16_t>::length(refused));
    }
}

TEST(RemoteFoldersTest, SortByNameOrdersByCodeUnits) {
    std::vector<platform::FtpEntry> entries(4);
    entries[0].name = u"b";
    entries[1].name = u"\u65e5";
    entries[2].name = u"C";
    entries[3].name = u"a";
    SortByName(entries);
    std::vector<std::u16string> names;
    for (const auto& entry : entries) {
        names.push_back(entry.name);
    }
    EXPECT_EQ(names, (std::vector<std::u16string>{u"C", u"a", u"b", u"\u65e5"}));
}

}  // namespace
}  // namespace arkivo::engine
