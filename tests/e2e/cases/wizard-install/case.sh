# The whole install through the wizard; see steps.
prepare() {
    needs stub kpack
    wizard_setup
    define DEFAULT_DIR 'C:\Program Files\向导测试'
    define TOO_SHORT 'C:\'
    define DOUBLE_SLASH 'C:\\A'
    define MIXED_SLASH 'C:\/A'
    define NO_DRIVE 'CC:\A'
    define TRAILING 'C:\Program Files\向导测试\'
}

check() {
    expect_wizard_install 'C:\Program Files\向导测试'
    expect_file 'C:\run-marker.txt'
    expect_temp_clean
    expect_box_count 7
    expect_box 你所输入的安装路径长度不够，请重新输入! ok
    expect_box_owner 你所选择的安装路径错误，请重新输入! 向导测试安装
    expect_nothing_new_under 'C:\A'
    expect_screenshots 4
}
