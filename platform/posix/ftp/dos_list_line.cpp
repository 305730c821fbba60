#include "platform/posix/ftp/dos_list_line.h"

#include <optional>

#include "platform/posix/ftp/civil_time.h"
#include "platform/posix/ftp/list_fields.h"

namespace arkivo::platform::ftp {
namespace {

// The next run of non-blanks from `at`, which moves past it.
std::string_view NextColumn(std::string_view line, std::size_t& at) {
    while (at < line.size() && line[at] == ' ') {
        ++at;
    }
    const std::size_t begin = at;
    while (at < line.size() && line[at] != ' ') {
        ++at;
    }
    return line.substr(begin, at - begin);
}

std::optional<int> Number(std::string_view text, std::size_t least, std::size_t most) {
    if (text.size() < least || text.size() > most) {
        return std::nullopt;
    }
    const auto value = DecimalValue(text);
    if (!value) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

// "01-31-26" or "01-31-2026".
bool ReadDate(std::string_view text, CivilTime& time) {
    if (text.size() < 8 || text[2] != '-' || text[5] != '-') {
        return false;
    }
    const auto month = Number(text.substr(0, 2), 2, 2);
    const auto day = Number(text.substr(3, 2), 2, 2);
    const auto year = Number(text.substr(6), 2, 4);
    if (!month || !day || !year || text.size() == 9) {
        return false;
    }
    time.month = *month;
    time.day = *day;
    time.year = text.size() == 10 ? *year : (*year >= 70 ? 1900 : 2000) + *year;
    return true;
}

// "10:15AM", "12:05PM", "22:15". Twelve o'clock AM is midnight.
bool ReadTime(std::string_view text, CivilTime& time) {
    std::string_view half;
    if (text.size() > 2 && (SameLetters(text.substr(text.size() - 2), "AM") ||
                            SameLetters(text.substr(text.size() - 2), "PM"))) {
        half = text.substr(text.size() - 2);
        text.remove_suffix(2);
    }
    const auto colon = text.find(':');
    if (colon == std::string_view::npos) {
        return false;
    }
    const auto hour = Number(text.substr(0, colon), 1, 2);
    const auto minute = Number(text.substr(colon + 1), 2, 2);
    if (!hour || !minute) {
        return false;
    }
    time.hour = *hour;
    time.minute = *minute;
    if (!half.empty()) {
        if (*hour < 1 || *hour > 12) {
            return false;
        }
        time.hour = *hour % 12 + (SameLetters(half, "PM") ? 12 : 0);
    }
    return true;
}

}  // namespace

LineReading ParseDosListLine(std::string_view line, ListedEntry& entry) {
    entry = {};
    std::size_t at = 0;
    CivilTime civil;
    if (!ReadDate(NextColumn(line, at), civil) || !ReadTime(NextColumn(line, at), civil)) {
        return LineReading::Unreadable;
    }
    const auto seconds = CivilToUnixSeconds(civil);
    const std::string_view sizeOrFolder = NextColumn(line, at);
    while (at < line.size() && line[at] == ' ') {
        ++at;
    }
    if (!seconds || at == line.size()) {
        return LineReading::Unreadable;
    }
    if (sizeOrFolder == "<DIR>") {
        entry.kind = FtpEntryKind::Folder;
    } else if (const auto size = DecimalValue(sizeOrFolder)) {
        entry.size = *size;
    } else {
        return LineReading::Unreadable;
    }
    entry.lastWriteTime = UnixSecondsToFileTime(*seconds);
    entry.timePrecision = FtpTimePrecision::Minute;
    entry.name = std::string(line.substr(at));
    return LineReading::Entry;
}

}  // namespace arkivo::platform::ftp
