// Names of the dated folders (and archives) that differential, incremental and period runs
// write: the prefix, then the local date and time, e.g. DIF_2009_03_5_9h7m.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace arkivo::engine {

inline constexpr std::u16string_view kDifPrefix = u"DIF_";
inline constexpr std::u16string_view kIncPrefix = u"INC_";
inline constexpr std::u16string_view kSpdPrefix = u"SPD_";

std::u16string MakeDatedFolderName(std::u16string_view prefix, std::int64_t now);

}  // namespace arkivo::engine
