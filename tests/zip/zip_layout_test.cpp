// The bytes of archives, checked against the record layout of the ZIP format.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <cstring>
#include <ctime>
#include <set>

#include "support/run_program.h"
#include "tests/zip/zip_inspect.h"
#include "tests/zip/zip_test_support.h"
#include "tests/zip/zlib_codec.h"
#include "zip/zip_archive.h"

namespace arkivo::test {
namespace {

void SetTimes(const std::filesystem::path& path, std::int64_t modified, std::int64_t accessed) {
    const timespec times[2] = {{static_cast<time_t>(accessed), 0},
                               {static_cast<time_t>(modified), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

std::uint32_t Crc(const Bytes& bytes) {
    return static_cast<std::uint32_t>(crc32(0, bytes.data(), static_cast<uInt>(bytes.size())));
}

// The DOS date and time of the local calendar time, as the format defines them.
std::uint32_t DosTime(std::int64_t unixSeconds) {
    const time_t t = static_cast<time_t>(unixSeconds);
    std::tm local{};
    localtime_r(&t, &local);
    const std::uint32_t date =
        ((local.tm_year + 1900 - 1980) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday;
    const std::uint32_t time = (local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2);
    return (date << 16) | time;
}

std::int64_t LocalSeconds(int year, int month, int day, int hour, int minute, int second) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&local));
}

std::uint32_t CreationSeconds(const std::filesystem::path& path) {
    struct statx st {};
    ::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_CTIME, &st);
    return static_cast<std::uint32_t>((st.stx_mask & STATX_BTIME) ? st.stx_btime.tv_sec
                                                                  : st.stx_ctime.tv_sec);
}

TEST(ZipLayout, HeadersOfASmallArchiveFieldByField) {
    TempFolder folder;
    const std::string text = "hello hello hello hello\n";
    const Bytes first(text.begin(), text.end());
    const Bytes second = RandomBytes(100, 1);
    WriteFile(folder / "a.txt", first);
    WriteFile(folder / "b.zip", second);
    ASSERT_EQ(::chmod((folder / "a.txt").c_str(), 0644), 0);
    SetTimes(folder / "a.txt", 1700000000, 1600000000);
    SetTimes(folder / "b.zip", 1500000000, 1400000000);
    const auto archive = folder / "out.zip";
    auto handle = CreateZipArchive(archive);
    ASSERT_TRUE(handle);
    ASSERT_EQ(AddFileToZipArchive(handle.get(), u"dir\\a.txt", folder / "a.txt"), ZipOk);
    ASSERT_EQ(AddFileToZipArchive(handle.get(), u"b.zip", folder / "b.zip"), ZipOk);
    ASSERT_EQ(CloseZipArchive(std::move(handle)), ZipOk);
    const Bytes z = ReadFile(archive);

    // First local header at 0, name "dir/a.txt" (9 bytes), 17 bytes of extended timestamp.
    EXPECT_EQ(Le32(z, 0), 0x04034B50u);
    EXPECT_EQ(Le16(z, 4), 20u);
    EXPECT_EQ(Le16(z, 6), 2u);
    EXPECT_EQ(Le16(z, 8), 8u);
    EXPECT_EQ(Le32(z, 10), DosTime(1700000000));
    EXPECT_EQ(Le32(z, 14), Crc(first));
    const std::uint32_t compressed = Le32(z, 18);
    EXPECT_EQ(Le32(z, 22), first.size());
    EXPECT_EQ(Le16(z, 26), 9u);
    EXPECT_EQ(Le16(z, 28), 17u);
    EXPECT_EQ(std::string(z.begin() + 30, z.begin() + 39), "dir/a.txt");
    EXPECT_EQ(Le16(z, 39), 0x5455u);  // "UT"
    EXPECT_EQ(Le16(z, 41), 13u);
    EXPECT_EQ(z[43], 0x07);
    EXPECT_EQ(Le32(z, 44), 1700000000u);
    EXPECT_EQ(Le32(z, 48), 1600000000u);
    EXPECT_EQ(Le32(z, 52), CreationSeconds(folder / "a.txt"));
    const Bytes data(z.begin() + 56, z.begin() + 56 + compressed);
    const auto inflated = ZlibInflateRaw(data);
    ASSERT_TRUE(inflated);
    EXPECT_EQ(inflated->bytes, first);
    EXPECT_EQ(inflated->consumed, data.size());

    // Second local header right after the data: stored, flags 0, sizes equal.
    const std::uint64_t second_at = 56 + compressed;
    EXPECT_EQ(Le32(z, second_at), 0x04034B50u);
    EXPECT_EQ(Le16(z, second_at + 6), 0u);
    EXPECT_EQ(Le16(z, second_at + 8), 0u);
    EXPECT_EQ(Le32(z, second_at + 10), DosTime(1500000000));
    EXPECT_EQ(Le32(z, second_at + 14), Crc(second));
    EXPECT_EQ(Le32(z, second_at + 18), second.size());
    EXPECT_EQ(Le32(z, second_at + 22), second.size());
    EXPECT_EQ(Le16(z, second_at + 26), 5u);
    const std::uint64_t second_data = second_at + 30 + 5 + 17;
    EXPECT_TRUE(std::equal(second.begin(), second.end(), z.begin() + second_data));

    // The central directory follows the last data.
    const std::uint64_t cd = second_data + second.size();
    EXPECT_EQ(Le32(z, cd), 0x02014B50u);
    EXPECT_EQ(Le16(z, cd + 4), 0x0317u);  // Unix, format 2.3
    EXPECT_EQ(Le16(z, cd + 6), 20u);
    EXPECT_EQ(Le16(z, cd + 8), 2u);
    EXPECT_EQ(Le16(z, cd + 10), 8u);
    EXPECT_EQ(Le32(z, cd + 12), DosTime(1700000000));
    EXPECT_EQ(Le32(z, cd + 16), Crc(first));
    EXPECT_EQ(Le32(z, cd + 20), compressed);
    EXPECT_EQ(Le32(z, cd + 24), first.size());
    EXPECT_EQ(Le16(z, cd + 28), 9u);
    EXPECT_EQ(Le16(z, cd + 30), 9u);
    EXPECT_EQ(Le16(z, cd + 32), 0u);
    EXPECT_EQ(Le16(z, cd + 34), 0u);
    EXPECT_EQ(Le16(z, cd + 36), 0u);
    EXPECT_EQ(Le32(z, cd + 38), 0x81A40020u);  // a regular file of mode 0644, "archive"
    EXPECT_EQ(Le32(z, cd + 42), 0u);
    EXPECT_EQ(std::string(z.begin() + cd + 46, z.begin() + cd + 55), "dir/a.txt");
    EXPECT_EQ(Le16(z, cd + 55), 0x5455u);
    EXPECT_EQ(Le16(z, cd + 57), 5u);
    EXPECT_EQ(z[cd + 59], 0x07);
    EXPECT_EQ(Le32(z, cd + 60), 1700000000u);

    const std::uint64_t cd2 = cd + 64;
    EXPECT_EQ(Le32(z, cd2), 0x02014B50u);
    EXPECT_EQ(Le16(z, cd2 + 8), 0u);
    EXPECT_EQ(Le16(z, cd2 + 10), 0u);
    EXPECT_EQ(Le32(z, cd2 + 20), second.size());
    EXPECT_EQ(Le32(z, cd2 + 42), second_at);
    EXPECT_EQ(Le32(z, cd2 + 46 + 5 + 5), 1500000000u);

    // The end record closes the file.
    const std::uint64_t end = cd2 + 46 + 5 + 9;
    ASSERT_EQ(z.size(), end + 22);
    EXPECT_EQ(Le32(z, end), 0x06054B50u);
    EXPECT_EQ(Le16(z, end + 4), 0u);
    EXPECT_EQ(Le16(z, end + 6), 0u);
    EXPECT_EQ(Le16(z, end + 8), 2u);
    EXPECT_EQ(Le16(z, end + 10), 2u);
    EXPECT_EQ(Le32(z, end + 12), end - cd);
    EXPECT_EQ(Le32(z, end + 16), cd);
    EXPECT_EQ(Le16(z, end + 20), 0u);

    ExpectReadersAccept(archive, {{"dir/a.txt", folder / "a.txt"}, {"b.zip", folder / "b.zip"}});
}

TEST(ZipLayout, AnArchiveWithoutEntriesIsOnlyTheEndRecord) {
    TempFolder folder;
    const auto archive = folder / "empty.zip";
    ASSERT_EQ(CloseZipArchive(CreateZipArchive(archive)), ZipOk);
    Bytes expected(22, 0);
    expected[0] = 0x50;
    expected[1] = 0x4B;
    expected[2] = 0x05;
    expected[3] = 0x06;
    EXPECT_EQ(ReadFile(archive), expected);
    ExpectReadersAccept(archive, {});
}

TEST(ZipLayout, AnEmptySourceIsOneFixedBlockOfTwoBytes) {
    TempFolder folder;
    WriteFile(folder / "empty", {});
    const auto archive = folder / "out.zip";
    auto handle = CreateZipArchive(archive);
    ASSERT_EQ(AddFileToZipArchive(handle.get(), u"empty", folder / "empty"), ZipOk);
    ASSERT_EQ(CloseZipArchive(std::move(handle)), ZipOk);
    const auto entries = ReadEntryHeaders(archive);
    ASSERT_EQ(entries.size(), 1u);
    const HeaderFields& h = entries[0].central;
    EXPECT_EQ(h.method, 8u);
    EXPECT_EQ(h.flags, 2u);
    EXPECT_EQ(h.uncompressedSize, 0u);
    EXPECT_EQ(h.compressedSize, 2u);
    EXPECT_EQ(h.crc32, 0u);
    const Bytes z = ReadFile(archive);
    EXPECT_EQ(z[entries[0].local.end], 0x03);
    EXPECT_EQ(z[entries[0].local.end + 1], 0x00);
    ExpectReadersAccept(archive, {{"empty", folder / "empty"}});
}

TEST(ZipLayout, OnlyTheSuffixAfterTheLastDotChoosesStoring) {
    TempFolder folder;
    WriteFile(folder / "source", TextLike(5000, 2));
    const struct {
        std::u16string name;
        std::string stored;
        bool expectStored;
    } cases[] = {{u"a.ZIP", "a.ZIP", true},
                 {u"b.TgZ", "b.TgZ", true},
                 {u"c.Z", "c.Z", true},
                 {u"d.z", "d.z", true},
                 {u"e.gz", "e.gz", true},
                 {u"f.zoo", "f.zoo", true},
                 {u"g.arc", "g.arc", true},
                 {u"h.LZH", "h.LZH", true},
                 {u"i.arj", "i.arj", true},
                 {u"archive.zip.txt", "archive.zip.txt", false},
                 {u"old.zip\\readme", "old.zip/readme", false},
                 {u"noextension", "noextension", false},
                 {u"j.zipx", "j.zipx", false}};
    const auto archive = folder / "out.zip";
    auto handle = CreateZipArchive(archive);
    Manifest manifest;
    for (const auto& c : cases) {
        ASSERT_EQ(AddFileToZipArchive(handle.get(), c.name, folder / "source"), ZipOk);
        manifest.push_back({c.stored, folder / "source"});
    }
    ASSERT_EQ(CloseZipArchive(std::move(handle)), ZipOk);
    const auto entries = ReadEntryHeaders(archive);
    ASSERT_EQ(entries.size(), std::size(cases));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const HeaderFields& h = entries[i].central;
        SCOPED_TRACE(h.name);
        EXPECT_EQ(h.name, cases[i].stored);
        EXPECT_EQ(entries[i].local.name, cases[i].stored);
        EXPECT_EQ(h.method, cases[i].expectStored ? 0u : 8u);
        EXPECT_EQ(h.flags, cases[i].expectStored ? 0u : 2u);
        if (cases[i].expectStored) {
            EXPECT_EQ(h.compressedSize, h.uncompressedSize);
        } else {
            EXPECT_LT(h.compressedSize, h.uncompressedSize);
        }
    }
    ExpectReadersAccept(archive, manifest);
}

TEST(ZipLayout, NonAsciiNamesAreUtf8AndSaySo) {
    TempFolder folder;
    WriteFile(folder / "source", TextLike(3000, 3));
    const auto archive = folder / "out.zip";
    auto handle = CreateZipArchive(archive);
    ASSERT_EQ(AddFileToZipArchive(handle.get(), u"plain.txt", folder / "source"), ZipOk);
    ASSERT_EQ(AddFileToZipArchive(handle.get(), u"日本語\\ファイル.txt", folder / "source"), ZipOk);
    ASSERT_EQ(AddFileToZipArchive(handle.get(), u"café.zip", folder / "source"), ZipOk);
    ASSERT_EQ(CloseZipArchive(std::move(handle)), ZipOk);
    const std::string japanese =
        "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E/"
        "\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB.txt";
    const std::string cafe = "caf\xC3\xA9.zip";
    const auto entries = ReadEntryHeaders(archive);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].central.flags, 0x0002u);
    EXPECT_EQ(entries[1].central.name, japanese);
    EXPECT_EQ(entries[1].central.flags, 0x0802u);
    EXPECT_EQ(entries[1].local.flags, 0x0802u);
    EXPECT_EQ(entries[2].central.name, cafe);
    EXPECT_EQ(entries[2].central.flags, 0x0800u);
    ExpectReadersAccept(archive, {{"plain.txt", folder / "source"},
                                  {japanese, folder / "source"},
                                  {cafe, folder / "source"}});
}

