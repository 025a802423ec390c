#include "folders/folder_tree_win.h"

#include <shellapi.h>

#include <cstring>

#include "folders/folder_icons_win.h"
#include "folders/folder_paths.h"
#include "folders/name_list.h"
#include "platform/win32/error_mode.h"
#include "platform/win32/wide.h"
#include "state/bounded_text.h"
#include "state/setup_state.h"

namespace kestrova {

using win32::Wide;

// Suspends the control's redrawing while a level is inserted or a path is
// walked; nested pauses resume it once, at the end of the outermost, so the
// control repaints once.
class RedrawPause {
  public:
    explicit RedrawPause(FolderTree& tree) : tree_(tree) {
        if (tree_.redrawPauses_++ == 0) SendMessageW(tree_.control_, WM_SETREDRAW, FALSE, 0);
    }
    RedrawPause(const RedrawPause&) = delete;
    RedrawPause& operator=(const RedrawPause&) = delete;
    ~RedrawPause() {
        if (--tree_.redrawPauses_ == 0) {
            SendMessageW(tree_.control_, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(tree_.control_, nullptr, TRUE);
        }
    }

  private:
    FolderTree& tree_;
};

namespace {

// The wait cursor for one scope.
class WaitCursor {
  public:
    // IDC_WAIT (32514); the macro is the ANSI form in this build.
    WaitCursor() : previous_(SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32514)))) {}
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    ~WaitCursor() { SetCursor(previous_); }

  private:
    HCURSOR previous_;
};

// Walks the sub-folders of a folder (hidden and system ones included, "."
// and ".." left out), by their UTF-16 names.
class SubFolders {
  public:
    explicit SubFolders(const char* folder) {
        char pattern[kTextSize];
        if (joinText(pattern, sizeof pattern, folder, endsWithSeparator(folder) ? "" : "\\",
                     "*.*")) {
            Wide wide(pattern);
            if (wide.ok()) find_ = FindFirstFileW(wide, &found_);
        }
        if (find_ != INVALID_HANDLE_VALUE && !isSubFolder()) advance();
    }
    SubFolders(const SubFolders&) = delete;
    SubFolders& operator=(const SubFolders&) = delete;
    ~SubFolders() {
        if (find_ != INVALID_HANDLE_VALUE) FindClose(find_);
    }

    // The current sub-folder's name, or null when there are no more.
    const wchar_t* name() const {
        return find_ != INVALID_HANDLE_VALUE ? found_.cFileName : nullptr;
    }
    void advance() {
        while (FindNextFileW(find_, &found_))
            if (isSubFolder()) return;
        FindClose(find_);
        find_ = INVALID_HANDLE_VALUE;
    }

  private:
    bool isSubFolder() const {
        const wchar_t* n = found_.cFileName;
        if (!(found_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
        return !(n[0] == L'.' && (n[1] == 0 || (n[1] == L'.' && n[2] == 0)));
    }

    HANDLE find_ = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW found_;
};

// Whether the folder has at least one sub-folder: the probe stops at the
// first.
bool hasSubFolders(const char* path) {
    return SubFolders(path).name() != nullptr;
}

}  // namespace

FolderTree::~FolderTree() {
    if (control_ && IsWindow(control_)) TreeView_SetImageList(control_, nullptr, TVSIL_NORMAL);
    if (ownIcons_) ImageList_Destroy(ownIcons_);
}

bool FolderTree::attachImageList() {
    if (TreeView_GetImageList(control_, TVSIL_NORMAL))
        TreeView_SetImageList(control_, nullptr, TVSIL_NORMAL);
    SHFILEINFOW info{};
    systemIcons_ = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    if (systemIcons_) {
        TreeView_SetImageList(control_, systemIcons_, TVSIL_NORMAL);
        // Every folder gets the shell's plain folder icons, asked once by
        // attributes alone: asking the shell about each folder reads it
        // (tens of milliseconds each under Wine), which would freeze the
        // page on a folder of thousands of entries.
        if (SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                           SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_USEFILEATTRIBUTES)) {
            folderImage_ = info.iIcon;
            if (SHGetFileInfoW(L"folder", FILE_ATTRIBUTE_DIRECTORY, &info, sizeof info,
                               SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_OPENICON |
                                   SHGFI_USEFILEATTRIBUTES)) {
                openFolderImage_ = info.iIcon;
                return true;
            }
        }
        systemIcons_ = nullptr;
    }
    // Without the shell's list the tree still works, with its own folders.
    if (!ownIcons_) ownIcons_ = makeOwnFolderIcons(GetSystemMetrics(SM_CXSMICON));
    if (!ownIcons_) return false;
    TreeView_SetImageList(control_, ownIcons_, TVSIL_NORMAL);
    folderImage_ = kOwnFolderImage;
    openFolderImage_ = kOwnOpenFolderImage;
    return true;
}

