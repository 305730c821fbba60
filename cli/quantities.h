// Numbers as the run's output shows them to people: counts with thousands separators, sizes
// and rates in decimal units (as disk makers count), durations in hours, minutes and seconds.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace arkivo::cli {

std::string Grouped(std::uint64_t value);  // "4,701"

// "1 file", "4,701 files".
std::string Counted(std::uint64_t count, std::string_view one, std::string_view many);

std::string ByteSize(std::uint64_t bytes);              // "512 B", "35.2 MB"
std::string Rate(std::uint64_t bytes, double seconds);  // "11.4 MB/s"
std::string Duration(double seconds);                   // "0.4 s", "2 min 05 s", "1 h 02 min"

}  // namespace arkivo::cli