TEST(ZipLayout, NamesWhoseBytesAreNotUtf8KeepThemAndComeBackAsTheyWere) {
    TempFolder folder;
    // Names a POSIX file system holds as they are: "café" in Latin-1, and "表" in Shift_JIS,
    // whose second byte is the one of a backslash. The UTF-8 name is text, as before.
    const std::string names[] = {"caf\xE9.txt", "caf\xEA.txt", "\x95\x5C.txt", "caf\xC3\xA9.txt"};
    const bool utf8[] = {false, false, false, true};
    std::filesystem::create_directories(folder / "base" / "sub");
    const auto archive = folder / "out.zip";
    auto handle = CreateZipArchive(archive);
    Manifest manifest;
    std::uint32_t seed = 10;
    for (const auto& name : names) {
        const auto relative = std::filesystem::path("sub") / name;
        WriteFile(folder / "base" / relative, TextLike(1000, seed++));
        ASSERT_EQ(AddFileToZipArchive(handle.get(), u"DIF_1", relative, folder / "base" / relative),
                  ZipOk);
        manifest.push_back({"DIF_1/sub/" + name, folder / "base" / relative});
    }
    ASSERT_EQ(CloseZipArchive(std::move(handle)), ZipOk);
    const auto entries = ReadEntryHeaders(archive);
    ASSERT_EQ(entries.size(), std::size(names));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(manifest[i].name);
        EXPECT_EQ(entries[i].central.name, manifest[i].name);
        EXPECT_EQ(entries[i].local.name, manifest[i].name);
        EXPECT_EQ((entries[i].central.flags & 0x0800) != 0, utf8[i]);
        EXPECT_EQ((entries[i].local.flags & 0x0800) != 0, utf8[i]);
    }
    ExpectReadersAccept(archive, manifest);

    const auto unzipped = folder / "unzipped";
    const CommandResult unzip = RunCommand("unzip -q " + ShellQuote(archive.string()) + " -d " +
                                           ShellQuote(unzipped.string()));
    ASSERT_EQ(unzip.exitCode, 0) << unzip.output;
    std::set<std::string> restored;
    for (const auto& file : std::filesystem::directory_iterator(unzipped / "DIF_1" / "sub")) {
        restored.insert(file.path().filename().native());
        EXPECT_EQ(ReadFile(file.path()),
                  ReadFile(folder / "base" / "sub" / file.path().filename()));
    }
    EXPECT_EQ(restored, std::set<std::string>(std::begin(names), std::end(names)));
}

