#include "layout/size_set.h"

namespace kestrova {
namespace {

TextPlace scaledPlace(const SizeSet& sizes, TextPlace place) {
    return {sizes.scaled(place.x), sizes.scaled(place.y)};
}

}  // namespace

SizeSet sizeSetFor(int dpi) {
    if (dpi <= kNormalDpi) return kNormalSizes;
    if (dpi <= kLargeDpi) return kLargeSizes;
    SizeSet s = kLargeSizes;
    s.scaleNumerator = dpi;
    s.scaleDenominator = kLargeDpi;
    int* const fields[] = {
        &s.pageWidth,    &s.pageHeight,        &s.titleBandHeight, &s.welcomeWidth, &s.buttonWidth,
        &s.buttonHeight, &s.buttonGap,         &s.buttonRowTop,    &s.margin,       &s.spacing,
        &s.padding,      &s.statusDialogWidth, &s.checkBoxHeight};
    for (int* field : fields) *field = s.scaled(*field);
    s.title = scaledPlace(s, s.title);
    s.subtitle = scaledPlace(s, s.subtitle);
    s.heading = scaledPlace(s, s.heading);
    s.welcomeLine1 = scaledPlace(s, s.welcomeLine1);
    s.welcomeLine2 = scaledPlace(s, s.welcomeLine2);
    return s;
}

int checkBoxWidth(const SizeSet& sizes, int captionBytes) {
    return sizes.scaled(sizes.checkBoxBaseWidth + sizes.checkBoxWidthPerByte * captionBytes);
}

Box splashPlace(const SizeSet& sizes, int width, int height, int screenWidth, int screenHeight) {
    int w = width, h = height;
    // A picture larger than the screen already is shown as the given sets
    // show it: as it is.
    if (sizes.picturesStretched() && width <= screenWidth && height <= screenHeight) {
        w = sizes.scaled(width);
        h = sizes.scaled(height);
        // One that would outgrow the screen takes the largest size that
        // fits, in its own proportions, never less than its own.
        if (w > screenWidth) {
            h = static_cast<int>(static_cast<long long>(h) * screenWidth / w);
            w = screenWidth;
        }
        if (h > screenHeight) {
            w = static_cast<int>(static_cast<long long>(w) * screenHeight / h);
            h = screenHeight;
        }
        if (w < width || h < height) w = width, h = height;
    }
    return {(screenWidth - w) / 2, (screenHeight - h) / 2, w, h};
}

}  // namespace kestrova
