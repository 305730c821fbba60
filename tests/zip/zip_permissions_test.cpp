// Archives written on POSIX restore each file's mode.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <sstream>

#include "common/text.h"
#include "support/run_program.h"
#include "tests/zip/zip_test_support.h"
#include "zip/zip_archive.h"

namespace arkivo::test {
namespace {

::mode_t ModeOf(const std::filesystem::path& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode;
}

// The whole mode (external_attr >> 16) that Python's zipfile reads for each entry, by name.
// Every entry must say it was made on Unix, or readers ignore that mode.
std::map<std::string, unsigned> ModesSeenByZipfile(const std::filesystem::path& archive) {
    const CommandResult python = RunCommand(
        "/usr/bin/python3 -c 'import sys, zipfile\n"
        "for i in zipfile.ZipFile(sys.argv[1]).infolist():\n"
        "    print(i.filename, \"%o\" % (i.external_attr >> 16), i.create_system)' " +
        ShellQuote(archive.string()));
    EXPECT_EQ(python.exitCode, 0) << python.output;
    std::map<std::string, unsigned> modes;
    std::istringstream lines(python.output);
    std::string name, mode;
    unsigned system = 0;
    while (lines >> name >> mode >> system) {
        EXPECT_EQ(system, 3u) << name << ": made on Unix";
        modes[name] = static_cast<unsigned>(std::stoul(mode, nullptr, 8));
    }
    return modes;
}

TEST(ZipPermissions, ReadersRestoreTheModeOfEachFile) {
    UsualUmask umask;
    TempFolder folder;
    const struct {
        const char* name;
        ::mode_t mode;
    } files[] = {{"private.txt", 0600}, {"script.sh", 0755}, {"group.txt", 0640}};
    std::vector<Added> added;
    for (const auto& f : files) {
        WriteFile(folder / f.name, TextLike(2000, 1));
        ASSERT_EQ(::chmod((folder / f.name).c_str(), f.mode), 0);
        added.push_back({AsciiToUtf16(f.name), folder / f.name});
    }
    const auto archive = folder / "out.zip";
    ExpectReadersAccept(archive, WriteArchive(archive, added));

    const auto seen = ModesSeenByZipfile(archive);
    const auto unzipped = folder / "unzipped";
    const CommandResult unzip = RunCommand("unzip -q " + ShellQuote(archive.string()) + " -d " +
                                           ShellQuote(unzipped.string()));
    ASSERT_EQ(unzip.exitCode, 0) << unzip.output;
    const CommandResult zipinfo = RunCommand("zipinfo " + ShellQuote(archive.string()));
    EXPECT_EQ(zipinfo.exitCode, 0) << zipinfo.output;
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        EXPECT_EQ(seen.at(f.name), S_IFREG | f.mode);
        EXPECT_EQ(ModeOf(unzipped / f.name), S_IFREG | f.mode);
    }
    EXPECT_NE(zipinfo.output.find("-rwxr-xr-x  2.3 unx"), std::string::npos) << zipinfo.output;
    EXPECT_NE(zipinfo.output.find("-rw-------  2.3 unx"), std::string::npos) << zipinfo.output;
}

}  // namespace
}  // namespace arkivo::test
