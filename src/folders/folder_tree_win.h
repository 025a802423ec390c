#pragma once
// FolderTree: the tree control of the folder page, showing the folders of
// one drive. Folders are read one level at a time, when they are expanded,
// and again at every expansion, so the tree shows what the disk holds; it
// lists folders only, never files. Icons are the system's small shell icons,
// or icons of its own where the shell cannot give them.
//
// Whether a folder gets an expand button is asked of the disk only when
// the control needs to know (the folder is drawn, or expanded): a level of
// thousands of folders is inserted without looking into each of them.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstddef>

#include "folders/sort_no_case.h"

namespace kestrova {

class FolderTree {
  public:
    FolderTree() = default;
    FolderTree(const FolderTree&) = delete;
    FolderTree& operator=(const FolderTree&) = delete;
    // Detaches the system image list (never destroyed: the system shares
    // it) and destroys the tree's own one.
    ~FolderTree();

    // Takes over the tree control (its parent hands expansion notifications
    // to onItemExpanded).
    void attach(HWND control) { control_ = control; }
    HWND control() const { return control_; }

    // Clears the tree and shows root ("D:") as its only top-level item, with
    // its sub-folders, collapsed. False, tree empty, when no image list can
    // be had; a root the shell does not know leaves the tree empty.
    bool showDrive(const char* root);
    // Expands every component of path from the top level down, each freshly
    // read, and selects the last. False, selection unchanged, when a
    // component is not found. Letters match without case.
    bool selectPath(const char* path);
    // The full path of item without a trailing '\' ("D:", "D:\Apps\Data")
    // into path. False, path empty, for no item or when it does not fit.
    bool pathOfItem(HTREEITEM item, char* path, std::size_t capacity) const;
    HTREEITEM selectedItem() const { return TreeView_GetSelection(control_); }

    // TVN_ITEMEXPANDING for the control: a folder about to be expanded is
    // read again (it is not expanded when it turns out to have no
    // sub-folders). Returns the notification's result: 0, go on.
    LRESULT onItemExpanding(const NMTREEVIEWW& notification);
    // TVN_ITEMEXPANDED for the control: a collapsed folder is emptied, so
    // that its next expansion reads it again.
    void onItemExpanded(const NMTREEVIEWW& notification);
    // TVN_GETDISPINFO for the control: whether an item has sub-folders,
    // kept by the control until the item is emptied again.
    void onGetDispInfo(NMTVDISPINFOW& notification) const;

    // The sort of each level (a benchmark compares sorts in the real
    // control).
    void setSort(NameSort sort) { sort_ = sort; }

  private:
    bool attachImageList();
    HTREEITEM addFolderItem(HTREEITEM parent, const char* path);
    void fillFolder(HTREEITEM item, const char* folder);
    HTREEITEM findChildByName(HTREEITEM parent, const char* name) const;
    void deleteChildren(HTREEITEM item);
    // The item's expand button: 1 or 0, or I_CHILDRENCALLBACK to have the
    // control ask again when it next needs to know.
    void setChildren(HTREEITEM item, int children);
    bool itemText(HTREEITEM item, char* text, std::size_t capacity) const;

    HWND control_ = nullptr;
    HIMAGELIST systemIcons_ = nullptr;  // the shell's: shared, never destroyed
    HIMAGELIST ownIcons_ = nullptr;     // drawn here when the shell gives none
    // The generic folder's images, asked once per image list.
    int folderImage_ = 0, openFolderImage_ = 0;
    int redrawPauses_ = 0;
    NameSort sort_ = sortNoCase;

    friend class RedrawPause;
};

}  // namespace kestrova
