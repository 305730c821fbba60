// How two job locations lie to each other: the same folder, one inside the other, or apart.
// Local paths are compared in their normal form (no ".", "..", doubled or trailing
// separators), component by component under the file system's rule for names
// (platform::FileNameKey: letter case counts on POSIX, not on Windows). FTP locations are
// compared as text; a local path and an FTP location are always apart.
#pragma once

#include <optional>
#include <string_view>

#include "settings/text_keys.h"

namespace arkivo {

enum class LocationRelation { Apart, Same, FirstInsideSecond, SecondInsideFirst };

LocationRelation RelateLocations(std::u16string_view first, std::u16string_view second);

// Why a job with these sides must not be made: a base that is its own target, or one inside
// its target (a synchronisation that deletes orphans would delete everything around the
// base). A target inside its base is allowed: the engine keeps a run out of it.
std::optional<TextKey> CheckBaseAndTarget(std::u16string_view base, std::u16string_view target);

}  // namespace arkivo
