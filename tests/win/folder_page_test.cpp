// The folder page in the real controls under Wine: the drive list and the
// required-space line as the controls show them, and the tree on a drive
// mapped to a folder laid out here (order, expand buttons, reading again on
// every expansion, path selection, composed paths).
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "mapped_drive_win.h"
#include "platform/win32/win32_platform.h"
#include "resources/resource_ids.h"
#include "state/setup_state.h"
#include "tree_items_win.h"
#include "wizard/folder_page_win.h"

namespace kestrova {
namespace {

using test::childTexts;
using test::itemText;

std::wstring windowText(HWND window) {
    wchar_t text[600];
    GetWindowTextW(window, text, 600);
    return text;
}

HTREEITEM child(HWND tree, HTREEITEM item, const std::wstring& name) {
    for (HTREEITEM c = TreeView_GetChild(tree, item); c; c = TreeView_GetNextSibling(tree, c))
        if (itemText(tree, c) == name) return c;
    return nullptr;
}

// Whether the control shows an expand button on item.
bool hasButton(HWND tree, HTREEITEM item) {
    TVITEMW query{};
    query.mask = TVIF_CHILDREN;
    query.hItem = item;
    return SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query)) &&
           query.cChildren > 0;
}

// A user's key in the tree: '+' expands and '-' collapses the selected
// item, with the notifications a click on its button raises.
void pressKey(HWND tree, HTREEITEM item, UINT key) {
    TreeView_SelectItem(tree, item);
    SendMessageW(tree, WM_KEYDOWN, key, 0);
}

// The whole page, as the wizard creates it, inside a plain window.
struct PageHost {
    explicit PageHost(const char* installDir, uint32_t totalSizeKb) {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        std::snprintf(state.installDir, sizeof state.installDir, "%s", installDir);
        state.totalSizeKb = totalSizeKb;
        frame = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr,
                                nullptr, nullptr, nullptr);
        created = page.create(context.instance, IDD_FOLDER, frame);
    }
    ~PageHost() { DestroyWindow(frame); }
    HWND control(int id) const { return GetDlgItem(page.window(), id); }
    std::wstring path() const { return windowText(control(IDC_INSTALL_PATH)); }

    win32::Win32Platform platform;
    SetupState state;
    WizardContext context{GetModuleHandleW(nullptr), platform, state, kNormalSizes,
                          MessageBoxPort(platform, nullptr)};
    FolderPage page{context};
    HWND frame = nullptr;
    bool created = false;
};

