#include "folders/folder_page_win.h"

#include "platform/win32/wide.h"
#include "resources/resource_ids.h"

namespace kestrova {

BOOL FolderPage::onInit() {
    win32::Wide path(state().installDir, win32::Conversion::Lenient);
    SetDlgItemTextW(window(), IDC_INSTALL_PATH, path);
    return TRUE;
}

bool FolderPage::typedPath(char* path, std::size_t capacity) const {
    wchar_t text[kTextSize];
    GetDlgItemTextW(window(), IDC_INSTALL_PATH, text, kTextSize);
    return win32::toGbk(text, -1, path, capacity);
}

}  // namespace kestrova
