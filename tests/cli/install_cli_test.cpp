// `cmake --install` of this build into a temporary folder (DESTDIR and a prefix, as a package
// build does it), and the installed program, manual page and completion used as a user would:
// from another folder, with a data folder of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/exit_code.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace arkivo {
namespace {

namespace fs = std::filesystem;
using test::ProgramResult;
using test::ReadBytes;
using test::RunProgram;
using test::TempFolder;

const fs::path kBuildFolder = ARKIVO_BUILD_FOLDER;
const fs::path kCmake = ARKIVO_CMAKE_COMMAND;
const fs::path kLanguageSources = ARKIVO_LANGUAGE_SOURCES;
const fs::path kPrefix = "/usr/local";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// The value of a key in a section of a UTF-8 language source.
std::string SourceText(const std::string& language, const std::string& section,
                       const std::string& key) {
    bool inSection = false;
    for (const auto& line : Lines(ReadBytes(kLanguageSources / (language + ".ini")))) {
        if (!line.empty() && line[0] == '[') {
            inSection = line == "[" + section + "]";
        } else if (inSection && line.rfind(key + "=", 0) == 0) {
            return line.substr(key.size() + 1);
        }
    }
    ADD_FAILURE() << "no " << key << " in " << language;
    return "?";
}

// What a `--help` page lists: long options with their allowed values when the help gives a
// set ("--type TEXT:{sync,dif}"), positionals likewise, and subcommands.
struct HelpPage {
    std::map<std::string, std::set<std::string>> options;
    std::vector<std::set<std::string>> positionals;
    std::vector<std::string> subcommands;
};

std::set<std::string> AllowedValues(const std::string& column) {
    std::set<std::string> values;
    const auto open = column.find(":{");
    const auto close = column.find('}', open);
    if (open == std::string::npos || close == std::string::npos) {
        return values;
    }
    std::istringstream list(column.substr(open + 2, close - open - 2));
    for (std::string value; std::getline(list, value, ',');) {
        values.insert(value);
    }
    return values;
}

HelpPage ParseHelp(const std::string& help) {
    HelpPage page;
    std::string section;
    for (const auto& line : Lines(help)) {
        if (!line.empty() && line[0] != ' ') {
            section = line;
            continue;
        }
        // Entries start two columns in; their descriptions, when continued, further in.
        if (line.size() < 3 || line.compare(0, 2, "  ") != 0 || line[2] == ' ') {
            continue;
        }
        const std::string column = line.substr(2, line.find("  ", 2) - 2);
        const std::string name = column.substr(0, column.find(' '));
        if (section == "Subcommands:") {
            page.subcommands.push_back(name);
        } else if (section == "Positionals:") {
            page.positionals.push_back(AllowedValues(column));
        } else if (section == "Options:") {
            std::istringstream names(name);
            for (std::string option; std::getline(names, option, ',');) {
                if (option.rfind("--", 0) == 0) {
                    page.options[option] = AllowedValues(column);
                }
            }
        }
    }
    return page;
}

class InstalledArkivo : public ::testing::Test {
  protected:
    // Our files are all of the default component. Naming it keeps the build's
    // install_manifest.txt, which lists what a real install put where, from being overwritten.
    static void SetUpTestSuite() {
        destdir_ = std::make_unique<TempFolder>();
        install_ = RunProgram(
            kCmake,
            {"--install", kBuildFolder.string(), "--prefix", kPrefix, "--component", "Unspecified"},
            {"DESTDIR=" + destdir_->path().string()}, destdir_->path());
    }
    static void TearDownTestSuite() { destdir_.reset(); }

    void SetUp() override { ASSERT_EQ(install_.exitCode, 0) << install_.out << install_.err; }

    static fs::path Installed(const fs::path& relative) {
        return destdir_->path() / kPrefix.relative_path() / relative;
    }

    // The installed program, started in a folder of its own with only HOME (and what the
    // test adds) in its environment: its data folder is the default one under HOME.
    ProgramResult Arkivo(const std::vector<std::string>& arguments,
                         std::vector<std::string> environment = {}) {
        environment.push_back("HOME=" + user.path().string());
        return RunProgram(Installed("bin/arkivo"), arguments, environment, elsewhere.path());
    }

    fs::path DefaultDataFolder() const { return user / ".local/share/arkivo"; }

