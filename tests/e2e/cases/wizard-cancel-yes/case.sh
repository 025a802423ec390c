# Cancel during the install answered Yes: the wizard closes, nothing is
# left running, the logs hold what was made, the rest is not installed.
prepare() {
    needs stub kpack
    WIZARD_EDIT() { many_files "$1"; }
    wizard_setup
}

check() {
    local dir='C:\Program Files\向导测试' copied logged
    copied=$(find "$(c_path "$dir\\批量")" -type f 2>/dev/null | wc -l)
    [ "$copied" -lt 600 ] || check_failed "all 600 files were installed after Yes"
    # Every file made was logged before it was written; the log was closed
    # whole (its last line ends in CR LF).
    logged=$(iconv -f GBK -t UTF-8 "$(c_path "$dir\\向导测试file.ini")" | grep -c '\\批量\\')
    [ "$logged" -ge "$copied" ] || check_failed "$logged files logged, $copied copied"
    local log
    log=$(c_path "$dir\\向导测试file.ini")
    [ ! -s "$log" ] || [ "$(tail -c 2 "$log" | od -An -tx1 | tr -d ' ')" = 0d0a ] ||
        check_failed "the file log does not end with a whole line"
    [ "$(count_named 向导测试说明.lnk)" -eq 0 ] || check_failed "shortcuts were made after Yes"
    expect_box_count 1
    expect_temp_clean
}
