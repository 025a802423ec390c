# Registry data written as a publisher writes a .reg file for the setup: a
# REGEDIT4 header, a comment and empty lines (skipped), keys under two roots
# with Chinese levels, string values with single backslashes, quotes inside
# the data, the default value and Chinese data. kpack builds and verifies
# it with --strict (nothing in it is refused or warned about); the
# unattended install writes every value byte for byte and deletes the
# data file after the import.
STEPS=$SILENT_STEPS

USER_KEY='HKCU\Software\Kestrova\注册表测试'
MACHINE_KEY='HKLM\SOFTWARE\Kestrova\注册表测试\设置'
FOLDER='C:\Program Files\注册表测试'

prepare() {
    needs stub kpack || return 1
    cp -r "$CASE_DIR/product" "$WORK/product"
    make_picture "$WORK/product/pictures/welcome.bmp" 164 314 欢迎
    make_picture "$WORK/product/pictures/title.bmp" 548 64 标题
    # GBK with CR LF line ends, as the setup reads it.
    sed 's/$/\r/' <<'REG' | iconv -f UTF-8 -t GBK >"$WORK/product/files/settings.reg" || return 1
REGEDIT4

; 注册表测试的设置
[HKEY_CURRENT_USER\Software\Kestrova\注册表测试]
"Path"="C:\Program Files\注册表测试\bin"
"Greeting"="他说"你好""
""="默认值"

[HKEY_LOCAL_MACHINE\SOFTWARE\Kestrova\注册表测试\设置]
"Version"="1.0"
"Language"="中文"
REG
    "$KPACK" build "$WORK/product/product.toml" -o "$WORK/setup.exe" --stub "$STUB" \
        --uninstaller "$(dirname "$STUB")/Kestrova-UnInstall.exe" --quiet --strict || return 1
    "$KPACK" verify "$WORK/setup.exe" --strict || return 1
    put "$WORK/setup.exe" 'C:\setup.exe'
    define SETUP 'C:\setup.exe'
    define ARGS /S
    define EXIT 0
}

# The key's default value as reg.exe shows it (its name is localised).
default_value() {
    WINEPREFIX=$PREFIX wine reg query "$1" /ve </dev/null 2>/dev/null |
        iconv -f GBK -t UTF-8 | tr -d '\r' | awk -F '    ' '$3 == "REG_SZ" { print $4 }'
}

check() {
    expect_reg "$USER_KEY" Path 'C:\Program Files\注册表测试\bin'
    expect_reg "$USER_KEY" Greeting '他说"你好"'
    local value
    value=$(default_value "$USER_KEY")
    [ "$value" = 默认值 ] || check_failed "the default value of $USER_KEY is \"$value\""
    expect_reg "$MACHINE_KEY" Version 1.0
    expect_reg "$MACHINE_KEY" Language 中文
    expect_no_reg "$USER_KEY" REGEDIT4
    expect_same_bytes "$(c_path "$FOLDER\\说明.txt")" "$WORK/product/files/说明.txt"
    expect_no_file "$FOLDER\\settings.reg"
    expect_windows
    expect_box_count 0
    expect_temp_clean
}
