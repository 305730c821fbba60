#include "platform/file_system.h"

#include <windows.h>

#include "common/shown_text.h"
#include "platform/files.h"
#include "platform/upper_case.h"
#include "platform/win32/file_info.h"
#include "platform/win32/long_path.h"
#include "platform/win32/wide.h"

namespace arkivo::platform {
namespace {

using win32::LongPath;
using win32::ToInfo;

std::error_code LastError() {
    return {static_cast<int>(::GetLastError()), std::system_category()};
}

}  // namespace

std::error_code ListFolder(const std::filesystem::path& folder, std::vector<FolderEntry>& entries,
                           ListDetail) {
    entries.clear();
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW(LongPath(folder / L"*.*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        return code == ERROR_FILE_NOT_FOUND
                   ? std::error_code()
                   : std::error_code(static_cast<int>(code), std::system_category());
    }
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        entries.push_back({std::filesystem::path(name), ToInfo(data)});
    } while (::FindNextFileW(find, &data));
    const DWORD code = ::GetLastError();
    ::FindClose(find);
    return code == ERROR_NO_MORE_FILES
               ? std::error_code()
               : std::error_code(static_cast<int>(code), std::system_category());
}

std::u16string FileNameKey(const std::filesystem::path& name) {
    return ToUpper(win32::Utf16(name.native()));
}

std::u16string PathText(const std::filesystem::path& path) {
    return win32::Utf16(path.native());
}

std::filesystem::path PathFromText(std::u16string_view text) {
    return std::filesystem::path(win32::Wide(text));
}

std::u16string ShownPathText(const std::filesystem::path& path) {
    return EscapedForDisplay(win32::Utf16(path.native()));
}

std::error_code GetFileInfo(const std::filesystem::path& path, FileInfo& info) {
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW(LongPath(path).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        return LastError();
    }
    ::FindClose(find);
    info = ToInfo(data);
    return {};
}

bool Exists(const std::filesystem::path& path) {
    return ::GetFileAttributesW(LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::error_code MoveReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    // A read-only file is replaced as well: the new version takes its place whole.
    const std::wstring target = LongPath(to);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        ::SetFileAttributesW(target.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    return ::MoveFileExW(LongPath(from).c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)
               ? std::error_code()
               : LastError();
}

std::error_code CreateFolder(const std::filesystem::path& folder) {
    const std::wstring path = LongPath(folder);
    if (::CreateDirectoryW(path.c_str(), nullptr)) {
        return {};
    }
    const auto error = LastError();
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return {};
    }
    return error;
}

std::error_code CreateFolderLike(const std::filesystem::path& folder, const FileInfo&) {
    return CreateFolder(folder);
}

std::error_code RemoveFolder(const std::filesystem::path& folder) {
    return ::RemoveDirectoryW(LongPath(folder).c_str()) ? std::error_code() : LastError();
}

std::error_code CheckCanCreateFilesIn(const std::filesystem::path& folder) {
    // The probe takes the temporary shape, so a walk and a later run's clean-up pass it by.
    const HANDLE h =
        ::CreateFileW(LongPath(TemporaryPathIn(folder)).c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                      CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        return LastError();
    }
    ::CloseHandle(h);
    return {};
}

std::error_code RemoveFile(const std::filesystem::path& file) {
    const std::wstring path = LongPath(file);
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return ::DeleteFileW(path.c_str()) ? std::error_code() : LastError();
}

std::error_code RemoveFolderLink(const std::filesystem::path& link) {
    // A folder link (junction or symbolic link) is removed as a folder; its target stays.
    return ::RemoveDirectoryW(LongPath(link).c_str()) ? std::error_code() : LastError();
}

std::error_code MakeWritable(const std::filesystem::path& path) {
    return ::SetFileAttributesW(LongPath(path).c_str(), FILE_ATTRIBUTE_NORMAL) ? std::error_code()
                                                                               : LastError();
}

}  // namespace arkivo::platform
