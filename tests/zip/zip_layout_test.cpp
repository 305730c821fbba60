// The bytes of archives, checked against the record layout of the ZIP format.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zlib.h>

#include <ctime>
#include <set>
#include <span>

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

// Little-endian fields of an archive, each at its offset from the start of its record.
struct Field {
    std::uint64_t offset;
    int size;  // in bytes: 1, 2 or 4
    std::uint64_t value;
};

void ExpectFields(const Bytes& z, std::uint64_t record, std::span<const Field> fields) {
    for (const Field& f : fields) {
        const std::uint64_t at = record + f.offset;
        const std::uint64_t got = f.size == 1 ? z.at(at) : f.size == 2 ? Le16(z, at) : Le32(z, at);
        EXPECT_EQ(got, f.value) << "the field at " << record << " + " << f.offset;
    }
}

std::string Text(const Bytes& z, std::uint64_t at, std::size_t size) {
    return std::string(z.begin() + static_cast<std::ptrdiff_t>(at),
                       z.begin() + static_cast<std::ptrdiff_t>(at + size));
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
    WriteArchive(archive,
                 {{u"dir\\a.txt", folder / "a.txt", "dir/a.txt"}, {u"b.zip", folder / "b.zip"}});
    const Bytes z = ReadFile(archive);

    // The first local header at 0: version 2.0, "maximum" deflation, the DOS time, CRC, sizes,
    // the name "dir/a.txt" and 17 bytes of extended timestamp (modified, accessed, created).
    const std::uint32_t compressed = Le32(z, 18);
    const std::uint32_t created = CreationSeconds(folder / "a.txt");
    const std::uint32_t aTime = DosTime(1700000000), bTime = DosTime(1500000000);
    const std::uint32_t aCrc = Crc(first), bCrc = Crc(second);
    const std::uint64_t aSize = first.size(), bSize = second.size();
    const Field firstLocal[] = {{0, 4, 0x04034B50},  {4, 2, 20},          {6, 2, 2},
                                {8, 2, 8},           {10, 4, aTime},      {14, 4, aCrc},
                                {22, 4, aSize},      {26, 2, 9},          {28, 2, 17},
                                {39, 2, 0x5455},     {41, 2, 13},         {43, 1, 0x07},
                                {44, 4, 1700000000}, {48, 4, 1600000000}, {52, 4, created}};
    ExpectFields(z, 0, firstLocal);
    EXPECT_EQ(Text(z, 30, 9), "dir/a.txt");
    const Bytes data(z.begin() + 56, z.begin() + 56 + compressed);
    const auto inflated = ZlibInflateRaw(data);
    ASSERT_TRUE(inflated);
    EXPECT_EQ(inflated->bytes, first);
    EXPECT_EQ(inflated->consumed, data.size());

    // The second local header right after the data: stored, flags 0, sizes equal.
    const std::uint64_t secondAt = 56 + compressed;
    const Field secondLocal[] = {{0, 4, 0x04034B50}, {6, 2, 0},      {8, 2, 0},      {10, 4, bTime},
                                 {14, 4, bCrc},      {18, 4, bSize}, {22, 4, bSize}, {26, 2, 5}};
    ExpectFields(z, secondAt, secondLocal);
    const std::uint64_t secondData = secondAt + 30 + 5 + 17;
    EXPECT_TRUE(std::equal(second.begin(), second.end(), z.begin() + secondData));

    // The central directory follows the last data: made by Unix, format 2.3; a regular file
    // of mode 0644 with the "archive" bit; the timestamp field with the modification only.
    const std::uint64_t cd = secondData + second.size();
    const Field firstCentral[] = {
        {0, 4, 0x02014B50}, {4, 2, 0x0317}, {6, 2, 20},          {8, 2, 2},
        {10, 2, 8},         {12, 4, aTime}, {16, 4, aCrc},       {20, 4, compressed},
        {24, 4, aSize},     {28, 2, 9},     {30, 2, 9},          {32, 2, 0},
        {34, 2, 0},         {36, 2, 0},     {38, 4, 0x81A40020}, {42, 4, 0},
        {55, 2, 0x5455},    {57, 2, 5},     {59, 1, 0x07},       {60, 4, 1700000000}};
    ExpectFields(z, cd, firstCentral);
    EXPECT_EQ(Text(z, cd + 46, 9), "dir/a.txt");
    const std::uint64_t cd2 = cd + 64;
    const Field secondCentral[] = {{0, 4, 0x02014B50}, {8, 2, 0},
                                   {10, 2, 0},         {20, 4, bSize},
                                   {42, 4, secondAt},  {46 + 5 + 5, 4, 1500000000}};
    ExpectFields(z, cd2, secondCentral);

    // The end record closes the file.
    const std::uint64_t end = cd2 + 46 + 5 + 9;
    ASSERT_EQ(z.size(), end + 22);
    const Field endRecord[] = {{0, 4, 0x06054B50}, {4, 2, 0},         {6, 2, 0},   {8, 2, 2},
                               {10, 2, 2},         {12, 4, end - cd}, {16, 4, cd}, {20, 2, 0}};
    ExpectFields(z, end, endRecord);

    ExpectReadersAccept(archive, {{"dir/a.txt", folder / "a.txt"}, {"b.zip", folder / "b.zip"}});
}

