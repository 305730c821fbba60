// The FTP client's readers of what a server sends, on lines real servers send and on lines
// they must not be fooled by. Expected times are the Unix times of the dates written beside
// them.
#include <gtest/gtest.h>

#include "common/file_time.h"
#include "platform/ftp_name_problem.h"
#include "platform/posix/ftp/data_address.h"
#include "platform/posix/ftp/dos_list_line.h"
#include "platform/posix/ftp/listing.h"
#include "platform/posix/ftp/mlsd_line.h"
#include "platform/posix/ftp/pwd_reply.h"
#include "platform/posix/ftp/reply_reader.h"
#include "platform/posix/ftp/server_features.h"
#include "platform/posix/ftp/unix_list_line.h"

namespace arkivo::platform::ftp {
namespace {

constexpr std::int64_t kNow = 1773576000;  // 2026-03-15 12:00:00 UTC

std::vector<FtpReply> RepliesOf(const std::vector<std::string>& pieces, ReplyReader::Status& last) {
    ReplyReader reader;
    std::vector<FtpReply> replies;
    for (const auto& piece : pieces) {
        reader.Feed(piece);
        FtpReply reply;
        while ((last = reader.Next(reply)) == ReplyReader::Status::Reply) {
            replies.push_back(reply);
        }
    }
    return replies;
}

TEST(FtpReplies, SingleAndMultiLineRepliesAreAssembledHoweverTheBytesArrive) {
    const std::string bytes =
        "220 Welcome\r\n"
        "211-Features:\r\n MLST type*;\r\n211-not the end yet\r\n123 another code\r\n211 End\r\n"
        "200\n";
    std::vector<std::string> oneByOne;
    for (const char c : bytes) {
        oneByOne.emplace_back(1, c);
    }
    for (const auto& pieces : {std::vector<std::string>{bytes}, oneByOne}) {
        ReplyReader::Status last;
        const auto replies = RepliesOf(pieces, last);
        EXPECT_EQ(last, ReplyReader::Status::Incomplete);
        ASSERT_EQ(replies.size(), 3u);
        EXPECT_EQ(replies[0].code, 220);
        EXPECT_EQ(replies[0].lines, std::vector<std::string>{"220 Welcome"});
        EXPECT_EQ(replies[1].code, 211);
        EXPECT_EQ(replies[1].lines,
                  (std::vector<std::string>{"211-Features:", " MLST type*;", "211-not the end yet",
                                            "123 another code", "211 End"}));
        EXPECT_EQ(replies[1].Text(),
                  "211-Features:  MLST type*; 211-not the end yet 123 another code 211 End");
        EXPECT_EQ(replies[2].code, 200);
    }
}

TEST(FtpReplies, WhatIsNoReplyBreaksTheReader) {
    for (const std::string& bytes :
         std::vector<std::string>{"hello\r\n", "2000 too many digits\r\n", "600 no such class\r\n",
                                  "22 short\r\n", std::string(70 * 1024, 'a')}) {
        SCOPED_TRACE(bytes.substr(0, 20));
        ReplyReader::Status last;
        EXPECT_TRUE(RepliesOf({bytes, "200 fine afterwards\r\n"}, last).empty());
        EXPECT_EQ(last, ReplyReader::Status::Garbage);
    }
    // A reply that never ends is cut off too.
    std::string endless = "211-start\r\n";
    while (endless.size() < 1100 * 1024) {
        endless += " feature line that goes on and on\r\n";
    }
    ReplyReader::Status last;
    EXPECT_TRUE(RepliesOf({endless}, last).empty());
    EXPECT_EQ(last, ReplyReader::Status::Garbage);
}

TEST(FtpReplies, PassiveRepliesGiveTheirPortAndHost) {
    const auto pasv = ParsePasvReply("227 Entering Passive Mode (192,168,1,2,19,137).");
    ASSERT_TRUE(pasv);
    EXPECT_EQ(pasv->host, (std::array<std::uint8_t, 4>{192, 168, 1, 2}));
    EXPECT_EQ(pasv->port, 5001);
    const auto bare = ParsePasvReply("227 Entering Passive Mode 10,0,0,1,4,1");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->port, 1025);
    for (const char* wrong : {"227 (300,1,1,1,1,1)", "227 (1,2,3,4,5)", "227 nothing",
                              "227 (1,2,3,4,0,0)", "227 (1,2,3,4,5,256)"}) {
        EXPECT_FALSE(ParsePasvReply(wrong)) << wrong;
    }

