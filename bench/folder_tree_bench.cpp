// Expanding a folder of 10,000 sub-folders in the real tree control under
// Wine: the tree's own sort against a plain bubble sort of the same order,
// in one run, on a drive mapped to a folder made here. Prints figures; no
// pass or fail (the order's equality is printed too).
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bubble_sort_no_case.h"
#include "folders/name_list.h"
#include "mapped_drive_win.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"
#include "resources/resource_ids.h"
#include "state/setup_state.h"
#include "tree_items_win.h"
#include "wizard/folder_page_win.h"

using namespace kestrova;
using Clock = std::chrono::steady_clock;

namespace {

// KESTROVA_BENCH_FOLDERS may ask for fewer, for a quick look.
int folderCount() {
    const char* asked = std::getenv("KESTROVA_BENCH_FOLDERS");
    const int count = asked ? std::atoi(asked) : 0;
    return count > 0 ? count : 10000;
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Names in no order: mixed case, digits, some Chinese.
std::wstring folderName(int n) {
    static const wchar_t* const starts[] = {L"Data", L"apple", L"Zeta", L"_tmp", L"中文", L"build"};
    unsigned mixed = static_cast<unsigned>(n) * 2654435761u;
    return std::wstring(starts[mixed % 6]) + std::to_wstring(mixed % 100000) + L"-" +
           std::to_wstring(n);
}

// A user's expansion of item ('-' then '+' on it), timed.
double reexpand(HWND tree, HTREEITEM item) {
    TreeView_SelectItem(tree, item);
    SendMessageW(tree, WM_KEYDOWN, VK_SUBTRACT, 0);
    UpdateWindow(tree);
    Clock::time_point start = Clock::now();
    SendMessageW(tree, WM_KEYDOWN, VK_ADD, 0);
    UpdateWindow(tree);  // the repaint belongs to the expansion
    return secondsSince(start);
}

// The parts of one expansion, each on its own: reading the folder's names,
// sorting them both ways, and probing each sub-folder for sub-folders of
// its own, which the tree leaves until an item is drawn.
void printParts(const std::wstring& folder) {
    Clock::time_point start = Clock::now();
    NameList names;
    std::vector<std::wstring> wide;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"\\*.*").c_str(), &found);
    char name[600];
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileW(find, &found)) {
        if (found.cFileName[0] == L'.') continue;
        if (win32::toGbk(found.cFileName, -1, name, sizeof name)) names.add(name);
        wide.push_back(found.cFileName);
    }
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    const double read = secondsSince(start);
    std::vector<const char*> items, scratch(names.count());
    for (std::size_t i = 0; i < names.count(); ++i) items.push_back(names[i]);
    std::vector<const char*> bubbled(items);
    start = Clock::now();
    sortNoCase(items.data(), scratch.data(), items.size());
    const double merge = secondsSince(start);
    start = Clock::now();
    test::bubbleSortNoCase(bubbled.data(), nullptr, bubbled.size());
    const double bubble = secondsSince(start);
    start = Clock::now();
    for (const std::wstring& sub : wide) {
        HANDLE probe = FindFirstFileW((folder + L"\\" + sub + L"\\*.*").c_str(), &found);
        if (probe != INVALID_HANDLE_VALUE) FindClose(probe);
    }
    const double probe = secondsSince(start);
    std::printf("  parts: reading %.3f s, merge sort %.3f s, bubble sort %.3f s, probing %.3f s\n",
                read, merge, bubble, probe);
}

}  // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);  // figures as they come
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    test::MappedDrive drive;
    if (!drive.ok()) {
        std::fprintf(stderr, "folder tree bench: Wine's mount manager did not map a drive\n");
        return 1;
    }
    Clock::time_point start = Clock::now();
    const std::wstring big = drive.path(L"big");
    CreateDirectoryW(big.c_str(), nullptr);
    const int folders = folderCount();
    for (int n = 0; n < folders; ++n)
        CreateDirectoryW((big + L"\\" + folderName(n)).c_str(), nullptr);
    CreateDirectoryW((big + L"\\" + folderName(0) + L"\\inner").c_str(), nullptr);
    std::printf("folder tree: %d sub-folders made in %.2f s\n", folders, secondsSince(start));

    win32::Win32Platform platform;
    SetupState state;
    std::snprintf(state.installDir, sizeof state.installDir, "%c:\\Apps\\Viewer",
                  static_cast<char>(drive.letter()));
    WizardContext context{GetModuleHandleW(nullptr), platform, state, kNormalSizes,
                          MessageBoxPort(platform, nullptr)};
    FolderPage page(context);
    HWND frame = CreateWindowExW(0, L"STATIC", L"bench", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400,
                                 nullptr, nullptr, nullptr, nullptr);
    if (!page.create(context.instance, IDD_FOLDER, frame)) {
        std::fprintf(stderr, "folder tree bench: the folder page was not created (error %lu)\n",
                     GetLastError());
        return 1;
    }
    HWND tree = page.tree().control();
    HTREEITEM top = TreeView_GetRoot(tree);
    HTREEITEM folder = TreeView_GetChild(tree, top);
    if (!folder) {
        std::fprintf(stderr, "folder tree bench: the drive shows no folder\n");
        return 1;
    }

    // The page on the screen, so that each expansion's repaint is timed.
    ShowWindow(frame, SW_SHOW);
    ShowWindow(page.window(), SW_SHOW);
    UpdateWindow(frame);
    start = Clock::now();
    TreeView_Expand(tree, folder, TVE_EXPAND);  // the first expansion
    UpdateWindow(tree);
    const double first = secondsSince(start);
    const std::vector<std::wstring> merged = test::childTexts(tree, folder);
    const double again = reexpand(tree, folder);
    page.tree().setSort(test::bubbleSortNoCase);
    const double bubble = reexpand(tree, folder);
    const std::vector<std::wstring> bubbled = test::childTexts(tree, folder);

    std::printf(
        "folder tree: expanding %zu sub-folders (reading, sorting, inserting, repainting)\n",
        merged.size());
    std::printf("  merge sort   first %.3f s, again %.3f s\n", first, again);
    std::printf("  bubble sort  again %.3f s\n", bubble);
    printParts(big);
    std::printf("  same order: %s\n", merged == bubbled ? "yes" : "NO");
    DestroyWindow(frame);
    return merged == bubbled && merged.size() == static_cast<std::size_t>(folders) ? 0 : 1;
}
