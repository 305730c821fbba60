// Folders and shortcuts dropped on the job list's columns.
#include <windows.h>
// The Windows headers below build on this one.
#include <commctrl.h>

#include <fstream>

#include "gui_support.h"
#include "platform/shell_link.h"
#include "ui/resource.h"

namespace arkivo::test {
namespace {

class DropTest : public MainDialogTest {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(folder_ / "photos");
        std::filesystem::create_directories(folder_ / "backup");
        std::ofstream(folder_ / "note.txt") << "not a folder";
        Open();
    }
    void Drop(const std::filesystem::path& path, int x) {
        ::SendMessageW(list(), WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({path}, x)), 0);
        PumpMessages();
    }
};

TEST_F(DropTest, ABaseThenATargetFolderRegisterAJob) {
    Drop(folder_ / "photos", 100);
    ASSERT_EQ(Rows(), 1) << "a provisional row waits for the target";
    EXPECT_EQ(Cell(0, 0), u"1");
    EXPECT_EQ(ItemText(dialog(), IDC_BASE_PATH), (folder_ / "photos").u16string());
    EXPECT_TRUE(folder_.Load().jobs.empty());

    Drop(folder_ / "backup", 400);

    const auto table = folder_.Load();
    ASSERT_EQ(table.jobs.size(), 1u);
    EXPECT_EQ(table.jobs[0].basePath, (folder_ / "photos").u16string());
    EXPECT_EQ(table.jobs[0].targetPath, (folder_ / "backup").u16string());
    EXPECT_EQ(Rows(), 1);
}

TEST_F(DropTest, ASecondBaseFilesAndOtherColumnsAreIgnored) {
    Drop(folder_ / "photos", 100);
    Drop(folder_ / "backup", 200);
    EXPECT_EQ(Cell(0, 1), (folder_ / "photos").u16string());
    Drop(folder_ / "note.txt", 400);
    Drop(folder_ / "backup", 20);
    Drop(folder_ / "backup", 295);
    Drop(folder_ / "backup", 600);
    EXPECT_TRUE(folder_.Load().jobs.empty());
    EXPECT_EQ(Rows(), 1);
}

TEST_F(DropTest, AShortcutToAFolderRegistersTheFolder) {
    const auto link = folder_ / "backup.lnk";
    ASSERT_TRUE(MakeShortcut(link, folder_ / "backup"));
    const auto resolved = platform::ResolveShellLink(link);
    ASSERT_TRUE(resolved.has_value());
    EXPECT_TRUE(std::filesystem::equivalent(*resolved, folder_ / "backup"));
    EXPECT_FALSE(platform::ResolveShellLink(folder_ / "note.txt").has_value());

    Drop(link, 400);
    Drop(folder_ / "photos", 100);

    const auto table = folder_.Load();
    ASSERT_EQ(table.jobs.size(), 1u);
    EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::path(table.jobs[0].targetPath),
                                            folder_ / "backup"));
}

}  // namespace
}  // namespace arkivo::test