TEST(ZipLayout, ExternalAttributesCarryDosBitsAndTheFilesOwnMode) {
    TempFolder folder;
    const Bytes text = TextLike(500, 4);
    // A Windows executable's first bytes: "MZ", the offset of the PE header at byte 60, and
    // the header's signature "PE\0\0" there. On POSIX its mode says whether it may be run.
    Bytes windowsExecutable(300, 0);
    windowsExecutable[0] = 'M';
    windowsExecutable[1] = 'Z';
    windowsExecutable[60] = 128;
    windowsExecutable[128] = 'P';
    windowsExecutable[129] = 'E';
    const struct {
        std::string name;
        const Bytes& content;
        ::mode_t mode;
        std::uint32_t expected;
    } cases[] = {
        {"plain.txt", text, 0644, 0x81A40020}, {"readonly.txt", text, 0444, 0x81240021},
        {".hidden", text, 0644, 0x81A40022},   {"script.sh", text, 0755, 0x81ED0020},
        {"setuid", text, 04750, 0x89E80020},   {"program.exe", windowsExecutable, 0644, 0x81A40020},
    };
    const auto archive = folder / "out.zip";
    auto handle = CreateZipArchive(archive);
    Manifest manifest;
    for (const auto& c : cases) {
        WriteFile(folder / c.name, c.content);
        ASSERT_EQ(::chmod((folder / c.name).c_str(), c.mode), 0);
        ASSERT_EQ(AddFileToZipArchive(handle.get(), std::u16string(c.name.begin(), c.name.end()),
                                      folder / c.name),
                  ZipOk);
        manifest.push_back({c.name, folder / c.name});
    }
    ASSERT_EQ(CloseZipArchive(std::move(handle)), ZipOk);
    const auto entries = ReadEntryHeaders(archive);
    ASSERT_EQ(entries.size(), std::size(cases));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].central.externalAttributes, cases[i].expected) << cases[i].name;
        EXPECT_EQ(entries[i].central.versionMadeBy, 0x0317u) << cases[i].name;
    }
    ExpectReadersAccept(archive, manifest);
}

