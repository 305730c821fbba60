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
                                            std::error_code* reason) {
    std::error_code error;
    auto archive = zip::ZipArchiveWriter::Create(archivePath, error);
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

ZipResult AddNamedFile(ZipHandle* handle, std::optional<zip::EntryName> name,
                       const std::filesystem::path& sourcePath,
                       const platform::CopyProgress& progress, std::error_code* reason) {
    if (reason != nullptr) {
        reason->clear();
    }
    if (handle == nullptr) {
        return ZipBadArguments;
    }
    if (handle->kind != kZipArchiveWriterKind || !handle->archive) {
        return ZipWrongHandle;
    }
    if (!name) {
        return ZipBadArguments;
    }
    const ZipResult result = handle->archive->AddFile(std::move(*name), sourcePath, progress);
    if (result != ZipOk && reason != nullptr) {
        *reason = handle->archive->LastError();
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

ZipResult CloseZipArchive(std::unique_ptr<ZipHandle> handle, std::error_code* reason) {
    if (!handle) {
        return ZipBadArguments;
    }
    if (handle->kind != kZipArchiveWriterKind || !handle->archive) {
        return ZipWrongHandle;
    }
    const ZipResult result = handle->archive->Close();
    if (reason != nullptr) {
        *reason = result == ZipOk ? std::error_code() : handle->archive->LastError();
    }
    return result;
}

}  // namespace arkivo
