# The same product at 120 dots per inch: the second size set, a page area
# of 730 x 392 and a band of 80. The pictures keep their size; the panel
# reaches the wider page's edge and down to 392, the texts stay in place.
STEPS=$E2E_LIB/../steps/wizard-paint

prepare() {
    needs stub kpack
    screen_dpi 120
    paint_setup
    define PAGE_W 730
    define PANEL_W 566
    define PANEL_EDGE 710
    define PANEL_BOTTOM 392
    define PANEL_EDGE_H 312
    define PANEL_LAST 386
    define MARGIN_X 724
    define BODY_H 312
    define BAND_H 80
}

check() {
    expect_box_count 0
    expect_screenshots 5
    expect_file 'C:\Program Files\向导测试\说明.txt'
}
