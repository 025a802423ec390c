# Cancel during the install answered No; see steps.
prepare() {
    needs stub kpack
    WIZARD_EDIT() { many_files "$1"; }
    wizard_setup
}

check() {
    expect_wizard_install 'C:\Program Files\向导测试'
    local copied
    copied=$(find "$(c_path 'C:\Program Files\向导测试\批量')" -type f | wc -l)
    [ "$copied" -eq 600 ] || check_failed "$copied of 600 files were installed"
    expect_no_file 'C:\run-marker.txt'
    expect_box_count 1
    expect_box_owner 你确实想退出安装程序吗？ 向导测试安装
    expect_temp_clean
}
