#include "platform/posix/ftp/unix_list_line.h"

#include <optional>
#include <vector>

#include "platform/posix/ftp/civil_time.h"
#include "platform/posix/ftp/list_fields.h"

namespace arkivo::platform::ftp {
namespace {

// The columns before the name; a few more than "ls -l" has, for servers that add one.
constexpr std::size_t kMostColumns = 12;

struct Column {
    std::size_t begin = 0;
    std::size_t end = 0;
};

std::vector<Column> LeadingColumns(std::string_view line) {
    std::vector<Column> columns;
    std::size_t at = 0;
    while (columns.size() < kMostColumns) {
        while (at < line.size() && line[at] == ' ') {
            ++at;
        }
        if (at == line.size()) {
            break;
        }
        const std::size_t begin = at;
        while (at < line.size() && line[at] != ' ') {
            ++at;
        }
        columns.push_back({begin, at});
    }
    return columns;
}

bool IsModeColumn(std::string_view mode) {
    if (mode.size() < 10 || std::string_view("-dlbcpsD").find(mode[0]) == std::string_view::npos) {
        return false;
    }
    for (std::size_t i = 1; i < 10; ++i) {
        if (std::string_view("-rwxsStTlL").find(mode[i]) == std::string_view::npos) {
            return false;
        }
    }
    return true;
}

FtpEntryKind KindOf(char type) {
    switch (type) {
        case '-':
            return FtpEntryKind::File;
        case 'd':
            return FtpEntryKind::Folder;
        case 'l':
            return FtpEntryKind::Link;
        default:
            return FtpEntryKind::Other;
    }
}

struct ListedDate {
    int month = 0;
    int day = 0;
    std::optional<int> year;  // a date with a year has no time of day
    int hour = 0;
    int minute = 0;
};

std::optional<ListedDate> ReadDate(std::string_view month, std::string_view day,
                                   std::string_view yearOrTime) {
    ListedDate date;
    date.month = MonthNumber(month);
    const auto dayValue = DecimalValue(day);
    if (date.month == 0 || day.size() > 2 || !dayValue || *dayValue < 1 || *dayValue > 31) {
        return std::nullopt;
    }
    date.day = static_cast<int>(*dayValue);
    const auto colon = yearOrTime.find(':');
    if (colon == std::string_view::npos) {
        if (yearOrTime.size() != 4 || !AllDigits(yearOrTime)) {
            return std::nullopt;
        }
        date.year = static_cast<int>(*DecimalValue(yearOrTime));
        return date;
    }
    const auto hour = DecimalValue(yearOrTime.substr(0, colon));
    const auto minute = DecimalValue(yearOrTime.substr(colon + 1));
    if (colon > 2 || yearOrTime.size() - colon != 3 || !hour || !minute || *hour > 23 ||
        *minute > 59) {
        return std::nullopt;
    }
    date.hour = static_cast<int>(*hour);
    date.minute = static_cast<int>(*minute);
    return date;
}

std::optional<std::int64_t> MostRecentYear(const ListedDate& date, std::int64_t now) {
    const int thisYear = YearOfUnixSeconds(now);
    // Far enough back to reach a 29th of February.
    for (int year = thisYear + 1; year >= thisYear - 8; --year) {
        const auto seconds =
            CivilToUnixSeconds({year, date.month, date.day, date.hour, date.minute, 0});
        if (seconds && *seconds <= now + kListFutureSeconds) {
            return seconds;
        }
    }
    return std::nullopt;
}

}  // namespace

LineReading ParseUnixListLine(std::string_view line, std::int64_t nowUnixSeconds,
                              ListedEntry& entry) {
    entry = {};
    const auto columns = LeadingColumns(line);
    const auto text = [&](std::size_t i) {
        return line.substr(columns[i].begin, columns[i].end - columns[i].begin);
    };
    if (!columns.empty() && text(0) == "total" && (columns.size() == 1 || AllDigits(text(1)))) {
        return columns.size() <= 2 ? LineReading::NotAnEntry : LineReading::Unreadable;
    }
    if (columns.size() < 6 || !IsModeColumn(text(0))) {
        return LineReading::Unreadable;
    }
    for (std::size_t i = 1; i + 3 < columns.size(); ++i) {
        const auto size = DecimalValue(text(i));
        const auto date = size ? ReadDate(text(i + 1), text(i + 2), text(i + 3)) : std::nullopt;
        const std::size_t nameStart = columns[i + 3].end + 1;
        if (!date || nameStart >= line.size()) {
            continue;
        }
        const auto seconds =
            date->year ? CivilToUnixSeconds({*date->year, date->month, date->day, 0, 0, 0})
                       : MostRecentYear(*date, nowUnixSeconds);
        if (!seconds) {
            return LineReading::Unreadable;
        }
        entry.kind = KindOf(line[columns[0].begin]);
        entry.size = *size;
        entry.lastWriteTime = UnixSecondsToFileTime(*seconds);
        entry.timePrecision = date->year ? FtpTimePrecision::Day : FtpTimePrecision::Minute;
        std::string_view name = line.substr(nameStart);
        if (entry.kind == FtpEntryKind::Link) {
            name = name.substr(0, name.find(" -> "));
        }
        if (name.empty()) {
            return LineReading::Unreadable;
        }
        entry.name = std::string(name);
        return LineReading::Entry;
    }
    return LineReading::Unreadable;
}

}  // namespace arkivo::platform::ftp
