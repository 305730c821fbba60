#include "zip/zip_archive_writer.h"

#include "common/file_time.h"
#include "platform/file_system.h"
#include "platform/files.h"
#include "zip/crc32.h"
#include "zip/entry_attributes.h"
#include "zip/entry_times.h"
#include "zip/source_file.h"
#include "zip/zip_records.h"

namespace arkivo::zip {
namespace {

constexpr std::size_t kReadSize = 1 << 17;
constexpr std::size_t kDirectoryPiece = 1 << 16;

// Whether the data of a source of this size might need 4 GiB or more. The local header is laid
// out before the data is read, so it must make room for 64-bit sizes in advance.
bool MayNeedZip64Sizes(std::uint16_t method, std::uint64_t size) {
    const std::uint64_t largest = method == kMethodStored ? size : deflate::MaxDeflatedSize(size);
    return std::max(size, largest) >= kMax32;
}

}  // namespace

class ZipArchiveWriter::ArchiveSink : public deflate::ByteSink {
  public:
    explicit ArchiveSink(ArchiveFile& file) : file_(file) {}
    bool Write(std::span<const std::uint8_t> bytes) override { return file_.Append(bytes); }

  private:
    ArchiveFile& file_;
};

ZipArchiveWriter::ZipArchiveWriter(const std::filesystem::path& archivePath)
    : finalPath_(archivePath),
      tempPath_(platform::TemporaryPathIn(archivePath.parent_path())),
      readBuffer_(kReadSize),
      sink_(std::make_unique<ArchiveSink>(file_)) {}

std::unique_ptr<ZipArchiveWriter> ZipArchiveWriter::Create(const std::filesystem::path& archivePath,
                                                           std::error_code& error) {
    std::unique_ptr<ZipArchiveWriter> writer(new ZipArchiveWriter(archivePath));
    // An older archive of that name stays until the new one is complete and replaces it.
    if (!writer->file_.Create(writer->tempPath_)) {
        error = writer->file_.error();
        writer->closed_ = true;
        return nullptr;
    }
    error.clear();
    return writer;
}

ZipArchiveWriter::~ZipArchiveWriter() {
    if (!closed_) {
        file_.Discard();
    }
}

ZipResult ZipArchiveWriter::AddFile(EntryName name, const std::filesystem::path& sourcePath,
                                    const platform::CopyProgress& progress) {
    if (broken_ || closed_) {
        lastError_ = file_.error();
        return ZipWriteFailed;
    }
    SourceFile source;
    if (auto error = source.Open(sourcePath)) {
        lastError_ = error;
        return ZipNoFile;
    }
    const platform::FileInfo& info = source.info();
    ZipEntryInfo entry;
    entry.method = HasStoredSuffix(name.bytes) ? kMethodStored : kMethodDeflated;
    entry.name = std::move(name.bytes);
    if (name.utf8) {
        entry.flags |= kFlagUtf8Name;
    }
    entry.dosTime = DosTimeStamp(FileTimeToUnixSeconds(info.lastWriteTime));
    entry.modificationTime = ExtendedTimestamp(FileTimeToUnixSeconds(info.lastWriteTime));
    entry.accessTime = ExtendedTimestamp(FileTimeToUnixSeconds(info.lastAccessTime));
    entry.creationTime = ExtendedTimestamp(FileTimeToUnixSeconds(info.creationTime));
    entry.localHeaderOffset = file_.size();
    entry.zip64Sizes = MayNeedZip64Sizes(entry.method, info.size);
    entry.versionMadeBy = VersionMadeBy(MadeByHost(info), entry.usesZip64());
    if (entry.usesZip64()) {
        entry.versionNeeded = kVersionNeededZip64;
    }
    const ZipResult result = WriteEntry(entry, source, progress);
    if (result != ZipOk) {
        // Reading the source fails as ZipNoFile, writing the archive as ZipWriteFailed.
        lastError_ = result == ZipNoFile        ? source.error()
                     : result == ZipWriteFailed ? file_.error()
                                                : std::error_code();
        DropEntry(entry.localHeaderOffset);
        return result;
    }
    entries_.push_back(std::move(entry));
    return ZipOk;
}

// The local header goes first with what is known before the data; once the data is written it
// is written again with the CRC and the sizes of the bytes that were actually read.
ZipResult ZipArchiveWriter::WriteEntry(ZipEntryInfo& entry, SourceFile& source,
                                       const platform::CopyProgress& progress) {
    const platform::FileInfo& info = source.info();
    const std::uint16_t finalFlags = static_cast<std::uint16_t>(
        entry.flags | (entry.method == kMethodDeflated ? kFlagMaximumCompression : 0));
    entry.flags |= kFlagSizesFollowData;
    entry.compressedSize = entry.method == kMethodStored ? info.size : 0;
    entry.uncompressedSize = info.size;
    std::vector<std::uint8_t> header;
    AppendLocalHeader(header, entry);
    if (!file_.Append(header)) {
        return ZipWriteFailed;
    }
    const std::uint64_t dataStart = file_.size();
    bool executable = false;
    const ZipResult result = WriteData(entry, source, executable, progress);
    if (result != ZipOk) {
        return result;
    }
    entry.compressedSize = file_.size() - dataStart;
    if (!entry.zip64Sizes && (entry.compressedSize >= kMax32 || entry.uncompressedSize >= kMax32)) {
        // Reading stops at the size seen at open and the compressor keeps within the bound the
        // header was laid out for; this guards the 32-bit fields should either ever fail.
        return ZipWriteFailed;
    }
    entry.flags = finalFlags;
    entry.externalAttributes = ExternalAttributes(info, executable);
    header.clear();
    AppendLocalHeader(header, entry);
    return file_.Overwrite(entry.localHeaderOffset, header) ? ZipOk : ZipWriteFailed;
}

ZipResult ZipArchiveWriter::WriteData(ZipEntryInfo& entry, SourceFile& source, bool& executable,
                                      const platform::CopyProgress& progress) {
    const bool deflated = entry.method == kMethodDeflated;
    if (deflated) {
        if (!deflater_) {
            deflater_ = std::make_unique<deflate::Deflater>(*sink_);
        }
        deflater_->Reset();
    }
    Crc32 crc;
    ExecutableSniffer sniffer;
    std::uint64_t total = 0;
    for (;;) {
        const auto n = source.Read(readBuffer_);
        if (!n) {
            return ZipNoFile;
        }
        if (*n == 0) {
            break;
        }
        const std::span<const std::uint8_t> piece(readBuffer_.data(), *n);
        crc.Update(piece);
        sniffer.Observe(piece);
        total += *n;
        const bool written = deflated ? deflater_->Write(piece) : file_.Append(piece);
        if (!written) {
            return ZipWriteFailed;
        }
        if (progress) {
            progress(total);
        }
    }
    switch (source.Finish()) {
        case SourceFile::Ending::Unchanged:
            break;
        case SourceFile::Ending::Changed:
            return ZipSourceChanged;
        case SourceFile::Ending::ReadFailed:
            return ZipNoFile;
    }
    if (deflated && !deflater_->Finish()) {
        return ZipWriteFailed;
    }
    entry.crc32 = crc.value();
    entry.uncompressedSize = total;
    executable = sniffer.IsExecutable();
    return ZipOk;
}

void ZipArchiveWriter::DropEntry(std::uint64_t entryStart) {
    if (!file_.Truncate(entryStart)) {
        broken_ = true;
    }
}

bool ZipArchiveWriter::WriteDirectory() {
    const std::uint64_t directoryOffset = file_.size();
    std::vector<std::uint8_t> bytes;
    bytes.reserve(kDirectoryPiece + kCentralHeaderSize + kMaxNameBytes + 64);
    for (const ZipEntryInfo& entry : entries_) {
        AppendCentralHeader(bytes, entry);
        if (bytes.size() >= kDirectoryPiece) {
            if (!file_.Append(bytes)) {
                return false;
            }
            bytes.clear();
        }
    }
    if (!file_.Append(bytes)) {
        return false;
    }
    bytes.clear();
    // The entries all come from this system, and so from one host.
    const std::uint8_t host = entries_.empty() ? kHostNtfs : entries_.back().versionMadeBy >> 8;
    AppendEndRecords(bytes, entries_.size(), file_.size() - directoryOffset, directoryOffset, host);
    return file_.Append(bytes);
}

ZipResult ZipArchiveWriter::Close() {
    if (closed_) {
        return ZipWriteFailed;
    }
    closed_ = true;
    const bool complete = !broken_ && WriteDirectory() && file_.Finish();
    entries_.clear();
    if (!complete) {
        lastError_ = file_.error();
        file_.Discard();
        return ZipWriteFailed;
    }
    if (auto error = platform::MoveReplacing(tempPath_, finalPath_)) {
        lastError_ = error;
        std::error_code ignored;
        std::filesystem::remove(tempPath_, ignored);
        return ZipWriteFailed;
    }
    // The archive is complete under its name now; a folder that cannot be flushed only leaves
    // that rename to the file system's own pace.
    platform::FlushFolder(finalPath_.parent_path());
    return ZipOk;
}

}  // namespace arkivo::zip
