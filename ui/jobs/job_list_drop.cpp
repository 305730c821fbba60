// Folders and shortcuts to folders dropped on the job list's BASE and TARGET columns.

#include "jobs/environment_file.h"
#include "platform/file_system.h"
#include "platform/shell_link.h"
#include "ui/framework/window_text.h"
#include "ui/jobs/job_list.h"

namespace arkivo::ui {
namespace {

constexpr UINT kMaxDroppedPath = 260;

std::optional<std::u16string> DroppedFolder(std::u16string path, bool canResolveLinks) {
    if (canResolveLinks && platform::IsShellLink(path)) {
        auto target = platform::ResolveShellLink(path);
        if (!target) {
            return std::nullopt;
        }
        path = target->u16string();
    }
    platform::FileInfo info;
    if (platform::GetFileInfo(path, info) || !info.IsFolder()) {
        return std::nullopt;
    }
    return path;
}

}  // namespace

void CJobList::OnDropFiles(HDROP drop) {
    POINT at{};
    ::DragQueryPoint(drop, &at);
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        wchar_t path[kMaxDroppedPath + 1] = {};
        if (::DragQueryFileW(drop, i, path, kMaxDroppedPath + 1) == 0) {
            continue;
        }
        if (auto folder =
                DroppedFolder(std::u16string(path, path + ::wcslen(path)), m_bOleInitialised)) {
            DropFolder(*folder, at.x);
        }
    }
    ::DragFinish(drop);
}

void CJobList::DropFolder(const std::u16string& folder, int x) {
    const DropColumn column = DropColumnAt(x);
    const int cell = column == DropColumn::Base ? kBaseColumn : kTargetColumn;
    switch (pairing_.Drop(column)) {
        case DropPairing::Action::Ignore:
            return;
        case DropPairing::Action::StartPending: {
            EnvironmentFile file(context_.EnvironmentPath());
            const auto& table = file.Load();
            if (table.loadStatus != LoadStatus::Ok) {
                pairing_.Reset();
                ShowMessage(host_.hwnd(), context_.stores.language, file.LoadProblem());
                return;
            }
            JobRecord provisional;
            provisional.jobNumber = static_cast<std::uint32_t>(table.jobs.size() + 1);
            (column == DropColumn::Base ? provisional.basePath : provisional.targetPath) = folder;
            refilling_ = true;
            AddJobRow(static_cast<int>(table.jobs.size()), provisional);
            refilling_ = false;
            m_pendingRow = static_cast<int>(table.jobs.size());
            break;
        }
        case DropPairing::Action::CompletePair:
            if (m_pendingRow >= 0) {
                SetCellText(m_pendingRow, cell, folder);
            }
            break;
    }
    if (column == DropColumn::Base) {
        host_.SetBaseField(folder);
    } else {
        host_.SetTargetField(folder);
    }
    if (!pairing_.pendingBase() && !pairing_.pendingTarget()) {
        host_.RegisterFromFields();
    }
}

}  // namespace arkivo::ui
