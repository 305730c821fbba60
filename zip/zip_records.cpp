#include "zip/zip_records.h"

namespace arkivo::zip {
namespace {

class Appender {
  public:
    explicit Appender(std::vector<std::uint8_t>& out) : out_(out) {}

    void U8(std::uint8_t value) { out_.push_back(value); }
    void U16(std::uint64_t value) { Little(value, 2); }
    void U32(std::uint64_t value) { Little(value, 4); }
    void U64(std::uint64_t value) { Little(value, 8); }
    void Bytes(const std::string& bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }

  private:
    void Little(std::uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            out_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    }

    std::vector<std::uint8_t>& out_;
};

std::uint64_t Field32(std::uint64_t value, bool inZip64) {
    return inZip64 ? kMax32 : value;
}

// The fields of the ZIP64 extra field are those whose header field holds the marker, in a
// fixed order.
struct Zip64Fields {
    bool sizes = false;
    bool offset = false;

    std::uint16_t dataSize() const {
        return static_cast<std::uint16_t>((sizes ? 16 : 0) + (offset ? 8 : 0));
    }
    std::size_t fieldSize() const { return sizes || offset ? 4u + dataSize() : 0u; }
};

void AppendZip64Extra(Appender& out, const ZipEntryInfo& entry, Zip64Fields fields) {
    if (fields.fieldSize() == 0) {
        return;
    }
    out.U16(kZip64ExtraId);
    out.U16(fields.dataSize());
    if (fields.sizes) {
        out.U64(entry.uncompressedSize);
        out.U64(entry.compressedSize);
    }
    if (fields.offset) {
        out.U64(entry.localHeaderOffset);
    }
}

}  // namespace

void AppendLocalHeader(std::vector<std::uint8_t>& bytes, const ZipEntryInfo& entry) {
    // The local header has no offset; its ZIP64 field holds both sizes or nothing.
    const Zip64Fields zip64{entry.zip64Sizes, false};
    Appender out(bytes);
    out.U32(kLocalHeaderSignature);
    out.U16(entry.versionNeeded);
    out.U16(entry.flags);
    out.U16(entry.method);
    out.U32(entry.dosTime);
    out.U32(entry.crc32);
    out.U32(Field32(entry.compressedSize, zip64.sizes));
    out.U32(Field32(entry.uncompressedSize, zip64.sizes));
    out.U16(entry.name.size());
    out.U16(zip64.fieldSize() + kLocalTimestampExtraSize);
    out.Bytes(entry.name);
    AppendZip64Extra(out, entry, zip64);
    out.U16(kTimestampExtraId);
    out.U16(kLocalTimestampExtraSize - 4);
    out.U8(kTimestampFlags);
    out.U32(entry.modificationTime);
    out.U32(entry.accessTime);
    out.U32(entry.creationTime);
}

void AppendCentralHeader(std::vector<std::uint8_t>& bytes, const ZipEntryInfo& entry) {
    const Zip64Fields zip64{entry.zip64Sizes, entry.zip64Offset()};
    Appender out(bytes);
    out.U32(kCentralHeaderSignature);
    out.U16(entry.versionMadeBy);
    out.U16(entry.versionNeeded);
    out.U16(entry.flags);
    out.U16(entry.method);
    out.U32(entry.dosTime);
    out.U32(entry.crc32);
    out.U32(Field32(entry.compressedSize, zip64.sizes));
    out.U32(Field32(entry.uncompressedSize, zip64.sizes));
    out.U16(entry.name.size());
    out.U16(zip64.fieldSize() + kCentralTimestampExtraSize);
    out.U16(0);  // comment length
    out.U16(0);  // disk number start
    out.U16(0);  // internal attributes: binary
    out.U32(entry.externalAttributes);
    out.U32(Field32(entry.localHeaderOffset, zip64.offset));
    out.Bytes(entry.name);
    AppendZip64Extra(out, entry, zip64);
    // The central timestamp field carries the modification time only, yet keeps the flags.
    out.U16(kTimestampExtraId);
    out.U16(kCentralTimestampExtraSize - 4);
    out.U8(kTimestampFlags);
    out.U32(entry.modificationTime);
}

void AppendEndRecords(std::vector<std::uint8_t>& bytes, std::uint64_t entryCount,
                      std::uint64_t directorySize, std::uint64_t directoryOffset,
                      std::uint8_t host) {
    const bool countInZip64 = entryCount >= kMax16;
    const bool sizeInZip64 = directorySize >= kMax32;
    const bool offsetInZip64 = directoryOffset >= kMax32;
    Appender out(bytes);
    if (countInZip64 || sizeInZip64 || offsetInZip64) {
        const std::uint64_t zip64EndOffset = directoryOffset + directorySize;
        out.U32(kZip64EndRecordSignature);
        out.U64(kZip64EndRecordSize - 12);  // the size of the record after this field
        out.U16(VersionMadeBy(host, true));
        out.U16(kVersionNeededZip64);
        out.U32(0);  // number of this disk
        out.U32(0);  // disk where the central directory starts
        out.U64(entryCount);
        out.U64(entryCount);
        out.U64(directorySize);
        out.U64(directoryOffset);
        out.U32(kZip64LocatorSignature);
        out.U32(0);  // disk of the ZIP64 end record
        out.U64(zip64EndOffset);
        out.U32(1);  // number of disks
    }
    const std::uint64_t count = countInZip64 ? kMax16 : entryCount;
    out.U32(kEndRecordSignature);
    out.U16(0);  // number of this disk
    out.U16(0);  // disk where the central directory starts
    out.U16(count);
    out.U16(count);
    out.U32(Field32(directorySize, sizeInZip64));
    out.U32(Field32(directoryOffset, offsetInZip64));
    out.U16(0);  // comment length
}

}  // namespace arkivo::zip
