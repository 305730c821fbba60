// Numbers of the ZIP format (PKWARE's application note) as this writer uses them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace arkivo::zip {

inline constexpr std::uint32_t kLocalHeaderSignature = 0x04034B50;
inline constexpr std::uint32_t kCentralHeaderSignature = 0x02014B50;
inline constexpr std::uint32_t kEndRecordSignature = 0x06054B50;
inline constexpr std::uint32_t kZip64EndRecordSignature = 0x06064B50;
inline constexpr std::uint32_t kZip64LocatorSignature = 0x07064B50;

inline constexpr std::size_t kLocalHeaderSize = 30;
inline constexpr std::size_t kCentralHeaderSize = 46;
inline constexpr std::size_t kEndRecordSize = 22;
inline constexpr std::size_t kZip64EndRecordSize = 56;
inline constexpr std::size_t kZip64LocatorSize = 20;

// "Version made by": in the high byte the host whose file attributes the external attributes
// hold, in the low byte the format version, 2.3, or 4.5 for entries that need ZIP64 records,
// which it introduced.
inline constexpr std::uint8_t kHostUnix = 3;
inline constexpr std::uint8_t kHostNtfs = 11;
inline constexpr std::uint8_t kFormatVersion = 23;
inline constexpr std::uint8_t kFormatVersionZip64 = 45;

constexpr std::uint16_t VersionMadeBy(std::uint8_t host, bool zip64) {
    return static_cast<std::uint16_t>(host << 8 | (zip64 ? kFormatVersionZip64 : kFormatVersion));
}

inline constexpr std::uint16_t kVersionNeeded = 20;
inline constexpr std::uint16_t kVersionNeededZip64 = 45;

inline constexpr std::uint16_t kMethodStored = 0;
inline constexpr std::uint16_t kMethodDeflated = 8;

inline constexpr std::uint16_t kFlagMaximumCompression = 0x0002;
inline constexpr std::uint16_t kFlagSizesFollowData = 0x0008;
inline constexpr std::uint16_t kFlagUtf8Name = 0x0800;

inline constexpr std::uint16_t kZip64ExtraId = 0x0001;
inline constexpr std::uint16_t kTimestampExtraId = 0x5455;  // "UT"
inline constexpr std::uint8_t kTimestampFlags = 0x07;       // modification, access, creation
inline constexpr std::size_t kLocalTimestampExtraSize = 17;
inline constexpr std::size_t kCentralTimestampExtraSize = 9;

// A 32-bit field with this value, or a 16-bit one with kMax16, defers to the ZIP64 records.
inline constexpr std::uint64_t kMax32 = 0xFFFFFFFF;
inline constexpr std::uint64_t kMax16 = 0xFFFF;

inline constexpr std::size_t kMaxNameBytes = 259;

}  // namespace arkivo::zip
