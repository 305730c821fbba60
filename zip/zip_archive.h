// The ZIP archive writer as the backup engine uses it: create an archive, add files to it one
// at a time under names chosen by the caller, close it.
//
// Files may also be queued: the call returns once the source has been read, and the archive's
// worker threads compress it while the caller goes on with the next files. The outcome of
// each file is told later, on the caller's thread and in the order the files were queued.
//
// The archive is written under a temporary name in its folder, flushed to stable storage and
// renamed only when it is closed with success, so no file under the archive's name ever looks
// complete when it is not, not even after a power loss.
// An add that fails leaves out the entry, and what it had written is overwritten or cut off,
// so the archive that is closed holds exactly the entries that were added with success.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>
#include <system_error>

#include "platform/file_system.h"

namespace arkivo {

enum ZipResult : std::uint32_t {
    ZipOk = 0,
    // The archive could not be created, or a source could not be opened, examined or read.
    ZipNoFile = 0x00000200,
    // Writing the archive failed, or the compressor's own check did.
    ZipWriteFailed = 0x00000400,
    // The source changed while it was read (its size or last-write time moved, or it held more
    // or fewer bytes than when it was opened): its entry is left out rather than recorded as
    // a mix of old and new bytes.
    ZipSourceChanged = 0x00000800,
    // No handle, or an entry name that is empty, cannot be converted or is too long.
    ZipBadArguments = 0x00010000,
    // The handle is not an archive writer's.
    ZipWrongHandle = 0x00080000,
};

inline constexpr std::uint32_t kZipArchiveWriterKind = 2;

namespace zip {
class ZipArchiveWriter;
}

struct ZipHandle {
    ZipHandle();
    ~ZipHandle();
    ZipHandle(ZipHandle&&) noexcept;
    ZipHandle& operator=(ZipHandle&&) noexcept;

    std::uint32_t kind = kZipArchiveWriterKind;
    std::unique_ptr<zip::ZipArchiveWriter> archive;
};

// Creates the archive. An older file of that name stays until CloseZipArchive replaces it, so
// a run that fails half-way loses nothing. No handle when it cannot be created. Dropping the
// handle without CloseZipArchive abandons the archive. On POSIX only the owner may read the
// archive, which may hold private files. `reason`, when given, receives the system's reason
// why there is no handle. `threads`: how many threads compress; 0 for one per processor core,
// or the number the environment variable ARKIVO_ZIP_THREADS gives. The archive comes out the
// same whatever their number.
std::unique_ptr<ZipHandle> CreateZipArchive(const std::filesystem::path& archivePath,
                                            std::error_code* reason = nullptr,
                                            unsigned threads = 0);

// Adds the source file under entryName; backslashes in the name become slashes. Files whose
// names end in the suffix of an already-compressed format are stored, all others deflated.
// The source is read up to the size it had when it was opened; ZipSourceChanged when it did
// not stay as it was until it had been read. `reason`, when given, receives the system's reason
// for a failure (a source that could not be read, an archive that could not be written), or
// nothing when the result says all there is (a source that changed, a name that cannot be
// stored).
ZipResult AddFileToZipArchive(ZipHandle* handle, std::u16string_view entryName,
                              const std::filesystem::path& sourcePath,
                              std::error_code* reason = nullptr);

// The same, under entryPrefix + "/" + relative, relative being the path as the file system
// holds it. On POSIX a name whose bytes are not UTF-8 is stored as those bytes, so that it is
// restored as it was; a backup's names must never be replaced by look-alike text. `progress`
// hears how many bytes of the source have been read and compressed so far.
ZipResult AddFileToZipArchive(ZipHandle* handle, std::u16string_view entryPrefix,
                              const std::filesystem::path& relative,
                              const std::filesystem::path& sourcePath,
                              const platform::CopyProgress& progress = {},
                              std::error_code* reason = nullptr);

// How a queued file ended: ZipOk once its entry is in the archive; else the result and the
// system's reason, as AddFileToZipArchive gives them.
using ZipEntryDone = std::function<void(ZipResult result, std::error_code reason)>;

// Queues the source under entryPrefix + "/" + relative, as AddFileToZipArchive adds it, and
// returns once the source has been read; `progress` hears how many bytes have been read.
// `done` hears the outcome during this call or a later call on the handle, on the calling
// thread, in the order the files were queued; it must not call into the archive itself. Without
// a usable handle, `done` hears so at once.
void QueueFileForZipArchive(ZipHandle* handle, std::u16string_view entryPrefix,
                            const std::filesystem::path& relative,
                            const std::filesystem::path& sourcePath,
                            const platform::CopyProgress& progress, ZipEntryDone done);

// Returns once every queued file is in the archive or left out, its `done` told.
void SettleZipArchive(ZipHandle* handle);

// Settles the queued files, writes the central directory, closes the archive and gives it its
// name. On failure no archive remains, neither under its name nor under the temporary one;
// `reason`, when given, receives the system's reason.
ZipResult CloseZipArchive(std::unique_ptr<ZipHandle> handle, std::error_code* reason = nullptr);

}  // namespace arkivo
