# A good package: while the splash shows, the temporary folder holds the
# script, the licence and the three pictures exactly as kpack extract gives
# them, under one time-stamped prefix; they are gone when the program ends.
prepare() {
    needs stub kpack
    built_setup
    date +%Y%-m%-d >"$WORK/date"
    # From a folder with Chinese characters and a blank: the program finds
    # its own file by that name.
    put "$WORK/setup.exe" 'C:\下载 文件\启动测试安装.exe'
    define SETUP 'C:\下载 文件\启动测试安装.exe'
}

check() {
    local during=$WORK/during prefix stamp
    if ! prefix=$(temp_prefix "$during"); then
        check_failed "no ~temp<time>.ini among the files copied during the splash: $(ls "$during" 2>/dev/null | tr '\n' ' ')"
    else
        stamp=${prefix#\~temp}
        # The time stamp starts with the year, month and day, unpadded.
        [[ $stamp == "$(cat "$WORK/date")"* || $stamp == "$(date +%Y%-m%-d)"* ]] ||
            check_failed "time stamp $stamp does not start with today's date $(cat "$WORK/date")"
        expect_same_bytes "$during/$prefix.ini" "$WORK/extracted/script.ini"
        expect_same_bytes "$during/${prefix}Doc.htm" "$WORK/extracted/licence.htm"
        expect_same_bytes "$during/${prefix}Wel.Bmp" "$WORK/extracted/welcome.bmp"
        expect_same_bytes "$during/${prefix}Soft.Bmp" "$WORK/extracted/splash.bmp"
        expect_same_bytes "$during/${prefix}Title.Bmp" "$WORK/extracted/title.bmp"
        # And kpack's licence is the manifest's file, byte for byte.
        expect_same_bytes "$WORK/extracted/licence.htm" "$WORK/product/licence.htm"
    fi
    expect_temp_clean
    expect_windows 安装程序 "" 启动测试安装 退出询问
    expect_window_texts 安装程序 正在准备安装程序…… 正在从安装包中解压安装脚本、许可协议和图片，请稍候。
    expect_box_count 1
    expect_nothing_new_under 'C:\Program Files'
    expect_screenshots 2
}
