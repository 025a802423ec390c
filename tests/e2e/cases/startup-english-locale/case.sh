# The good package on an English Windows (code page 1252), started from a
# folder with a Chinese name and with a temporary folder with a Chinese
# name (as a Chinese user name gives). The setup converts its own path and
# the temporary names with code page 936 itself, so it finds its package
# and unpacks the same five files there, and removes them afterwards.
CASE_LOCALE=C.UTF-8
STEPS=$CASE_DIR/../startup-good/steps

prepare() {
    needs stub kpack
    built_setup
    put "$WORK/setup.exe" 'C:\下载 文件\启动测试安装.exe'
    define SETUP 'C:\下载 文件\启动测试安装.exe'
    TEMP_DIR=$(c_path 'C:\临时 文件')
    mkdir -p "$TEMP_DIR"
    local name
    for name in TEMP TMP; do
        wine reg add 'HKCU\Environment' /v "$name" /t REG_SZ /d 'C:\临时 文件' /f </dev/null
    done
}

check() {
    local prefix
    if ! prefix=$(temp_prefix "$WORK/during"); then
        check_failed "no ~temp<time>.ini among the files copied during the splash"
    else
        expect_same_bytes "$WORK/during/$prefix.ini" "$WORK/extracted/script.ini"
        expect_same_bytes "$WORK/during/${prefix}Doc.htm" "$WORK/extracted/licence.htm"
        expect_same_bytes "$WORK/during/${prefix}Wel.Bmp" "$WORK/extracted/welcome.bmp"
        expect_same_bytes "$WORK/during/${prefix}Soft.Bmp" "$WORK/extracted/splash.bmp"
        expect_same_bytes "$WORK/during/${prefix}Title.Bmp" "$WORK/extracted/title.bmp"
    fi
    expect_driver_output '5 files of C:\临时 文件\: '
    expect_window_texts 安装程序 正在准备安装程序…… 正在从安装包中解压安装脚本、许可协议和图片，请稍候。
    expect_windows 安装程序 "" 启动测试安装 退出询问
    expect_box_count 1
    expect_temp_clean
}
