check() {
    expect_box 读取测试数据时发生错误!!! ok
    expect_box_count 1
    expect_no_file 'C:\夹具\标记.txt'
    expect_temp_clean
    expect_screenshots 1
}
