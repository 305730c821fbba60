#include "platform/win32/ftp/found_entry.h"

#include <string>

#include "common/file_time.h"
#include "common/text.h"
#include "platform/ftp_name_problem.h"
#include "platform/win32/ftp/name_encoding.h"

namespace arkivo::platform::win32 {
namespace {

constexpr std::int64_t kDaySeconds = 86400;
constexpr std::int64_t kNoonSeconds = kDaySeconds / 2;
// A LIST line gives a year instead of the time of day for what is about half a year or more
// from the server's now (180 days for pyftpdlib, six months for ls); a little less, for a
// server clock that runs off ours.
constexpr std::int64_t kYearFormAge = 150 * kDaySeconds;

FileTime FileTimeOf(const FILETIME& time) {
    return static_cast<FileTime>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                 time.dwLowDateTime);
}

// A line with a year has no time of day, which WinINet fills in as midnight (Windows) or noon
// (Wine). So a time that old, on midnight or noon exactly, is taken as the day alone, and
// moved to the day's start as our own LIST reader has it; a recent time, or an old one at any
// other moment, came with its hour and minute.
void SetTime(const FILETIME& time, std::int64_t now, FtpEntry& entry) {
    const FileTime value = FileTimeOf(time);
    if (value == 0) {
        entry.timePrecision = FtpTimePrecision::None;
        return;
    }
    const std::int64_t seconds = FileTimeToUnixSeconds(value);
    const std::int64_t ofDay = ((seconds % kDaySeconds) + kDaySeconds) % kDaySeconds;
    const std::int64_t age = now > seconds ? now - seconds : seconds - now;
    if (age >= kYearFormAge && (ofDay == 0 || ofDay == kNoonSeconds)) {
        entry.lastWriteTime = UnixSecondsToFileTime(seconds - ofDay);
        entry.timePrecision = FtpTimePrecision::Day;
        return;
    }
    entry.lastWriteTime = value;
    entry.timePrecision = FtpTimePrecision::Minute;
}

}  // namespace

FtpEntry EntryOf(const WIN32_FIND_DATAW& found, std::int64_t nowUnixSeconds) {
    FtpEntry entry;
    const auto* name = reinterpret_cast<const char16_t*>(found.cFileName);
    entry.name = std::u16string(name, std::char_traits<char16_t>::length(name));
    entry.kind = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FtpEntryKind::Folder
                                                                          : FtpEntryKind::File;
    entry.size = (static_cast<std::uint64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    SetTime(found.ftLastWriteTime, nowUnixSeconds, entry);
    entry.nameProblem = NameProblemOf(Utf16ToUtf8(entry.name));
    // Read through a code page other than UTF-8, a name beyond ASCII is not what the server
    // sent, and would not name the server's file when sent back.
    if (entry.nameProblem == FtpNameProblem::None && !SentAsUtf8(entry.name)) {
        entry.nameProblem = FtpNameProblem::NotUtf8;
    }
    return entry;
}

}  // namespace arkivo::platform::win32
