#include "zip/archive_reader.h"

#include <algorithm>

#include "zip/byte_order.h"
#include "zip/zip_format.h"

namespace arkivo::zip {
namespace {

constexpr std::size_t kMaxCommentSize = 0xFFFF;

// Reads little-endian fields one after another from a span, failing softly past its end.
class FieldReader {
  public:
    explicit FieldReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::uint64_t U16() { return Take(2); }
    std::uint64_t U32() { return Take(4); }
    std::uint64_t U64() { return Take(8); }
    std::string Text(std::size_t n) {
        if (!Has(n)) {
            ok_ = false;
            return {};
        }
        std::string text(bytes_.begin() + static_cast<std::ptrdiff_t>(next_),
                         bytes_.begin() + static_cast<std::ptrdiff_t>(next_ + n));
        next_ += n;
        return text;
    }
    std::span<const std::uint8_t> Bytes(std::size_t n) {
        if (!Has(n)) {
            ok_ = false;
            return {};
        }
        const auto piece = bytes_.subspan(next_, n);
        next_ += n;
        return piece;
    }
    bool ok() const { return ok_; }
    std::size_t consumed() const { return next_; }

  private:
    bool Has(std::size_t n) const { return next_ + n <= bytes_.size(); }
    std::uint64_t Take(std::size_t n) {
        if (!Has(n)) {
            ok_ = false;
            return 0;
        }
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < n; ++i) {
            value |= std::uint64_t{bytes_[next_ + i]} << (8 * i);
        }
        next_ += n;
        return value;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t next_ = 0;
    bool ok_ = true;
};

// The sizes and offset that a ZIP64 extra field holds for the fields marked in the header.
struct Zip64Values {
    std::uint64_t* uncompressed;
    std::uint64_t* compressed;
    std::uint64_t* offset;  // null in a local header
};

bool ApplyZip64Extra(std::span<const std::uint8_t> extra, Zip64Values values) {
    FieldReader fields(extra);
    while (fields.ok() && fields.consumed() + 4 <= extra.size()) {
        const std::uint64_t id = fields.U16();
        const auto data = fields.Bytes(static_cast<std::size_t>(fields.U16()));
        if (id != kZip64ExtraId) {
            continue;
        }
        FieldReader zip64(data);
        for (std::uint64_t* value : {values.uncompressed, values.compressed, values.offset}) {
            if (value != nullptr && *value == kMax32) {
                *value = zip64.U64();
            }
        }
        return zip64.ok();
    }
    const auto marked = [](const std::uint64_t* v) { return v != nullptr && *v == kMax32; };
    return fields.ok() && !marked(values.uncompressed) && !marked(values.compressed) &&
           !marked(values.offset);
}

}  // namespace

DirectoryStatus ArchiveReader::Open(const std::filesystem::path& path) {
    entries_.clear();
    file_.open(path, std::ios::in | std::ios::binary);
    if (!file_) {
        return DirectoryStatus::CannotOpen;
    }
    file_.seekg(0, std::ios::end);
    const auto size = file_.tellg();
    if (size < 0) {
        return DirectoryStatus::CannotOpen;
    }
    fileSize_ = static_cast<std::uint64_t>(size);
    return ReadEndRecords();
}

bool ArchiveReader::ReadAt(std::uint64_t offset, std::span<std::uint8_t> bytes) {
    if (offset > fileSize_ || bytes.size() > fileSize_ - offset) {
        return false;
    }
    file_.clear();
    file_.seekg(static_cast<std::streamoff>(offset));
    file_.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<std::size_t>(file_.gcount()) == bytes.size();
}

DirectoryStatus ArchiveReader::ReadEndRecords() {
    // The end record is the last thing in the file but for a comment of at most 64 KiB.
    const std::uint64_t tailSize =
        std::min<std::uint64_t>(fileSize_, kEndRecordSize + kMaxCommentSize);
    std::vector<std::uint8_t> tail(static_cast<std::size_t>(tailSize));
    if (tailSize < kEndRecordSize || !ReadAt(fileSize_ - tailSize, tail)) {
        return DirectoryStatus::NoEndRecord;
    }
    std::optional<std::size_t> found;
    for (std::size_t at = tail.size() - kEndRecordSize + 1; at-- > 0;) {
        if (LoadLittleEndian<std::uint32_t>(tail.data() + at) == kEndRecordSignature &&
            at + kEndRecordSize + LoadLittleEndian<std::uint16_t>(tail.data() + at + 20) ==
                tail.size()) {
            found = at;
            break;
        }
    }
    if (!found) {
        return DirectoryStatus::NoEndRecord;
    }
    const std::uint64_t endOffset = fileSize_ - tailSize + *found;
    FieldReader end(std::span<const std::uint8_t>(tail).subspan(*found, kEndRecordSize));
    end.U32();
    const std::uint64_t disk = end.U16();
    const std::uint64_t directoryDisk = end.U16();
    end.U16();
    std::uint64_t count = end.U16();
    std::uint64_t size = end.U32();
    std::uint64_t offset = end.U32();
    if (disk != 0 || directoryDisk != 0) {
        return DirectoryStatus::BadDirectory;
    }
    std::array<std::uint8_t, kZip64LocatorSize> locator{};
    if (endOffset >= kZip64LocatorSize && ReadAt(endOffset - kZip64LocatorSize, locator) &&
        LoadLittleEndian<std::uint32_t>(locator.data()) == kZip64LocatorSignature) {
        const std::uint64_t zip64EndOffset = LoadLittleEndian<std::uint64_t>(locator.data() + 8);
        std::array<std::uint8_t, kZip64EndRecordSize> record{};
        if (!ReadAt(zip64EndOffset, record) ||
            LoadLittleEndian<std::uint32_t>(record.data()) != kZip64EndRecordSignature) {
            return DirectoryStatus::BadDirectory;
        }
        count = LoadLittleEndian<std::uint64_t>(record.data() + 32);
        size = LoadLittleEndian<std::uint64_t>(record.data() + 40);
        offset = LoadLittleEndian<std::uint64_t>(record.data() + 48);
    }
    if (offset > fileSize_ || size > fileSize_ - offset) {
        return DirectoryStatus::BadDirectory;
    }
    directoryOffset_ = offset;
    return ReadDirectory(count, size);
}

DirectoryStatus ArchiveReader::ReadDirectory(std::uint64_t count, std::uint64_t size) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!ReadAt(directoryOffset_, bytes)) {
        return DirectoryStatus::BadDirectory;
    }
    FieldReader fields(bytes);
    for (std::uint64_t i = 0; i < count; ++i) {
        if (fields.U32() != kCentralHeaderSignature) {
            return DirectoryStatus::BadDirectory;
        }
        DirectoryEntry entry;
        fields.U16();  // version made by
        entry.versionNeeded = static_cast<std::uint16_t>(fields.U16());
        entry.flags = static_cast<std::uint16_t>(fields.U16());
        entry.method = static_cast<std::uint16_t>(fields.U16());
        entry.dosTime = static_cast<std::uint32_t>(fields.U32());
        entry.crc32 = static_cast<std::uint32_t>(fields.U32());
        entry.compressedSize = fields.U32();
        entry.uncompressedSize = fields.U32();
        const std::size_t nameLength = static_cast<std::size_t>(fields.U16());
        const std::size_t extraLength = static_cast<std::size_t>(fields.U16());
        const std::size_t commentLength = static_cast<std::size_t>(fields.U16());
        fields.U16();  // disk number start
        fields.U16();  // internal attributes
        entry.externalAttributes = static_cast<std::uint32_t>(fields.U32());
        entry.localHeaderOffset = fields.U32();
        entry.name = fields.Text(nameLength);
        const auto extra = fields.Bytes(extraLength);
        fields.Bytes(commentLength);
        if (!fields.ok() || !ApplyZip64Extra(extra, {&entry.uncompressedSize, &entry.compressedSize,
                                                     &entry.localHeaderOffset})) {
            return DirectoryStatus::BadDirectory;
        }
        entries_.push_back(std::move(entry));
    }
    return fields.consumed() == bytes.size() ? DirectoryStatus::Ok : DirectoryStatus::BadDirectory;
}

