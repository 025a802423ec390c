# Installing into a folder picked in the tree on another drive; see steps.
prepare() {
    needs stub kpack
    wizard_setup
    # Drive D: is a folder of this case, mapped as Wine's drive settings
    # map drives (before Wine starts in the prefix).
    mkdir -p "$WORK/d/Apps/工具" "$WORK/d/Games"
    ln -sfn "$WORK/d" "$PREFIX/dosdevices/d:"
    define DEFAULT_DIR 'C:\Program Files\向导测试'
    define D_DEFAULT 'D:\Program Files\向导测试'
    define D_APPS 'D:\Apps\向导测试'
}

check() {
    local dir="$WORK/d/Apps/向导测试"
    expect_same_bytes "$dir/说明.txt" "$WORK/product/files/说明.txt"
    expect_same_bytes "$dir/数据/settings.ini" "$WORK/product/files/settings.ini"
    # The file log lies in the install folder, on D:.
    iconv -f GBK -t UTF-8 "$dir/向导测试file.ini" 2>/dev/null | tr -d '\r' |
        grep -qxF 'D:\Apps\向导测试\说明.txt' ||
        check_failed "the file log on D: does not list D:\Apps\向导测试\说明.txt"
    [ ! -e "$WORK/d/Program Files" ] || check_failed "D:\\Program Files was made"
    expect_nothing_new_under 'C:\Program Files\向导测试'
    expect_screenshots 3
}
