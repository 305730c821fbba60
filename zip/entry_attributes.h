// The external attributes of an entry: the DOS attribute bits in the low byte and a Unix mode
// in the high 16 bits, and the host that tells readers how to take them.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "platform/file_system.h"

namespace arkivo::zip {

// Recognises a Windows executable from its first bytes as they stream past: larger than 40
// bytes, "MZ" at the start, and at the 32-bit offset H found at byte 60 (with H + 52 below the
// size) the signature of an MZ, NE, LE or PE header.
class ExecutableSniffer {
  public:
    // The bytes that follow those observed before.
    void Observe(std::span<const std::uint8_t> bytes);
    bool IsExecutable() const;

  private:
    static constexpr std::size_t kHeadSize = 64;

    std::array<std::uint8_t, kHeadSize> head_{};
    std::array<std::uint8_t, 4> signature_{};
    std::size_t signatureBytes_ = 0;
    std::uint64_t seen_ = 0;
};

// Unix for a file that has a POSIX mode, whose readers then restore that mode; NTFS for one
// that has none (Windows).
std::uint8_t MadeByHost(const platform::FileInfo& info);

// A file with a POSIX mode carries it whole. For one without, a mode is made from its
// attributes: read and write for the owner, unless read-only, and execute when the sniffer
// recognised an executable.
std::uint32_t ExternalAttributes(const platform::FileInfo& info, bool executable);

}  // namespace arkivo::zip
