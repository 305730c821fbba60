#include "report/backup_report.h"

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/file_system.h"
#include "settings/lang_ini.h"

namespace arkivo {
namespace {

// Only one report may be open in the process at a time.
std::atomic<bool> reportOpen{false};

constexpr char kEndMark = '\x0E';
constexpr std::string_view kRule = "/*****************************************************/";

// A job's base or target as the job list holds it, on one line like every other path.
std::string ShownJobPath(std::u16string_view path) {
    return platform::Utf16ToAnsiLossy(platform::ShownPathText(platform::PathFromText(path)));
}

std::string Format(const char* format, int a, int b, int c, int d, int e, int f = 0) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, a, b, c, d, e, f);
    return buffer;
}

}  // namespace

std::string ReportFileName(std::int64_t runStart, int n) {
    const auto t = platform::ToLocalTime(runStart).value_or(platform::LocalTime{});
    std::string name =
        Format("Report%04d_%02d_%d_%dh%dm", t.year, t.month, t.day, t.hour, t.minute);
    if (n > 1) {
        name += "_" + std::to_string(n);
    }
    return name + ".txt";
}

std::string ElapsedText(std::int64_t seconds) {
    if (seconds < 0) {
        seconds = 0;
    }
    const auto hours = seconds / 3600;
    seconds %= 3600;
    return std::to_string(hours) + "h" + std::to_string(seconds / 60) + "m" +
           std::to_string(seconds % 60) + "s";
}

BackupReport::BackupReport(CLangIni& language, std::filesystem::path folder)
    : language_(language), folder_(std::move(folder)) {}

BackupReport::~BackupReport() {
    CloseReport();
}

bool BackupReport::OpenReportFile(std::int64_t now) {
    bool expected = false;
    if (!reportOpen.compare_exchange_strong(expected, true)) {
        return false;
    }
    ownsOpenFlag_ = true;
    runStart_ = now;
    // One run at a time writes in the data folder, so a name free now stays free.
    for (int n = 1; fileName_.empty() || platform::Exists(ReportPath()); ++n) {
        fileName_ = ReportFileName(now, n);
    }
    errno = 0;
    report_.open(ReportPath(), std::ios::binary | std::ios::trunc);
    KeepStreamError(report_);
    return true;
}

void BackupReport::KeepStreamError(const std::ios& stream) {
    if (!error_ && !stream.good()) {
        error_ = errno != 0 ? std::error_code(errno, std::generic_category())
                            : std::make_error_code(std::errc::io_error);
    }
}

void BackupReport::WriteLine(std::string_view line) {
    if (report_.is_open()) {
        errno = 0;
        report_ << line << "\r\n";
        KeepStreamError(report_);
    }
}

std::string BackupReport::Label(const TextKey& key) {
    return platform::Utf16ToAnsiLossy(language_.GetValue(key));
}

void BackupReport::WriteJobHead(std::size_t jobNumber) {
    WriteLine(kRule);
    WriteLine("* JOBLIST : " + std::to_string(jobNumber));
    WriteLine(kRule);
}

void BackupReport::WriteBaseLine(std::u16string_view base) {
    WriteLine(" @ " + Label(text::StaticBase) + ShownJobPath(base));
}

void BackupReport::WriteTargetLine(std::u16string_view target) {
    WriteLine(" @ " + Label(text::StaticTarget) + ShownJobPath(target));
}

void BackupReport::WriteStartTimeLine() {
    const auto t = platform::ToLocalTime(runStart_).value_or(platform::LocalTime{});
    WriteLine("  - " + Label(text::ReportBackupTime) +
              Format("%d/%02d/%d %d:%d:%d", t.year, t.month, t.day, t.hour, t.minute, t.second));
}

void BackupReport::WriteNoteLine(std::u16string_view text) {
    WriteLine("  ! " + platform::Utf16ToAnsiLossy(text));
}

void BackupReport::OpenList(List& list) {
    if (list.stream.is_open()) {
        list.stream.close();
    }
    errno = 0;
    list.stream.open(folder_ / list.fileName, std::ios::binary | std::ios::trunc);
    KeepStreamError(list.stream);
    list.lines = 0;
}