    EXPECT_EQ(ParseEpsvReply("229 Entering Extended Passive Mode (|||6446|)"), 6446);
    EXPECT_EQ(ParseEpsvReply("229 (!!!65535!)"), 65535);
    for (const char* wrong : {"229 (|||70000|)", "229 (||6446|)", "229 (|||0|)", "229 (|||6446)",
                              "229 (|||6446!)", "229 (1116441)", "229 no port"}) {
        EXPECT_FALSE(ParseEpsvReply(wrong)) << wrong;
    }

    EXPECT_EQ(EprtArgument(false, "127.0.0.1", 5282), "|1|127.0.0.1|5282|");
    EXPECT_EQ(EprtArgument(true, "::1", 80), "|2|::1|80|");
    EXPECT_EQ(PortArgument({127, 0, 0, 1}, 5282), "127,0,0,1,20,162");
}

TEST(FtpReplies, FeaturesAndTheCurrentFolderAreRead) {
    const auto features = ParseFeatures({"211-Features:", " MLST type*;size*;modify*;", " utf8",
                                         " EPSV", "EPRT without its leading space", "211 End"});
    EXPECT_TRUE(features.mlst);
    EXPECT_TRUE(features.utf8);
    EXPECT_TRUE(features.epsv);
    EXPECT_FALSE(features.eprt);
    EXPECT_FALSE(ParseFeatures({"211 MLST EPSV UTF8 EPRT"}).mlst);

    EXPECT_EQ(ParsePwdReply("257 \"/a \"\"q\"\" b\" is the current directory."), "/a \"q\" b");
    EXPECT_EQ(ParsePwdReply("257 \"/\""), "/");
    EXPECT_FALSE(ParsePwdReply("257 no quotes"));
    EXPECT_FALSE(ParsePwdReply("257 \"unterminated"));
}

struct LineCase {
    const char* line;
    LineReading reading;
    std::string name = {};
    FtpEntryKind kind = FtpEntryKind::File;
    std::uint64_t size = 0;
    std::int64_t unixSeconds = 0;
    FtpTimePrecision precision = FtpTimePrecision::None;
    std::int64_t extraUnits = 0;  // the fraction of a second, in FileTime units
};

void ExpectReadings(const std::vector<LineCase>& cases,
                    LineReading (*parse)(std::string_view, ListedEntry&)) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        ListedEntry entry;
        ASSERT_EQ(parse(c.line, entry), c.reading);
        if (c.reading != LineReading::Entry) {
            continue;
        }
        EXPECT_EQ(entry.name, c.name);
        EXPECT_EQ(entry.kind, c.kind);
        EXPECT_EQ(entry.size, c.size);
        EXPECT_EQ(entry.timePrecision, c.precision);
        if (c.precision != FtpTimePrecision::None) {
            EXPECT_EQ(entry.lastWriteTime, UnixSecondsToFileTime(c.unixSeconds) + c.extraUnits);
        }
    }
}

LineReading UnixAtNow(std::string_view line, ListedEntry& entry) {
    return ParseUnixListLine(line, kNow, entry);
}

