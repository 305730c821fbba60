// The plain-text report of a run: one section per job with its paths, start time, count of
// files written, elapsed time and the files it created, updated and deleted, and the files
// that failed. While a job runs, the paths go into temporary list files, so a job with
// millions of files needs no memory for them; the job's end copies the lists into the report.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

#include "settings/text_keys.h"

namespace arkivo {

class CLangIni;

inline constexpr std::string_view kCreatedListName = "TempCreated.txt";
inline constexpr std::string_view kUpdatedListName = "TempUpdated.txt";
inline constexpr std::string_view kDeletedListName = "TempDeleted.txt";
inline constexpr std::string_view kFailedListName = "TempFailed.txt";
inline constexpr std::string_view kSkippedListName = "TempSkipped.txt";

// "Report2009_03_5_9h7m.txt" for a run that began on 5 March 2009 at 09:07 local time; the
// n-th run of one minute gets "Report2009_03_5_9h7m_n.txt", so no report replaces another.
std::string ReportFileName(std::int64_t runStart, int n = 1);

// "0h4m9s".
std::string ElapsedText(std::int64_t seconds);

class BackupReport {
  public:
    // The report and its lists are written in `folder`; labels come from `language`.
    BackupReport(CLangIni& language, std::filesystem::path folder);
    ~BackupReport();
    BackupReport(const BackupReport&) = delete;
    BackupReport& operator=(const BackupReport&) = delete;

    // Creates the run's report file under a name no earlier report has. False while another
    // report is open; a file that cannot be created shows in Error().
    bool OpenReportFile(std::int64_t now);

    // Why the report file could not be created or written; empty while all is well.
    std::error_code Error() const { return error_; }

    void WriteJobHead(std::size_t jobNumber);
    void WriteBaseLine(std::u16string_view base);
    void WriteTargetLine(std::u16string_view target);
    void WriteStartTimeLine();
    // A line of its own in the job's section, for what the user must know about the job.
    void WriteNoteLine(std::u16string_view text);

    enum class Skip { DotFolder, FolderLink, SpecialFile };

    // Paths go one to a line, as platform::ShownPathText shows them: a name holding a line
    // break, a tab or bytes that are not text still takes one line, and can be searched for.
    void OpenFileLists();
    void NoteCreatedFile(const std::filesystem::path& path);
    void NoteUpdatedFile(const std::filesystem::path& path);
    void NoteDeletedFile(const std::filesystem::path& path);
    void NoteFailedFile(const std::filesystem::path& path);
    // A folder left out with all it holds, or a special file left out.
    void NoteSkipped(const std::filesystem::path& path, Skip reason);
    // The job's copies did not last (its archive could not be completed): the created and
    // updated files noted so far are not listed.
    void ForgetNotedCopies();

    void WriteCopiedCountLine(std::uint64_t count);
    void WriteFailedCountLine(std::uint64_t count);
    void WriteElapsedLine(std::int64_t now);
    // Copies the lists into the report; the failed and skipped lists appear only when they
    // have lines.
    void WriteFileSections();
    void DeleteFileLists();

    // Closes the report; a write that failed on the way shows in Error().
    void CloseReport();

    std::filesystem::path ReportPath() const { return folder_ / fileName_; }
    std::int64_t RunStart() const { return runStart_; }

  private:
    struct List {
        std::string_view fileName;
        std::ofstream stream;
        std::uint64_t lines = 0;
    };

    void WriteLine(std::string_view line);
    std::string Label(const TextKey& key);
    void Note(List& list, std::u16string_view line);
    void CopyListIntoReport(List& list, const TextKey& label, bool whenEmpty);
    void OpenList(List& list);
    void KeepStreamError(const std::ios& stream);

    CLangIni& language_;
    std::filesystem::path folder_;
    std::ofstream report_;
    List created_{kCreatedListName, {}, 0};
    List updated_{kUpdatedListName, {}, 0};
    List deleted_{kDeletedListName, {}, 0};
    List failed_{kFailedListName, {}, 0};
    List skipped_{kSkippedListName, {}, 0};
    std::string fileName_;
    std::int64_t runStart_ = 0;
    bool ownsOpenFlag_ = false;
    std::error_code error_;
};

}  // namespace arkivo
