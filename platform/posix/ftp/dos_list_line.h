// A line of a LIST listing in the style of Windows servers (IIS):
//
//   01-01-26  10:15AM       <DIR>          folder
//   01-01-26  10:15PM                 1234 name with spaces
//   01-01-2026  22:15                 1234 name
//
// Month-day-year, the year in two digits (70 to 99 are 19xx, the others 20xx) or four; the time
// of day with AM or PM or in 24 hours. The name is what follows the blanks after the size or
// <DIR>, kept exactly from its first non-blank character to the end of the line. Times are in
// the server's zone, which the listing does not tell, and are taken as UTC; they are minute
// precise.
#pragma once

#include <string_view>

#include "platform/posix/ftp/listed_entry.h"

namespace arkivo::platform::ftp {

LineReading ParseDosListLine(std::string_view line, ListedEntry& entry);

}  // namespace arkivo::platform::ftp