void BackupReport::OpenFileLists() {
    for (List* list : {&created_, &updated_, &deleted_, &failed_, &skipped_}) {
        OpenList(*list);
    }
}

void BackupReport::ForgetNotedCopies() {
    OpenList(created_);
    OpenList(updated_);
}

void BackupReport::Note(List& list, std::u16string_view line) {
    if (list.stream.is_open()) {
        errno = 0;
        list.stream << platform::Utf16ToAnsiLossy(line) << "\r\n";
        KeepStreamError(list.stream);
        ++list.lines;
    }
}

void BackupReport::NoteCreatedFile(const std::filesystem::path& path) {
    Note(created_, platform::ShownPathText(path));
}
void BackupReport::NoteUpdatedFile(const std::filesystem::path& path) {
    Note(updated_, platform::ShownPathText(path));
}
void BackupReport::NoteDeletedFile(const std::filesystem::path& path) {
    Note(deleted_, platform::ShownPathText(path));
}
void BackupReport::NoteFailedFile(const std::filesystem::path& path) {
    Note(failed_, platform::ShownPathText(path));
}
void BackupReport::NoteSkipped(const std::filesystem::path& path, Skip reason) {
    const auto& label = reason == Skip::DotFolder    ? text::ReportSkippedDotFolder
                        : reason == Skip::FolderLink ? text::ReportSkippedFolderLink
                                                     : text::ReportSkippedSpecialFile;
    Note(skipped_, platform::ShownPathText(path) + u" (" + language_.GetValue(label) + u")");
}

void BackupReport::WriteCopiedCountLine(std::uint64_t count) {
    WriteLine("  - " + Label(text::ReportBackupNo) + std::to_string(count));
}

void BackupReport::WriteFailedCountLine(std::uint64_t count) {
    if (count > 0) {
        WriteLine("  - " + Label(text::ReportFailedNo) + std::to_string(count));
    }
}

void BackupReport::WriteElapsedLine(std::int64_t now) {
    WriteLine("  - " + Label(text::ReportBackupElapsed) + ElapsedText(now - runStart_));
}

void BackupReport::CopyListIntoReport(List& list, const TextKey& label, bool whenEmpty) {
    if (list.stream.is_open()) {
        list.stream << kEndMark;
        list.stream.close();
    }
    if (!whenEmpty && list.lines == 0) {
        return;
    }
    WriteLine("  << " + Label(label) + " >>");
    std::ifstream in(folder_ / list.fileName, std::ios::binary);
    std::string line;
    for (char c; in.get(c) && c != kEndMark;) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            WriteLine(line);
            line.clear();
        } else {
            line.push_back(c);
        }
    }
}

void BackupReport::WriteFileSections() {
    CopyListIntoReport(created_, text::ReportCreatedFile, true);
    CopyListIntoReport(updated_, text::ReportUpdatedFile, true);
    CopyListIntoReport(deleted_, text::ReportDeletedFile, true);
    CopyListIntoReport(failed_, text::ReportFailedFile, false);
    CopyListIntoReport(skipped_, text::ReportSkippedFolders, false);
    WriteLine("");
    WriteLine("");
}

void BackupReport::DeleteFileLists() {
    for (List* list : {&created_, &updated_, &deleted_, &failed_, &skipped_}) {
        if (list->stream.is_open()) {
            list->stream.close();
        }
        const auto path = folder_ / list->fileName;
        platform::MakeWritable(path);
        platform::RemoveFile(path);
    }
}

void BackupReport::CloseReport() {
    if (report_.is_open()) {
        errno = 0;
        report_.close();
        KeepStreamError(report_);
    }
    for (List* list : {&created_, &updated_, &deleted_, &failed_, &skipped_}) {
        if (list->stream.is_open()) {
            list->stream.close();
        }
    }
    if (ownsOpenFlag_) {
        ownsOpenFlag_ = false;
        reportOpen = false;
    }
}

}  // namespace arkivo
