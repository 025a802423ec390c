# The wizard's pictures, panel, band and texts on every page at 96 dots
# per inch: the first size set, a page area of 548 x 314 and a band of 64.
STEPS=$E2E_LIB/../steps/wizard-paint

prepare() {
    needs stub kpack
    paint_setup
    define PAGE_W 548
    define PANEL_W 384
    define PANEL_EDGE 528
    define PANEL_BOTTOM 314
    define PANEL_EDGE_H 234
    define PANEL_LAST 308
    define MARGIN_X 542
    define BODY_H 250
    define BAND_H 64
}

check() {
    expect_box_count 0
    expect_screenshots 5
    expect_file 'C:\Program Files\向导测试\说明.txt'
}
