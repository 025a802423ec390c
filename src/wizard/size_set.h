#pragma once
// The wizard's two size sets: one for displays of up to 96 dots per inch,
// a larger one for anything denser, so that pages, bands and check boxes
// keep their proportions to the system font.
#include <cstddef>

namespace kestrova {

constexpr int kNormalDpi = 96;

struct SizeSet {
    int pageWidth;             // page area
    int pageHeight;            // page area; bottom of the welcome panel
    int titleBandHeight;       // band at the top of pages 2 to 5
    int checkBoxHeight;        // the finish page's run check box
    int checkBoxBaseWidth;     // its width: base ...
    int checkBoxWidthPerByte;  // ... plus this for each byte of its caption
};

constexpr SizeSet kNormalSizes{548, 314, 64, 14, 18, 6};
constexpr SizeSet kLargeSizes{730, 392, 80, 18, 22, 8};

// True when dpi (screenDpi) asks for the larger set: anything above 96.
constexpr bool isLargeDpi(int dpi) {
    return dpi > kNormalDpi;
}

constexpr SizeSet sizeSetFor(int dpi) {
    return isLargeDpi(dpi) ? kLargeSizes : kNormalSizes;
}

// The run check box's width for a caption of captionBytes GBK bytes.
constexpr int checkBoxWidth(const SizeSet& sizes, std::size_t captionBytes) {
    return sizes.checkBoxBaseWidth + sizes.checkBoxWidthPerByte * static_cast<int>(captionBytes);
}

}  // namespace kestrova
