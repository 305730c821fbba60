// The local file system as the backup engine and the archive writer use it.
//
// Symbolic links: a link to a file is reported with the facts of the file it points to, so
// its content is what gets copied; a link to a folder is reported as a link and never
// followed, so a walk cannot loop.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "common/file_time.h"

namespace arkivo::platform {

namespace Attribute {
inline constexpr std::uint32_t ReadOnly = 0x01;
inline constexpr std::uint32_t Hidden = 0x02;
inline constexpr std::uint32_t System = 0x04;
inline constexpr std::uint32_t Directory = 0x10;
inline constexpr std::uint32_t Archive = 0x20;
inline constexpr std::uint32_t Normal = 0x80;
}  // namespace Attribute

struct FileInfo {
    std::uint32_t attributes = 0;  // the Attribute bits
    std::uint64_t size = 0;
    FileTime creationTime = 0;  // birth time where the file system keeps one
    FileTime lastAccessTime = 0;
    FileTime lastWriteTime = 0;
    std::uint32_t posixMode = 0;  // st_mode, type and permission bits (POSIX); 0 on Windows
    bool folderLink = false;      // a link to a folder: listed, never entered
    // Neither a file nor a folder (a socket, a FIFO, a device): listed, never opened, as it
    // has no contents to copy.
    bool special = false;

    bool IsFolder() const { return (attributes & Attribute::Directory) != 0; }
};

struct FolderEntry {
    std::filesystem::path name;  // the bare name, in the file system's own form
    FileInfo info;
};

enum class ListDetail {
    Full,       // every field of FileInfo
    KindsOnly,  // only whether an entry is a folder (and a folder link); much cheaper
};

// Every entry of the folder but "." and "..", in the order the file system gives them. A link
// whose target is gone is left out; anything that is neither a file nor a folder is listed
// with `special` set.
std::error_code ListFolder(const std::filesystem::path& folder, std::vector<FolderEntry>& entries,
                           ListDetail detail = ListDetail::Full);

// The form of a file name under which the file system tells names apart: names with equal
// keys name the same file (letter case is ignored on Windows, significant on POSIX).
std::u16string FileNameKey(const std::filesystem::path& name);

// A path as text for the user (reports, progress). Never fails: bytes that are not valid in
// the system's encoding show as replacement characters.
std::u16string PathText(const std::filesystem::path& path);
std::filesystem::path PathFromText(std::u16string_view text);

// A path as one line of a terminal or a report: characters that would break the line or hide,
// and bytes that are not text, are written as escapes (common/shown_text.h), so every name
// shows whole and no two names look alike.
std::u16string ShownPathText(const std::filesystem::path& path);

// Facts of the file or folder at path; an error when nothing is there, or when what is there
// is neither a file nor a folder.
std::error_code GetFileInfo(const std::filesystem::path& path, FileInfo& info);

bool Exists(const std::filesystem::path& path);

// Failures of a copy that the system has no code for.
enum class CopyError {
    // The source's size or last-write time at the end of the copy differs from what they were
    // when it was opened: what was read may mix two versions.
    SourceChanged = 1,
};
std::error_code make_error_code(CopyError error);

// Told how many bytes of a file have been copied so far, as a copy goes on.
using CopyProgress = std::function<void(std::uint64_t bytesDone)>;

// Copies through a temporary name in the target folder and renames it over target, so target
// is never a partial file. The copy keeps the source's last-write time and permissions. It
// copies the size the source had when it was opened; a source that changes meanwhile fails
// with CopyError::SourceChanged and target keeps its previous version.
std::error_code CopyFileAtomically(const std::filesystem::path& source,
                                   const std::filesystem::path& target,
                                   const CopyProgress& progress = {});

// Renames from over to, replacing a file already there in one step.
std::error_code MoveReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

// Succeeds when the folder exists afterwards.
std::error_code CreateFolder(const std::filesystem::path& folder);

// As CreateFolder, for the copy of the folder `source` describes: on POSIX a folder it creates
// gets the source's permission bits (a private folder stays private); the owner keeps full
// access, so later runs can still write into it.
std::error_code CreateFolderLike(const std::filesystem::path& folder, const FileInfo& source);

// Whether a new file can be made in folder: a read-only mount or a missing permission tells
// why not. Where the system can, the folder is left as it was, its time included.
std::error_code CheckCanCreateFilesIn(const std::filesystem::path& folder);

// Removes an empty folder only.
std::error_code RemoveFolder(const std::filesystem::path& folder);

// Removes a file, clearing its read-only attribute first.
std::error_code RemoveFile(const std::filesystem::path& file);

// Removes a link to a folder, never what it points to.
std::error_code RemoveFolderLink(const std::filesystem::path& link);

// Makes a file or folder writable again (the "normal" attribute), so it can be removed.
std::error_code MakeWritable(const std::filesystem::path& path);

}  // namespace arkivo::platform

template <>
struct std::is_error_code_enum<arkivo::platform::CopyError> : std::true_type {};
