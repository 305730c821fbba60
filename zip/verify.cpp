#include "zip/verify.h"

#include <algorithm>
#include <numeric>
#include <optional>

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

// A deflated entry is decoded no further than just past its declared size, a stored one is
// read no further than its declared compressed size.
EntryCheck CheckData(ArchiveReader& reader, const DirectoryEntry& entry, std::uint64_t dataOffset,
                     deflate::Inflater& inflater, std::uint64_t& decodedBytes) {
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
            decodedBytes += *n;
        }
    } else if (entry.method == kMethodDeflated) {
        const auto result = inflater.Inflate(source, sink, entry.uncompressedSize);
        decodedBytes += inflater.producedBytes();
        switch (result) {
            case deflate::InflateResult::Ok:
                break;
            case deflate::InflateResult::ReadFailed:
                return EntryCheck::ReadFailed;
            case deflate::InflateResult::TooLong:
                return EntryCheck::SizeMismatch;
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

// The bytes of one entry: from its local header to the end of its data.
struct EntrySpan {
    std::size_t entry = 0;
    std::uint64_t begin = 0;
    std::uint64_t dataOffset = 0;
    std::uint64_t end = 0;
};

// Whether each span shares bytes with another (two entries pointing at one local header
// included), by the span's place in spans.
std::vector<bool> FindOverlaps(const std::vector<EntrySpan>& spans) {
    std::vector<std::size_t> order(spans.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return spans[a].begin < spans[b].begin; });
    std::vector<bool> overlapping(spans.size(), false);
    // Sweeping in order of beginnings, a span overlaps an earlier one exactly when it begins
    // before the furthest end so far; the span that reaches that end overlaps it too.
    std::optional<std::size_t> furthest;
    for (const std::size_t i : order) {
        if (furthest && spans[i].begin < spans[*furthest].end) {
            overlapping[i] = true;
            overlapping[*furthest] = true;
        }
        if (!furthest || spans[i].end > spans[*furthest].end) {
            furthest = i;
        }
    }
    return overlapping;
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
    const auto& entries = reader.entries();
    std::vector<EntrySpan> spans;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const DirectoryEntry& entry = entries[i];
        EntryVerdict& result = verdict.entries.emplace_back();
        result.name = entry.name;
        result.method = entry.method;
        result.compressedSize = entry.compressedSize;
        result.uncompressedSize = entry.uncompressedSize;
        const auto local = reader.ReadLocalHeader(entry);
        if (!local) {
            result.check = EntryCheck::BadLocalHeader;
        } else if (!HeadersAgree(entry, *local) || local->dataOffset > reader.directoryOffset() ||
                   entry.compressedSize > reader.directoryOffset() - local->dataOffset) {
            result.check = EntryCheck::HeaderMismatch;
        } else {
            spans.push_back({i, entry.localHeaderOffset, local->dataOffset,
                             local->dataOffset + entry.compressedSize});
        }
    }
    // Entries that share their bytes are not decoded at all: thousands of entries pointing at
    // one small stream that expands far would otherwise cost thousands of times its size.
    const std::vector<bool> overlapping = FindOverlaps(spans);
    deflate::Inflater inflater;
    for (std::size_t i = 0; i < spans.size(); ++i) {
        EntryVerdict& result = verdict.entries[spans[i].entry];
        result.check = overlapping[i]
                           ? EntryCheck::Overlapping
                           : CheckData(reader, entries[spans[i].entry], spans[i].dataOffset,
                                       inflater, verdict.decodedBytes);
    }
    for (const EntryVerdict& result : verdict.entries) {
        if (result.check == EntryCheck::Overlapping) {
            verdict.status = ArchiveCheck::OverlappingEntries;
        } else if (result.check != EntryCheck::Ok && verdict.status == ArchiveCheck::Ok) {
            verdict.status = ArchiveCheck::EntriesFailed;
        }
    }
    return verdict;
}

}  // namespace arkivo::zip
