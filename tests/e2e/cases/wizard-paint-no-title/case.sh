# The unpacked title picture gone while the wizard runs (every paint loads
# it again): the band shows no picture, its texts are still drawn, and a
# page's texts do not stay behind on the next page's band.
prepare() {
    needs stub kpack
    paint_setup
}

check() {
    expect_box_count 1
    expect_nothing_new_under 'C:\Program Files'
    expect_screenshots 2
}
