#include "layout/window_layout.h"

namespace kestrova {
namespace {

int larger(int a, int b) {
    return a > b ? a : b;
}

// A line of text centred on a control of height rowHeight whose top is
// rowTop (a label beside an edit or a list).
int besideTop(int rowTop, int rowHeight, int lineHeight) {
    return rowTop + (rowHeight - lineHeight) / 2;
}

// The height of a check box or a radio button: its mark or its text, and
// the padding around them.
int choiceHeight(const SizeSet& sizes, const FontMeasure& font) {
    return larger(font.lineHeight, font.checkMark) + 2 * sizes.padding;
}

int pageBodyHeight(const SizeSet& sizes) {
    return sizes.pageHeight - sizes.titleBandHeight;
}

}  // namespace

int editHeight(const FontMeasure& font) {
    return font.lineHeight * 3 / 2;
}

FrameLayout frameLayout(const SizeSet& sizes, const FontMeasure& font, int widestCaption) {
    FrameLayout f;
    const int width = sizes.pageWidth, band = sizes.titleBandHeight;
    f.welcomePage = {0, 0, width, sizes.pageHeight};
    f.bodyPage = {0, band, width, sizes.pageHeight - band};
    f.bandLine = {0, band - kEtchedLineHeight, width, kEtchedLineHeight};
    f.buttonLine = {0, sizes.pageHeight, width, kEtchedLineHeight};
    // Every button as wide as the widest caption needs, and never narrower
    // than the set says: the row looks the same whichever caption Next has.
    const int buttonWidth = larger(sizes.buttonWidth, widestCaption + 2 * sizes.padding);
    const int buttonHeight = larger(sizes.buttonHeight, font.lineHeight + 2 * sizes.padding);
    const int top = sizes.pageHeight + sizes.buttonRowTop;
    f.cancel = {width - sizes.buttonGap - buttonWidth, top, buttonWidth, buttonHeight};
    f.next = {f.cancel.left - sizes.buttonGap - buttonWidth, top, buttonWidth, buttonHeight};
    // Back and Next touch, as a pair that leads one way and the other.
    f.back = {f.next.left - buttonWidth, top, buttonWidth, buttonHeight};
    f.clientWidth = width;
    f.clientHeight = top + buttonHeight + sizes.buttonGap;
    return f;
}

LicenceLayout licenceLayout(const SizeSet& sizes, const FontMeasure& font) {
    LicenceLayout l;
    const int width = sizes.pageWidth - 2 * sizes.margin;
    const int choice = choiceHeight(sizes, font);
    l.decline = {sizes.margin, pageBodyHeight(sizes) - sizes.spacing - choice, width, choice};
    l.accept = {sizes.margin, l.decline.top - choice, width, choice};
    const int top = sizes.spacing;
    l.view = {sizes.margin, top, width, l.accept.top - sizes.spacing - top};
    return l;
}

FolderLayout folderLayout(const SizeSet& sizes, const FontMeasure& font, int comboHeight,
                          int driveLabelWidth, int pathLabelWidth) {
    FolderLayout l;
    const int m = sizes.margin, gap = sizes.spacing, line = font.lineHeight;
    const int inner = sizes.pageWidth - 2 * m;
    // Top: the drive list, half the page wide with its label.
    const int top = gap;
    l.driveLabel = {m, besideTop(top, comboHeight, line), driveLabelWidth, line};
    const int listLeft = l.driveLabel.right() + gap;
    // Dropped down, the list shows about eight drives.
    l.drives = {listLeft, top, larger(m + inner / 2 - listLeft, inner / 4), comboHeight + 8 * line};
    // Bottom: the install path with its label, the whole page wide.
    const int edit = editHeight(font);
    const int pathTop = pageBodyHeight(sizes) - gap - edit;
    l.pathLabel = {m, besideTop(pathTop, edit, line), pathLabelWidth, line};
    const int pathLeft = l.pathLabel.right() + gap;
    l.path = {pathLeft, pathTop, m + inner - pathLeft, edit};
    // Between them the space needed, one line above the path, and the tree
    // in whatever is left.
    l.requiredSpace = {m, pathTop - gap - line, inner, line};
    const int treeTop = top + comboHeight + gap;
    l.tree = {m, treeTop, inner, l.requiredSpace.top - gap - treeTop};
    return l;
}

ProgressLayout progressLayout(const SizeSet& sizes, const FontMeasure& font) {
    ProgressLayout l;
    const int width = sizes.pageWidth - 2 * sizes.margin;
    // A quarter down the page: the status line with room for a long path
    // on its second line, the bar right below.
    l.status = {sizes.margin, pageBodyHeight(sizes) / 4, width, 2 * font.lineHeight};
    l.bar = {sizes.margin, l.status.bottom() + sizes.spacing, width, font.lineHeight};
    return l;
}

Box runCheckBoxPlace(const SizeSet& sizes, int captionBytes, int captionWidth,
                     const FontMeasure& font, int pageWidth, int pageHeight) {
    Box b;
    b.width =
        larger(checkBoxWidth(sizes, captionBytes), captionWidth + font.checkMark + sizes.padding);
    b.height = larger(sizes.checkBoxHeight, larger(font.lineHeight, font.checkMark));
    b.left = (pageWidth - b.width) / 2;
    b.top = (pageHeight - b.height) / 2;
    return b;
}

StatusLayout statusLayout(const SizeSet& sizes, const FontMeasure& font, int iconSize,
                          int widestText, bool withBar) {
    StatusLayout l;
    const int m = sizes.margin, gap = sizes.spacing, line = font.lineHeight;
    l.icon = {m, m, iconSize, iconSize};
    const int textLeft = l.icon.right() + m;
    const int textWidth = larger(sizes.statusDialogWidth - textLeft - m, widestText);
    int top = m;
    for (Box& text : l.lines) {
        text = {textLeft, top, textWidth, line};
        top = text.bottom() + gap;
    }
    l.bar = withBar ? Box{textLeft, top, textWidth, line} : Box{textLeft, top, 0, 0};
    const int textBottom = withBar ? l.bar.bottom() : l.lines[kStatusLines - 1].bottom();
    l.clientWidth = textLeft + textWidth + m;
    l.clientHeight = larger(l.icon.bottom(), textBottom) + m;
    return l;
}

}  // namespace kestrova
