#include "wizard/bitmap_draw_win.h"

#include "formats/bitmap.h"

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

// Draws the loaded picture into dest of dc, its palette realised: unscaled
// when dest has the picture's size, else stretched with halftoning.
void drawBlock(const BitmapBlock& block, HDC dc, const Box& dest) {
    HPALETTE palette = makePalette(block);
    HPALETTE previous = nullptr;
    if (palette) {
        previous = SelectPalette(dc, palette, FALSE);  // foreground
        RealizePalette(dc);
    }
    // The block is laid out as a BITMAPINFO followed by its rows; the
    // loader has checked that all h rows of w pixels lie inside it.
    const int w = block.width(), h = block.height();
    const auto* info = reinterpret_cast<const BITMAPINFO*>(block.data());
    if (dest.width == w && dest.height == h) {
        SetDIBitsToDevice(dc, dest.left, dest.top, w, h, 0, 0, 0, h, block.pixels(), info,
                          DIB_RGB_COLORS);
    } else {
        const int previousMode = SetStretchBltMode(dc, HALFTONE);
        POINT previousOrigin;
        SetBrushOrgEx(dc, 0, 0, &previousOrigin);  // as halftoning asks
        StretchDIBits(dc, dest.left, dest.top, dest.width, dest.height, 0, 0, w, h, block.pixels(),
                      info, DIB_RGB_COLORS, SRCCOPY);
        SetBrushOrgEx(dc, previousOrigin.x, previousOrigin.y, nullptr);
        SetStretchBltMode(dc, previousMode);
    }
    if (previous) SelectPalette(dc, previous, TRUE);  // background
    if (palette) DeleteObject(palette);
}

}  // namespace

bool drawBitmapFile(Platform& platform, const char* path, HDC dc, int x, int y, int* width,
                    int* height) {
    BitmapBlock block = loadBitmapFile(platform, path);
    if (!block) return false;
    if (width) *width = block.width();
    if (height) *height = block.height();
    drawBlock(block, dc, {x, y, block.width(), block.height()});
    return true;
}

bool drawPicture(Platform& platform, const char* path, HDC dc, const SizeSet& sizes,
                 const Box& place) {
    BitmapBlock block = loadBitmapFile(platform, path);
    if (!block) return false;
    drawBlock(block, dc,
              sizes.picturesStretched()
                  ? place
                  : Box{place.left, place.top, block.width(), block.height()});
    return true;
}

}  // namespace kestrova
