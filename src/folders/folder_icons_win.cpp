#include "folders/folder_icons_win.h"

#include "platform/win32/gdi.h"

namespace kestrova {

namespace {

constexpr int kIconSize = 16;
constexpr COLORREF kTransparent = RGB(255, 0, 255);

// Draws one folder into a new bitmap; open folders get a lighter front
// flap. Null on failure.
HBITMAP drawFolder(HDC screen, bool open) {
    HDC dc = CreateCompatibleDC(screen);
    if (!dc) return nullptr;
    HBITMAP bitmap = CreateCompatibleBitmap(screen, kIconSize, kIconSize);
    if (bitmap) {
        win32::SelectedObject selected(dc, bitmap);
        win32::Brush background(CreateSolidBrush(kTransparent));
        win32::Brush body(CreateSolidBrush(RGB(224, 180, 64)));
        win32::Brush flap(CreateSolidBrush(open ? RGB(255, 236, 150) : RGB(250, 208, 96)));
        win32::Pen outline(CreatePen(PS_SOLID, 1, RGB(150, 110, 20)));
        RECT all{0, 0, kIconSize, kIconSize};
        FillRect(dc, &all, background.get());
        win32::SelectedObject pen(dc, outline.get());
        {
            win32::SelectedObject brush(dc, body.get());
            Rectangle(dc, 1, 2, 7, 5);    // the tab
            Rectangle(dc, 1, 4, 15, 14);  // the back
        }
        win32::SelectedObject brush(dc, flap.get());
        if (open) {
            const POINT front[4] = {{3, 7}, {15, 7}, {13, 14}, {1, 14}};
            Polygon(dc, front, 4);
        } else {
            Rectangle(dc, 1, 6, 15, 14);
        }
    }
    DeleteDC(dc);
    return bitmap;
}

}  // namespace

HIMAGELIST makeOwnFolderIcons() {
    HIMAGELIST list = ImageList_Create(kIconSize, kIconSize, ILC_COLOR24 | ILC_MASK, 2, 0);
    if (!list) return nullptr;
    HDC screen = GetDC(nullptr);
    bool ok = screen != nullptr;
    for (int image = 0; ok && image < 2; ++image) {
        win32::GdiObject<HBITMAP> bitmap(drawFolder(screen, image == kOwnOpenFolderImage));
        ok = bitmap && ImageList_AddMasked(list, bitmap.get(), kTransparent) == image;
    }
    if (screen) ReleaseDC(nullptr, screen);
    if (ok) return list;
    ImageList_Destroy(list);
    return nullptr;
}

}  // namespace kestrova
