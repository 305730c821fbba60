#include "platform/posix/ftp/listing.h"

#include "common/text.h"
#include "platform/ftp_name_problem.h"
#include "platform/posix/ftp/dos_list_line.h"
#include "platform/posix/ftp/mlsd_line.h"
#include "platform/posix/ftp/unix_list_line.h"

namespace arkivo::platform::ftp {
namespace {

LineReading ReadLine(std::string_view line, ListingStyle style, std::int64_t now,
                     ListedEntry& entry) {
    if (style == ListingStyle::Mlsd) {
        return ParseMlsdLine(line, entry);
    }
    const auto reading = ParseUnixListLine(line, now, entry);
    return reading == LineReading::Unreadable ? ParseDosListLine(line, entry) : reading;
}

}  // namespace

FtpListing ReadListing(std::string_view bytes, ListingStyle style, std::int64_t nowUnixSeconds) {
    FtpListing listing;
    ListedEntry entry;
    while (!bytes.empty()) {
        const auto end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty()) {
            continue;
        }
        switch (ReadLine(line, style, nowUnixSeconds, entry)) {
            case LineReading::Unreadable:
                ++listing.unreadableLines;
                break;
            case LineReading::NotAnEntry:
                break;
            case LineReading::Entry:
                listing.entries.push_back({Utf8ToUtf16(entry.name), entry.kind, entry.size,
                                           entry.lastWriteTime, entry.timePrecision,
                                           NameProblemOf(entry.name)});
                break;
        }
    }
    return listing;
}

}  // namespace arkivo::platform::ftp
