#include "cli/quantities.h"

#include <cmath>
#include <cstdio>

namespace arkivo::cli {

std::string Grouped(std::uint64_t value) {
    const std::string digits = std::to_string(value);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            grouped.push_back(',');
        }
        grouped.push_back(digits[i]);
    }
    return grouped;
}

std::string Counted(std::uint64_t count, std::string_view one, std::string_view many) {
    std::string text = Grouped(count);
    text.push_back(' ');
    text.append(count == 1 ? one : many);
    return text;
}

std::string ByteSize(std::uint64_t bytes) {
    if (bytes < 1000) {
        return std::to_string(bytes) + " B";
    }
    static constexpr const char* kUnits[] = {"kB", "MB", "GB", "TB", "PB", "EB"};
    double value = static_cast<double>(bytes) / 1000;
    std::size_t unit = 0;
    while (value >= 999.95 && unit + 1 < std::size(kUnits)) {
        value /= 1000;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %s", value, kUnits[unit]);
    return text;
}

std::string Rate(std::uint64_t bytes, double seconds) {
    const double perSecond = seconds > 0 ? static_cast<double>(bytes) / seconds : 0.0;
    return ByteSize(static_cast<std::uint64_t>(std::llround(perSecond))) + "/s";
}

std::string Duration(double seconds) {
    char text[32];
    if (seconds < 10) {
        std::snprintf(text, sizeof text, "%.1f s", seconds);
        return text;
    }
    const auto whole = static_cast<std::uint64_t>(std::llround(seconds));
    if (whole < 60) {
        std::snprintf(text, sizeof text, "%u s", static_cast<unsigned>(whole));
    } else if (whole < 3600) {
        std::snprintf(text, sizeof text, "%u min %02u s", static_cast<unsigned>(whole / 60),
                      static_cast<unsigned>(whole % 60));
    } else {
        std::snprintf(text, sizeof text, "%llu h %02u min",
                      static_cast<unsigned long long>(whole / 3600),
                      static_cast<unsigned>(whole % 3600 / 60));
    }
    return text;
}

}  // namespace arkivo::cli
