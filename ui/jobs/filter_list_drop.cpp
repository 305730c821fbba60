// Files and folders dropped on a filter list's pattern column become patterns: their full
// paths, or for a shortcut the path it points to.

#include "platform/file_system.h"
#include "platform/shell_link.h"
#include "ui/jobs/filter_list.h"

namespace arkivo::ui {
namespace {

constexpr UINT kMaxDroppedPath = 260;
constexpr DWORD kDropFiles = 1;
constexpr DWORD kDropFolders = 2;

}  // namespace

void CFilterList::OnDropFiles(HDROP drop) {
    POINT at{};
    ::DragQueryPoint(drop, &at);
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count && m_jobNumber >= 1; ++i) {
        wchar_t dropped[kMaxDroppedPath + 1] = {};
        if (::DragQueryFileW(drop, i, dropped, kMaxDroppedPath + 1) == 0) {
            continue;
        }
        std::u16string path(dropped, dropped + ::wcslen(dropped));
        // A shortcut that cannot be read stays what was dropped.
        if (m_oleSession.started() && platform::IsShellLink(path)) {
            if (auto target = platform::ResolveShellLink(path); target && !target->empty()) {
                path = target->u16string();
            }
        }
        if (!Accepts(path) || !IsOnPatternColumn(at.x)) {
            continue;
        }
        // After a refusal (a full list) the rest of the drop would be refused alike.
        if (!Add(path)) {
            break;
        }
    }
    ::DragFinish(drop);
}

bool CFilterList::Accepts(const std::u16string& path) const {
    platform::FileInfo info;
    if (platform::GetFileInfo(path, info)) {
        return false;
    }
    return (m_dropFlags & (info.IsFolder() ? kDropFolders : kDropFiles)) != 0;
}

}  // namespace arkivo::ui