TEST(FtpListingLines, MlsdFactsAndNames) {
    using enum LineReading;
    using enum FtpTimePrecision;
    ExpectReadings(
        {
            // 2007-10-29 15:53:01 and 123 ms
            {"type=file;size=156;modify=20071029155301.123;perm=r; music file.mp3", Entry,
             "music file.mp3", FtpEntryKind::File, 156, 1193673181, Exact, 1230000},
            // 2026-01-01 00:00:00
            {"Type=DIR;Modify=20260101000000; a;b=c ", Entry, "a;b=c ", FtpEntryKind::Folder, 0,
             1767225600, Exact},
            {"type=OS.unix=slink:/x;size=1; link", Entry, "link", FtpEntryKind::Link, 1},
            {"type=OS.unix=chr-13/29;size=0; tty", Entry, "tty", FtpEntryKind::Other},
            {"type=file;size=18446744073709551615; huge", Entry, "huge", FtpEntryKind::File,
             18446744073709551615u},
            {"type=file;size=1;modify=20261301000000; bad month", Entry, "bad month",
             FtpEntryKind::File, 1},
            {"type=file;size=1;modify=2026010100000; short time", Entry, "short time",
             FtpEntryKind::File, 1},
            {"type=file;size=1;UNIX.owner=John Smith; owner with a space", Entry,
             "owner with a space", FtpEntryKind::File, 1},
            {"type=cdir;modify=20260101000000; .", NotAnEntry},
            {"type=pdir; ..", NotAnEntry},
            {"type=file;size=18446744073709551616; too big", Unreadable},
            {"type=file;size=x; n", Unreadable},
            {"type=file; no size", Unreadable},
            {"size=1; no type", Unreadable},
            {"type=file;size=1;", Unreadable},
            {"type=file;size=1; ", Unreadable},
            {"no facts at all", Unreadable},
            {"type=file;size=1 no semicolon before the name", Unreadable},
        },
        ParseMlsdLine);
}

TEST(FtpListingLines, UnixListColumnsAndDates) {
    using enum LineReading;
    using enum FtpTimePrecision;
    ExpectReadings(
        {
            // 2025-01-01
            {"-rw-r--r--   1 owner group      5 Jan 01  2025 name with  spaces ", Entry,
             "name with  spaces ", FtpEntryKind::File, 5, 1735689600, Day},
            // 2026-03-14 10:15, the day before now
            {"drwxr-xr-x 2 owner group 4096 Mar 14 10:15 folder", Entry, "folder",
             FtpEntryKind::Folder, 4096, 1773483300, Minute},
            // 2026-09-10 08:00: less than half a year ahead, so this year
            {"-rw-r--r-- 1 o g 1 Sep 10 08:00 ahead", Entry, "ahead", FtpEntryKind::File, 1,
             1789027200, Minute},
            // 2025-09-20 08:00: this year's would be more than half a year ahead
            {"-rw-r--r-- 1 o g 1 Sep 20 08:00 last year", Entry, "last year", FtpEntryKind::File, 1,
             1758355200, Minute},
            // 2025-12-31 23:59
            {"-rw-r--r-- 1 o g 1 Dec 31 23:59 december", Entry, "december", FtpEntryKind::File, 1,
             1767225540, Minute},
            // 2024-02-29 12:00: the latest year that has the day
            {"-rw-r--r-- 1 o g 1 feb 29 12:00 leap", Entry, "leap", FtpEntryKind::File, 1,
             1709208000, Minute},
            // 2026-01-05, no group column
            {"-rw-r--r-- 1 owner 1234 Jan 05 2026 no group", Entry, "no group", FtpEntryKind::File,
             1234, 1767571200, Day},
            // 2026-02-01; a group named like a month after a numeric owner
            {"-rw-r--r-- 1 1000 Jan 5 Feb 01 2026 tricky", Entry, "tricky", FtpEntryKind::File, 5,
             1769904000, Day},
            {"lrwxrwxrwx 1 o g 7 Mar 14 10:15 link name -> target", Entry, "link name",
             FtpEntryKind::Link, 7, 1773483300, Minute},
            {"-rw-r--r--+ 1 o g 3 Mar 14 10:15 with acl", Entry, "with acl", FtpEntryKind::File, 3,
             1773483300, Minute},
            {"crw-rw-rw- 1 root root 0 Mar 14 10:15 null", Entry, "null", FtpEntryKind::Other, 0,
             1773483300, Minute},
            {"total 12", NotAnEntry},
            {"drwxr-xr-x", Unreadable},
            {"-rw-r--r-- 1 o g 5 Foo 01 2026 unknown month", Unreadable},
            {"-rw-r--r-- 1 o g 5 Jan 32 2026 no such day", Unreadable},
            {"-rw-r--r-- 1 o g 5 Feb 30 2026 no such date", Unreadable},
            {"-rw-r--r-- 1 o g 5 Jan 01 24:00 no such hour", Unreadable},
            {"-rw-r--r-- 1 o g 5 Jan 01 2026 ", Unreadable},
            {"-rw-r--r-- 1 o g 5 Jan 01 2026", Unreadable},
            {"?rw-r--r-- 1 o g 5 Jan 01 2026 odd type", Unreadable},
            {"-rw-r--r-- 1 o g -5 Jan 01 2026 negative", Unreadable},
        },
        UnixAtNow);
}

