// The main dialog's list of jobs: one row per job of the environment file, with tick boxes,
// red rows for jobs that have files to copy, a context menu to delete or modify jobs, and
// folders dropped on the BASE and TARGET columns to make new jobs.
#pragma once

#include <windows.h>
// The common controls and shell headers build on the declarations above.
#include <commctrl.h>
#include <shellapi.h>

#include <cstdint>
#include <string>
#include <vector>

#include "jobs/drop_pairing.h"
#include "jobs/job_commands.h"
#include "ui/controls/ruled_list.h"
#include "ui/main/app_context.h"

namespace arkivo::ui {

// What the list asks of the dialog that holds it.
class JobListHost {
  public:
    virtual ~JobListHost() = default;
    virtual HWND hwnd() const = 0;
    // Empties the list and fills it again from the environment file.
    virtual void RefreshJobList() = 0;
    virtual void SetBaseField(std::u16string_view path) = 0;
    virtual void SetTargetField(std::u16string_view path) = 0;
    virtual void RegisterFromFields() = 0;
    // The job editor hands over the FTP fields of both sides, as the main dialog's FTP
    // buttons would.
    virtual void TakeFtpFields(const FtpCredentials& base, const FtpCredentials& target) = 0;
};

class CJobList : public CRuledList {
  public:
    enum Column { kNumberColumn, kBaseColumn, kTargetColumn, kLastUpdatedColumn };

    CJobList(AppContext& context, JobListHost& host);
    ~CJobList() override;

    void Setup(HWND list, const OptionBlock& options);
    void AddJobRow(int row, const JobRecord& job);
    // Fills the (emptied) list; false, after telling the owner, when the file did not load.
    bool RefillFromFile(HWND owner);
    void Clear();

    int ReadFileToCopyFlag(int row);
    std::vector<bool> RowTicks() const;
    int RowCount() const;

    void DeleteSelected();
    void EditSelected();

    LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw);
    // The columns share the client width, so that no horizontal scroll bar hides the last one.
    void FitColumns();

  private:
    void EnterMessageMap();
    void OnItemChanged(const NMLISTVIEW& change);
    void ShowContextMenu(LPARAM position) override;
    void OnDropFiles(HDROP drop) override;
    void DropFolder(const std::u16string& folder, int x);
    std::u16string CellText(int row, int column) const;
    void SetCellText(int row, int column, std::u16string_view text);
    void ShowMessages(const CommandOutcome& outcome);

    AppContext& context_;
    JobListHost& host_;
    const OptionBlock* m_pOptions = nullptr;
    HWND m_pMenuOwner = nullptr;
    DropPairing pairing_;
    int m_pendingRow = -1;
    bool m_bOleInitialised = false;
    bool refilling_ = false;
};

}  // namespace arkivo::ui
