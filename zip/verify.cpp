#include "zip/verify.h"

#include <algorithm>

#include "zip/archive_reader.h"
#include "zip/crc32.h"
#include "zip/deflate/inflater.h"
#include "zip/zip_format.h"

namespace arkivo::zip {
namespace {

constexpr std::size_t kReadPiece = 1 << 16;

// The data of one entry as a byte source.
class EntrySource : public deflate::ByteSource {
  public:
    EntrySource(ArchiveReader& reader, std::uint64_t offset, std::uint64_t size)
        : reader_(reader), next_(offset), left_(size) {}

    std::optional<std::size_t> Read(std::span<std::uint8_t> buffer) override {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), left_));
        if (n > 0 && !reader_.ReadAt(next_, buffer.first(n))) {
            return std::nullopt;
        }
        next_ += n;
        left_ -= n;
        return n;
    }

  private:
    ArchiveReader& reader_;
    std::uint64_t next_;
    std::uint64_t left_;
};

class CheckingSink : public deflate::ByteSink {
  public:
    bool Write(std::span<const std::uint8_t> bytes) override {
        crc_.Update(bytes);
        size_ += bytes.size();
        return true;
    }
    std::uint32_t crc() const { return crc_.value(); }
    std::uint64_t size() const { return size_; }

  private:
    Crc32 crc_;
    std::uint64_t size_ = 0;
};

bool HeadersAgree(const DirectoryEntry& entry, const LocalHeader& local) {
    // Sizes and CRC may follow the data when bit 3 is set; this writer never sets it.
    const bool sizesHere = (local.flags & kFlagSizesFollowData) == 0;
    return local.name == entry.name && local.method == entry.method && local.flags == entry.flags &&
           (!sizesHere ||
            (local.crc32 == entry.crc32 && local.compressedSize == entry.compressedSize &&
             local.uncompressedSize == entry.uncompressedSize));
}

EntryCheck CheckData(ArchiveReader& reader, const DirectoryEntry& entry, std::uint64_t dataOffset,
                     deflate::Inflater& inflater) {
    EntrySource source(reader, dataOffset, entry.compressedSize);
    CheckingSink sink;
    if (entry.method == kMethodStored) {
        std::vector<std::uint8_t> piece(kReadPiece);
        for (;;) {
            const auto n = source.Read(piece);
            if (!n) {
                return EntryCheck::ReadFailed;
            }
            if (*n == 0) {
                break;
            }
            sink.Write(std::span(piece).first(*n));
        }
    } else if (entry.method == kMethodDeflated) {
        switch (inflater.Inflate(source, sink)) {
            case deflate::InflateResult::Ok:
                break;
            case deflate::InflateResult::ReadFailed:
                return EntryCheck::ReadFailed;
            default:
                return EntryCheck::BadData;
        }
        if (inflater.consumedBytes() != entry.compressedSize) {
            return EntryCheck::BadData;
        }
    } else {
        return EntryCheck::UnsupportedMethod;
    }
    if (sink.size() != entry.uncompressedSize) {
        return EntryCheck::SizeMismatch;
    }
    return sink.crc() == entry.crc32 ? EntryCheck::Ok : EntryCheck::CrcMismatch;
}

ArchiveCheck ToArchiveCheck(DirectoryStatus status) {
    switch (status) {
        case DirectoryStatus::Ok:
            return ArchiveCheck::Ok;
        case DirectoryStatus::CannotOpen:
            return ArchiveCheck::CannotOpen;
        case DirectoryStatus::NoEndRecord:
            return ArchiveCheck::NoEndRecord;
        case DirectoryStatus::BadDirectory:
            break;
    }
    return ArchiveCheck::BadDirectory;
}

}  // namespace

ArchiveVerdict VerifyZipArchive(const std::filesystem::path& archive) {
    ArchiveVerdict verdict;
    ArchiveReader reader;
    verdict.status = ToArchiveCheck(reader.Open(archive));
    if (verdict.status != ArchiveCheck::Ok) {
        return verdict;
    }
    deflate::Inflater inflater;
    for (const DirectoryEntry& entry : reader.entries()) {
        EntryVerdict& result = verdict.entries.emplace_back();
        result.name = entry.name;
        result.method = entry.method;
        result.compressedSize = entry.compressedSize;
        result.uncompressedSize = entry.uncompressedSize;
        const auto local = reader.ReadLocalHeader(entry);
        if (!local) {
            result.check = EntryCheck::BadLocalHeader;
        } else if (!HeadersAgree(entry, *local) ||
                   local->dataOffset + entry.compressedSize > reader.directoryOffset()) {
            result.check = EntryCheck::HeaderMismatch;
        } else {
            result.check = CheckData(reader, entry, local->dataOffset, inflater);
        }
        if (result.check != EntryCheck::Ok) {
            verdict.status = ArchiveCheck::EntriesFailed;
        }
    }
    return verdict;
}

}  // namespace arkivo::zip
