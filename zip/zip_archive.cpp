#include "zip/zip_archive.h"

#include <optional>

#include "zip/entry_name.h"
#include "zip/zip_archive_writer.h"

namespace arkivo {

ZipHandle::ZipHandle() = default;
ZipHandle::~ZipHandle() = default;
ZipHandle::ZipHandle(ZipHandle&&) noexcept = default;
ZipHandle& ZipHandle::operator=(ZipHandle&&) noexcept = default;

std::unique_ptr<ZipHandle> CreateZipArchive(const std::filesystem::path& archivePath,
                                            std::error_code* reason, unsigned threads) {
    std::error_code error;
    auto archive = zip::ZipArchiveWriter::Create(archivePath, threads, error);
    if (reason != nullptr) {
        *reason = error;
    }
    if (!archive) {
        return nullptr;
    }
    auto handle = std::make_unique<ZipHandle>();
    handle->archive = std::move(archive);
    return handle;
}

namespace {

ZipResult CheckHandle(const ZipHandle* handle) {
    if (handle == nullptr) {
        return ZipBadArguments;
    }
    if (handle->kind != kZipArchiveWriterKind || !handle->archive) {
        return ZipWrongHandle;
    }
    return ZipOk;
}

void QueueNamedFile(ZipHandle* handle, std::optional<zip::EntryName> name,
                    const std::filesystem::path& sourcePath, const platform::CopyProgress& progress,
                    ZipEntryDone done) {
    if (const ZipResult unusable = CheckHandle(handle); unusable != ZipOk) {
        done(unusable, {});
        return;
    }
    if (!name) {
        handle->archive->Refuse(ZipBadArguments, std::move(done));
        return;
    }
    handle->archive->Add(std::move(*name), sourcePath, progress, std::move(done));
}

// Queues the file and waits for it: its outcome, and its reason for a failure.
ZipResult AddNamedFile(ZipHandle* handle, std::optional<zip::EntryName> name,
                       const std::filesystem::path& sourcePath,
                       const platform::CopyProgress& progress, std::error_code* reason) {
    ZipResult result = ZipOk;
    std::error_code systemReason;
    QueueNamedFile(handle, std::move(name), sourcePath, progress,
                   [&result, &systemReason](ZipResult outcome, std::error_code why) {
                       result = outcome;
                       systemReason = why;
                   });
    SettleZipArchive(handle);
    if (reason != nullptr) {
        *reason = systemReason;
    }
    return result;
}

}  // namespace

ZipResult AddFileToZipArchive(ZipHandle* handle, std::u16string_view entryName,
                              const std::filesystem::path& sourcePath, std::error_code* reason) {
    return AddNamedFile(handle, zip::MakeEntryName(entryName), sourcePath, {}, reason);
}

ZipResult AddFileToZipArchive(ZipHandle* handle, std::u16string_view entryPrefix,
                              const std::filesystem::path& relative,
                              const std::filesystem::path& sourcePath,
                              const platform::CopyProgress& progress, std::error_code* reason) {
    return AddNamedFile(handle, zip::MakeEntryName(entryPrefix, relative), sourcePath, progress,
                        reason);
}

void QueueFileForZipArchive(ZipHandle* handle, std::u16string_view entryPrefix,
                            const std::filesystem::path& relative,
                            const std::filesystem::path& sourcePath,
                            const platform::CopyProgress& progress, ZipEntryDone done) {
    QueueNamedFile(handle, zip::MakeEntryName(entryPrefix, relative), sourcePath, progress,
                   std::move(done));
}

void SettleZipArchive(ZipHandle* handle) {
    if (CheckHandle(handle) == ZipOk) {
        handle->archive->Settle();
    }
}

ZipResult CloseZipArchive(std::unique_ptr<ZipHandle> handle, std::error_code* reason) {
    if (const ZipResult unusable = CheckHandle(handle.get()); unusable != ZipOk) {
        return unusable;
    }
    const ZipResult result = handle->archive->Close();
    if (reason != nullptr) {
        *reason = result == ZipOk ? std::error_code() : handle->archive->LastError();
    }
    return result;
}

}  // namespace arkivo
