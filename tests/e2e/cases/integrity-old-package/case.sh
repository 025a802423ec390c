# The same changed byte in a package without checksums (as an older kpack
# made it): the setup reads it as it always did and installs, the damaged
# file included, unattended.
STEPS=$SILENT_STEPS

prepare() {
    needs stub kpack
    built_setup
    damaged_setup "$WORK/old.exe"
    without_checksums "$WORK/old.exe"
    put "$WORK/old.exe" 'C:\setup.exe'
    define SETUP 'C:\setup.exe'
    define ARGS /S
    define EXIT 0
}

check() {
    local folder='C:\Program Files\启动测试'
    expect_file "$folder\\说明.txt"
    cmp -s "$(c_path "$folder\\说明.txt")" "$WORK/product/files/说明.txt" &&
        check_failed "说明.txt was installed intact: the changed byte was not in its stream"
    expect_same_bytes "$(c_path "$folder\\配置\\settings.ini")" "$WORK/product/files/settings.ini"
    expect_windows
    expect_box_count 0
    expect_temp_clean
}