TEST(FolderPage, OpensOnInstallDirWithDrivesAndRequiredSpace) {
    PageHost host("C:\\Program Files\\Tools\\Viewer", 1152);
    ASSERT_TRUE(host.created);
    EXPECT_EQ(L"C:\\Program Files\\Tools\\Viewer", host.path());
    EXPECT_STREQ("Tools\\Viewer", host.state.defaultFolderName);
    EXPECT_TRUE(host.state.underProgramFiles);
    EXPECT_EQ(L"安装此软件至少需要 1.13 MB 的磁盘空间！",
              windowText(host.control(IDC_REQUIRED_SPACE)));

    // One entry per fixed or removable drive but A:, with the whole disk's
    // free megabytes; C: is selected.
    HWND list = host.control(IDC_DRIVES);
    std::vector<std::wstring> expected;
    for (int n = 1; n < 26; ++n) {
        const wchar_t root[4] = {static_cast<wchar_t>(L'A' + n), L':', L'\\', 0};
        const UINT type = GetDriveTypeW(root);
        if ((GetLogicalDrives() & (1u << n)) && (type == DRIVE_FIXED || type == DRIVE_REMOVABLE))
            expected.push_back(std::wstring(L"磁盘") + root[0] + L"： ");
    }
    ASSERT_EQ(static_cast<LRESULT>(expected.size()), SendMessageW(list, CB_GETCOUNT, 0, 0));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        wchar_t entry[80];
        SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry));
        std::wstring text(entry);
        ASSERT_EQ(expected[i], text.substr(0, expected[i].size())) << i;
        ASSERT_EQ(L" MB 空间", text.substr(text.size() - 6));
        if (expected[i][2] != L'C') continue;
        EXPECT_EQ(static_cast<LRESULT>(i), SendMessageW(list, CB_GETCURSEL, 0, 0));
        ULARGE_INTEGER available, total, free;
        ASSERT_TRUE(GetDiskFreeSpaceExW(L"C:\\", &available, &total, &free));
        const long long shown = std::stoll(text.substr(expected[i].size()));
        const long long system = static_cast<long long>(free.QuadPart >> 20);
        // Other programs write meanwhile.
        EXPECT_LT(std::llabs(shown - system), 64) << shown << " against " << system;
    }

    // The tree shows C: with its folders, selected and expanded.
    HWND tree = host.control(IDC_FOLDER_TREE);
    HTREEITEM top = TreeView_GetRoot(tree);
    ASSERT_NE(nullptr, top);
    EXPECT_EQ(L"C:", itemText(tree, top));
    EXPECT_EQ(top, TreeView_GetSelection(tree));
    EXPECT_TRUE(TreeView_GetItemState(tree, top, TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_NE(nullptr, child(tree, top, L"windows"));
    EXPECT_NE(nullptr, TreeView_GetImageList(tree, TVSIL_NORMAL));
}

TEST(FolderPage, TreeOnAMappedDrive) {
    test::MappedDrive drive;
    ASSERT_TRUE(drive.ok()) << "Wine's mount manager did not map a drive";
    for (const wchar_t* name : {L"Zip", L"cherry", L"中文", L"_Temp", L"apple", L"Banana",
                                L"files only", L"hidden inside", L"hidden inside\\inner"})
        ASSERT_TRUE(CreateDirectoryW(drive.path(name).c_str(), nullptr)) << name;
    HANDLE file = CreateFileW(drive.path(L"files only\\a.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    // The only sub-folder is hidden: it still counts.
    SetFileAttributesW(drive.path(L"hidden inside\\inner").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(GetFileAttributesW(drive.path(L"hidden inside\\inner").c_str()) &
                FILE_ATTRIBUTE_HIDDEN);

    PageHost host("C:\\Program Files\\Tools\\Viewer", 0);
    ASSERT_TRUE(host.created);
    HWND list = host.control(IDC_DRIVES);
    HWND tree = host.control(IDC_FOLDER_TREE);
    const std::wstring prefix = std::wstring(L"磁盘") + drive.letter() + L"： ";
    LRESULT index = -1;
    for (LRESULT i = 0, n = SendMessageW(list, CB_GETCOUNT, 0, 0); i < n; ++i) {
        wchar_t entry[80];
        SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry));
        if (std::wstring(entry).rfind(prefix, 0) == 0) index = i;
    }
    ASSERT_NE(-1, index) << "the mapped drive is not listed";

    // Choosing the drive rebuilds the tree on it and resets the path.
    auto chooseDrive = [&] {
        SendMessageW(list, CB_SETCURSEL, index, 0);
        SendMessageW(host.page.window(), WM_COMMAND, MAKEWPARAM(IDC_DRIVES, CBN_SELENDOK),
                     reinterpret_cast<LPARAM>(list));
    };
    chooseDrive();
    const std::wstring programFiles = drive.root() + L"\\Program Files\\Tools\\Viewer";
    EXPECT_EQ(programFiles, host.path());
    HTREEITEM top = TreeView_GetRoot(tree);
    ASSERT_NE(nullptr, top);
    EXPECT_EQ(drive.root(), itemText(tree, top));
    EXPECT_EQ(nullptr, TreeView_GetNextSibling(tree, top));
    EXPECT_EQ(top, TreeView_GetSelection(tree));
    EXPECT_EQ((std::vector<std::wstring>{L"_Temp", L"apple", L"Banana", L"cherry", L"files only",
                                         L"hidden inside", L"Zip", L"中文"}),
              childTexts(tree, top));
    // Expand buttons where there are sub-folders, hidden ones too; no level
    // below is read before it is expanded.
    EXPECT_FALSE(hasButton(tree, child(tree, top, L"files only")));
    HTREEITEM hidden = child(tree, top, L"hidden inside");
    EXPECT_TRUE(hasButton(tree, hidden));
    EXPECT_TRUE(childTexts(tree, hidden).empty());

    // Selecting a folder composes the path below it; a Chinese name too.
    TreeView_SelectItem(tree, child(tree, top, L"中文"));
    EXPECT_EQ(drive.path(L"中文\\Tools\\Viewer"), host.path());
    TreeView_SelectItem(tree, hidden);
    EXPECT_EQ(drive.path(L"hidden inside\\Tools\\Viewer"), host.path());

    // Expanding reads the folder; collapsing and expanding again shows a
    // folder made in between.
    pressKey(tree, hidden, VK_ADD);
    EXPECT_EQ((std::vector<std::wstring>{L"inner"}), childTexts(tree, hidden));
    pressKey(tree, hidden, VK_SUBTRACT);
    EXPECT_TRUE(childTexts(tree, hidden).empty());
    EXPECT_TRUE(hasButton(tree, hidden));
    ASSERT_TRUE(CreateDirectoryW(drive.path(L"hidden inside\\Added").c_str(), nullptr));
    pressKey(tree, hidden, VK_ADD);
    EXPECT_EQ((std::vector<std::wstring>{L"Added", L"inner"}), childTexts(tree, hidden));
    char path[300];
    ASSERT_TRUE(host.page.tree().pathOfItem(child(tree, hidden, L"Added"), path, sizeof path));
    const std::string expectedPath =
        std::string(1, static_cast<char>(drive.letter())) + ":\\hidden inside\\Added";
    EXPECT_EQ(expectedPath, path);

    // A missing folder: false, the selection stays.
    const std::string root(1, static_cast<char>(drive.letter()));
    EXPECT_FALSE(host.page.tree().selectPath((root + ":\\Missing").c_str()));
    EXPECT_EQ(hidden, TreeView_GetSelection(tree));
    EXPECT_EQ(drive.path(L"hidden inside\\Tools\\Viewer"), host.path());

    // The same drive chosen again: the tree is rebuilt, the path reset.
    chooseDrive();
    EXPECT_EQ(programFiles, host.path());
    EXPECT_EQ(TreeView_GetRoot(tree), TreeView_GetSelection(tree));
    // Matching ignores the case of ASCII letters.
    host.page.tree().showDrive((root + ":").c_str());
    ASSERT_TRUE(host.page.tree().selectPath((root + ":\\HIDDEN INSIDE\\inner").c_str()));
    EXPECT_EQ(drive.path(L"hidden inside\\inner\\Tools\\Viewer"), host.path());

    // A folder that lost its only sub-folder after its button was shown is
    // not expanded and loses the button.
    ASSERT_TRUE(CreateDirectoryW(drive.path(L"apple\\gone").c_str(), nullptr));
    HTREEITEM apple = child(tree, TreeView_GetRoot(tree), L"apple");
    EXPECT_TRUE(hasButton(tree, apple));
    ASSERT_TRUE(RemoveDirectoryW(drive.path(L"apple\\gone").c_str()));
    pressKey(tree, apple, VK_ADD);
    EXPECT_TRUE(childTexts(tree, apple).empty());
    EXPECT_FALSE(hasButton(tree, apple));
    EXPECT_FALSE(TreeView_GetItemState(tree, apple, TVIS_EXPANDED) & TVIS_EXPANDED);
}

}  // namespace
}  // namespace kestrova
