# A 300 x 200 splash picture: the splash window takes the picture's size,
# stands in the middle of the 1024 x 768 screen, stays about five seconds
# and ignores Enter, Esc and the close box.
prepare() {
    needs stub kpack
    product_from startup "$WORK/product"
    make_picture "$WORK/product/pictures/splash.bmp" 300 200 三百乘二百
    build_setup "$WORK/product/product.toml" "$WORK/setup.exe"
    put "$WORK/setup.exe" 'C:\setup.exe'
    define SETUP 'C:\setup.exe'
}

check() {
    expect_windows 安装程序 "" 启动测试安装 退出询问
    expect_box_count 1
    expect_temp_clean
    expect_screenshots 1
}
