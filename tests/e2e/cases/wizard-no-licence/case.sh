# The licence page is skipped both ways; the exit question's Yes. As an
# English Windows (code page 1252): the Chinese texts, the path and the
# temporary names are converted with code page 936 all the same.
CASE_LOCALE=C.UTF-8

prepare() {
    needs stub kpack
    WIZARD_EDIT() { sed -i '/^licence *=/d' "$1/product.toml"; }
    wizard_setup
    define DEFAULT_DIR 'C:\Program Files\向导测试'
}

check() {
    expect_windows 安装程序 向导测试安装 退出询问
    expect_box_count 1
    expect_box_owner 你确实想退出安装程序吗？ 向导测试安装
    expect_nothing_new_under 'C:\Program Files'
    expect_temp_clean
    expect_screenshots 1
}
