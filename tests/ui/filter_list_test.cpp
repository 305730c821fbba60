// The job editor's pattern lists: what they show, their context menu in each language, adding
// and deleting patterns and what that does to the job's filter switch.
#include <windows.h>
// The Windows headers below build on this one.
#include <commctrl.h>

#include "gui_support.h"
#include "settings/lang_ini.h"
#include "ui/resource.h"

namespace arkivo::test {
namespace {

class FilterListTest : public JobEditorTest {
  protected:
    // A right click on the list. The list follows the button until it is released, so the
    // release waits in the queue before the press.
    void RightClick(HWND list, POINT at) {
        ::PostMessageW(list, WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        ::SendMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
        PumpMessages();
    }
    bool HasSection(std::string_view name, std::u16string_view section) {
        CLangIni file;
        file.Open(folder_ / name);
        return file.FindSection(section) >= 0;
    }
};

TEST_F(FilterListTest, AddFromTheMenuWritesThroughAndSwitchesTheFiltersOn) {
    folder_.Write("Filter.ini", "[1]\n1=*.tmp\n");
    Open();
    ASSERT_EQ(FilterOn(0), 0u);
    driver_.ChooseFromMenus(ID_FILTER_ADD);

    RightClick(exclude(), RowPoint(exclude(), 0, 100));

    ASSERT_EQ(driver_.Menus().size(), 1u);
    EXPECT_EQ(folder_.Stored("Filter.ini", u"1"), (Entries{u"1=*.tmp", u"2=*.exe"}));
    EXPECT_EQ(Column(exclude(), 0), (Entries{u"1", u"2"}));
    EXPECT_EQ(Column(exclude(), 1), (Entries{u"*.tmp", u"*.exe"}));
    EXPECT_EQ(FilterOn(0), 1u);
    EXPECT_EQ(FilterOn(1), 0u);
    EXPECT_FALSE(HasSection("FilterInc.ini", u"1"));
    // Cancel keeps what the lists wrote.
    ::SendMessageW(editor(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(folder_.Stored("Filter.ini", u"1"), (Entries{u"1=*.tmp", u"2=*.exe"}));
}

TEST_F(FilterListTest, DeletingRows2And4OfFiveKeepsPatterns1And3And5UnderKeys1To3) {
    WritePatterns("Filter.ini", 1, 5);
    Open();
    SelectRows(exclude(), {1, 3});

    Command(exclude(), ID_FILTER_DELETE);

    EXPECT_EQ(folder_.Stored("Filter.ini", u"1"),
              (Entries{u"1=pattern1", u"2=pattern3", u"3=pattern5"}));
    EXPECT_EQ(Column(exclude(), 0), (Entries{u"1", u"2", u"3"}));
    EXPECT_EQ(Column(exclude(), 1), (Entries{u"pattern1", u"pattern3", u"pattern5"}));
    EXPECT_EQ(dialog_->excludeList().nextKey(), 4);

    SelectRows(exclude(), {});
    Command(exclude(), ID_FILTER_DELETE);
    EXPECT_EQ(folder_.Stored("Filter.ini", u"1").size(), 3u) << "nothing selected, nothing deleted";
}

TEST_F(FilterListTest, ARightClickChoosesTheRowThatDeleteRemoves) {
    WritePatterns("FilterInc.ini", 1, 3);
    Open();
    SelectRows(include(), {0});
    driver_.ChooseFromMenus(ID_FILTER_DELETE);

    RightClick(include(), RowPoint(include(), 2, 150));

    EXPECT_EQ(folder_.Stored("FilterInc.ini", u"1"), (Entries{u"1=pattern1", u"2=pattern2"}));
    EXPECT_EQ(Column(include(), 1), (Entries{u"pattern1", u"pattern2"}));
}

TEST_F(FilterListTest, EmptyingTheIncludeListKeepsTheFiltersOnWhileExcludePatternsRemain) {
    folder_.Write("Filter.ini", "[1]\n1=*.tmp\n");
    folder_.Write("FilterInc.ini", "[1]\n1=*.doc\n2=*.xls\n");
    folder_.Change([](JobTable& table) { table.jobs[0].filterOn = 1; });
    Open();

    SelectRows(include(), {0, 1});
    Command(include(), ID_FILTER_DELETE);

    EXPECT_FALSE(HasSection("FilterInc.ini", u"1"));
    EXPECT_EQ(ListView_GetItemCount(include()), 0);
    EXPECT_EQ(FilterOn(0), 1u);

    SelectRows(exclude(), {0});
    Command(exclude(), ID_FILTER_DELETE);
    EXPECT_FALSE(HasSection("Filter.ini", u"1"));
    EXPECT_EQ(FilterOn(0), 0u);
    EXPECT_TRUE(driver_.Messages().empty());
}

TEST_F(FilterListTest, AHundredthPatternIsRefusedWithAMessage) {
    WritePatterns("Filter.ini", 1, 99);
    Open();

    Command(exclude(), ID_FILTER_ADD);

    ASSERT_EQ(driver_.Messages().size(), 1u);
    EXPECT_EQ(driver_.Messages()[0], folder_.English(text::FilterListFull));
    EXPECT_EQ(driver_.MessageTitles()[0], u"Arkivo");
    EXPECT_EQ(ListView_GetItemCount(exclude()), 99);
    EXPECT_EQ(folder_.Stored("Filter.ini", u"1").size(), 99u);
    EXPECT_EQ(FilterOn(0), 0u);
}

TEST_F(FilterListTest, EachLanguageHasItsMenuAndAnyOtherTheEnglishOne) {
    for (int language : {1, 2, 7}) {
        Open(0, language);
        RightClick(include(), {100, 40});
    }
    const auto menus = driver_.Menus();
    ASSERT_EQ(menus.size(), 3u);
    EXPECT_EQ(menus[0].items, (Entries{u"削除=32780", u"追加=32783"}));
    EXPECT_EQ(menus[1].items, (Entries{u"삭제=32780", u"추가=32783"}));
    EXPECT_EQ(menus[2].items, (Entries{u"Delete=32780", u"Add=32783"}));
    EXPECT_EQ(ListView_GetItemCount(include()), 0) << "closing the menu chooses nothing";
}

}  // namespace
}  // namespace arkivo::test
