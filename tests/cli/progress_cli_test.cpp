// The progress line on a narrow terminal: the file being worked on shows while it is worked on,
// with its own byte progress when it is large, and nothing the run prints is ever wider than
// the terminal, which would wrap it and leave stale lines behind.
#include <random>
#include <sstream>

#include "support/cli_fixture.h"
#include "support/pseudo_terminal.h"

namespace arkivo {
namespace {

// A terminal of `columns` fed the captured output: the width of the widest line once the
// output is split at each \r and \n (escape sequences left out), whether the terminal ever
// had to wrap a line, and what is left on the screen. Widths follow Unicode's data: wide East
// Asian characters take two columns, combining marks none.
constexpr const char* kTerminalModel = R"(
import re, sys, unicodedata
data = open(sys.argv[1], 'rb').read().decode('utf-8', 'replace')
columns = int(sys.argv[2])
def width(c):
    if unicodedata.combining(c) or unicodedata.category(c) in ('Mn', 'Me'):
        return 0
    return 2 if unicodedata.east_asian_width(c) in 'WF' else 1
escape = re.compile(r'\x1b\[[0-9;?]*[A-Za-z]')
plain = escape.sub('', data)
print('widest', max(sum(width(c) for c in line) for line in re.split(r'[\r\n]', plain)))
screen, row, column, wrapped, i = [[]], 0, 0, False, 0
while i < len(data):
    match = escape.match(data, i)
    if match:
        if match.group(0).endswith('K'):
            del screen[row][column:]
        i = match.end()
        continue
    c = data[i]
    i += 1
    if c == '\r':
        column = 0
        continue
    if c == '\n':
        row, column = row + 1, 0
        screen.append([])
        continue
    if column + width(c) > columns:
        wrapped = True
        row, column = row + 1, 0
        screen.append([])
    line = screen[row]
    line.extend([''] * (column + 1 - len(line)))
    line[column] = c
    column += width(c)
print('wrapped', int(wrapped))
for line in screen:
    print('|' + ''.join(line))
)";

struct TerminalModel {
    std::size_t widest = 0;
    bool wrapped = true;
    std::vector<std::string> screen;
};

class ProgressCli : public test::CliTest {
  protected:
    // A job whose archive takes a few seconds to write: one large file that does not
    // compress, below folders with long and wide names, and a few small files.
    void AddArchiveJob() {
        const auto deep = base / "\u9577\u3044\u540d\u524d\u306e\u30d5\u30a9\u30eb\u30c0" /
                          "a folder with a rather long name" / "caf\u00e9 \ud55c\uad6d\uc5b4";
        std::mt19937 random(5);
        std::string noise(kLargeSize, '\0');
        for (auto& c : noise) {
            c = static_cast<char>(random());
        }
        test::MakeFile(deep / kLargeName, noise);
        for (int i = 0; i < 20; ++i) {
            test::MakeFile(deep / ("small " + std::to_string(i) + ".txt"), "small");
        }
        ASSERT_EQ(Arkivo({"jobs", "add", base.string(), target.string(), "--type", "dif", "--zip"})
                      .exitCode,
                  0);
    }

    std::vector<std::string> RunCommand() const {
        return {test::kArkivo.string(), "--home", home.string(), "run", "--verify"};
    }

    TerminalModel Model(const std::string& output, unsigned columns) {
        test::WriteBytes(folder / "model.py", kTerminalModel);
        test::WriteBytes(folder / "terminal.out", output);
        const auto run =
            test::RunProgram("/usr/bin/python3",
                             {(folder / "model.py").string(), (folder / "terminal.out").string(),
                              std::to_string(columns)},
                             {}, folder.path());
        EXPECT_EQ(run.exitCode, 0) << run.err;
        TerminalModel model;
        std::istringstream lines(run.out);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("widest ", 0) == 0) {
                model.widest = std::stoul(line.substr(7));
            } else if (line.rfind("wrapped ", 0) == 0) {
                model.wrapped = line.substr(8) != "0";
            } else if (line.rfind('|', 0) == 0) {
                model.screen.push_back(line.substr(1));
            }
        }
        return model;
    }

    // A redraw that names the large file and tells how far its copy has come, short of done.
    static bool ShowsTheLargeFileUnderWay(const std::string& output) {
        std::size_t at = 0;
        while ((at = output.find(kLargeName, at)) != std::string::npos) {
            const auto end = output.find_first_of("\r\n", at);
            const std::string rest = output.substr(at, end - at);
            const auto percent = rest.find("%)");
            if (rest.find(" of 24.0 MB (") != std::string::npos && percent != std::string::npos &&
                rest.find("(100%)") == std::string::npos) {
                return true;
            }
            ++at;
        }
        return false;
    }

    static constexpr const char* kLargeName = "large.bin";
    static constexpr std::size_t kLargeSize = 24'000'000;
};

TEST_F(ProgressCli, OnANarrowTerminalTheLargeFileShowsWithItsProgressAndNoLineIsTooWide) {
    AddArchiveJob();
    const auto run = test::RunOnTerminal(RunCommand(), 50);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(ShowsTheLargeFileUnderWay(run.output)) << run.output;
    // On a terminal the files are counted before the walk, so the line tells how many of all.
    test::ExpectHas(run.output, "/21");
    // The path is cut in the middle: the line begins with the job's figures and keeps the
    // file's name.
    test::ExpectHas(run.output, "\u2026");

    const auto model = Model(run.output, 50);
    EXPECT_LE(model.widest, 50u) << run.output;
    EXPECT_FALSE(model.wrapped) << run.output;
    // Redrawn in place: what stays on the screen is the run's own lines, no progress line.
    ASSERT_FALSE(model.screen.empty());
    std::string screen;
    for (const auto& line : model.screen) {
        screen += line + "\n";
        test::ExpectLacks(line, " MB (");
        test::ExpectLacks(line, "MB/s  ");
    }
    test::ExpectHas(screen, "The backup is complete.");
}

TEST_F(ProgressCli, ATerminalMadeNarrowerDuringTheRunGetsLinesThatFitItsNewWidth) {
    AddArchiveJob();
    std::size_t resizedAt = std::string::npos;
    const auto run =
        test::RunOnTerminal(RunCommand(), 60, [&resizedAt](const std::string& output, int master) {
            if (resizedAt == std::string::npos && ShowsTheLargeFileUnderWay(output)) {
                test::ResizeTerminal(master, 34);
                resizedAt = output.size();
            }
        });
    ASSERT_EQ(run.exitCode, 0) << run.output;
    ASSERT_NE(resizedAt, std::string::npos) << run.output;
    // A redraw may have measured the old width just before the change: the lines after the
    // next three redraws must fit.
    std::string after = run.output.substr(resizedAt);
    for (int skipped = 0; skipped < 3; ++skipped) {
        after.erase(0, after.find('\r', 1));
    }
    ASSERT_TRUE(ShowsTheLargeFileUnderWay(after) || after.find("complete") != std::string::npos)
        << after;
    EXPECT_LE(Model(after, 34).widest, 34u) << after;
    EXPECT_GT(Model(run.output.substr(0, resizedAt), 60).widest, 34u);
}

}  // namespace
}  // namespace arkivo
