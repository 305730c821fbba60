#include "zip/zip_archive_writer.h"

#include <algorithm>
#include <optional>
#include <span>

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

constexpr std::size_t kDirectoryPiece = 1 << 16;
// Enough for every worker to have a piece while the next ones are read and the ones done
// before the oldest wait to be written; on many cores, fewer, so that some 32 MiB at most are
// in flight, as long as every worker can still have one.
constexpr std::size_t kPiecesPerThread = 4;
constexpr std::size_t kMostPiecesInFlight = 32;

// Whether the data of a source of this size might need 4 GiB or more. The local header is laid
// out before the data is read, so it must make room for 64-bit sizes in advance.
bool MayNeedZip64Sizes(std::uint16_t method, std::uint64_t size) {
    return std::max(size, MaxEntryDataSize(method == kMethodDeflated, size)) >= kMax32;
}

// Reads until room is full: how many bytes it holds then, fewer when the source ended sooner;
// nullopt when reading failed.
std::optional<std::size_t> Fill(SourceFile& source, std::span<std::uint8_t> room) {
    std::size_t got = 0;
    while (got < room.size()) {
        const auto n = source.Read(room.subspan(got));
        if (!n) {
            return std::nullopt;
        }
        if (*n == 0) {
            break;
        }
        got += *n;
    }
    return got;
}

}  // namespace

ZipArchiveWriter::ZipArchiveWriter(const std::filesystem::path& archivePath, unsigned threads)
    : finalPath_(archivePath),
      tempPath_(platform::TemporaryPathIn(archivePath.parent_path())),
      pool_(threads == 0 ? DefaultCompressionThreads() : threads) {
    const std::size_t workers = pool_.threads();
    mostPieces_ = std::max(workers + 1, std::min(kPiecesPerThread * workers, kMostPiecesInFlight));
    tail_.reserve(kPieceDictionarySize);
}

