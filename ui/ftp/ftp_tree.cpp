#include "ui/ftp/ftp_tree.h"

#include "ui/framework/dialog.h"
#include "ui/framework/window_text.h"
#include "ui/resource.h"

namespace arkivo::ui {
namespace {

constexpr int kImageSize = 16;
constexpr COLORREF kTransparent = RGB(255, 0, 255);
constexpr int kFolderImage = 0;
constexpr int kLongestName = 1024;

}  // namespace

CFtpTree::CFtpTree(CFtpWorker& worker, std::function<void(std::error_code)> failed)
    : worker_(worker), failed_(std::move(failed)) {}

CFtpTree::~CFtpTree() {
    if (images_ != nullptr) {
        ::ImageList_Destroy(images_);
    }
}

void CFtpTree::Attach(HWND tree) {
    tree_ = tree;
    images_ = ::ImageList_LoadImageW(ModuleInstance(), MAKEINTRESOURCEW(IDB_FTP_FOLDER), kImageSize,
                                     1, kTransparent, IMAGE_BITMAP, LR_CREATEDIBSECTION);
    TreeView_SetImageList(tree_, images_, TVSIL_NORMAL);
}

bool CFtpTree::ShowServerFolders(std::function<void(std::error_code)> done) {
    return worker_.Run([this, done](platform::FtpConnection& connection) -> CFtpWorker::Then {
        engine::FolderLevel level;
        const auto error = engine::ListFolderLevel(connection, u"/", level);
        return [this, done, error, level = std::move(level)] {
            if (!error) {
                FillLevel(TVI_ROOT, level);
            }
            done(error);
        };
    });
}

bool CFtpTree::ListSubfolders(HTREEITEM item) {
    const auto names = NamesOf(item);
    return worker_.Run([this, names](platform::FtpConnection& connection) -> CFtpWorker::Then {
        engine::FolderLevel level;
        const auto error = engine::ListFolderLevel(connection, engine::RemotePath(names), level);
        return [this, names, error, level = std::move(level)] {
            if (error) {
                failed_(error);
                return;
            }
            // The item may have gone while the server answered: its parent collapsed.
            const HTREEITEM item = FindItem(names);
            if (item == nullptr) {
                return;
            }
            FillLevel(item, level);
            expanding_ = item;
            TreeView_Expand(tree_, item, TVE_EXPAND);
            expanding_ = nullptr;
        };
    });
}

void CFtpTree::FillLevel(HTREEITEM item, const engine::FolderLevel& level) {
    ::SendMessageW(tree_, WM_SETREDRAW, FALSE, 0);
    if (item == TVI_ROOT) {
        TreeView_DeleteAllItems(tree_);
    } else {
        DeleteChildren(item);
    }
    for (std::size_t i = 0; i < level.names.size(); ++i) {
        const HTREEITEM child = Insert(item, level.names[i]);
        for (const auto& inside : level.subfolders[i]) {
            Insert(child, inside);
        }
    }
    ::SendMessageW(tree_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(tree_, nullptr, TRUE);
}

std::u16string CFtpTree::GetItemPath(HTREEITEM item) const {
    return engine::RemotePath(NamesOf(item));
}

HTREEITEM CFtpTree::FindItem(const std::vector<std::u16string>& names) const {
    HTREEITEM parent = TVI_ROOT;
    for (const auto& name : names) {
        HTREEITEM child =
            parent == TVI_ROOT ? TreeView_GetRoot(tree_) : TreeView_GetChild(tree_, parent);
        while (child != nullptr && Name(child) != name) {
            child = TreeView_GetNextSibling(tree_, child);
        }
        if (child == nullptr) {
            return nullptr;
        }
        parent = child;
    }
    return parent == TVI_ROOT ? nullptr : parent;
}

LRESULT CFtpTree::OnItemExpanding(const NMTREEVIEWW& change) {
    if (change.action != TVE_EXPAND || change.itemNew.hItem == expanding_) {
        return FALSE;
    }
    // Shown once the server has told what the folder holds now.
    ListSubfolders(change.itemNew.hItem);
    return TRUE;
}

void CFtpTree::OnItemExpanded(const NMTREEVIEWW& change) {
    if (change.action != TVE_COLLAPSE) {
        return;
    }
    const HTREEITEM item = change.itemNew.hItem;
    if (TreeView_GetChild(tree_, item) == nullptr) {
        return;
    }
    DeleteChildren(item);
    // An empty child, so that the folder keeps its button until it is listed again.
    Insert(item, u"");
}

std::vector<std::u16string> CFtpTree::NamesOf(HTREEITEM item) const {
    std::vector<std::u16string> names;
    for (; item != nullptr && item != TVI_ROOT; item = TreeView_GetParent(tree_, item)) {
        names.insert(names.begin(), Name(item));
    }
    return names;
}

std::u16string CFtpTree::Name(HTREEITEM item) const {
    wchar_t text[kLongestName] = {};
    TVITEMW data{};
    data.mask = TVIF_TEXT | TVIF_HANDLE;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = kLongestName;
    TreeView_GetItem(tree_, &data);
    return std::u16string(text, text + ::wcslen(text));
}

HTREEITEM CFtpTree::Insert(HTREEITEM parent, const std::u16string& name) {
    std::wstring text = Wide(name);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = text.data();
    insert.item.iImage = kFolderImage;
    insert.item.iSelectedImage = kFolderImage;
    return TreeView_InsertItem(tree_, &insert);
}

void CFtpTree::DeleteChildren(HTREEITEM item) {
    while (HTREEITEM child = TreeView_GetChild(tree_, item)) {
        TreeView_DeleteItem(tree_, child);
    }
}

}  // namespace arkivo::ui
