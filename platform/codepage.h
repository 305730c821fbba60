// The "ANSI code page" of the system: what report files, list files, 8-bit settings files and
// ZIP entry names are written in. On POSIX it is UTF-8.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace arkivo::platform {

std::u16string AnsiToUtf16(std::string_view ansi);

// nullopt when a character has no form in the code page.
std::optional<std::string> Utf16ToAnsi(std::u16string_view text);

// For texts that must be written even when a character has no form in the code page (report
// lines): such characters become the code page's default character.
std::string Utf16ToAnsiLossy(std::u16string_view text);

// The path in the ANSI code page. On POSIX these are the file system's own bytes, which need not
// be valid UTF-8. nullopt when a character has no form in the code page.
std::optional<std::string> PathToAnsi(const std::filesystem::path& path);

// Whether Utf16ToAnsi produces UTF-8, which ZIP readers need to be told about.
bool AnsiIsUtf8();

}  // namespace arkivo::platform
