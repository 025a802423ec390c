# The whole install through the wizard; see steps.
prepare() {
    needs stub kpack
    wizard_setup
    define DEFAULT_DIR 'C:\Program Files\向导测试'
    define TOO_SHORT 'C:\'
    define DOUBLE_SLASH 'C:\\A'
    define MIXED_SLASH 'C:\/A'
    define NO_DRIVE 'CC:\A'
    define TRAILING 'C:\Program Files\向导测试\'
}

check() {
    expect_wizard_install 'C:\Program Files\向导测试'
    # The product's entry as the list of programs and deployment tools read
    # it, every value with its type, and Wine's own list of programs.
    expect_uninstall_entry 向导测试 'C:\Program Files\向导测试' "$WORK/setup.exe" \
        'DisplayVersion|REG_SZ|2.4' 'Publisher|REG_SZ|向导测试工作室' \
        'URLInfoAbout|REG_SZ|https://www.example.com/wizard' \
        'DisplayIcon|REG_SZ|C:\Program Files\向导测试\向导测试.ico'
    WINEPREFIX=$PREFIX wine uninstaller --list </dev/null >"$WORK/programs.txt" 2>/dev/null
    grep -q '|||向导测试$' <(iconv -f GBK -t UTF-8 "$WORK/programs.txt" | tr -d '\r') ||
        check_failed "wine uninstaller --list does not list 向导测试: $(tr '\r\n' '  ' <"$WORK/programs.txt")"
    expect_file 'C:\run-marker.txt'
    expect_temp_clean
    expect_box_count 7
    expect_box 你所输入的安装路径长度不够，请重新输入! ok
    expect_box_owner 你所选择的安装路径错误，请重新输入! 向导测试安装
    expect_nothing_new_under 'C:\A'
    expect_screenshots 4
}
