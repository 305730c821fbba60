#include "zip/entry_attributes.h"

#include <algorithm>

#include "zip/byte_order.h"
#include "zip/zip_format.h"

namespace arkivo::zip {
namespace {

constexpr std::size_t kMinExecutableSize = 41;
constexpr std::size_t kHeaderOffsetField = 60;
constexpr std::uint64_t kHeaderRoom = 52;
constexpr std::uint32_t kHeaderSignatures[] = {0x5A4D, 0x454E, 0x454C, 0x4550};  // MZ NE LE PE

constexpr std::uint32_t kDosAttributeBits =
    platform::Attribute::ReadOnly | platform::Attribute::Hidden | platform::Attribute::System |
    platform::Attribute::Directory | platform::Attribute::Archive;
constexpr std::uint32_t kModeBits = 0xFFFF;  // the file type and the 07777 permission bits
constexpr std::uint32_t kModeDirectory = 0x4000;
constexpr std::uint32_t kModeRegular = 0x8000;
constexpr std::uint32_t kModeOwnerRead = 0x0100;
constexpr std::uint32_t kModeOwnerWrite = 0x0080;
constexpr std::uint32_t kModeOwnerExecute = 0x0040;

}  // namespace

void ExecutableSniffer::Observe(std::span<const std::uint8_t> bytes) {
    const std::uint64_t start = seen_;
    seen_ += bytes.size();
    if (start < kHeadSize) {
        const std::size_t n = std::min<std::size_t>(bytes.size(), kHeadSize - start);
        std::copy_n(bytes.begin(), n, head_.begin() + static_cast<std::ptrdiff_t>(start));
    }
    if (seen_ < kHeadSize || signatureBytes_ == signature_.size()) {
        return;
    }
    const std::uint64_t at = LoadLittleEndian<std::uint32_t>(head_.data() + kHeaderOffsetField);
    // Copy whatever part of the four signature bytes has gone past: from the head, which
    // holds the first bytes, or from this piece.
    for (std::size_t i = signatureBytes_; i < signature_.size(); ++i) {
        const std::uint64_t offset = at + i;
        if (offset < kHeadSize) {
            signature_[i] = head_[offset];
        } else if (offset >= start && offset < seen_) {
            signature_[i] = bytes[offset - start];
        } else {
            break;
        }
        signatureBytes_ = i + 1;
    }
}

bool ExecutableSniffer::IsExecutable() const {
    if (seen_ < std::max(kMinExecutableSize, kHeadSize) || head_[0] != 'M' || head_[1] != 'Z' ||
        signatureBytes_ != signature_.size()) {
        return false;
    }
    const std::uint64_t at = LoadLittleEndian<std::uint32_t>(head_.data() + kHeaderOffsetField);
    const std::uint32_t signature = LoadLittleEndian<std::uint32_t>(signature_.data());
    return at + kHeaderRoom < seen_ &&
           std::find(std::begin(kHeaderSignatures), std::end(kHeaderSignatures), signature) !=
               std::end(kHeaderSignatures);
}

std::uint8_t MadeByHost(const platform::FileInfo& info) {
    return info.posixMode != 0 ? kHostUnix : kHostNtfs;
}

std::uint32_t ExternalAttributes(const platform::FileInfo& info, bool executable) {
    const std::uint32_t dosBits = info.attributes & kDosAttributeBits;
    if (info.posixMode != 0) {
        return (info.posixMode & kModeBits) << 16 | dosBits;
    }
    std::uint32_t mode = info.IsFolder() ? kModeDirectory : kModeRegular;
    mode |= kModeOwnerRead;
    if ((info.attributes & platform::Attribute::ReadOnly) == 0) {
        mode |= kModeOwnerWrite;
    }
    if (executable) {
        mode |= kModeOwnerExecute;
    }
    return (mode << 16) | dosBits;
}

}  // namespace arkivo::zip