TEST(FtpListingLines, WindowsListColumnsAndDates) {
    using enum LineReading;
    using enum FtpTimePrecision;
    ExpectReadings(
        {
            // 2026-01-31 10:15
            {"01-31-26  10:15AM       <DIR>          folder name", Entry, "folder name",
             FtpEntryKind::Folder, 0, 1769854500, Minute},
            // 1999-12-01 12:05
            {"12-01-99  12:05PM                 1234  two  spaces ", Entry, "two  spaces ",
             FtpEntryKind::File, 1234, 944049900, Minute},
            // 2024-02-29 00:00
            {"02-29-2024  12:00AM  5 leap", Entry, "leap", FtpEntryKind::File, 5, 1709164800,
             Minute},
            // 2026-01-01 22:15
            {"01-01-26  22:15  5 twenty-four hours", Entry, "twenty-four hours", FtpEntryKind::File,
             5, 1767305700, Minute},
            {"13-01-26  10:15AM  5 x", Unreadable},
            {"02-29-25  10:15AM  5 x", Unreadable},
            {"01-01-26  13:15PM  5 x", Unreadable},
            {"01-01-26  10:15AM  5", Unreadable},
            {"01-01-26  10:15AM  5 ", Unreadable},
            {"01-01-26  10:15AM  abc x", Unreadable},
            {"01-01-260  10:15AM  5 x", Unreadable},
            {"01-01-26  1015AM  5 x", Unreadable},
        },
        ParseDosListLine);
}

TEST(FtpListingLines, AListingKeepsEveryEntryMarksBadNamesAndCountsGarbage) {
    const std::string bytes =
        "total 3\r\n"
        "-rw-r--r-- 1 o g 5 Jan 01  2025 first\r\n"
        "\r\n"
        "garbage\n"
        "01-31-26  10:15AM       <DIR>          windows folder\n"
        "drwxr-xr-x 2 o g 4096 Jan 01  2025 ..\r\n"
        "-rw-r--r-- 1 o g 5 Jan 01  2025 a\\b\r\n"
        "-rw-r--r-- 1 o g 5 Jan 01  2025 caf\xc3\xa9\r\n"
        "-rw-r--r-- 1 o g 5 Jan 01  2025 caf\xe9";
    const auto listing = ReadListing(bytes, ListingStyle::List, kNow);
    EXPECT_EQ(listing.unreadableLines, 1u);
    ASSERT_EQ(listing.entries.size(), 6u);
    EXPECT_EQ(listing.entries[0].name, u"first");
    EXPECT_EQ(listing.entries[1].name, u"windows folder");
    EXPECT_EQ(listing.entries[1].kind, FtpEntryKind::Folder);
    EXPECT_EQ(listing.entries[2].nameProblem, FtpNameProblem::DotName);
    EXPECT_EQ(listing.entries[3].nameProblem, FtpNameProblem::Separator);
    EXPECT_EQ(listing.entries[4].name, u"caf\u00e9");
    EXPECT_EQ(listing.entries[4].nameProblem, FtpNameProblem::None);
    EXPECT_EQ(listing.entries[5].nameProblem, FtpNameProblem::NotUtf8);

    // MLSD lines are read as MLSD only.
    const auto mlsd = ReadListing("type=file;size=1; x\n-rw-r--r-- 1 o g 5 Jan 01  2025 y\n",
                                  ListingStyle::Mlsd, kNow);
    EXPECT_EQ(mlsd.entries.size(), 1u);
    EXPECT_EQ(mlsd.unreadableLines, 1u);

    EXPECT_EQ(NameProblemOf("."), FtpNameProblem::DotName);
    EXPECT_EQ(NameProblemOf("..."), FtpNameProblem::None);
    EXPECT_EQ(NameProblemOf(std::string_view("a\0b", 3)), FtpNameProblem::Nul);
    EXPECT_EQ(NameProblemOf("/"), FtpNameProblem::Separator);
    EXPECT_EQ(NameProblemOf("\xed\xa0\x80"), FtpNameProblem::NotUtf8);
}

}  // namespace
}  // namespace arkivo::platform::ftp
