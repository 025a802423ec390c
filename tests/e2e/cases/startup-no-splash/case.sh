# A package whose splash record is empty: no splash window, and (until the
# wizard follows the extraction) the program ends right after extracting.
prepare() {
    needs stub kpack
    product_from startup "$WORK/product"
    without_splash "$WORK/product"
    build_setup "$WORK/product/product.toml" "$WORK/setup.exe"
    put "$WORK/setup.exe" 'C:\setup.exe'
    define SETUP 'C:\setup.exe'
}

check() {
    expect_windows 安装程序 启动测试安装 退出询问
    expect_box_count 1
    expect_temp_clean
}
