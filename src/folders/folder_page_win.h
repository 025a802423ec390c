#pragma once
// Page 3: the install folder. Edit 1008 holds the candidate path, which
// the wizard checks when Next is pressed.
#include <cstddef>

#include "wizard/wizard_page_win.h"

namespace kestrova {

class FolderPage : public WizardPage {
  public:
    explicit FolderPage(WizardContext& context) : WizardPage(context, kFolderPage) {}

    // The text of edit 1008 as GBK in path (capacity bytes). False, path
    // empty, when it does not fit or cannot be held in GBK.
    bool typedPath(char* path, std::size_t capacity) const;

  protected:
    BOOL onInit() override;
};

}  // namespace kestrova