TEST(ZipLayout, AnArchiveWithoutEntriesIsOnlyTheEndRecord) {
    TempFolder folder;
    const auto archive = folder / "empty.zip";
    ASSERT_EQ(CloseZipArchive(CreateZipArchive(archive)), ZipOk);
    Bytes endRecord = {0x50, 0x4B, 0x05, 0x06};
    endRecord.resize(22);
    EXPECT_EQ(ReadFile(archive), endRecord);
    ExpectReadersAccept(archive, {});
}

TEST(ZipLayout, AnEmptySourceIsOneFixedBlockOfTwoBytes) {
    TempFolder folder;
    WriteFile(folder / "empty", {});
    const auto archive = folder / "out.zip";
    const auto manifest = WriteArchive(archive, {{u"empty", folder / "empty"}});
    const auto entries = ReadEntryHeaders(archive);
    ASSERT_EQ(entries.size(), 1u);
    const HeaderFields& h = entries[0].central;
    EXPECT_EQ(h.method, 8u);
    EXPECT_EQ(h.flags, 2u);
    EXPECT_EQ(h.uncompressedSize, 0u);
    EXPECT_EQ(h.compressedSize, 2u);
    EXPECT_EQ(h.crc32, 0u);
    const Field fixedBlockWithTheEndCode[] = {{0, 2, 0x0003}};
    ExpectFields(ReadFile(archive), entries[0].local.end, fixedBlockWithTheEndCode);
    ExpectReadersAccept(archive, manifest);
}