    // Every command path with its help page: {}, {"jobs"}, {"jobs", "add"}...
    std::map<std::vector<std::string>, HelpPage> HelpPages() {
        std::map<std::vector<std::string>, HelpPage> pages;
        std::vector<std::vector<std::string>> pending = {{}};
        while (!pending.empty()) {
            const auto path = pending.back();
            pending.pop_back();
            auto arguments = path;
            arguments.push_back("--help");
            const auto help = Arkivo(arguments);
            EXPECT_EQ(help.exitCode, 0) << help.err;
            const auto page = ParseHelp(help.out);
            for (const auto& sub : page.subcommands) {
                auto longer = path;
                longer.push_back(sub);
                pending.push_back(longer);
            }
            pages[path] = page;
        }
        return pages;
    }

    // What the installed bash completion offers for the words typed so far, the last being
    // the one under the cursor.
    std::set<std::string> Completions(std::vector<std::string> words,
                                      std::vector<std::string> environment = {}) {
        words.insert(words.begin(), Installed("bin/arkivo").string());
        std::vector<std::string> arguments = {
            "-c",
            "source \"$1\"; shift; COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); _arkivo; "
            "printf '%s\\n' \"${COMPREPLY[@]}\"",
            "bash", Installed("share/bash-completion/completions/arkivo").string()};
        arguments.insert(arguments.end(), words.begin(), words.end());
        environment.push_back("HOME=" + user.path().string());
        const auto result = RunProgram("/bin/bash", arguments, environment, elsewhere.path());
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.err, "");
        std::set<std::string> offered;
        for (const auto& line : Lines(result.out)) {
            if (!line.empty()) {
                offered.insert(line);
            }
        }
        return offered;
    }

    TempFolder user;
    TempFolder elsewhere;

  private:
    static inline std::unique_ptr<TempFolder> destdir_;
    static inline ProgramResult install_;
};

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const auto& word : words) {
        text += (text.empty() ? "" : " ") + word;
    }
    return text;
}

TEST_F(InstalledArkivo, RunFromAnotherFolderFindsItsTextsInEveryLanguageAndItsHelp) {
    const auto help = Arkivo({"--help"});
    ASSERT_EQ(help.exitCode, 0) << help.err;
    EXPECT_FALSE(ParseHelp(help.out).subcommands.empty()) << help.out;

    const auto english = Arkivo({"jobs", "show", "3"});
    EXPECT_NE(english.exitCode, 0);
    EXPECT_NE(english.err.find(SourceText("english", "MsgRootDlg", "NoSuchJob")), std::string::npos)
        << english.err;
    // The texts reached the data folder from the installed ones.
    for (auto name : {"english.ini", "japanese.ini", "korean.ini"}) {
        EXPECT_EQ(ReadBytes(DefaultDataFolder() / name),
                  ReadBytes(Installed(fs::path("share/arkivo") / name)))
            << name;
    }

    ASSERT_EQ(Arkivo({"options", "set", "language", "japanese"}).exitCode, 0);
    const auto japanese = Arkivo({"jobs", "show", "3"});
    EXPECT_NE(japanese.exitCode, 0);
    EXPECT_NE(japanese.err.find(SourceText("japanese", "MsgRootDlg", "NoSuchJob")),
              std::string::npos)
        << japanese.err;
}

// The unit starts the installed program where the package puts it, not where it was staged.
TEST_F(InstalledArkivo, TheSystemdUserUnitStartsTheInstalledScheduler) {
    const auto unit = ReadBytes(Installed("lib/systemd/user/arkivo-schedule.service"));
    EXPECT_NE(unit.find("\nExecStart=" + (kPrefix / "bin/arkivo").string() + " schedule\n"),
              std::string::npos)
        << unit;
    EXPECT_NE(unit.find("\n[Install]\nWantedBy=default.target\n"), std::string::npos) << unit;
}

