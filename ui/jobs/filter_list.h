// A job's exclude or include patterns in the job editor: one row per pattern, numbered by its
// key. The context menu adds and deletes patterns, a click on a pattern edits it in place, and
// files and folders dropped on the pattern column become patterns. Every change is written
// through at once, so the editor's Cancel does not undo it.
#pragma once

#include <windows.h>
// The common controls and shell headers build on the declarations above.
#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

#include "jobs/job_commands.h"
#include "ui/controls/ruled_list.h"
#include "ui/framework/ole_session.h"
#include "ui/jobs/in_place_edit.h"
#include "ui/main/app_context.h"

namespace arkivo::ui {

// Clicks and drops between these x coordinates (list client coordinates) are on the pattern
// column, whatever the user made of the column widths.
inline constexpr int kPatternColumnLeft = 31;
inline constexpr int kPatternColumnRight = 279;
inline bool IsOnPatternColumn(int x) {
    return x >= kPatternColumnLeft && x <= kPatternColumnRight;
}

class CFilterList : public CRuledList {
  public:
    enum Column { kNumberColumn, kPatternColumn };

    // store holds this list, otherStore the job's other list: emptying both switches the job's
    // filters off.
    CFilterList(AppContext& context, CLangIni& store, CLangIni& otherStore,
                std::wstring patternTitle);
    ~CFilterList() override;

    // languageOwner holds the interface language, which chooses the context menu.
    void Init(HWND list, const OptionBlock& languageOwner);
    // Shows the patterns of the job (1-based), after the rows already shown.
    void LoadJob(int jobNumber);

    void AddDefaultPattern();
    void DeleteSelected();

    int jobNumber() const { return m_jobNumber; }
    int nextKey() const { return m_nextKey; }
    CInPlaceEdit* editor() const { return editor_ && editor_->IsOpen() ? editor_.get() : nullptr; }

  private:
    void EnterMessageMap();

    std::size_t JobIndex() const { return static_cast<std::size_t>(m_jobNumber - 1); }
    int RowCount() const;
    void InsertRow(int row, int key, std::u16string_view pattern);
    std::u16string CellText(int row, int column) const;
    void SetCellText(int row, int column, std::u16string_view text);
    // Adds the pattern through the filter core; false when it was refused or went wrong.
    bool Add(std::u16string_view pattern);
    void ShowStoredPatternsFrom(int firstRow);
    void ShowMessages(const CommandOutcome& outcome);

    void ShowContextMenu(LPARAM position) override;
    POINT MenuKeyPosition() const;
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw) const;

    // In-place editing (filter_list_edit.cpp)
    void OnLeftButtonDown(int x, int y);
    void EditCell(int row, int column);
    void OnEndEdit(const NMLVDISPINFOW& info);

    // Dropped files (filter_list_drop.cpp)
    void OnDropFiles(HDROP drop) override;
    bool Accepts(const std::u16string& path) const;

    AppContext& context_;
    CLangIni& store_;
    CLangIni& otherStore_;
    std::wstring patternTitle_;
    std::unique_ptr<CInPlaceEdit> editor_;

    int m_jobNumber = -1;
    const OptionBlock* m_pLanguageOwner = nullptr;
    // Bit 0 files, bit 1 folders.
    DWORD m_dropFlags = 3;
    OleSession m_oleSession;
    int m_nextKey = 0;
};

}  // namespace arkivo::ui
