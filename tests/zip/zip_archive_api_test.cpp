// What the writer's operations answer to bad handles, bad names and unreadable sources.
#include <gtest/gtest.h>

#include "tests/zip/zip_inspect.h"
#include "tests/zip/zip_test_support.h"
#include "zip/zip_archive.h"

namespace arkivo::test {
namespace {

TEST(ZipArchiveApi, RefusesMissingAndForeignHandles) {
    TempFolder folder;
    WriteFile(folder / "a.txt", TextLike(100, 1));
    EXPECT_EQ(AddFileToZipArchive(nullptr, u"a.txt", folder / "a.txt"), ZipBadArguments);
    EXPECT_EQ(CloseZipArchive(nullptr), ZipBadArguments);
    auto foreign = std::make_unique<ZipHandle>();
    foreign->kind = 7;
    EXPECT_EQ(AddFileToZipArchive(foreign.get(), u"a.txt", folder / "a.txt"), ZipWrongHandle);
    EXPECT_EQ(CloseZipArchive(std::move(foreign)), ZipWrongHandle);

    // A real archive behind a handle of another kind is left alone.
    const auto archive = folder / "out.zip";
    auto handle = CreateZipArchive(archive);
    ASSERT_TRUE(handle);
    handle->kind = 1;
    EXPECT_EQ(AddFileToZipArchive(handle.get(), u"a.txt", folder / "a.txt"), ZipWrongHandle);
    handle->kind = kZipArchiveWriterKind;
    ASSERT_EQ(CloseZipArchive(std::move(handle)), ZipOk);
    ExpectReadersAccept(archive, {});
}

TEST(ZipArchiveApi, RefusesEmptyAndOverlongNamesRatherThanCuttingThem) {
    TempFolder folder;
    WriteFile(folder / "a.txt", TextLike(100, 2));
    const auto archive = folder / "out.zip";
    auto handle = CreateZipArchive(archive);
    const std::u16string longest(259, u'a');
    const std::u16string tooLong(260, u'b');
    // "é" takes two bytes in UTF-8: 129 of them and one more byte make 259.
    const std::u16string longestAccented = std::u16string(129, u'é') + u"c";
    const std::u16string tooLongAccented(130, u'é');
    EXPECT_EQ(AddFileToZipArchive(handle.get(), u"", folder / "a.txt"), ZipBadArguments);
    EXPECT_EQ(AddFileToZipArchive(handle.get(), tooLong, folder / "a.txt"), ZipBadArguments);
    EXPECT_EQ(AddFileToZipArchive(handle.get(), tooLongAccented, folder / "a.txt"),
              ZipBadArguments);
    EXPECT_EQ(AddFileToZipArchive(handle.get(), longest, folder / "a.txt"), ZipOk);
    EXPECT_EQ(AddFileToZipArchive(handle.get(), longestAccented, folder / "a.txt"), ZipOk);
    ASSERT_EQ(CloseZipArchive(std::move(handle)), ZipOk);
    ExpectEntriesBackToBack(archive);
    std::string accented;
    for (int i = 0; i < 129; ++i) {
        accented += "\xC3\xA9";
    }
    ExpectReadersAccept(
        archive, {{std::string(259, 'a'), folder / "a.txt"}, {accented + "c", folder / "a.txt"}});
}

TEST(ZipArchiveApi, ReportsSourcesThatCannotBeOpenedOrRead) {
    TempFolder folder;
    WriteFile(folder / "good.txt", TextLike(20000, 3));
    std::filesystem::create_directory(folder / "folder");
    const auto archive = folder / "out.zip";
    auto handle = CreateZipArchive(archive);
    EXPECT_EQ(AddFileToZipArchive(handle.get(), u"missing", folder / "missing"), ZipNoFile);
    EXPECT_EQ(AddFileToZipArchive(handle.get(), u"folder", folder / "folder"), ZipNoFile);
    EXPECT_EQ(AddFileToZipArchive(handle.get(), u"first.txt", folder / "good.txt"), ZipOk);
    // The process's own memory file opens, but reading its first page fails: the failure
    // comes after the entry's header was written.
    EXPECT_EQ(AddFileToZipArchive(handle.get(), u"memory", "/proc/self/mem"), ZipNoFile);
    EXPECT_EQ(AddFileToZipArchive(handle.get(), u"second.txt", folder / "good.txt"), ZipOk);
    ASSERT_EQ(CloseZipArchive(std::move(handle)), ZipOk);
    ExpectEntriesBackToBack(archive);
    ExpectReadersAccept(archive,
                        {{"first.txt", folder / "good.txt"}, {"second.txt", folder / "good.txt"}});
}

TEST(ZipArchiveApi, GivesNoHandleWhereTheArchiveCannotBeCreated) {
    TempFolder folder;
    EXPECT_EQ(CreateZipArchive(folder / "no-such-folder" / "out.zip"), nullptr);
    EXPECT_TRUE(std::filesystem::is_empty(folder.path()));
}

}  // namespace
}  // namespace arkivo::test
