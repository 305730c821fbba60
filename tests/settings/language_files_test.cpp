#include <gtest/gtest.h>

#include <map>
#include <set>

#include "settings/app_stores.h"
#include "settings/built_in_texts.h"
#include "settings/lang_ini.h"
#include "settings/text_keys.h"
#include "support/temp_folder.h"

namespace arkivo {
namespace {

const std::filesystem::path kLanguageFolder = ARKIVO_LANGUAGE_DIR;

using KeySet = std::set<std::pair<std::u16string, std::u16string>>;

struct LoadedLanguage {
    CLangIni store;
    KeySet keys;
};

// Working copies of UTF-16 files land in the current folder; keep them out of the tree.
class LanguageFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(scratch.path());
        for (auto name : kLanguageFiles) {
            auto& language = languages[std::string(name)];
            ASSERT_TRUE(language.store.Open(kLanguageFolder / name)) << name;
            for (const auto& section : language.store.SectionNames()) {
                for (const auto& [key, value] : language.store.SectionEntries(section)) {
                    language.keys.insert({section, key});
                }
            }
        }
    }
    void TearDown() override { std::filesystem::current_path(previous); }

    test::TempFolder scratch;
    std::filesystem::path previous;
    std::map<std::string, LoadedLanguage> languages;
};

bool HasScript(std::u16string_view text, char16_t from, char16_t to) {
    for (char16_t c : text) {
        if (c >= from && c <= to) {
            return true;
        }
    }
    return false;
}

// All three hold the same sections and keys, among them every text the program looks up, none
// empty; labels put before values end with their separator.
TEST_F(LanguageFiles, AllThreeHoldEveryTextTheProgramLooksUp) {
    const auto& english = languages["english.ini"].keys;
    EXPECT_GT(english.size(), 100u);
    for (auto& [name, language] : languages) {
        SCOPED_TRACE(name);
        EXPECT_EQ(language.keys, english);
        for (const auto& text : kAllTextKeys) {
            const int section = language.store.FindSection(text.section);
            EXPECT_GE(language.store.FindKey(section, text.key), 0)
                << "a key of section " << std::string(text.section.begin(), text.section.end());
            // As the file holds it, without the built-in English a lookup falls back on.
            EXPECT_FALSE(language.store.GetValue(text.section, text.key).empty());
        }
        for (const auto& text : {text::StaticBase, text::StaticTarget, text::ReportBackupNo,
                                 text::ReportBackupTime, text::ReportBackupElapsed}) {
            EXPECT_EQ(language.store.GetValue(text).back(), u' ');
        }
    }
}

TEST_F(LanguageFiles, TranslationsAreWrittenInTheirOwnScript) {
    std::size_t japanese = 0, korean = 0;
    for (const auto& text : kAllTextKeys) {
        const auto ja = languages["japanese.ini"].store.GetValue(text.section, text.key);
        const auto ko = languages["korean.ini"].store.GetValue(text.section, text.key);
        japanese += HasScript(ja, 0x3040, 0x30FF) || HasScript(ja, 0x4E00, 0x9FFF);
        korean += HasScript(ko, 0xAC00, 0xD7A3);
    }
    // Only a few texts such as "OK" and "FTP" may stay in Latin letters.
    EXPECT_GE(japanese, kAllTextKeys.size() - 3);
    EXPECT_GE(korean, kAllTextKeys.size() - 3);
}

// The program carries the English file's texts, as the file the build made holds them, and
// uses them for every text a language store lacks: no file at all, or one from an older version.
TEST_F(LanguageFiles, TheBuiltInEnglishTextsStandInForMissingOnes) {
    auto& english = languages["english.ini"].store;
    for (const auto& text : kAllTextKeys) {
        EXPECT_EQ(BuiltInEnglishText(text), english.GetValue(text.section, text.key));
    }
    CLangIni noFile;
    EXPECT_FALSE(noFile.Open(scratch / "missing.ini"));
    const auto olderFile = scratch / "older.ini";
    test::WriteBytes(olderFile, "[MsgRootDlg]\r\nAlReadyRegisted=\r\nNoSuchJob=stored text\r\n");
    CLangIni older;
    ASSERT_TRUE(older.Open(olderFile));
    for (const auto& text : kAllTextKeys) {
        EXPECT_EQ(noFile.GetValue(text), english.GetValue(text.section, text.key));
        if (text.section != u"MsgRootDlg" || text.key != u"NoSuchJob") {
            EXPECT_EQ(older.GetValue(text), english.GetValue(text.section, text.key));
        }
    }
    EXPECT_EQ(older.GetValue(text::RootNoSuchJob), u"stored text");
}

// The writer keeps the files as the build made them: UTF-16 with its byte-order mark for
// Japanese and Korean, 8-bit for English, CR LF throughout. Every text changed and changed
// back leaves the file byte for byte as it was.
TEST_F(LanguageFiles, EveryTextChangedAndChangedBackLeavesTheFileAsItWas) {
    for (auto name : kLanguageFiles) {
        const auto copy = scratch / name;
        std::filesystem::copy_file(kLanguageFolder / name, copy);
        const std::string original = test::ReadBytes(copy);
        // An 8-bit file holds what the ANSI code page can: plain letters everywhere.
        const bool utf16 = original.rfind("\xFF\xFE", 0) == 0;
        EXPECT_EQ(utf16, std::string_view(name) != "english.ini");
        const std::u16string change = utf16 ? u"\u00e9\u65e5\ud55c" : u" (changed)";
        CLangIni store;
        ASSERT_TRUE(store.Open(copy));
        for (const auto& section : store.SectionNames()) {
            for (const auto& [key, value] : store.SectionEntries(section)) {
                ASSERT_TRUE(store.WriteValue(section, key, value + change));
                ASSERT_NE(test::ReadBytes(copy), original);
                ASSERT_TRUE(store.WriteValue(section, key, value));
                ASSERT_EQ(test::ReadBytes(copy), original) << name;
            }
        }
    }
}

}  // namespace
}  // namespace arkivo
