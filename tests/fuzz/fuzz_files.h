// What the fuzz targets share: a scratch file for the readers that take a path, and the way a
// broken property is reported so that libFuzzer keeps the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace arkivo::fuzz {

// A file of this process's own scratch folder holding exactly these bytes. The folder is
// also made the current one, as some readers leave working copies there: paths given to the
// fuzzer must be absolute.
std::filesystem::path WriteScratchFile(std::string_view name, std::string_view bytes);

// Prints what went wrong and aborts, which libFuzzer records as a crash with its input.
[[noreturn]] void Fail(std::string_view what);

inline void Require(bool holds, std::string_view what) {
    if (!holds) {
        Fail(what);
    }
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace arkivo::fuzz
