#include "folders/folder_icons_win.h"

#include "platform/win32/gdi.h"

namespace kestrova {

namespace {

// The folders are drawn on a grid of this many units a side, scaled to the
// icon size the system asks for.
constexpr int kGrid = 16;
constexpr COLORREF kTransparent = RGB(255, 0, 255);

// Draws one folder into a new size x size bitmap; open folders get a
// lighter front flap. Null on failure.
HBITMAP drawFolder(HDC screen, bool open, int size) {
    HDC dc = CreateCompatibleDC(screen);
    if (!dc) return nullptr;
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    auto at = [size](int units) { return units * size / kGrid; };
    if (bitmap) {
        win32::SelectedObject selected(dc, bitmap);
        win32::Brush background(CreateSolidBrush(kTransparent));
        win32::Brush body(CreateSolidBrush(RGB(224, 180, 64)));
        win32::Brush flap(CreateSolidBrush(open ? RGB(255, 236, 150) : RGB(250, 208, 96)));
        win32::Pen outline(CreatePen(PS_SOLID, at(1), RGB(150, 110, 20)));
        RECT all{0, 0, size, size};
        FillRect(dc, &all, background.get());
        win32::SelectedObject pen(dc, outline.get());
        {
            win32::SelectedObject brush(dc, body.get());
            Rectangle(dc, at(1), at(2), at(7), at(5));    // the tab
            Rectangle(dc, at(1), at(4), at(15), at(14));  // the back
        }
        win32::SelectedObject brush(dc, flap.get());
        if (open) {
            const POINT front[4] = {
                {at(3), at(7)}, {at(15), at(7)}, {at(13), at(14)}, {at(1), at(14)}};
            Polygon(dc, front, 4);
        } else {
            Rectangle(dc, at(1), at(6), at(15), at(14));
        }
    }
    DeleteDC(dc);
    return bitmap;
}

}  // namespace

HIMAGELIST makeOwnFolderIcons(int size) {
    if (size < kGrid) size = kGrid;
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 2, 0);
    if (!list) return nullptr;
    HDC screen = GetDC(nullptr);
    bool ok = screen != nullptr;
    for (int image = 0; ok && image < 2; ++image) {
        win32::GdiObject<HBITMAP> bitmap(drawFolder(screen, image == kOwnOpenFolderImage, size));
        ok = bitmap && ImageList_AddMasked(list, bitmap.get(), kTransparent) == image;
    }
    if (screen) ReleaseDC(nullptr, screen);
    if (ok) return list;
    ImageList_Destroy(list);
    return nullptr;
}

}  // namespace kestrova
