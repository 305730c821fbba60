// The keyed INI store: one settings or language file held in memory as sections of keys with
// text values. Reading goes through our own parser; writing goes through the private-profile
// writer, and callers update the memory copy alongside (SetValue, then WriteValue).
//
// One lock per store makes each operation atomic with respect to other threads. Each write
// also takes the data folder's lock (settings/data_folder_lock.h); a change made of several
// steps takes that lock itself before its first read, and always before the store's own.
#pragma once

#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "settings/text_keys.h"

namespace arkivo {

class CLangIni {
  public:
    // One per section: key names and their values, in parallel, in order of first appearance.
    struct key {
        std::vector<std::u16string> values;
        std::vector<std::u16string> names;
    };

    bool Open(const std::filesystem::path& path);

    // Merges the file into the store: keys absent from the file keep their values. False when
    // the file does not exist or cannot be read; the store is then unchanged.
    bool Reload();

    // Makes the store what the file holds now: keys the file no longer has are dropped. False
    // when the file does not exist or cannot be read; the store is then empty.
    bool Reread();

    int FindSection(std::u16string_view name) const;
    int FindKey(int section, std::u16string_view name) const;

    // Empty text when absent; the reason is kept in LastError().
    std::u16string GetValue(std::u16string_view section, std::u16string_view key);
    // An interface text: the built-in English one when the store lacks it or holds it empty
    // (no language file found, or one from an older version).
    std::u16string GetValue(const TextKey& text);

    bool SetValue(std::u16string_view section, std::u16string_view key, std::u16string_view value,
                  bool create);

    // Writes one entry to the file; no key removes the section, no value removes the key.
    // False when the file could not be changed (LastWriteError says why), or when the entry
    // could not be read back as written (a line break, a line over 2047 characters...).
    bool WriteValue(std::u16string_view section, std::optional<std::u16string_view> key,
                    std::optional<std::u16string_view> value);

    // Replaces the section, in the file and here, by exactly these entries in this order, in
    // one write: a reader never sees the section half rewritten.
    bool WriteSection(std::u16string_view section,
                      const std::vector<std::pair<std::u16string, std::u16string>>& entries);

    // Why the last WriteValue or WriteSection failed.
    std::error_code LastWriteError() const;

    // Empties the section and blanks its name; other sections keep their indices.
    void ClearSection(int section);

    // The store's copy of a section, in order; empty when the section is absent.
    std::vector<std::pair<std::u16string, std::u16string>> SectionEntries(
        std::u16string_view section) const;

    // Names of the sections in order of first appearance, cleared ones left out.
    std::vector<std::u16string> SectionNames() const;

    std::u16string LastError() const;
    std::filesystem::path Path() const;

  private:
    void ParseLine(std::u16string_view text, std::size_t storedLength,
                   std::u16string& currentSection);
    bool SetValueLocked(std::u16string_view section, std::u16string_view key,
                        std::u16string_view value, bool create);

    mutable std::recursive_mutex m_lock;
    std::u16string m_strUnicodeText;
    std::vector<key> m_keys;
    std::vector<std::u16string> m_sections;
    std::filesystem::path m_strPath;
    std::u16string m_strError;
    std::error_code m_writeError;
};

// Reads a stored number the way every caller does: a missing or non-numeric value is 0.
long long ReadNumber(CLangIni& store, std::u16string_view section, std::u16string_view key);

// The callers' pattern for a lasting change: memory first (creating the key), then the file.
bool StoreValue(CLangIni& store, std::u16string_view section, std::u16string_view key,
                std::u16string_view value);

// Removes a section from memory and from the file, then re-reads the file.
void RemoveSection(CLangIni& store, std::u16string_view section);

}  // namespace arkivo
