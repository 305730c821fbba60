// One archive being written: its file, the entries written so far, and the buffers and
// compressor that every entry reuses.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <system_error>
#include <vector>

#include "zip/archive_file.h"
#include "zip/deflate/deflater.h"
#include "zip/entry_name.h"
#include "zip/zip_archive.h"
#include "zip/zip_entry_info.h"

namespace arkivo::zip {

class SourceFile;

class ZipArchiveWriter {
  public:
    // No writer when the archive cannot be created; `error` then says why.
    static std::unique_ptr<ZipArchiveWriter> Create(const std::filesystem::path& archivePath,
                                                    std::error_code& error);

    ZipArchiveWriter(const ZipArchiveWriter&) = delete;
    ZipArchiveWriter& operator=(const ZipArchiveWriter&) = delete;
    // An archive that was not closed is removed.
    ~ZipArchiveWriter();

    // `progress`, when given, hears how many bytes of the source have been taken so far.
    ZipResult AddFile(EntryName name, const std::filesystem::path& sourcePath,
                      const platform::CopyProgress& progress = {});
    ZipResult Close();

    // The system's reason for the last AddFile or Close that failed, when the system gave one
    // (not for a source that changed, nor for a name that cannot be stored).
    std::error_code LastError() const { return lastError_; }

  private:
    class ArchiveSink;

    explicit ZipArchiveWriter(const std::filesystem::path& archivePath);

    ZipResult WriteEntry(ZipEntryInfo& entry, SourceFile& source,
                         const platform::CopyProgress& progress);
    ZipResult WriteData(ZipEntryInfo& entry, SourceFile& source, bool& executable,
                        const platform::CopyProgress& progress);
    // Drops the bytes of an entry that failed. An archive that cannot drop them is broken.
    void DropEntry(std::uint64_t entryStart);
    bool WriteDirectory();

    std::filesystem::path finalPath_;
    std::filesystem::path tempPath_;
    ArchiveFile file_;
    std::vector<ZipEntryInfo> entries_;
    std::vector<std::uint8_t> readBuffer_;
    std::unique_ptr<ArchiveSink> sink_;
    std::unique_ptr<deflate::Deflater> deflater_;
    std::error_code lastError_;
    bool broken_ = false;
    bool closed_ = false;
};

}  // namespace arkivo::zip
