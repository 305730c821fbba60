// Whole-file operations the core needs beyond what the standard library offers portably.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace arkivo::platform {

enum class FilePrivacy {
    Shared,     // a new file gets the usual permissions; an existing file keeps its own
    OwnerOnly,  // readable and writable by the owner alone (the file holds passwords)
};

// Every temporary file Arkivo writes beside a real one is named ".arkivo-", 16 hexadecimal
// digits and ".tmp". The name does not grow with the real one, so every name a folder can hold
// can be copied; its random part keeps concurrent writers apart; and its exact shape lets a
// later run recognise and remove what an interrupted one left behind without ever taking a
// user's own file for one.
std::filesystem::path TemporaryPathIn(const std::filesystem::path& folder);
bool IsTemporaryName(const std::filesystem::path& name);

// Makes the renames and creations in the folder survive a power loss (POSIX: an fsync of the
// folder; Windows journals them itself).
std::error_code FlushFolder(const std::filesystem::path& folder);

// The whole content of a file. A missing file gives std::errc::no_such_file_or_directory on
// every platform, so callers can tell it from a file they may not read.
std::error_code ReadFileContents(const std::filesystem::path& path, std::string& bytes);

// Writes the bytes to a temporary file in the same folder, flushes it to stable storage and
// renames it over path, so a crash leaves either the old or the new contents, never a mix.
std::error_code ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes,
                                    FilePrivacy privacy);

// The two halves of ReplaceFileContents, for changes that replace several files at once.
// The first writes the bytes to a new temporary file beside path, with the permissions path
// will have, and flushes it to stable storage; it leaves nothing behind when it fails.
std::error_code WriteTemporaryFor(const std::filesystem::path& path, std::string_view bytes,
                                  FilePrivacy privacy, std::filesystem::path& temporary);
// The second renames a file over another in the same folder and makes the rename lasting.
std::error_code RenameDurably(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace arkivo::platform
