// A line of an MLSD listing: facts, a space, the name.
//
//   type=file;size=156;modify=20071029155301.123;perm=r; music.mp3
//
// Fact names are matched without regard to case. The name is everything after the space that
// follows the last fact, spaces and semicolons included. "modify" is UTC, to the second or to a
// fraction of one.
#pragma once

#include <string_view>

#include "platform/posix/ftp/listed_entry.h"

namespace arkivo::platform::ftp {

// NotAnEntry for the listed folder itself and its parent (type=cdir, type=pdir).
LineReading ParseMlsdLine(std::string_view line, ListedEntry& entry);

}  // namespace arkivo::platform::ftp