bool FolderTree::showDrive(const char* root) {
    // A removable drive chosen without its medium shows an empty tree, not
    // the system's box.
    win32::QuietDriveErrors quiet;
    const LONG_PTR style = GetWindowLongPtrW(control_, GWL_STYLE);
    if (style & TVS_EDITLABELS) SetWindowLongPtrW(control_, GWL_STYLE, style & ~TVS_EDITLABELS);
    TreeView_DeleteAllItems(control_);
    if (!attachImageList()) return false;
    char rootPath[kTextSize];
    if (!joinText(rootPath, sizeof rootPath, root, endsWithSeparator(root) ? "" : "\\"))
        return true;
    HTREEITEM top = addFolderItem(TVI_ROOT, rootPath);
    if (top) fillFolder(top, root);
    return true;
}

HTREEITEM FolderTree::addFolderItem(HTREEITEM parent, const char* path) {
    char shellPath[kTextSize];
    if (!joinText(shellPath, sizeof shellPath, path, endsWithSeparator(path) ? "" : "\\"))
        return nullptr;
    Wide widePath(shellPath);
    if (!widePath.ok()) return nullptr;
    // A folder found on the disk gets the plain folder's icons; a root its
    // drive's own, and a root the shell does not know is left out.
    int image = folderImage_, selectedImage = openFolderImage_;
    if (parent == TVI_ROOT && systemIcons_) {
        SHFILEINFOW info{};
        if (!SHGetFileInfoW(widePath, 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
            return nullptr;
        image = info.iIcon;
        if (!SHGetFileInfoW(widePath, 0, &info, sizeof info,
                            SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_OPENICON))
            return nullptr;
        selectedImage = info.iIcon;
    } else if (parent == TVI_ROOT && GetFileAttributesW(widePath) == INVALID_FILE_ATTRIBUTES) {
        return nullptr;
    }
    // The text: the whole root ("D:") at the top level, else the folder's
    // own name, after the path's last separator.
    shellPath[std::strlen(shellPath) - 1] = '\0';
    const char* text = parent == TVI_ROOT ? shellPath : lastPathComponent(shellPath);
    Wide wideText(text);
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
    insert.item.pszText = const_cast<wchar_t*>(wideText.get());
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    // The control asks (TVN_GETDISPINFO) when it first needs to know.
    insert.item.cChildren = I_CHILDRENCALLBACK;
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(control_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

void FolderTree::setChildren(HTREEITEM item, int children) {
    TVITEMW change{};
    change.mask = TVIF_CHILDREN;
    change.hItem = item;
    change.cChildren = children;
    SendMessageW(control_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&change));
}

void FolderTree::fillFolder(HTREEITEM item, const char* folder) {
    NameList names;
    char name[kTextSize];
    for (SubFolders found(folder); found.name(); found.advance()) {
        // A name GBK cannot hold cannot be part of an install path.
        if (win32::toGbk(found.name(), -1, name, sizeof name)) names.add(name);
    }
    names.sort(sort_);
    const char* separator = endsWithSeparator(folder) ? "" : "\\";
    RedrawPause pause(*this);
    WaitCursor wait;
    char path[kTextSize];
    for (std::size_t i = 0; i < names.count(); ++i)
        if (joinText(path, sizeof path, folder, separator, names[i])) addFolderItem(item, path);
}

void FolderTree::deleteChildren(HTREEITEM item) {
    while (HTREEITEM child = TreeView_GetChild(control_, item))
        TreeView_DeleteItem(control_, child);
}

LRESULT FolderTree::onItemExpanding(const NMTREEVIEWW& notification) {
    HTREEITEM item = notification.itemNew.hItem;
    if (!item || !(notification.action & TVE_EXPAND)) return 0;
    // Every expansion reads the disk again; a folder found empty now is not
    // expanded and loses its button.
    RedrawPause pause(*this);
    deleteChildren(item);
    char path[kTextSize];
    if (pathOfItem(item, path, sizeof path)) fillFolder(item, path);
    if (!TreeView_GetChild(control_, item)) setChildren(item, 0);
    return 0;
}

void FolderTree::onItemExpanded(const NMTREEVIEWW& notification) {
    HTREEITEM item = notification.itemNew.hItem;
    if (!item || (TreeView_GetItemState(control_, item, TVIS_EXPANDED) & TVIS_EXPANDED)) return;
    RedrawPause pause(*this);
    deleteChildren(item);
    setChildren(item, I_CHILDRENCALLBACK);
}

void FolderTree::onGetDispInfo(NMTVDISPINFOW& notification) const {
    TVITEMW& item = notification.item;
    if (!(item.mask & TVIF_CHILDREN)) return;
    // Children in the tree answer at once; otherwise the probe stops at
    // the folder's first sub-folder.
    char path[kTextSize];
    const bool children = TreeView_GetChild(control_, item.hItem) != nullptr ||
                          (pathOfItem(item.hItem, path, sizeof path) && hasSubFolders(path));
    item.cChildren = children ? 1 : 0;
    item.mask |= TVIF_DI_SETITEM;
}

bool FolderTree::itemText(HTREEITEM item, char* text, std::size_t capacity) const {
    wchar_t wide[kTextSize];
    TVITEMW query{};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = wide;
    query.cchTextMax = kTextSize;
    if (!SendMessageW(control_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query))) return false;
    return win32::toGbk(wide, -1, text, capacity);
}

bool FolderTree::pathOfItem(HTREEITEM item, char* path, std::size_t capacity) const {
    if (!capacity) return false;
    path[0] = '\0';
    char part[kTextSize];
    for (HTREEITEM at = item; at; at = TreeView_GetParent(control_, at)) {
        if (!itemText(at, part, sizeof part) || !prependPathPart(path, capacity, part)) {
            path[0] = '\0';
            return false;
        }
    }
    return path[0] != '\0';
}

HTREEITEM FolderTree::findChildByName(HTREEITEM parent, const char* name) const {
    char text[kTextSize];
    HTREEITEM child = parent ? TreeView_GetChild(control_, parent) : TreeView_GetRoot(control_);
    for (; child; child = TreeView_GetNextSibling(control_, child)) {
        if (!itemText(child, text, sizeof text)) continue;
        upperAsciiLetters(text);
        if (std::strcmp(text, name) == 0) return child;
    }
    return nullptr;
}

bool FolderTree::selectPath(const char* path) {
    char wanted[kTextSize];
    if (!copyText(wanted, sizeof wanted, path)) return false;
    upperAsciiLetters(wanted);
    RedrawPause pause(*this);
    HTREEITEM parent = nullptr, found = nullptr;
    const char* cursor = wanted;
    char component[kTextSize];
    while (nextPathComponent(&cursor, component, sizeof component)) {
        found = findChildByName(parent, component);
        if (!found) return false;
        // The first expansion of an item raises TVN_ITEMEXPANDING inside
        // this call: the item then holds its freshly read sub-folders.
        TreeView_Expand(control_, found, TVE_EXPAND);
        parent = found;
    }
    if (!found) return false;
    TreeView_SelectItem(control_, found);
    return true;
}

}  // namespace kestrova
