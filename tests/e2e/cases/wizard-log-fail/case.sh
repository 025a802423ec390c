# A folder stands where the directory log would be written.
prepare() {
    needs stub kpack
    wizard_setup
    mkdir -p "$(c_path 'C:\Program Files\向导测试\向导测试dir.ini')"
}

check() {
    expect_box_count 1
    expect_box_owner 安装程序出错，安装失败！ 向导测试安装
    expect_no_file 'C:\Program Files\向导测试\说明.txt'
    expect_no_reg 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\向导测试' UninstallString
    expect_temp_clean
}