TEST(ZipLayout, OnlyTheSuffixAfterTheLastDotChoosesStoring) {
    TempFolder folder;
    WriteFile(folder / "source", TextLike(5000, 2));
    const std::u16string storedNames[] = {u"a.ZIP", u"b.TgZ", u"c.Z",   u"d.z",  u"e.gz",
                                          u"f.zoo", u"g.arc", u"h.LZH", u"i.arj"};
    const std::u16string deflatedNames[] = {u"archive.zip.txt", u"old.zip/readme", u"noextension",
                                            u"j.zipx"};
    std::vector<Added> files;
    for (const auto& name : storedNames) {
        files.push_back({name, folder / "source"});
    }
    for (const auto& name : deflatedNames) {
        files.push_back({name, folder / "source"});
    }
    const auto archive = folder / "out.zip";
    const auto manifest = WriteArchive(archive, files);
    const auto entries = ReadEntryHeaders(archive);
    ASSERT_EQ(entries.size(), files.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const HeaderFields& h = entries[i].central;
        const bool stored = i < std::size(storedNames);
        SCOPED_TRACE(manifest[i].name);
        EXPECT_EQ(h.name, manifest[i].name);
        EXPECT_EQ(entries[i].local.name, manifest[i].name);
        EXPECT_EQ(h.method, stored ? 0u : 8u);
        EXPECT_EQ(h.flags, stored ? 0u : 2u);
        if (stored) {
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
    const std::string japanese =
        "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E/"
        "\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB.txt";
    const std::string cafe = "caf\xC3\xA9.zip";
    const auto archive = folder / "out.zip";
    const auto manifest =
        WriteArchive(archive, {{u"plain.txt", folder / "source"},
                               {u"日本語\\ファイル.txt", folder / "source", japanese},
                               {u"café.zip", folder / "source", cafe}});
    const auto entries = ReadEntryHeaders(archive);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].central.flags, 0x0002u);
    EXPECT_EQ(entries[1].central.name, japanese);
    EXPECT_EQ(entries[1].central.flags, 0x0802u);
    EXPECT_EQ(entries[1].local.flags, 0x0802u);
    EXPECT_EQ(entries[2].central.name, cafe);
    EXPECT_EQ(entries[2].central.flags, 0x0800u);
    ExpectReadersAccept(archive, manifest);
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
        std::u16string name;
        const Bytes& content;
        ::mode_t mode;
        std::uint32_t expected;
    } cases[] = {
        {u"plain.txt", text, 0644, 0x81A40020},
        {u"readonly.txt", text, 0444, 0x81240021},
        {u".hidden", text, 0644, 0x81A40022},
        {u"script.sh", text, 0755, 0x81ED0020},
        {u"setuid", text, 04750, 0x89E80020},
        {u"program.exe", windowsExecutable, 0644, 0x81A40020},
    };
    std::vector<Added> files;
    for (const auto& c : cases) {
        const auto source = folder / c.name;
        WriteFile(source, c.content);
        ASSERT_EQ(::chmod(source.c_str(), c.mode), 0);
        files.push_back({c.name, source});
    }
    const auto archive = folder / "out.zip";
    const auto manifest = WriteArchive(archive, files);
    const auto entries = ReadEntryHeaders(archive);
    ASSERT_EQ(entries.size(), std::size(cases));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].central.externalAttributes, cases[i].expected) << manifest[i].name;
        EXPECT_EQ(entries[i].central.versionMadeBy, 0x0317u) << manifest[i].name;
    }
    ExpectReadersAccept(archive, manifest);
}

TEST(ZipLayout, TimesAreLocalForDosAndHeldInRangeForTheTimestampField) {
    TempFolder folder;
    const std::int64_t recent = LocalSeconds(2021, 7, 4, 13, 45, 31);
    const std::int64_t early = LocalSeconds(1960, 6, 15, 12, 34, 56);
    const std::int64_t late = LocalSeconds(2040, 3, 1, 10, 0, 0);
    const struct {
        std::u16string name;
        std::int64_t modified;
        std::uint32_t dos;
        std::uint32_t timestamp;
    } cases[] = {
        {u"recent", recent, DosTime(recent), static_cast<std::uint32_t>(recent)},
        // DOS dates begin in 1980; the timestamp field keeps the time of day on 1 Jan 1970.
        {u"early", early, 0x00210000,
         static_cast<std::uint32_t>(LocalSeconds(1970, 1, 1, 12, 34, 56))},
        // The timestamp field ends with 2037.
        {u"late", late, DosTime(late),
         static_cast<std::uint32_t>(LocalSeconds(2037, 12, 31, 10, 0, 0))},
    };
    std::vector<Added> files;
    for (const auto& c : cases) {
        WriteFile(folder / c.name, TextLike(100, 5));
        SetTimes(folder / c.name, c.modified, recent);
        files.push_back({c.name, folder / c.name});
    }
    const auto archive = folder / "out.zip";
    const auto manifest = WriteArchive(archive, files);
    const auto entries = ReadEntryHeaders(archive);
    ASSERT_EQ(entries.size(), std::size(cases));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(manifest[i].name);
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
