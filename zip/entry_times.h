// The time stamps of an entry: the DOS date and time of the headers, in local time, and the
// seconds of the extended timestamp field.
#pragma once

#include <cstdint>

namespace arkivo::zip {

// The DOS date (high 16 bits) and time (low 16 bits, in 2-second steps) of the local calendar
// time at unixSeconds. DOS dates cover 1980 to 2107; times outside are held at those ends.
std::uint32_t DosTimeStamp(std::int64_t unixSeconds);

// The low 32 bits of the seconds since 1970 that the extended timestamp field carries. A time
// whose local calendar year is before 1970 is moved to 1 January 1970, one from 2038 on to
// 31 December 2037, both keeping the time of day, so that the 32-bit field never wraps.
std::uint32_t ExtendedTimestamp(std::int64_t unixSeconds);

}  // namespace arkivo::zip
