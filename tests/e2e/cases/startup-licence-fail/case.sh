# The licence file cannot be created: a folder stands at its name. The
# name holds the local time to the millisecond, so prepare puts a folder at
# every name of the next 20 seconds. The setup shows the path in a box
# with the caption 创建该文件时出错 and goes on: the pictures are unpacked
# and the splash shows.
prepare() {
    needs stub kpack
    built_setup
    put "$WORK/setup.exe" 'C:\setup.exe'
    define SETUP 'C:\setup.exe'
    # Last, so that the setup starts as soon as possible after it.
    block_temp_names Doc.htm 20
}

check() {
    local prefix text temp_win
    if ! prefix=$(temp_prefix "$WORK/at-box"); then
        check_failed "the script ~temp<time>.ini was not in the temporary folder while the box showed"
        return
    fi
    # The box's text is the licence file's full path, beside the script.
    temp_win="C:\\users\\$(id -un)\\Temp"
    expect_box "$temp_win\\${prefix}Doc.htm" ok
    expect_box_owner "$temp_win\\${prefix}Doc.htm" none
    expect_box_count 2
    [ -d "$TEMP_DIR/${prefix}Doc.htm" ] ||
        check_failed "${prefix}Doc.htm is not one of the folders made by prepare"
    # After the box the pictures were unpacked as usual.
    expect_same_bytes "$WORK/during/$prefix.ini" "$WORK/extracted/script.ini"
    expect_same_bytes "$WORK/during/${prefix}Wel.Bmp" "$WORK/extracted/welcome.bmp"
    expect_same_bytes "$WORK/during/${prefix}Soft.Bmp" "$WORK/extracted/splash.bmp"
    expect_same_bytes "$WORK/during/${prefix}Title.Bmp" "$WORK/extracted/title.bmp"
    expect_windows 安装程序 创建该文件时出错 "" 启动测试安装 退出询问
    expect_temp_clean
    expect_screenshots 1
}
