// Names holding a line break, a tab, a backslash, control characters or bytes that are not
// UTF-8 take one line each, escaped, on the terminal and in the report, so each can be found.
#include <algorithm>

#include "support/cli_fixture.h"

namespace arkivo {
namespace {

using test::ReadBytes;

// Real names and how they are shown.
const std::vector<std::pair<std::string, std::string>> kNames = {
    {"line\nbreak.txt", "line\\nbreak.txt"},
    {"tab\there.txt", "tab\\there.txt"},
    {"back\\slash.txt", "back\\\\slash.txt"},
    {"colour\x1B[31mred.txt", "colour\\x1B[31mred.txt"},
    {"latin1 caf\xE9.txt", "latin1 caf\\xE9.txt"},
    {"caf\xC3\xA9.txt", "caf\xC3\xA9.txt"},
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    for (auto end = text.find('\n'); end != std::string::npos; end = text.find('\n', at)) {
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

std::size_t CountLines(const std::vector<std::string>& lines, const std::string& wanted) {
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), wanted));
}

class ShownNamesCli : public test::CliTest {
  protected:
    void SetUp() override {
        for (const auto& [name, shown] : kNames) {
            test::MakeFile(base / name, shown);
        }
        ASSERT_EQ(Arkivo({"jobs", "add", base.string(), target.string()}).exitCode, 0);
    }
};

TEST_F(ShownNamesCli, TheDryRunListsEachFileOnALineOfItsOwn) {
    const auto dry = Arkivo({"run", "--dry-run"});
    ASSERT_EQ(dry.exitCode, 0) << dry.err;
    const auto lines = Lines(dry.out);
    for (const auto& [name, shown] : kNames) {
        EXPECT_EQ(CountLines(lines, "would copy " + (base / shown).string() + " -> " +
                                        (target / shown).string()),
                  1u)
            << shown << "\n"
            << dry.out;
    }
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& line) { return line.rfind("would ", 0) == 0; }),
              static_cast<std::ptrdiff_t>(kNames.size()));
}

TEST_F(ShownNamesCli, TheReportAndTheFailuresNameEachFileOnALineOfItsOwn) {
    ASSERT_EQ(Arkivo({"options", "set", "report", "on"}).exitCode, 0);
    ASSERT_EQ(Arkivo({"options", "set", "report-created", "on"}).exitCode, 0);
    // A folder where one file's copy should go makes that copy fail.
    const auto& [failing, failingShown] = kNames[0];
    std::filesystem::create_directories(target / failing);
    const auto run = Arkivo({"run"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(
        CountLines(Lines(run.err), "arkivo: failed: " + (base / failingShown).string() + " -> " +
                                       (target / failingShown).string() + ": Is a directory"),
        1u)
        << run.err;

    const auto reports = Reports();
    ASSERT_FALSE(reports.empty());
    std::string text = ReadBytes(reports.back());
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    // The files' lines are exactly one per file: no name spilled onto a line of its own.
    std::vector<std::string> listed;
    for (const auto& line : Lines(text)) {
        if (line.rfind(folder.path().string(), 0) == 0) {
            listed.push_back(line);
        }
    }
    std::vector<std::string> expected = {(base / failingShown).string()};
    for (std::size_t i = 1; i < kNames.size(); ++i) {
        expected.push_back((target / kNames[i].second).string());
    }
    std::sort(listed.begin(), listed.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(listed, expected) << text;
}

}  // namespace
}  // namespace arkivo
