#pragma once
// Page 3: the install folder. A drive list with free space (1006), the
// folder tree of one drive (1003), the space the product needs (1007) and
// edit 1008, which holds the candidate path that the wizard checks when Next
// is pressed. Whatever folder is picked, the tail of the default folder is
// appended to it, so the product lands in a folder of its own.
#include <cstddef>

#include "folders/folder_paths.h"
#include "folders/folder_tree_win.h"
#include "wizard/wizard_page_win.h"

namespace kestrova {

class FolderPage : public WizardPage {
  public:
    explicit FolderPage(WizardContext& context) : WizardPage(context, kFolderPage) {}

    // The text of edit 1008 as GBK in path (capacity bytes). False, path
    // empty, when it does not fit or cannot be held in GBK.
    bool typedPath(char* path, std::size_t capacity) const;

    FolderTree& tree() { return tree_; }

  protected:
    // Expands installDir, derives the default folder's tail, lists the
    // drives, and opens the tree on installDir's drive, selected.
    BOOL onInit() override;
    // A drive chosen in the list (CBN_SELENDOK) rebuilds the tree.
    bool onCommand(int id, int code) override;
    // The tree's expansions go back to the tree; its selection composes
    // the install path.
    bool onNotify(const NMHDR& header, LRESULT* result) override;

  private:
    // Places the controls in pixels of the size set, sized for the font.
    void placeControls();
    void listDrives();
    void showDriveOf(char letter);
    void changeDrive();
    void composeInstallPath();
    void setText(int id, const char* text);

    FolderTree tree_;
    char programFiles_[kProgramFilesSize] = {};  // "[Program Files]" expanded
};

}  // namespace kestrova
