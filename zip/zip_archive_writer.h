// One archive being written: its file, the entries written so far, and the entries on their
// way into it.
//
// The thread that adds files reads each source into pieces and hands them to the archive's
// workers, which check and compress several pieces at once. The same thread writes the
// archive: it appends the pieces in the order they were read as soon as they are compressed,
// and completes or drops each entry in the order the files were added, telling how it ended.
// The pieces read ahead and the compressed pieces waiting to be written are few and of a fixed
// size, so memory does not grow with the size of the files.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "zip/archive_file.h"
#include "zip/compression_pool.h"
#include "zip/entry_name.h"
#include "zip/pending_entry.h"
#include "zip/zip_archive.h"
#include "zip/zip_entry_info.h"

namespace arkivo::zip {

class SourceFile;

class ZipArchiveWriter {
  public:
    // No writer when the archive cannot be created; `error` then says why. `threads`: how
    // many workers compress, 0 for DefaultCompressionThreads().
    static std::unique_ptr<ZipArchiveWriter> Create(const std::filesystem::path& archivePath,
                                                    unsigned threads, std::error_code& error);

    ZipArchiveWriter(const ZipArchiveWriter&) = delete;
    ZipArchiveWriter& operator=(const ZipArchiveWriter&) = delete;
    // An archive that was not closed is removed; entries not settled are never told.
    ~ZipArchiveWriter();

    // Reads the source and returns while its last pieces may still be compressed. `progress`,
    // when given, hears how many bytes of the source have been taken so far. `done` hears how
    // the entry ended, during this call or a later Add, Refuse, Settle or Close, in the order
    // the entries were added; it must not call into the writer.
    void Add(EntryName name, const std::filesystem::path& sourcePath,
             const platform::CopyProgress& progress, ZipEntryDone done);
    // An entry that cannot even begin (a name that cannot be stored): `done` hears `result`
    // in its turn.
    void Refuse(ZipResult result, ZipEntryDone done);
    // Returns once every entry added is in the archive or left out, and has been told.
    void Settle();
    ZipResult Close();

    // The system's reason why Close failed, when the system gave one.
    std::error_code LastError() const { return lastError_; }

  private:
    enum class Wait {
        Never,     // write only what is compressed already
        OnePiece,  // until at least one piece is written and free again
        All,       // until every entry is settled
    };

    ZipArchiveWriter(const std::filesystem::path& archivePath, unsigned threads);

    void ReadSource(PendingEntry& entry, EntryName name, const std::filesystem::path& sourcePath,
                    const platform::CopyProgress& progress);
    // Reads the source's bytes into pieces for the workers.
    void ReadPieces(PendingEntry& entry, SourceFile& source,
                    const platform::CopyProgress& progress);
    // A piece free for reading into; waits, writing, while every piece is in use.
    DataPiece& FreePiece();

    void WriteOut(Wait wait);
    void WritePiece(PendingEntry& entry, const DataPiece& piece);
    bool WriteLocalHeader(PendingEntry& entry);
    // Completes the entry's header, or drops its bytes, and tells how it ended.
    void SettleEntry(PendingEntry& entry);
    ZipResult CompleteHeader(PendingEntry& entry);
    // Drops the bytes of an entry that failed. An archive that cannot drop them is broken.
    void DropEntry(std::uint64_t entryStart);
    bool WriteDirectory();

    std::filesystem::path finalPath_;
    std::filesystem::path tempPath_;
    ArchiveFile file_;
    std::vector<ZipEntryInfo> entries_;
    std::deque<PendingEntry> pending_;
    // The last bytes read of the entry being read, which prime its next piece.
    std::vector<std::uint8_t> tail_;
    std::vector<std::unique_ptr<DataPiece>> pieces_;
    std::vector<DataPiece*> freePieces_;
    std::size_t mostPieces_;
    // Declared after the pieces, so that its workers have stopped before the pieces go.
    CompressionPool pool_;
    std::error_code lastError_;
    bool broken_ = false;
    bool closed_ = false;
};

}  // namespace arkivo::zip
