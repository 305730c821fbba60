// The facts of a file as the system's find and handle calls give them, in FileInfo's terms.
#pragma once

#include <windows.h>

#include "platform/file_system.h"

namespace arkivo::platform::win32 {

inline FileTime ToFileTime(const FILETIME& t) {
    return static_cast<FileTime>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) |
                                 t.dwLowDateTime);
}

// WIN32_FIND_DATAW and BY_HANDLE_FILE_INFORMATION name these fields alike.
template <typename SystemInfo>
FileInfo ToInfo(const SystemInfo& data) {
    FileInfo info;
    info.attributes = data.dwFileAttributes & 0xFF;
    const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    info.size =
        folder ? 0 : (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    info.creationTime = ToFileTime(data.ftCreationTime);
    info.lastAccessTime = ToFileTime(data.ftLastAccessTime);
    info.lastWriteTime = ToFileTime(data.ftLastWriteTime);
    info.folderLink = folder && (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    return info;
}

}  // namespace arkivo::platform::win32
