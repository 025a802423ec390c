# No is recorded as such and gives exit code 20.
prepare() {
    put "$FIXTURE" 'C:\测试 程序\夹具.exe'
    define APP 'C:\测试 程序\夹具.exe'
}

check() {
    expect_file_text 'C:\夹具\标记.txt' '否\r\n'
    expect_reg 'HKCU\Software\KestrovaFixture' Answer 否
    expect_box 确实要写入标记文件吗？ no
    expect_temp_clean
}