TEST_F(InstalledArkivo, ManualPageRendersAndDocumentsEveryCommandOptionAndExitCode) {
#ifndef ARKIVO_MAN_PAGE
    GTEST_SKIP() << "built without scdoc: no manual page";
#else
    const fs::path page = Installed("share/man/man1/arkivo.1");
    const std::string roff = ReadBytes(page);
    ASSERT_NE(roff.find(".TH \"arkivo\" \"1\""), std::string::npos) << page;

    if (fs::exists("/usr/bin/man")) {
        // man-db hands groff's warnings on with --warnings; a page that renders cleanly has
        // none.
        const auto shown = RunProgram("/usr/bin/man", {"--warnings", "-l", page.string()},
                                      {"MANWIDTH=100"}, elsewhere.path());
        ASSERT_EQ(shown.exitCode, 0) << shown.err;
        EXPECT_EQ(shown.err, "");
        for (auto heading :
             {"NAME", "SYNOPSIS", "COMMANDS", "EXIT STATUS", "ENVIRONMENT", "FILES"}) {
            EXPECT_NE(shown.out.find(std::string("\n") + heading + "\n"), std::string::npos)
                << heading;
        }
    }

    // Options explained in an entry of their own, not only named in the synopsis.
    std::set<std::string> explained;
    for (const auto& line : Lines(roff.substr(roff.find("\n.SH DESCRIPTION\n")))) {
        if (line.rfind("\\fB-", 0) != 0) {
            continue;
        }
        for (auto at = line.find("\\fB--"); at != std::string::npos;
             at = line.find("\\fB--", at + 1)) {
            explained.insert(line.substr(at + 3, line.find("\\fR", at) - at - 3));
        }
    }
    for (const auto& [path, help] : HelpPages()) {
        if (path.size() == 1) {
            EXPECT_NE(roff.find("\n.SS " + path[0] + "\n"), std::string::npos)
                << "no section for " << path[0];
        } else if (path.size() == 2) {
            EXPECT_NE(roff.find("\\fB" + Joined(path) + "\\fR"), std::string::npos)
                << "no entry for " << Joined(path);
        }
        for (const auto& [option, values] : help.options) {
            EXPECT_TRUE(explained.count(option))
                << option << " of '" << Joined(path) << "' is not explained";
        }
    }

    const auto exitStart = roff.find("\n.SH EXIT STATUS\n");
    ASSERT_NE(exitStart, std::string::npos);
    const std::string exitSection = roff.substr(exitStart, roff.find("\n.SH ", exitStart + 1));
    for (int code : {cli::kExitDone, cli::kExitFilesFailed, cli::kExitUsage, cli::kExitDataFolder,
                     cli::kExitRunInProgress, cli::kExitInterrupted}) {
        EXPECT_NE(exitSection.find("\\fB" + std::to_string(code) + "\\fR"), std::string::npos)
            << "exit code " << code;
    }
#endif
}

TEST_F(InstalledArkivo, CompletionOffersEveryCommandOptionAndAllowedValue) {
    for (const auto& [path, help] : HelpPages()) {
        auto typing = path;
        typing.push_back("");
        const auto offered = Completions(typing);
        for (const auto& sub : help.subcommands) {
            EXPECT_TRUE(offered.count(sub)) << sub << " after '" << Joined(path) << "'";
        }

        typing.back() = "--";
        const auto options = Completions(typing);
        for (const auto& [option, values] : help.options) {
            EXPECT_TRUE(options.count(option)) << option << " after '" << Joined(path) << "'";
            if (!values.empty()) {
                auto valueTyping = path;
                valueTyping.insert(valueTyping.end(), {option, ""});
                EXPECT_EQ(Completions(valueTyping), values)
                    << "values of " << option << " after '" << Joined(path) << "'";
            }
        }

        // A positional with a fixed set of values, after placeholders for the ones before.
        auto positionalTyping = path;
        for (const auto& values : help.positionals) {
            if (!values.empty()) {
                positionalTyping.push_back("");
                EXPECT_EQ(Completions(positionalTyping), values)
                    << "a positional of '" << Joined(path) << "'";
                positionalTyping.pop_back();
            }
            positionalTyping.push_back(values.empty() ? "1" : *values.begin());
        }
    }
}

TEST_F(InstalledArkivo, CompletionOffersTheJobNumbersOfTheDataFolderInUse) {
    // Nothing to offer yet, and completing must not make a data folder.
    EXPECT_EQ(Completions({"jobs", "show", ""}), std::set<std::string>{});
    EXPECT_FALSE(fs::exists(DefaultDataFolder()));

    fs::create_directories(elsewhere / "base");
    for (auto target : {"t1", "t2", "t3"}) {
        ASSERT_EQ(
            Arkivo({"jobs", "add", (elsewhere / "base").string(), (elsewhere / target).string()})
                .exitCode,
            0);
    }
    const fs::path other = elsewhere / "other data";
    ASSERT_EQ(Arkivo({"--home", other.string(), "jobs", "add", (elsewhere / "base").string(),
                      (elsewhere / "t4").string()})
                  .exitCode,
              0);

    const std::set<std::string> three = {"1", "2", "3"};
    EXPECT_EQ(Completions({"jobs", "show", ""}), three);
    EXPECT_EQ(Completions({"jobs", "remove", "1", ""}), three);
    EXPECT_EQ(Completions({"run", "--dry-run", ""}), three);
    EXPECT_EQ(Completions({"options", "set", "zip", "on", "--job", ""}), three);
    EXPECT_EQ(Completions({"filters", "list", ""}), three);
    EXPECT_EQ(Completions({"--home", other.string(), "run", ""}), std::set<std::string>{"1"});
    EXPECT_EQ(Completions({"run", ""}, {"ARKIVO_HOME=" + other.string()}),
              std::set<std::string>{"1"});
}

}  // namespace
}  // namespace arkivo
