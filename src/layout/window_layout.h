#pragma once
// Where the controls of the setup's windows go, in pixels: the size set
// gives the page and window sizes, margins and gaps, and what the window
// measured of its font (the height of a line, the widths of fixed texts)
// gives the controls' heights and the labels' widths. So the controls fit
// whatever font the system gives the dialogs, a substitute taller than the
// template's font included, and stay inside pages whose sizes are fixed.
#include "layout/size_set.h"

namespace kestrova {

// An etched line (the band's and the button row's) is two pixels, a dark
// one and a light one, at every density.
constexpr int kEtchedLineHeight = 2;

// What a window measured of its dialog font: the height of one line of
// text and the side of a check box's or radio button's mark.
struct FontMeasure {
    int lineHeight;
    int checkMark;
};

// The height of a single-line edit for a font: the classic proportion of
// an edit field to its text (12 dialog units to 8), borders included.
int editHeight(const FontMeasure& font);

// The wizard window: its client area, the page area (the welcome page
// covering the band, pages 2 to 5 below it), the two etched lines and the
// buttons in a row below the page area. widestCaption is the widest of the
// buttons' captions (Finish's included) in the window's font.
struct FrameLayout {
    int clientWidth, clientHeight;
    Box welcomePage, bodyPage;
    Box bandLine, buttonLine;
    Box back, next, cancel;
};
FrameLayout frameLayout(const SizeSet& sizes, const FontMeasure& font, int widestCaption);

// The licence page (a bodyPage): the document above, then the accept and
// decline choices.
struct LicenceLayout {
    Box view, accept, decline;
};
LicenceLayout licenceLayout(const SizeSet& sizes, const FontMeasure& font);

// The folder page (a bodyPage): the drive list with its label, the folder
// tree, the line with the space needed, the install path with its label.
// comboHeight is the drive list's height when closed (the control sets it
// from its font); drives is its height with the list dropped down.
struct FolderLayout {
    Box driveLabel, drives, tree, requiredSpace, pathLabel, path;
};
FolderLayout folderLayout(const SizeSet& sizes, const FontMeasure& font, int comboHeight,
                          int driveLabelWidth, int pathLabelWidth);

// The progress page (a bodyPage): the status line (two lines of text) and
// the bar below it.
struct ProgressLayout {
    Box status, bar;
};
ProgressLayout progressLayout(const SizeSet& sizes, const FontMeasure& font);

// The finish page's run check box, centred in a page of pageWidth x
// pageHeight: the set's size for a caption of captionBytes bytes, made
// larger where the caption (captionWidth pixels wide in the box's font),
// its mark and the gap between them need more, or the font a higher box.
Box runCheckBoxPlace(const SizeSet& sizes, int captionBytes, int captionWidth,
                     const FontMeasure& font, int pageWidth, int pageHeight);

// The small windows that show what is going on (the extraction dialog, the
// uninstaller's progress window): an icon at the left, lines of text to its
// right, one below the other, and a progress bar below them when withBar.
// widestText is the widest of the texts that must show whole; the window
// is the size set's width, or wider where that text needs it.
constexpr int kStatusLines = 2;
struct StatusLayout {
    int clientWidth, clientHeight;
    Box icon;
    Box lines[kStatusLines];
    Box bar;  // empty without a bar
};
StatusLayout statusLayout(const SizeSet& sizes, const FontMeasure& font, int iconSize,
                          int widestText, bool withBar);

}  // namespace kestrova
