#include "settings/lang_ini.h"

#include <gtest/gtest.h>

#include <list>
#include <map>
#include <random>
#include <thread>

#include "common/text.h"
#include "platform/codepage.h"
#include "support/temp_folder.h"

namespace arkivo {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

std::string Utf16File(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

using ReadEntries = std::map<std::pair<std::u16string, std::u16string>, std::u16string>;

// Everything a fresh reader finds in the file.
ReadEntries ReadAll(const std::filesystem::path& path) {
    CLangIni store;
    store.Open(path);
    ReadEntries entries;
    for (const auto& section : store.SectionNames()) {
        for (const auto& [key, value] : store.SectionEntries(section)) {
            entries[{section, key}] = value;
        }
    }
    return entries;
}

// The reader leaves a working copy of a UTF-16 file in the current folder.
class WorkingFolder {
  public:
    explicit WorkingFolder(const std::filesystem::path& folder)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~WorkingFolder() { std::filesystem::current_path(previous_); }

  private:
    std::filesystem::path previous_;
};

class IniStore : public ::testing::Test {
  protected:
    CLangIni& Load(const std::string& bytes) {
        WriteBytes(path, bytes);
        CLangIni& store = stores.emplace_back();
        EXPECT_TRUE(store.Open(path));
        return store;
    }

    std::list<CLangIni> stores;

    TempFolder folder;
    std::filesystem::path path = folder / "Option.ini";
};

// Keys and values exactly as written; a repeated key keeps its last value and a repeated
// section goes on.
TEST_F(IniStore, KeysAndValuesAreTakenExactlyAsWritten) {
    CLangIni& store = Load(
        "[Report]\nReportOn=1\nReportOn = 1\na=b=c\n; ReportOn=9\n\nno equals sign\n"
        "[[x]]\nk=v\n[y] \nafter=header-like line\n");
    EXPECT_EQ(store.GetValue(u"Report", u"ReportOn"), u"1");
    EXPECT_EQ(store.GetValue(u"Report", u"ReportOn "), u" 1");
    EXPECT_EQ(store.GetValue(u"Report", u"a"), u"b=c");
    EXPECT_EQ(store.GetValue(u"x", u"k"), u"v");
    // "[y] " ends in a blank, so it is not a header: the key stays in section x.
    EXPECT_EQ(store.GetValue(u"x", u"after"), u"header-like line");
    EXPECT_EQ(store.FindSection(u"y"), -1);
    EXPECT_EQ(store.FindKey(store.FindSection(u"Report"), u"reporton"), -1);
    CLangIni& repeated = Load("k=top\n[S]\nk=1\n[T]\nk=t\n[S]\nk=2\nj=3\n");
    EXPECT_EQ(repeated.GetValue(u"", u"k"), u"top");
    EXPECT_EQ(repeated.GetValue(u"S", u"k"), u"2");
    EXPECT_EQ(repeated.GetValue(u"S", u"j"), u"3");
    EXPECT_EQ((repeated.SectionNames()), (std::vector<std::u16string>{u"", u"S", u"T"}));
}

TEST_F(IniStore, MissingSectionsAndKeysReadEmptyAndSayWhy) {
    CLangIni& store = Load("[Static]\nBASE=Base\n");
    EXPECT_EQ(store.GetValue(u"Nope", u"BASE"), u"");
    EXPECT_EQ(store.LastError(), u"Unable to locate specified key: [Nope]");
    EXPECT_EQ(store.GetValue(u"Static", u"TARGET"), u"");
    EXPECT_EQ(store.LastError(), u"Unable to locate specified value: TARGET.");
    EXPECT_EQ(ReadNumber(store, u"Static", u"BASE"), 0);
}

TEST_F(IniStore, ALineLongerThan2047IsPassedOverAndTheRestRead) {
    CLangIni& store =
        Load("[S]\nbefore=1\nlong=" + std::string(2043, 'x') + "\nafter=2\n[T]\nk=3\n");
    EXPECT_EQ(store.GetValue(u"S", u"before"), u"1");
    EXPECT_EQ(store.FindKey(store.FindSection(u"S"), u"long"), -1);
    EXPECT_EQ(store.GetValue(u"S", u"after"), u"2");
    EXPECT_EQ(store.GetValue(u"T", u"k"), u"3");
    // A long header is no header: its entries stay in the section before it.
    CLangIni& header = Load("[S]\n[" + std::string(2046, 'x') + "]\nk=1\n");
    EXPECT_EQ(header.GetValue(u"S", u"k"), u"1");
    CLangIni& fits = Load("[S]\nlong=" + std::string(2042, 'x') + "\nafter=2\n");
    EXPECT_EQ(fits.GetValue(u"S", u"long"), std::u16string(2042, u'x'));
    // UTF-16 files count code units: 2047 of them fit.
    CLangIni& wide = Load(Utf16File(u"[S]\r\nk=" + std::u16string(2045, u'\u65e5') + u"\r\n"));
    EXPECT_EQ(wide.GetValue(u"S", u"k").size(), 2045u);
}

TEST_F(IniStore, Utf16FilesAreReadThroughAWorkingCopy) {
    const WorkingFolder working(folder.path());
    CLangIni& store = Load(Utf16File(u"[Static]\r\nBASE=\u5143\u30D5\u30A9\u30EB\u30C0 : \r\n"));
    EXPECT_EQ(store.GetValue(u"Static", u"BASE"), u"\u5143\u30D5\u30A9\u30EB\u30C0 : ");
    // The working copy holds the content after the byte-order mark, unchanged.
    EXPECT_EQ(ReadBytes(folder / "Temp.ini"),
              Utf16File(u"[Static]\r\nBASE=\u5143\u30D5\u30A9\u30EB\u30C0 : \r\n").substr(2));
}

TEST_F(IniStore, ReloadMergesSoAnotherLanguageKeepsMissingTexts) {
    WriteBytes(folder / "english.ini", "[Static]\nBASE=Base\nTARGET=Target\n");
    WriteBytes(folder / "japanese.ini", Utf16File(u"[Static]\r\nBASE=\u5143\r\n"));
    CLangIni store;
    ASSERT_TRUE(store.Open(folder / "english.ini"));
    ASSERT_TRUE(store.Open(folder / "japanese.ini"));
    EXPECT_EQ(store.GetValue(u"Static", u"BASE"), u"\u5143");
    EXPECT_EQ(store.GetValue(u"Static", u"TARGET"), u"Target");
    EXPECT_FALSE(store.Open(folder / "missing.ini"));
    EXPECT_EQ(store.GetValue(u"Static", u"TARGET"), u"Target");
}

TEST_F(IniStore, SetValueCreatesOnlyWhenAsked) {
    CLangIni& store = Load("[S]\nk=1\n");
    EXPECT_FALSE(store.SetValue(u"S", u"new", u"x", false));
    EXPECT_FALSE(store.SetValue(u"New", u"k", u"x", false));
    EXPECT_TRUE(store.SetValue(u"S", u"k", u"2", false));
    EXPECT_TRUE(store.SetValue(u"New", u"k", u"3", true));
    EXPECT_EQ(store.GetValue(u"S", u"k"), u"2");
    EXPECT_EQ(store.GetValue(u"New", u"k"), u"3");
    EXPECT_EQ(ReadBytes(path), "[S]\nk=1\n");
}

TEST_F(IniStore, WriteValueEditsTheFileAsTheReaderReadsIt) {
    CLangIni& store = Load("; settings\n[report]\nReportOn=0\n\n[Other]\nx=1\n");
    ASSERT_TRUE(store.WriteValue(u"Report", u"ReportOn", u"1"));
    ASSERT_TRUE(store.WriteValue(u"Report", u"ReportCreatedOn", u"1"));
    ASSERT_TRUE(store.WriteValue(u"New", u"k", u"v"));
    ASSERT_TRUE(store.WriteValue(u"report", u"ReportCreatedOn", u"0"));
    // "Report" is a section of its own beside the hand-written "[report]".
    EXPECT_EQ(ReadAll(path), (ReadEntries{{{u"report", u"ReportOn"}, u"0"},
                                          {{u"report", u"ReportCreatedOn"}, u"0"},
                                          {{u"Other", u"x"}, u"1"},
                                          {{u"Report", u"ReportOn"}, u"1"},
                                          {{u"Report", u"ReportCreatedOn"}, u"1"},
                                          {{u"New", u"k"}, u"v"}}));
    const std::string text = ReadBytes(path);
    EXPECT_EQ(text.rfind("; settings", 0), 0u);
    EXPECT_LT(text.find("ReportCreatedOn=1"), text.find("[New]"));
    // A new key joins its own section, before the blank line and the next section.
    EXPECT_EQ(text.find("[report]\nReportOn=0\nReportCreatedOn=0\r\n\n[Other]"), 11u);
}

// Hand-written files full of lines that look alike: whatever is written, or removed as a key or
// a whole section (present or not), is what a fresh reader then finds, and nothing else it
// found changes.
TEST_F(IniStore, TheReaderFindsExactlyWhatTheWriterWrote) {
    const WorkingFolder scratch(folder.path());
    const std::vector<std::u16string> lines = {u"[Report]",
                                               u"[report]",
                                               u"[ Report]",
                                               u"[Report] ",
                                               u"[[Report]]",
                                               u"[]",
                                               u"[Re]port]",
                                               u"ReportOn=1",
                                               u"reporton=2",
                                               u"ReportOn =3",
                                               u" ReportOn=4",
                                               u"ReportOn",
                                               u";ReportOn=5",
                                               u"=6",
                                               u"a=b=c",
                                               u"",
                                               u"  ",
                                               u"[" + std::u16string(2046, u'L') + u"]",
                                               u"k=" + std::u16string(2046, u'L'),
                                               u"\u65e5=\u672c"};
    const std::vector<std::u16string> names = {u"Report", u"report",  u" Report",
                                               u"",       u"Re]port", u"1"};
    const std::vector<std::u16string> keys = {u"ReportOn", u"reporton", u"ReportOn ", u" ReportOn",
                                              u"",         u"a",        u"k",         u"\u65e5"};
    std::mt19937 random(77);
    auto pick = [&random](const auto& list) { return list[random() % list.size()]; };
    for (int round = 0; round < 60; ++round) {
        std::u16string text;
        for (int i = 0; i < 12; ++i) {
            text += pick(lines) + (random() % 4 == 0 ? u"\n" : u"\r\n");
        }
        if (random() % 3 == 0) {
            text.pop_back();  // no line end after the last line
        }
        const bool wide = round % 2 == 1;
        WriteBytes(path, wide ? Utf16File(text) : Utf16ToUtf8(text));
        CLangIni store;
        store.Open(path);
        for (int change = 0; change < 6; ++change) {
            ReadEntries expected = ReadAll(path);
            const auto section = pick(names);
            auto key = pick(keys);
            // An 8-bit file holds what the ANSI code page can; Japanese is not everywhere.
            while (!wide && key.find(u'\u65e5') != std::u16string::npos) {
                key = pick(keys);
            }
            const int what = static_cast<int>(random() % 4);
            if (what == 0) {
                ASSERT_TRUE(store.WriteValue(section, key, std::nullopt));
                expected.erase({section, key});
            } else if (what == 1) {
                ASSERT_TRUE(store.WriteValue(section, std::nullopt, std::nullopt));
                std::erase_if(expected, [&](const auto& e) { return e.first.first == section; });
            } else {
                const std::u16string value = u"v" + ToDecimal(round * 10 + change) + u" ";
                ASSERT_TRUE(store.WriteValue(section, key, value));
                expected[{section, key}] = value;
            }
            ASSERT_EQ(ReadAll(path), expected) << "round " << round << ", change " << change;
        }
    }
}

TEST_F(IniStore, AnEntryTheReaderCouldNotReadBackIsNotWritten) {
    CLangIni& store = Load("[S]\r\nk=1\r\n");
    const std::string before = ReadBytes(path);
    // "k=" and 2045 characters make a line of 2047: the longest a reader reads.
    EXPECT_TRUE(store.WriteValue(u"S", u"k", std::u16string(2045, u'x')));
    EXPECT_FALSE(store.WriteValue(u"S", u"k", std::u16string(2046, u'x')));
    EXPECT_EQ(store.LastWriteError(), std::errc::value_too_large);
    EXPECT_FALSE(store.WriteValue(u"T", std::u16string(2047, u'k'), u""));
    EXPECT_FALSE(store.WriteValue(std::u16string(2046, u's'), u"k", u"v"));
    EXPECT_FALSE(store.WriteValue(u"S", u"k", u"line\nbreak"));
    EXPECT_FALSE(store.WriteValue(u"S", u"a=b", u"v"));
    EXPECT_FALSE(store.WriteValue(u"S", u";k", u"v"));
    EXPECT_FALSE(store.WriteValue(u"[S]", u"k", u"v"));
    EXPECT_EQ(ReadAll(path), (ReadEntries{{{u"S", u"k"}, std::u16string(2045, u'x')}}));
    store.WriteValue(u"S", u"k", u"1");
    EXPECT_EQ(ReadBytes(path), before);
}

TEST_F(IniStore, WriteValueCreatesAMissingFileAndKeepsUtf16Files) {
    CLangIni fresh;
    fresh.Open(folder / "Setting.ini");
    ASSERT_TRUE(StoreValue(fresh, u"1", u"ThereisFileToCopy", u"0"));
    EXPECT_EQ(ReadBytes(folder / "Setting.ini"), "[1]\r\nThereisFileToCopy=0\r\n");

    const WorkingFolder working(folder.path());
    CLangIni& wide = Load(Utf16File(u"[Static]\r\nBASE=\uC6D0\uBCF8\r\n"));
    ASSERT_TRUE(wide.WriteValue(u"Static", u"TARGET", u"\uB300\uC0C1"));
    EXPECT_EQ(ReadBytes(path).substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(ReadAll(path), (ReadEntries{{{u"Static", u"BASE"}, u"\uC6D0\uBCF8"},
                                          {{u"Static", u"TARGET"}, u"\uB300\uC0C1"}}));
}

TEST_F(IniStore, TextAn8BitFileCannotHoldTurnsTheFileIntoUtf16) {
    const std::u16string omega = u"\u03c9\u03c1\u03b1";
    if (platform::Utf16ToAnsi(omega)) {
        GTEST_SKIP() << "this system's code page holds every character";
    }
    CLangIni& store = Load("[1]\r\n1=*.tmp\r\n[2]\r\n1=cache\r\n");
    ASSERT_TRUE(store.WriteValue(u"1", u"2", omega));
    const WorkingFolder working(folder.path());
    EXPECT_EQ(ReadBytes(path),
              Utf16File(u"[1]\r\n1=*.tmp\r\n2=" + omega + u"\r\n[2]\r\n1=cache\r\n"));
    EXPECT_EQ(
        ReadAll(path),
        (ReadEntries{{{u"1", u"1"}, u"*.tmp"}, {{u"1", u"2"}, omega}, {{u"2", u"1"}, u"cache"}}));
}

// A lone surrogate has no UTF-8 form: written into an 8-bit file as a replacement character,
// it would read back as other text than was written.
TEST_F(IniStore, TextWithALoneSurrogateTurnsAn8BitFileIntoUtf16) {
    const std::u16string lone =
        u"a\xDC8B"
        u"b";
    const std::u16string section = u"S\xD800";
    CLangIni& store = Load("[1]\r\n1=*.tmp\r\n");
    ASSERT_TRUE(store.WriteValue(u"1", u"2", lone));
    ASSERT_TRUE(store.WriteValue(section, u"k", u"v"));
    const WorkingFolder working(folder.path());
    EXPECT_EQ(ReadBytes(path).substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(
        ReadAll(path),
        (ReadEntries{{{u"1", u"1"}, u"*.tmp"}, {{u"1", u"2"}, lone}, {{section, u"k"}, u"v"}}));
}

// The header of a new section that turns the file into UTF-16 must not leave the section's
// first entry behind in 8-bit bytes, which the reader would then not find.
TEST_F(IniStore, ANewSectionWhoseNameAn8BitFileCannotHoldKeepsItsEntry) {
    const std::u16string section = u"S\xDC8B";
    CLangIni& store = Load("[1]\r\n1=*.tmp\r\n");
    ASSERT_TRUE(store.WriteValue(section, u"k", u"v"));
    const WorkingFolder working(folder.path());
    EXPECT_EQ(ReadAll(path), (ReadEntries{{{u"1", u"1"}, u"*.tmp"}, {{section, u"k"}, u"v"}}));
}

TEST_F(IniStore, ConcurrentChangesToOneStoreAreAllKept) {
    CLangIni& store = Load("");
    std::vector<std::thread> threads;
    const std::u16string sections[] = {u"S0", u"S1", u"S2", u"S3"};
    for (const auto& section : sections) {
        threads.emplace_back([&store, section] {
            for (int i = 0; i < 200; ++i) {
                store.SetValue(section, std::u16string{u'k', static_cast<char16_t>(0x100 + i)},
                               u"v", true);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    for (const auto& section : sections) {
        EXPECT_EQ(store.SectionEntries(section).size(), 200u);
    }
}

}  // namespace
}  // namespace arkivo
