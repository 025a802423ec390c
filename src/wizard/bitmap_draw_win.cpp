#include "wizard/bitmap_draw_win.h"

#include "formats/bitmap.h"
#include "wizard/size_set.h"

namespace kestrova {
namespace {

// LOGPALETTE with room for the largest table a picture may carry.
struct PaletteRecord {
    WORD version;
    WORD count;
    PALETTEENTRY entries[kMaxBitmapColors];
};

// The system's logical palette for a picture; null when it needs none or
// the system cannot make one (the context's palette then stays as it is).
HPALETTE makePalette(const BitmapBlock& block) {
    BitmapPalette palette;
    if (!createBitmapPalette(block, &palette)) return nullptr;
    PaletteRecord record;
    record.version = 0x300;
    record.count = static_cast<WORD>(palette.count);
    for (int i = 0; i < palette.count; ++i) {
        const PaletteEntry& e = palette.entries[i];
        record.entries[i] = {e.red, e.green, e.blue, e.flags};
    }
    return CreatePalette(reinterpret_cast<const LOGPALETTE*>(&record));
}

}  // namespace

bool drawBitmapFile(Platform& platform, const char* path, HDC dc, int x, int y, int* width,
                    int* height) {
    HPALETTE palette = nullptr;
    {
        BitmapBlock block = loadBitmapFile(platform, path);
        if (!block) return false;
        palette = makePalette(block);
        const int w = block.width(), h = block.height();
        if (width) *width = w;
        if (height) *height = h;

        HPALETTE previous = nullptr;
        if (palette) {
            previous = SelectPalette(dc, palette, FALSE);  // foreground
            RealizePalette(dc);
        }
        // The block is laid out as a BITMAPINFO followed by its rows; the
        // loader has checked that all h rows of w pixels lie inside it.
        SetDIBitsToDevice(dc, x, y, w, h, 0, 0, 0, h, block.pixels(),
                          reinterpret_cast<const BITMAPINFO*>(block.data()), DIB_RGB_COLORS);
        if (previous) SelectPalette(dc, previous, TRUE);  // background
    }  // the block is released here, before the palette
    if (palette) DeleteObject(palette);
    return true;
}

int screenDpi() {
    HDC info = CreateICW(L"DISPLAY", nullptr, nullptr, nullptr);
    if (!info) return kNormalDpi;
    int dpi = GetDeviceCaps(info, LOGPIXELSY);
    DeleteDC(info);
    return dpi;
}

}  // namespace kestrova
