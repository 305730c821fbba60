// A line of a LIST listing in the style of "ls -l", as most servers send it:
//
//   -rw-r--r--   1 owner group      5 Jan 01  2025 name with spaces
//   drwxr-xr-x   2 owner group   4096 Mar 14 10:15 folder
//   lrwxrwxrwx   1 owner group      7 Mar 14 10:15 link -> target
//
// The group may be missing; the columns are found from the date back. The name is what follows
// the single space after the time or year, kept exactly (spaces within and at its end too); for
// a link, up to " -> ".
//
// A date with a year is that day, at midnight. A date with a time of day has no year: it is the
// most recent such date that lies no more than half a year after `now`. "ls" and servers show the
// time of day for files of the last six months, and a server's clock may run ahead of ours or a
// file may carry a time in the future, so half a year either side of our date is read as meant;
// a date shown with a time of day is never taken as a year older than it is.
//
// Times are taken as UTC: the listing does not tell the server's zone (most servers list in
// UTC), which is why such times are only minute or day precise.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/posix/ftp/listed_entry.h"

namespace arkivo::platform::ftp {

// How far after our date a date without a year may lie.
inline constexpr std::int64_t kListFutureSeconds = 183 * 86400;

// NotAnEntry for the "total" line.
LineReading ParseUnixListLine(std::string_view line, std::int64_t nowUnixSeconds,
                              ListedEntry& entry);

}  // namespace arkivo::platform::ftp
