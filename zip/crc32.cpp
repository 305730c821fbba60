#include "zip/crc32.h"

#include <array>

#include "zip/byte_order.h"

namespace arkivo::zip {
namespace {

constexpr std::uint32_t kReflectedPolynomial = 0xEDB88320;

// Slicing by eight: table k gives the CRC contribution of a byte that still has k bytes after
// it in the current 8-byte group, so eight lookups advance the CRC by eight bytes at once.
using SliceTables = std::array<std::array<std::uint32_t, 256>, 8>;

constexpr SliceTables MakeSliceTables() {
    SliceTables tables{};
    for (std::uint32_t byte = 0; byte < 256; ++byte) {
        std::uint32_t crc = byte;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ ((crc & 1) ? kReflectedPolynomial : 0);
        }
        tables[0][byte] = crc;
    }
    for (std::size_t k = 1; k < 8; ++k) {
        for (std::size_t byte = 0; byte < 256; ++byte) {
            const std::uint32_t previous = tables[k - 1][byte];
            tables[k][byte] = (previous >> 8) ^ tables[0][previous & 0xFF];
        }
    }
    return tables;
}

constexpr SliceTables kTables = MakeSliceTables();

// Polynomials over GF(2) modulo the CRC polynomial P, in the reflected form of the CRC
// register: bit 31 holds the coefficient of x^0 and bit 0 that of x^31.
constexpr std::uint32_t kOne = 0x80000000u;
constexpr std::uint32_t kX = kOne >> 1;

std::uint32_t TimesX(std::uint32_t a) {
    return (a >> 1) ^ ((a & 1) ? kReflectedPolynomial : 0);
}

std::uint32_t MultiplyModP(std::uint32_t a, std::uint32_t b) {
    std::uint32_t product = 0;
    for (std::uint32_t term = kOne; term != 0; term >>= 1) {
        if (a & term) {
            product ^= b;
        }
        b = TimesX(b);
    }
    return product;
}

// x^exponent mod P, by squaring.
std::uint32_t PowerOfXModP(std::uint64_t exponent) {
    std::uint32_t result = kOne;
    std::uint32_t square = kX;
    for (; exponent != 0; exponent >>= 1) {
        if (exponent & 1) {
            result = MultiplyModP(result, square);
        }
        square = MultiplyModP(square, square);
    }
    return result;
}

}  // namespace

void Crc32::Update(std::span<const std::uint8_t> bytes) {
    std::uint32_t crc = state_;
    const std::uint8_t* p = bytes.data();
    std::size_t n = bytes.size();
    for (; n >= 8; n -= 8, p += 8) {
        const std::uint32_t low = LoadLittleEndian<std::uint32_t>(p) ^ crc;
        const std::uint32_t high = LoadLittleEndian<std::uint32_t>(p + 4);
        crc = kTables[7][low & 0xFF] ^ kTables[6][(low >> 8) & 0xFF] ^
              kTables[5][(low >> 16) & 0xFF] ^ kTables[4][low >> 24] ^ kTables[3][high & 0xFF] ^
              kTables[2][(high >> 8) & 0xFF] ^ kTables[1][(high >> 16) & 0xFF] ^
              kTables[0][high >> 24];
    }
    for (; n > 0; --n, ++p) {
        crc = (crc >> 8) ^ kTables[0][(crc ^ *p) & 0xFF];
    }
    state_ = crc;
}

// Running the register over n more bytes multiplies it by x^(8n) and adds what those bytes
// give from a zero register. With the initial value and the final complement, which are the
// same constant, that makes crc(AB) = crc(A)·x^(8|B|) + crc(B).
std::uint32_t CombineCrc32(std::uint32_t first, std::uint32_t second, std::uint64_t secondLength) {
    return MultiplyModP(first, PowerOfXModP(secondLength * 8)) ^ second;
}

std::uint32_t ComputeCrc32(std::span<const std::uint8_t> bytes) {
    Crc32 crc;
    crc.Update(bytes);
    return crc.value();
}

}  // namespace arkivo::zip
