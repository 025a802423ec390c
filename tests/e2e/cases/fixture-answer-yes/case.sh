# Yes writes the marker and the registry value and ends with exit code 10;
# the temporary file is gone afterwards.
check() {
    expect_file_text 'C:\夹具\标记.txt' '是\r\n'
    expect_reg 'HKCU\Software\KestrovaFixture' Answer 是
    expect_box 确实要写入标记文件吗？ yes
    expect_box_count 1
    expect_temp_clean
    expect_screenshots 2
}
