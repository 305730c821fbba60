// Editing a pattern in place, and files, folders and shortcuts dropped on a pattern list.
#include <windows.h>
// The Windows headers below build on this one.
#include <commctrl.h>

#include <fstream>

#include "common/text.h"
#include "gui_support.h"
#include "ui/resource.h"

namespace arkivo::test {
namespace {

class InPlaceEditTest : public JobEditorTest {
  protected:
    void SetUp() override {
        JobEditorTest::SetUp();
        WritePatterns("Filter.ini", 1, 3);
        Open();
    }
    HWND EditorOf(HWND list) { return ::GetDlgItem(list, IDC_INPLACE_EDIT); }
    // Clicks the exclude list's row at x and types the text into the editor that opens.
    HWND EditAt(int row, int x, const wchar_t* text) {
        ClickAt(exclude(), RowPoint(exclude(), row, x));
        const HWND edit = EditorOf(exclude());
        EXPECT_NE(edit, nullptr) << "no editor at x " << x;
        ::SetWindowTextW(edit, text);
        return edit;
    }
    void Key(HWND window, WPARAM key) {
        MSG press{window, WM_KEYDOWN, key, 0, 0, {}};
        if (!::IsDialogMessageW(editor(), &press)) {
            ::TranslateMessage(&press);
            ::DispatchMessageW(&press);
        }
        PumpMessages();
    }
    void ExpectPatterns(const Entries& patterns) {
        EXPECT_EQ(Column(exclude(), 1), patterns);
        Entries stored;
        for (std::size_t i = 0; i < patterns.size(); ++i) {
            stored.push_back(ToDecimalUnsigned(i + 1) + u"=" + patterns[i]);
        }
        EXPECT_EQ(folder_.Stored("Filter.ini", u"1"), stored);
    }
};

TEST_F(InPlaceEditTest, AClickOnAPatternOpensAnEditorOverItsCellAndEnterKeepsTheText) {
    ClickAt(exclude(), RowPoint(exclude(), 1, 100));
    HWND edit = EditorOf(exclude());
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(Text(edit), u"pattern2");
    EXPECT_EQ(::GetFocus(), edit);
    RECT cell{}, frame{};
    ListView_GetSubItemRect(exclude(), 1, 1, LVIR_BOUNDS, &cell);
    ::GetWindowRect(edit, &frame);
    ::MapWindowPoints(nullptr, exclude(), reinterpret_cast<POINT*>(&frame), 2);
    EXPECT_GT(frame.left, cell.left);
    EXPECT_LT(frame.left, cell.left + 8);
    EXPECT_LE(frame.right, cell.right + 1);
    EXPECT_EQ(frame.top, cell.top);

    ::SetWindowTextW(edit, L"*.old");
    Key(edit, VK_RETURN);
    EXPECT_TRUE(::IsWindow(editor())) << "Enter belongs to the cell, not to the OK button";
    EXPECT_FALSE(::IsWindow(edit));
    EXPECT_EQ(::GetFocus(), exclude());
    ExpectPatterns({u"pattern1", u"*.old", u"pattern3"});
    EXPECT_EQ(FilterOn(0), 0u) << "an edit leaves the switch alone";
}

TEST_F(InPlaceEditTest, EscapeCancelsTheEditAndLosingTheFocusKeepsTheText) {
    const HWND cancelled = EditAt(0, 200, L"*.new");
    Key(cancelled, VK_ESCAPE);
    EXPECT_TRUE(::IsWindow(editor())) << "Escape belongs to the cell, not to the dialog";
    EXPECT_FALSE(::IsWindow(cancelled));
    ExpectPatterns({u"pattern1", u"pattern2", u"pattern3"});

    // x 279 is still on the pattern column.
    const HWND left = EditAt(2, 279, L"*.bak");
    ::SetFocus(::GetDlgItem(editor(), IDC_MODIFY_BASE));
    PumpMessages();
    EXPECT_FALSE(::IsWindow(left));
    ExpectPatterns({u"pattern1", u"pattern2", u"*.bak"});
    EXPECT_TRUE(driver_.Messages().empty());
}

// An empty pattern would match, and so leave out, every file.
TEST_F(InPlaceEditTest, AnEmptiedCellIsRefusedWithAMessageAndKeepsItsPattern) {
    Key(EditAt(2, 200, L""), VK_RETURN);
    EXPECT_EQ(driver_.Messages(), Entries{folder_.English(text::FilterEmpty)});
    ExpectPatterns({u"pattern1", u"pattern2", u"pattern3"});
}

TEST_F(InPlaceEditTest, ClicksOnTheNumberOrBelowTheRowsOpenNoEditor) {
    ClickAt(exclude(), RowPoint(exclude(), 1, 15));
    EXPECT_EQ(EditorOf(exclude()), nullptr);
    EXPECT_TRUE(ListView_GetItemState(exclude(), 1, LVIS_SELECTED) != 0)
        << "the click still selects the row";
    RECT last{};
    ListView_GetItemRect(exclude(), 2, &last, LVIR_BOUNDS);
    ClickAt(exclude(), {100, last.bottom + 20});
    EXPECT_EQ(EditorOf(exclude()), nullptr);
}

class PatternDropTest : public JobEditorTest {
  protected:
    void SetUp() override {
        JobEditorTest::SetUp();
        std::ofstream(folder_ / "report.doc") << "a file";
        std::filesystem::create_directories(folder_ / "drafts");
        Open();
    }
    void Drop(HWND list, const std::vector<std::filesystem::path>& paths, int x) {
        ::SendMessageW(list, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf(paths, x)), 0);
        PumpMessages();
    }
    std::u16string Path(const char* name) { return (folder_ / name).u16string(); }
};

TEST_F(PatternDropTest, DroppedFilesAndFoldersOnThePatternColumnBecomePatterns) {
    Drop(exclude(), {folder_ / "report.doc"}, 20);
    Drop(exclude(), {folder_ / "report.doc"}, 280);
    Drop(exclude(), {folder_ / "missing.doc"}, 100);
    EXPECT_EQ(ListView_GetItemCount(exclude()), 0);
    EXPECT_TRUE(folder_.Stored("Filter.ini", u"1").empty());
    EXPECT_EQ(FilterOn(0), 0u);

    Drop(exclude(), {folder_ / "report.doc", folder_ / "missing.doc", folder_ / "drafts"}, 279);

    EXPECT_EQ(folder_.Stored("Filter.ini", u"1"),
              (Entries{u"1=" + Path("report.doc"), u"2=" + Path("drafts")}));
    EXPECT_EQ(Column(exclude(), 1), (Entries{Path("report.doc"), Path("drafts")}));
    EXPECT_EQ(FilterOn(0), 1u);
    EXPECT_TRUE(folder_.Stored("FilterInc.ini", u"1").empty());
}

TEST_F(PatternDropTest, AShortcutAddsWhatItPointsToAndAnUnreadableOneItself) {
    const auto link = folder_ / "report.lnk";
    ASSERT_TRUE(MakeShortcut(link, folder_ / "report.doc"));
    std::ofstream(folder_ / "broken.lnk") << "not a shortcut";

    Drop(include(), {link, folder_ / "broken.lnk"}, 100);

    const auto stored = folder_.Stored("FilterInc.ini", u"1");
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_TRUE(std::filesystem::equivalent(std::filesystem::path(stored[0].substr(2)),
                                            folder_ / "report.doc"));
    EXPECT_EQ(stored[1], u"2=" + Path("broken.lnk"));
}

}  // namespace
}  // namespace arkivo::test
