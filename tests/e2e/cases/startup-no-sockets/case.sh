# Windows Sockets cannot be started (Wine leaves wsock32.dll out): the
# sockets message, and the program ends without a dialog or a file.
CASE_DLL_OVERRIDES=wsock32=

prepare() {
    needs stub kpack
    built_setup
    put "$WORK/setup.exe" 'C:\setup.exe'
    define SETUP 'C:\setup.exe'
}

check() {
    expect_box "无法启动 Windows 网络组件，安装程序不能运行。" ok
    expect_box_owner "无法启动 Windows 网络组件，安装程序不能运行。" none
    expect_box_count 1
    expect_windows 错误
    expect_temp_clean
    expect_screenshots 1
}
