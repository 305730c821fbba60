#include "engine/dated_name.h"

#include <cstdio>

#include "common/text.h"
#include "platform/clock.h"

namespace arkivo::engine {

std::u16string MakeDatedFolderName(std::u16string_view prefix, std::int64_t now) {
    const auto t = platform::ToLocalTime(now).value_or(platform::LocalTime{});
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d_%02d_%d_%dh%dm", t.year, t.month, t.day, t.hour,
                  t.minute);
    return std::u16string(prefix) + AsciiToUtf16(buffer);
}

}  // namespace arkivo::engine
