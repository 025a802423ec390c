# A user whose folders GBK cannot name (a Korean user name): the temporary
# folder and the desktop are C:\users\김철수\..., which the setup reaches by
# their short (8.3) names. It installs as for anyone else: the temporary
# files are made there and removed, and the desktop shortcut is made.

prepare() {
    needs stub kpack
    wizard_setup
    local home='C:\users\김철수'
    TEMP_DIR=$(c_path "$home\\Temp")
    mkdir -p "$TEMP_DIR" "$(c_path "$home\\Desktop")"
    local name
    for name in TEMP TMP; do
        wine reg add 'HKCU\Environment' /v "$name" /t REG_SZ /d "$home\\Temp" /f </dev/null
    done
    wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\User Shell Folders' \
        /v Desktop /t REG_SZ /d "$home\\Desktop" /f </dev/null
    wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\Shell Folders' \
        /v Desktop /t REG_SZ /d "$home\\Desktop" /f </dev/null
}

check() {
    expect_wizard_install 'C:\Program Files\向导测试'
    [ -f "$(c_path 'C:\users\김철수\Desktop\向导测试说明.lnk')" ] ||
        check_failed "no desktop shortcut in the Korean user's desktop"
    expect_driver_output '4 files of C:\users\김철수\Temp\: '
    expect_temp_clean
    expect_box_count 0
}