TEST(ZipLayout, TimesAreLocalForDosAndHeldInRangeForTheTimestampField) {
    TempFolder folder;
    const std::int64_t recent = LocalSeconds(2021, 7, 4, 13, 45, 31);
    const std::int64_t early = LocalSeconds(1960, 6, 15, 12, 34, 56);
    const std::int64_t late = LocalSeconds(2040, 3, 1, 10, 0, 0);
    const struct {
        const char* name;
        std::int64_t modified;
        std::uint32_t dos;
        std::uint32_t timestamp;
    } cases[] = {
        {"recent", recent, DosTime(recent), static_cast<std::uint32_t>(recent)},
        // DOS dates begin in 1980; the timestamp field keeps the time of day on 1 Jan 1970.
        {"early", early, 0x00210000,
         static_cast<std::uint32_t>(LocalSeconds(1970, 1, 1, 12, 34, 56))},
        // The timestamp field ends with 2037.
        {"late", late, DosTime(late),
         static_cast<std::uint32_t>(LocalSeconds(2037, 12, 31, 10, 0, 0))},
    };
    const auto archive = folder / "out.zip";
    auto handle = CreateZipArchive(archive);
    Manifest manifest;
    for (const auto& c : cases) {
        WriteFile(folder / c.name, TextLike(100, 5));
        SetTimes(folder / c.name, c.modified, recent);
        ASSERT_EQ(
            AddFileToZipArchive(handle.get(), std::u16string(c.name, c.name + std::strlen(c.name)),
                                folder / c.name),
            ZipOk);
        manifest.push_back({c.name, folder / c.name});
    }
    ASSERT_EQ(CloseZipArchive(std::move(handle)), ZipOk);
    const auto entries = ReadEntryHeaders(archive);
    ASSERT_EQ(entries.size(), std::size(cases));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(entries[i].central.dosTime, cases[i].dos);
        EXPECT_EQ(entries[i].local.dosTime, cases[i].dos);
        EXPECT_EQ(Le32(FindExtraField(entries[i].local.extra, 0x5455), 1), cases[i].timestamp);
        EXPECT_EQ(Le32(FindExtraField(entries[i].central.extra, 0x5455), 1), cases[i].timestamp);
        EXPECT_EQ(Le32(FindExtraField(entries[i].local.extra, 0x5455), 5),
                  static_cast<std::uint32_t>(recent));
    }
    ExpectReadersAccept(archive, manifest);
}

}  // namespace
}  // namespace arkivo::test
