# The run ends early without its final count; see steps.
prepare() {
    needs stub kpack
    wizard_setup
    define READ_ERROR 读取安装文件时出错!
}

check() {
    expect_box_count 1
    expect_no_file 'C:\Program Files\向导测试\说明.txt'
    expect_temp_clean
}
