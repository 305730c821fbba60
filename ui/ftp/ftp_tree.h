// The tree of an FTP server's folders in the FTP location dialog. Every shown folder has its
// own sub-folders under it, so that it shows an expand button when there is something to
// expand; expanding a folder lists it again from the server, collapsing it forgets what was
// under it but keeps its button.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "engine/remote_folders.h"
#include "ui/ftp/ftp_worker.h"

namespace arkivo::ui {

class CFtpTree {
  public:
    // failed is told, on the user-interface thread, why a listing failed.
    CFtpTree(CFtpWorker& worker, std::function<void(std::error_code)> failed);
    ~CFtpTree();
    CFtpTree(const CFtpTree&) = delete;
    CFtpTree& operator=(const CFtpTree&) = delete;

    void Attach(HWND tree);
    HWND hwnd() const { return tree_; }

    // Lists the server's top folders into the tree, in place of what it showed; done is told
    // whether that worked, on the user-interface thread. False when another listing runs.
    bool ShowServerFolders(std::function<void(std::error_code)> done);
    // Lists the item's folder again, its sub-folders replacing its children, and expands it.
    // False when another listing runs.
    bool ListSubfolders(HTREEITEM item);
    // Puts the level's folders under the item (TVI_ROOT for the top), each with its own
    // sub-folders under it, in place of the item's children.
    void FillLevel(HTREEITEM item, const engine::FolderLevel& level);
    // The item's remote path ("/b/a"); "/" for none.
    std::u16string GetItemPath(HTREEITEM item) const;
    // The item with this chain of names from the top; null when the tree has none.
    HTREEITEM FindItem(const std::vector<std::u16string>& names) const;

    // What the dialog hands on of the tree's notifications.
    LRESULT OnItemExpanding(const NMTREEVIEWW& change);
    void OnItemExpanded(const NMTREEVIEWW& change);

  private:
    std::vector<std::u16string> NamesOf(HTREEITEM item) const;
    std::u16string Name(HTREEITEM item) const;
    HTREEITEM Insert(HTREEITEM parent, const std::u16string& name);
    void DeleteChildren(HTREEITEM item);

    CFtpWorker& worker_;
    std::function<void(std::error_code)> failed_;
    HWND tree_ = nullptr;
    HIMAGELIST images_ = nullptr;
    // The item being expanded by the tree itself once its new children are in.
    HTREEITEM expanding_ = nullptr;
};

}  // namespace arkivo::ui
