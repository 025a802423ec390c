// The bitmap reader, on the bytes of any file: a loaded block keeps the
// loader's promises (bitmap.h), which the drawing code relies on without
// checking again; its palette can always be made.
#include "formats/bitmap.h"

using namespace kestrova;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    BitmapBlock block = loadBitmapBytes(data, size);
    if (block) {
        const uint64_t pixelsEnd =
            kInfoHeaderSize + 4ull * block.colorsUsed() + uint64_t(block.imageSize());
        if (block.headerSize() != kInfoHeaderSize || block.width() <= 0 || block.height() <= 0 ||
            block.colorsUsed() > kMaxBitmapColors || pixelsEnd > block.size())
            __builtin_trap();
        if (block.compression() == kBitmapRgb &&
            uint64_t(block.imageSize()) < uint64_t(block.rowBytes()) * uint64_t(block.height()))
            __builtin_trap();
        // Every byte the drawing code may read is inside the block.
        volatile uint8_t sink = 0;
        if (block.imageSize()) sink = block.pixels()[block.imageSize() - 1];
        (void)sink;
    }
    BitmapPalette palette;
    createBitmapPalette(block, &palette);
    return 0;
}
