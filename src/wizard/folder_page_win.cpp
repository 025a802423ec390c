#include "wizard/folder_page_win.h"

#include "engine/path_macros.h"
#include "folders/drive_survey.h"
#include "layout/window_layout.h"
#include "platform/win32/wide.h"
#include "platform/win32/window_metrics.h"
#include "resources/resource_ids.h"
#include "state/bounded_text.h"
#include "wizard/installed_folder.h"

namespace kestrova {

namespace {

char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

void FolderPage::setText(int id, const char* text) {
    SetDlgItemTextW(window(), id, win32::Wide(text, win32::Conversion::Lenient));
}

BOOL FolderPage::onInit() {
    SetupState& setup = state();
    Platform& platform = context_.platform;
    placeControls();
    tree_.attach(item(IDC_FOLDER_TREE));
    expandPathMacros(platform, context_.user, setup, setup.installDir);
    setText(IDC_INSTALL_PATH, setup.installDir);

    // A Program Files folder the system cannot name stays a macro, which
    // no path lies in.
    copyText(programFiles_, sizeof programFiles_, "[Program Files]");
    expandPathMacros(platform, context_.user, setup, programFiles_);
    if (programFiles_[0] == '[') programFiles_[0] = '\0';
    bool underProgramFiles = false;
    deriveDefaultFolderName(setup.installDir, programFiles_, setup.defaultFolderName,
                            sizeof setup.defaultFolderName, &underProgramFiles);
    setup.underProgramFiles = underProgramFiles;
    // After the default's folder name is taken: a folder picked in the tree
    // still gets the product's name, only the proposal is the installed copy.
    const bool installed = proposeInstalledFolder(platform, setup);

    listDrives();
    char line[kTextSize];
    if (requiredSpaceLine(setup.totalSizeKb, line, sizeof line)) setText(IDC_REQUIRED_SPACE, line);
    // The tree shows installDir's drive even when the list has no entry
    // for it; its selection composes edit 1008 anew.
    showDriveOf(upperAscii(setup.installDir[0]));
    // Selecting the drive composed its default path into the edit.
    if (installed) setText(IDC_INSTALL_PATH, setup.installDir);
    return TRUE;
}

void FolderPage::placeControls() {
    RECT list;
    GetWindowRect(item(IDC_DRIVES), &list);  // closed: the control sizes it by its font
    const FontMeasure font{win32::lineHeightOf(window()), win32::checkMarkSize()};
    const FolderLayout layout = folderLayout(context_.sizes, font, list.bottom - list.top,
                                             win32::ownTextWidth(item(IDC_DRIVES_LABEL)),
                                             win32::ownTextWidth(item(IDC_PATH_LABEL)));
    placeControl(IDC_DRIVES_LABEL, layout.driveLabel);
    placeControl(IDC_DRIVES, layout.drives);
    placeControl(IDC_FOLDER_TREE, layout.tree);
    placeControl(IDC_REQUIRED_SPACE, layout.requiredSpace);
    placeControl(IDC_PATH_LABEL, layout.pathLabel);
    placeControl(IDC_INSTALL_PATH, layout.path);
}

void FolderPage::listDrives() {
    SurveyedDrive drives[kMaxDrives];
    const std::size_t count = surveyDrives(context_.platform, drives, kMaxDrives);
    const char installDrive = upperAscii(state().installDir[0]);
    HWND list = item(IDC_DRIVES);
    char entry[64];
    for (std::size_t i = 0; i < count; ++i) {
        if (!driveEntryText(drives[i].letter, drives[i].freeMegabytes, entry, sizeof entry))
            continue;
        const LRESULT index =
            SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::Wide(entry).get()));
        if (index >= 0 && drives[i].letter == installDrive)
            SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

void FolderPage::showDriveOf(char letter) {
    if (letter < 'A' || letter > 'Z') return;
    const char drive[3] = {letter, ':', '\0'};
    tree_.showDrive(drive);
    tree_.selectPath(drive);
}

void FolderPage::changeDrive() {
    HWND list = item(IDC_DRIVES);
    const LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) return;
    wchar_t wide[64];
    const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0 || length >= static_cast<LRESULT>(sizeof wide / sizeof *wide)) return;
    SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(wide));
    char entry[64];
    if (!win32::toGbk(wide, -1, entry, sizeof entry)) return;
    // Rebuilt even for the drive already shown: whatever was picked or
    // typed is replaced by that drive's composed path.
    showDriveOf(driveLetterOfEntry(entry));
}

void FolderPage::composeInstallPath() {
    char selected[kTextSize];
    if (!tree_.pathOfItem(tree_.selectedItem(), selected, sizeof selected)) return;
    char path[kComposedPathSize];
    // A path that would not fit leaves the edit as it was.
    if (kestrova::composeInstallPath(selected, state().defaultFolderName, state().underProgramFiles,
                                     programFiles_, path, sizeof path))
        setText(IDC_INSTALL_PATH, path);
}

bool FolderPage::onCommand(int id, int code) {
    if (id == IDC_DRIVES) {
        if (code == CBN_SELENDOK) changeDrive();
        return true;
    }
    return WizardPage::onCommand(id, code);
}

bool FolderPage::onNotify(const NMHDR& header, LRESULT* result) {
    if (header.idFrom != IDC_FOLDER_TREE) return false;
    // The ANSI forms have the same layout up to the fields read here.
    switch (header.code) {
        case TVN_ITEMEXPANDINGW:
        case TVN_ITEMEXPANDINGA:
            *result = tree_.onItemExpanding(reinterpret_cast<const NMTREEVIEWW&>(header));
            return true;
        case TVN_GETDISPINFOW:
        case TVN_GETDISPINFOA:
            tree_.onGetDispInfo(reinterpret_cast<NMTVDISPINFOW&>(const_cast<NMHDR&>(header)));
            break;
        case TVN_ITEMEXPANDEDW:
        case TVN_ITEMEXPANDEDA:
            tree_.onItemExpanded(reinterpret_cast<const NMTREEVIEWW&>(header));
            break;
        case TVN_SELCHANGEDW:
        case TVN_SELCHANGEDA:
            composeInstallPath();
            break;
        default:
            return false;
    }
    *result = 0;
    return true;
}

bool FolderPage::typedPath(char* path, std::size_t capacity) const {
    wchar_t text[kTextSize];
    GetDlgItemTextW(window(), IDC_INSTALL_PATH, text, kTextSize);
    return win32::toGbk(text, -1, path, capacity);
}

}  // namespace kestrova
