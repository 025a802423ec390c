check() {
    expect_no_file 'C:\夹具\标记.txt'
    expect_no_reg 'HKCU\Software\KestrovaFixture' Answer
    expect_box_count 0
    expect_temp_clean
}
