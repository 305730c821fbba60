// Little-endian loads and stores at any alignment: the byte order of every number in ZIP and
// deflate streams.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace arkivo {

template <typename T>
constexpr T ReverseBytes(T value) {
    T result = 0;
    for (unsigned i = 0; i < sizeof(T); ++i) {
        result = static_cast<T>((result << 8) | ((value >> (8 * i)) & 0xFF));
    }
    return result;
}

template <typename T>
inline T LoadLittleEndian(const void* source) {
    T value;
    std::memcpy(&value, source, sizeof(T));
    if constexpr (std::endian::native == std::endian::big) {
        value = ReverseBytes(value);
    }
    return value;
}

template <typename T>
inline void StoreLittleEndian(void* target, T value) {
    if constexpr (std::endian::native == std::endian::big) {
        value = ReverseBytes(value);
    }
    std::memcpy(target, &value, sizeof(T));
}

}  // namespace arkivo
