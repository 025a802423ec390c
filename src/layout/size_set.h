#pragma once
// How big each part of the setup's windows is at a display density: the
// one place every window asks. Two size sets are given, one for displays of
// up to 96 dots per inch and a larger one for 120; they keep pages, bands
// and check boxes in proportion to the system font. A denser display takes
// the 120 set scaled by dpi / 120, so that the wizard looks there as it does
// at 120, only larger, and the font (which grows with the density) still
// fits. The pictures are drawn unscaled with the two given sets, and
// stretched into their scaled places above 120.
namespace kestrova {

constexpr int kNormalDpi = 96;
constexpr int kLargeDpi = 120;

// A rectangle in pixels: a control's place in its window's client area.
struct Box {
    int left, top, width, height;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
};

// Where a text drawn by the wizard starts (its top left corner).
struct TextPlace {
    int x, y;
};

struct SizeSet {
    int pageWidth;              // page area
    int pageHeight;             // page area; bottom of the welcome panel
    int titleBandHeight;        // band at the top of pages 2 to 5
    int welcomeWidth;           // the welcome picture's column; the panel starts at its right
    int buttonWidth;            // Back, Next and Cancel: at least this wide ...
    int buttonHeight;           // ... and this high
    int buttonGap;              // between Next and Cancel, and right of Cancel
    int buttonRowTop;           // from the page area's bottom to the buttons' tops
    int margin;                 // between a page's or a dialog's edge and its controls
    int spacing;                // between neighbouring controls
    int padding;                // inside a control, around its text
    int statusDialogWidth;      // the extraction and uninstall windows' client width, at least
    TextPlace title, subtitle;  // the band's two texts
    TextPlace heading, welcomeLine1, welcomeLine2;  // the welcome page's three lines

    // The finish page's run check box: height, and the width for a caption
    // of so many bytes as the two given sets have it, unscaled (checkBoxWidth
    // scales the whole width, not its parts).
    int checkBoxHeight;
    int checkBoxBaseWidth;
    int checkBoxWidthPerByte;

    // dpi / 120 above 120 dots per inch; 1 / 1 for the two given sets.
    int scaleNumerator;
    int scaleDenominator;

    // pixels of the 120 set at this set's scale, rounded to the nearest.
    int scaled(int pixels) const {
        return (pixels * scaleNumerator * 2 + scaleDenominator) / (scaleDenominator * 2);
    }
    // True above 120 dots per inch: pictures are stretched to fill their
    // places. The given sets draw them unscaled, whatever place is left over.
    bool picturesStretched() const { return scaleNumerator != scaleDenominator; }
    // The welcome picture's place: its column, the page area's full height.
    Box welcomePicture() const { return {0, 0, welcomeWidth, pageHeight}; }
    // The title picture's place: the band.
    Box titlePicture() const { return {0, 0, pageWidth, titleBandHeight}; }
};

constexpr SizeSet kNormalSizes{
    548,       314,       64,        164,  // page area, band, welcome column
    75,        23,        11,        13,   // buttons: width, height, gap, row top
    12,        6,         4,         400,  // margin, spacing, padding, status windows
    {16, 16},  {16, 36},                   // title, subtitle
    {180, 16}, {175, 40}, {175, 58},       // welcome heading and lines
    14,        18,        6,               // run check box
    1,         1};
constexpr SizeSet kLargeSizes{
    730,       392,       80,        164,  // page area, band, welcome column
    99,        30,        14,        17,   // buttons: width, height, gap, row top
    16,        8,         5,         500,  // margin, spacing, padding, status windows
    {16, 16},  {16, 36},                   // title, subtitle
    {180, 16}, {175, 40}, {175, 58},       // welcome heading and lines
    18,        22,        8,               // run check box
    1,         1};

// The size set for a display of dpi dots per inch: the normal set up to 96,
// the large one up to 120, and above that the large one scaled by dpi / 120.
SizeSet sizeSetFor(int dpi);

// The run check box's width for a caption of captionBytes GBK bytes.
int checkBoxWidth(const SizeSet& sizes, int captionBytes);

// The splash window's size for a picture of width x height on a screen of
// screenWidth x screenHeight: the picture's own size with the given sets;
// above 120 the picture scaled as the set is, but never beyond the screen
// (keeping its proportions) nor below its own size.
Box splashPlace(const SizeSet& sizes, int width, int height, int screenWidth, int screenHeight);

}  // namespace kestrova
