// Shared pieces of the archive tests: files, and the judgement of real ZIP readers (Info-ZIP
// unzip, 7-Zip, Python's zipfile) and of our own archive check.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "tests/zip/test_data.h"

namespace arkivo::test {

void WriteFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);
Bytes ReadFile(const std::filesystem::path& path);

// The usual umask, under which a file created without care is readable by everyone.
class UsualUmask {
  public:
    UsualUmask() : previous_(::umask(022)) {}
    ~UsualUmask() { ::umask(previous_); }
    UsualUmask(const UsualUmask&) = delete;
    UsualUmask& operator=(const UsualUmask&) = delete;

  private:
    ::mode_t previous_;
};

struct CommandResult {
    int exitCode = -1;
    std::string output;  // standard output and error together
};

// Runs a shell command line in the C.UTF-8 locale.
CommandResult RunCommand(const std::string& command);

struct ManifestEntry {
    std::string name;  // the entry name's bytes as stored
    std::filesystem::path source;
};
using Manifest = std::vector<ManifestEntry>;

// A file handed to the writer under `name`, and the name's bytes as the archive must store
// them; an empty `stored` stands for the name itself, which must then be ASCII.
struct Added {
    Added(std::u16string name, std::filesystem::path source, std::string stored = {})
        : name(std::move(name)), source(std::move(source)), stored(std::move(stored)) {}
    std::u16string name;
    std::filesystem::path source;
    std::string stored;
};

// Writes the archive of the files, every step expected to succeed, and gives the manifest of
// the entries readers must find in it.
Manifest WriteArchive(const std::filesystem::path& archive, const std::vector<Added>& files);

struct ReaderOptions {
    // Python's testzip pass reads everything once more; the entry comparison checks CRCs too.
    bool pythonTestzip = true;
};

// Every reader must accept the archive, and find exactly the manifest's entries with the
// bytes of their sources.
void ExpectReadersAccept(const std::filesystem::path& archive, const Manifest& manifest,
                         ReaderOptions options = {});

}  // namespace arkivo::test
