// The command-line program run as a separate process on a data folder in a temporary folder.
// POSIX only.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include "common/text.h"
#include "jobs/environment_file.h"
#include "settings/lang_ini.h"
#include "support/child_process.h"
#include "support/file_tree.h"
#include "support/numbered_name.h"
#include "support/run_program.h"
#include "support/text_checks.h"

namespace arkivo::test {

inline const std::filesystem::path kArkivo = ARKIVO_CLI_PATH;

class CliTest : public ::testing::Test {
  protected:
    // `arkivo --home <home> arguments...` with HOME at the temporary folder. A prefix runs it
    // through another program (a shell, setpriv, strace) that takes the program as its next
    // argument.
    ProgramResult Arkivo(std::vector<std::string> arguments, std::vector<std::string> prefix = {}) {
        arguments.insert(arguments.begin(), {"--home", home.string()});
        prefix.push_back(kArkivo.string());
        arguments.insert(arguments.begin(), prefix.begin() + 1, prefix.end());
        return RunProgram(prefix.front(), arguments, {"HOME=" + folder.path().string()},
                          folder.path());
    }

    // `arkivo --home <home> arguments...` with these variables added to HOME.
    ProgramResult ArkivoWith(std::vector<std::string> environment,
                             std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), {"--home", home.string()});
        environment.push_back("HOME=" + folder.path().string());
        return RunProgram(kArkivo, arguments, environment, folder.path());
    }

    // A text of the language file the program put in its data folder.
    std::string English(std::u16string_view section, std::u16string_view key) {
        CLangIni english;
        EXPECT_TRUE(english.Open(home / "english.ini"));
        return Utf16ToUtf8(english.GetValue(section, key));
    }

    // The reports the program wrote into its data folder.
    std::vector<std::filesystem::path> Reports() const {
        std::vector<std::filesystem::path> reports;
        for (const auto& entry : std::filesystem::directory_iterator(home)) {
            if (entry.path().filename().string().rfind("Report", 0) == 0) {
                reports.push_back(entry.path());
            }
        }
        return reports;
    }

    // The run's report lists `file` among the files that failed.
    void ExpectReportListsFailed(const std::filesystem::path& file) const {
        const auto reports = Reports();
        ASSERT_FALSE(reports.empty()) << "no report in " << home;
        const std::string report = ReadBytes(reports.front());
        const auto failedList = report.find("<< Files that could not be copied or deleted >>");
        ASSERT_NE(failedList, std::string::npos) << report;
        EXPECT_NE(report.find(file.string() + "\r\n", failedList), std::string::npos) << report;
    }

    JobTable Jobs() {
        EnvironmentFile file(home / "LastSetting.env");
        return file.Load();
    }

    // A job over enough files that its run takes a while.
    void AddLongJob() {
        for (int i = 0; i < kLongJobFiles; ++i) {
            MakeFile(base / NumberedName("d", i % 40) / NumberedName("f", i),
                     std::string(2000, 'x'));
        }
        ASSERT_EQ(Arkivo({"jobs", "add", base.string(), target.string()}).exitCode, 0);
    }

    // Starts `arkivo run` in the background, its output going to run.out and run.err, and
    // returns once its first job has begun.
    pid_t StartRun() {
        const pid_t pid = StartProgram({kArkivo.string(), "--home", home.string(), "run"},
                                       folder / "run.out", folder / "run.err");
        for (int i = 0;
             i < 3000 && ReadBytes(folder / "run.out").find("Job 1: ") == std::string::npos; ++i) {
            ::usleep(2000);
        }
        EXPECT_NE(ReadBytes(folder / "run.out").find("Job 1: "), std::string::npos);
        return pid;
    }

    static constexpr int kLongJobFiles = 4000;
    TempFolder folder;
    std::filesystem::path home = folder / "home";
    std::filesystem::path base = folder / "base";
    std::filesystem::path target = folder / "target";
};

}  // namespace arkivo::test
