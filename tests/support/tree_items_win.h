#pragma once
// The texts of a tree control's items as the control holds them, for the
// folder tree's test and benchmark.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <string>
#include <vector>

namespace kestrova::test {

inline std::wstring itemText(HWND tree, HTREEITEM item) {
    wchar_t text[300] = {};
    TVITEMW query{};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.pszText = text;
    query.cchTextMax = 300;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&query));
    return text;
}

// The texts of item's children, in the control's order.
inline std::vector<std::wstring> childTexts(HWND tree, HTREEITEM item) {
    std::vector<std::wstring> texts;
    for (HTREEITEM c = TreeView_GetChild(tree, item); c; c = TreeView_GetNextSibling(tree, c))
        texts.push_back(itemText(tree, c));
    return texts;
}

}  // namespace kestrova::test
