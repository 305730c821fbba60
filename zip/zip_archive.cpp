#include "zip/zip_archive.h"

#include <optional>

#include "zip/entry_name.h"
#include "zip/zip_archive_writer.h"

namespace arkivo {

ZipHandle::ZipHandle() = default;
ZipHandle::~ZipHandle() = default;
ZipHandle::ZipHandle(ZipHandle&&) noexcept = default;
ZipHandle& ZipHandle::operator=(ZipHandle&&) noexcept = default;

std::unique_ptr<ZipHandle> CreateZipArchive(const std::filesystem::path& archivePath) {
    auto archive = zip::ZipArchiveWriter::Create(archivePath);
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
                       const platform::CopyProgress& progress = {}) {
    if (handle == nullptr) {
        return ZipBadArguments;
    }
    if (handle->kind != kZipArchiveWriterKind || !handle->archive) {
        return ZipWrongHandle;
    }
    if (!name) {
        return ZipBadArguments;
    }
    return handle->archive->AddFile(std::move(*name), sourcePath, progress);
}

}  // namespace

ZipResult AddFileToZipArchive(ZipHandle* handle, std::u16string_view entryName,
                              const std::filesystem::path& sourcePath) {
    return AddNamedFile(handle, zip::MakeEntryName(entryName), sourcePath);
}

ZipResult AddFileToZipArchive(ZipHandle* handle, std::u16string_view entryPrefix,
                              const std::filesystem::path& relative,
                              const std::filesystem::path& sourcePath,
                              const platform::CopyProgress& progress) {
    return AddNamedFile(handle, zip::MakeEntryName(entryPrefix, relative), sourcePath, progress);
}

ZipResult CloseZipArchive(std::unique_ptr<ZipHandle> handle) {
    if (!handle) {
        return ZipBadArguments;
    }
    if (handle->kind != kZipArchiveWriterKind || !handle->archive) {
        return ZipWrongHandle;
    }
    return handle->archive->Close();
}

}  // namespace arkivo
