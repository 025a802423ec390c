# A killed install: the setup is killed in the middle of its run; the same
# setup run again (unattended) completes, and its logs list every file and
# folder of the product exactly once.
prepare() {
    needs stub kpack
    WIZARD_EDIT() { many_files "$1"; }
    wizard_setup
}

check() {
    local dir='C:\Program Files\向导测试' code=0 log
    LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8 WINEPREFIX=$PREFIX \
        wine "$(c_path 'C:\下载\向导测试安装.exe')" /S </dev/null >"$WORK/again.log" 2>&1 || code=$?
    [ "$code" -eq 0 ] || check_failed "the second run ended with exit code $code"
    expect_wizard_install "$dir"
    for log in 向导测试file.ini 向导测试dir.ini; do
        local twice
        twice=$(iconv -f GBK -t UTF-8 "$(c_path "$dir\\$log")" | tr -d '\r' | sort | uniq -d | head -3)
        [ -z "$twice" ] || check_failed "$log lists more than once: $twice"
    done
    local listed
    listed=$(iconv -f GBK -t UTF-8 "$(c_path "$dir\\向导测试file.ini")" | grep -c '\\批量\\f')
    [ "$listed" -eq 600 ] || check_failed "the file log lists $listed of the 600 files"
    expect_log_line "$dir\\向导测试dir.ini" "$dir\\批量"
}
