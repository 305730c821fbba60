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

#include "settings/text_keys.h"

namespace arkivo {

class CLangIni;

inline constexpr std::string_view kCreatedListName = "TempCreated.txt";
inline constexpr std::string_view kUpdatedListName = "TempUpdated.txt";
inline constexpr std::string_view kDeletedListName = "TempDeleted.txt";
inline constexpr std::string_view kFailedListName = "TempFailed.txt";

// "Report2009_03_5_9h7m.txt" for a run that began on 5 March 2009 at 09:07 local time.
std::string ReportFileName(std::int64_t runStart);

// "0h4m9s".
std::string ElapsedText(std::int64_t seconds);

class BackupReport {
  public:
    // The report and its lists are written in `folder`; labels come from `language`.
    BackupReport(CLangIni& language, std::filesystem::path folder);
    ~BackupReport();
    BackupReport(const BackupReport&) = delete;
    BackupReport& operator=(const BackupReport&) = delete;

    // Creates (or empties) the run's report file. False while another report is open.
    bool OpenReportFile(std::int64_t now);

    void WriteJobHead(std::size_t jobNumber);
    void WriteBaseLine(std::u16string_view base);
    void WriteTargetLine(std::u16string_view target);
    void WriteStartTimeLine();
    // A line of its own in the job's section, for what the user must know about the job.
    void WriteNoteLine(std::u16string_view text);

    void OpenFileLists();
    void NoteCreatedFile(std::u16string_view path);
    void NoteUpdatedFile(std::u16string_view path);
    void NoteDeletedFile(std::u16string_view path);
    void NoteFailedFile(std::u16string_view path);

    void WriteCopiedCountLine(std::uint64_t count);
    void WriteFailedCountLine(std::uint64_t count);
    void WriteElapsedLine(std::int64_t now);
    // Copies the lists into the report; the failed list appears only when it has lines.
    void WriteFileSections();
    void DeleteFileLists();

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
    void Note(List& list, std::u16string_view path);
    void CopyListIntoReport(List& list, const TextKey& label, bool whenEmpty);

    CLangIni& language_;
    std::filesystem::path folder_;
    std::ofstream report_;
    List created_{kCreatedListName, {}, 0};
    List updated_{kUpdatedListName, {}, 0};
    List deleted_{kDeletedListName, {}, 0};
    List failed_{kFailedListName, {}, 0};
    std::string fileName_;
    std::int64_t runStart_ = 0;
    bool ownsOpenFlag_ = false;
};

}  // namespace arkivo