std::optional<LocalHeader> ArchiveReader::ReadLocalHeader(const DirectoryEntry& entry) {
    std::array<std::uint8_t, kLocalHeaderSize> fixed{};
    if (!ReadAt(entry.localHeaderOffset, fixed)) {
        return std::nullopt;
    }
    FieldReader fields(fixed);
    if (fields.U32() != kLocalHeaderSignature) {
        return std::nullopt;
    }
    LocalHeader header;
    fields.U16();  // version needed
    header.flags = static_cast<std::uint16_t>(fields.U16());
    header.method = static_cast<std::uint16_t>(fields.U16());
    fields.U32();  // DOS time stamp
    header.crc32 = static_cast<std::uint32_t>(fields.U32());
    header.compressedSize = fields.U32();
    header.uncompressedSize = fields.U32();
    const std::size_t nameLength = static_cast<std::size_t>(fields.U16());
    const std::size_t extraLength = static_cast<std::size_t>(fields.U16());
    std::vector<std::uint8_t> variable(nameLength + extraLength);
    if (!ReadAt(entry.localHeaderOffset + kLocalHeaderSize, variable)) {
        return std::nullopt;
    }
    header.name.assign(variable.begin(),
                       variable.begin() + static_cast<std::ptrdiff_t>(nameLength));
    if (!ApplyZip64Extra(std::span(variable).subspan(nameLength),
                         {&header.uncompressedSize, &header.compressedSize, nullptr})) {
        return std::nullopt;
    }
    header.dataOffset = entry.localHeaderOffset + kLocalHeaderSize + variable.size();
    return header;
}

}  // namespace arkivo::zip