std::unique_ptr<ZipArchiveWriter> ZipArchiveWriter::Create(const std::filesystem::path& archivePath,
                                                           unsigned threads,
                                                           std::error_code& error) {
    std::unique_ptr<ZipArchiveWriter> writer(new ZipArchiveWriter(archivePath, threads));
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

void ZipArchiveWriter::Add(EntryName name, const std::filesystem::path& sourcePath,
                           const platform::CopyProgress& progress, ZipEntryDone done) {
    PendingEntry& entry = pending_.emplace_back(std::move(done));
    if (broken_ || closed_) {
        entry.Fail(ZipWriteFailed, file_.error());
    } else {
        ReadSource(entry, std::move(name), sourcePath, progress);
    }
    entry.read = true;
    WriteOut(Wait::Never);
}

void ZipArchiveWriter::Refuse(ZipResult result, ZipEntryDone done) {
    PendingEntry& entry = pending_.emplace_back(std::move(done));
    entry.Fail(result, {});
    entry.read = true;
    WriteOut(Wait::Never);
}

void ZipArchiveWriter::Settle() {
    WriteOut(Wait::All);
}

void ZipArchiveWriter::ReadSource(PendingEntry& entry, EntryName name,
                                  const std::filesystem::path& sourcePath,
                                  const platform::CopyProgress& progress) {
    SourceFile source;
    if (auto error = source.Open(sourcePath)) {
        entry.Fail(ZipNoFile, error);
        return;
    }
    const platform::FileInfo& info = source.info();
    ZipEntryInfo& header = entry.info;
    header.method = HasStoredSuffix(name.bytes) ? kMethodStored : kMethodDeflated;
    header.name = std::move(name.bytes);
    if (name.utf8) {
        header.flags |= kFlagUtf8Name;
    }
    header.dosTime = DosTimeStamp(FileTimeToUnixSeconds(info.lastWriteTime));
    header.modificationTime = ExtendedTimestamp(FileTimeToUnixSeconds(info.lastWriteTime));
    header.accessTime = ExtendedTimestamp(FileTimeToUnixSeconds(info.lastAccessTime));
    header.creationTime = ExtendedTimestamp(FileTimeToUnixSeconds(info.creationTime));
    header.zip64Sizes = MayNeedZip64Sizes(header.method, info.size);
    header.uncompressedSize = info.size;
    entry.host = MadeByHost(info);
    ReadPieces(entry, source, progress);
}

void ZipArchiveWriter::ReadPieces(PendingEntry& entry, SourceFile& source,
                                  const platform::CopyProgress& progress) {
    const std::uint64_t size = source.info().size;
    const bool deflated = entry.info.method == kMethodDeflated;
    ExecutableSniffer sniffer;
    std::uint64_t taken = 0;
    tail_.clear();
    do {
        DataPiece& piece = FreePiece();
        if (entry.result != ZipOk) {
            // Writing its earlier pieces failed meanwhile: the rest would go nowhere.
            freePieces_.push_back(&piece);
            return;
        }
        piece.Begin(deflated, tail_);
        const auto wanted =
            static_cast<std::size_t>(std::min<std::uint64_t>(kPieceSize, size - taken));
        const auto read = Fill(source, piece.Room().first(wanted));
        if (!read) {
            freePieces_.push_back(&piece);
            entry.Fail(ZipNoFile, source.error());
            return;
        }
        const std::size_t got = *read;
        if (got < wanted) {
            // It ended sooner than its size said: Finish tells it changed.
            freePieces_.push_back(&piece);
            break;
        }
        taken += got;
        piece.SetLength(got, taken == size);
        sniffer.Observe(piece.bytes());
        if (deflated) {
            const auto history = piece.history();
            tail_.assign(history.end() - static_cast<std::ptrdiff_t>(
                                             std::min(history.size(), kPieceDictionarySize)),
                         history.end());
        }
        entry.pieces.push_back(&piece);
        pool_.Start(piece);
        if (progress && got > 0) {
            progress(taken);
        }
    } while (taken < size);
    switch (source.Finish()) {
        case SourceFile::Ending::Unchanged:
            break;
        case SourceFile::Ending::Changed:
            entry.Fail(ZipSourceChanged, {});
            return;
        case SourceFile::Ending::ReadFailed:
            entry.Fail(ZipNoFile, source.error());
            return;
    }
    entry.info.externalAttributes = ExternalAttributes(source.info(), sniffer.IsExecutable());
}

DataPiece& ZipArchiveWriter::FreePiece() {
    // Every piece in use belongs to an entry waiting to be written, the oldest one first, so
    // waiting for the oldest piece always frees one.
    while (freePieces_.empty() && pieces_.size() >= mostPieces_) {
        WriteOut(Wait::OnePiece);
    }
    if (freePieces_.empty()) {
        return *pieces_.emplace_back(std::make_unique<DataPiece>());
    }
    DataPiece& piece = *freePieces_.back();
    freePieces_.pop_back();
    return piece;
}

void ZipArchiveWriter::WriteOut(Wait wait) {
    bool freed = false;
    while (!pending_.empty()) {
        PendingEntry& entry = pending_.front();
        if (!entry.pieces.empty()) {
            DataPiece& piece = *entry.pieces.front();
            if (!pool_.IsDone(piece)) {
                if (wait == Wait::Never || (wait == Wait::OnePiece && freed)) {
                    return;
                }
                pool_.WaitFor(piece);
            }
            WritePiece(entry, piece);
            entry.pieces.pop_front();
            freePieces_.push_back(&piece);
            freed = true;
            continue;
        }
        if (!entry.read) {
            return;  // the entry being read: its next piece is not there yet
        }
        SettleEntry(entry);
        pending_.pop_front();
    }
}

void ZipArchiveWriter::WritePiece(PendingEntry& entry, const DataPiece& piece) {
    if (entry.result != ZipOk) {
        return;  // what it wrote is dropped when it is settled
    }
    if (!entry.headerWritten && !WriteLocalHeader(entry)) {
        return;
    }
    if (!piece.compressed()) {
        entry.Fail(ZipWriteFailed, {});
        return;
    }
    if (!file_.Append(piece.data())) {
        entry.Fail(ZipWriteFailed, file_.error());
        return;
    }
    entry.crc = CombineCrc32(entry.crc, piece.crc(), piece.length());
    entry.writtenBytes += piece.length();
}

// The local header goes first with what is known before the data; once the data is written it
// is written again with the CRC and the sizes of the bytes that were actually read.
bool ZipArchiveWriter::WriteLocalHeader(PendingEntry& entry) {
    if (broken_) {
        entry.Fail(ZipWriteFailed, file_.error());
        return false;
    }
    ZipEntryInfo header = entry.info;
    header.localHeaderOffset = file_.size();
    header.versionMadeBy = VersionMadeBy(entry.host, header.usesZip64());
    if (header.usesZip64()) {
        header.versionNeeded = kVersionNeededZip64;
    }
    entry.info = header;
    header.flags |= kFlagSizesFollowData;
    header.compressedSize = header.method == kMethodStored ? header.uncompressedSize : 0;
    std::vector<std::uint8_t> bytes;
    AppendLocalHeader(bytes, header);
    entry.headerWritten = true;
    if (!file_.Append(bytes)) {
        entry.Fail(ZipWriteFailed, file_.error());
        return false;
    }
    entry.dataStart = file_.size();
    return true;
}

void ZipArchiveWriter::SettleEntry(PendingEntry& entry) {
    if (entry.result == ZipOk) {
        if (const ZipResult completed = CompleteHeader(entry); completed != ZipOk) {
            entry.Fail(completed, file_.error());
        }
    }
    if (entry.result == ZipOk) {
        entries_.push_back(std::move(entry.info));
    } else if (entry.headerWritten) {
        DropEntry(entry.info.localHeaderOffset);
    }
    if (entry.done) {
        entry.done(entry.result, entry.systemReason);
    }
}

ZipResult ZipArchiveWriter::CompleteHeader(PendingEntry& entry) {
    ZipEntryInfo& header = entry.info;
    header.compressedSize = file_.size() - entry.dataStart;
    header.uncompressedSize = entry.writtenBytes;
    header.crc32 = entry.crc;
    if (!header.zip64Sizes &&
        (header.compressedSize >= kMax32 || header.uncompressedSize >= kMax32)) {
        // Reading stops at the size seen at open and the compressor keeps within the bound the
        // header was laid out for; this guards the 32-bit fields should either ever fail.
        return ZipWriteFailed;
    }
    if (header.method == kMethodDeflated) {
        header.flags |= kFlagMaximumCompression;
    }
    std::vector<std::uint8_t> bytes;
    AppendLocalHeader(bytes, header);
    return file_.Overwrite(header.localHeaderOffset, bytes) ? ZipOk : ZipWriteFailed;
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
    Settle();
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
