#include "platform/posix/ftp/mlsd_line.h"

#include <optional>

#include "platform/posix/ftp/civil_time.h"
#include "platform/posix/ftp/list_fields.h"

namespace arkivo::platform::ftp {
namespace {

// "YYYYMMDDHHMMSS" and an optional fraction of a second; digits beyond a tenth of a
// microsecond are dropped.
std::optional<FileTime> ModifyTime(std::string_view value) {
    if (value.size() < 14 || !AllDigits(value.substr(0, 14))) {
        return std::nullopt;
    }
    const auto number = [&](std::size_t at, std::size_t length) {
        return static_cast<int>(*DecimalValue(value.substr(at, length)));
    };
    const CivilTime civil{number(0, 4), number(4, 2),  number(6, 2),
                          number(8, 2), number(10, 2), number(12, 2)};
    const auto seconds = CivilToUnixSeconds(civil);
    if (!seconds) {
        return std::nullopt;
    }
    FileTime time = UnixSecondsToFileTime(*seconds);
    if (value.size() > 14) {
        const auto fraction = value.substr(15);
        if (value[14] != '.' || fraction.empty() || !AllDigits(fraction)) {
            return std::nullopt;
        }
        std::int64_t units = 0;
        for (std::size_t i = 0; i < 7; ++i) {
            units = units * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
        }
        time += units;
    }
    return time;
}

bool IsLinkType(std::string_view type) {
    return StartsWithLetters(type, "OS.unix=slink") || StartsWithLetters(type, "OS.unix=symlink");
}

}  // namespace

LineReading ParseMlsdLine(std::string_view line, ListedEntry& entry) {
    entry = {};
    bool typed = false;
    bool sized = false;
    std::size_t at = 0;
    while (at < line.size() && line[at] != ' ') {
        const auto end = line.find(';', at);
        if (end == std::string_view::npos) {
            return LineReading::Unreadable;
        }
        const std::string_view fact = line.substr(at, end - at);
        at = end + 1;
        const auto equals = fact.find('=');
        if (equals == std::string_view::npos) {
            return LineReading::Unreadable;
        }
        const std::string_view name = fact.substr(0, equals);
        const std::string_view value = fact.substr(equals + 1);
        if (SameLetters(name, "type")) {
            typed = true;
            if (SameLetters(value, "cdir") || SameLetters(value, "pdir")) {
                return LineReading::NotAnEntry;
            }
            entry.kind = SameLetters(value, "file")  ? FtpEntryKind::File
                         : SameLetters(value, "dir") ? FtpEntryKind::Folder
                         : IsLinkType(value)         ? FtpEntryKind::Link
                                                     : FtpEntryKind::Other;
        } else if (SameLetters(name, "size")) {
            const auto size = DecimalValue(value);
            if (!size) {
                return LineReading::Unreadable;
            }
            entry.size = *size;
            sized = true;
        } else if (SameLetters(name, "modify")) {
            if (const auto time = ModifyTime(value)) {
                entry.lastWriteTime = *time;
                entry.timePrecision = FtpTimePrecision::Exact;
            }
        }
    }
    if (at + 1 >= line.size() || !typed) {
        return LineReading::Unreadable;
    }
    if (!sized && entry.kind == FtpEntryKind::File) {
        return LineReading::Unreadable;
    }
    entry.name = std::string(line.substr(at + 1));
    return LineReading::Entry;
}

}  // namespace arkivo::platform::ftp
