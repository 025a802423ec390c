# A product without a program to start (no [run] in its manifest): page 5
# of the wizard has no check box, Finish ends the setup and starts
# nothing. The same package with its script's [Run] lines, checksums and
# product facts left out, as another tool may write it, then installs
# unattended into a second folder, shortcuts included.
prepare() {
    needs stub kpack
    WIZARD_EDIT() { sed -i '/^\[run\]/,$d' "$1/product.toml"; }
    wizard_setup
    "$KPACK" extract "$WORK/setup.exe" -d "$WORK/extracted" >/dev/null
    perl -0pe 's/\[Run\]\r\n\r\n\r\n\[Checksums\]\r\n(?:[0-9A-F]{8}\r\n)+(?:\[Product\]\r\n(?:(?:Version|Publisher|URL|Icon)=[^\r\n]*\r\n)+)?// or die "no empty [Run] lines\n"' \
        "$WORK/extracted/script.ini" >"$WORK/no-run.ini"
    repack_script "$WORK/setup.exe" "$WORK/no-run.ini" "$WORK/no-run.exe"
    put "$WORK/no-run.exe" 'C:\下载\无运行.exe'
}

check() {
    expect_wizard_install 'C:\Program Files\向导测试'
    expect_windows 安装程序 向导测试安装
    expect_box_count 0
    expect_temp_clean

    # The shortcuts go first, so that the second install has to make them
    # again from its [Menu] lines, which end where the licence text begins.
    find "$DRIVE_C" \( -name 向导测试说明.lnk -o -name 卸载向导测试.lnk \) -delete
    local code=0
    LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8 WINEPREFIX=$PREFIX \
        wine "$(c_path 'C:\下载\无运行.exe')" /S '/D=C:\无运行' </dev/null >"$WORK/no-run.log" 2>&1 ||
        code=$?
    [ "$code" -eq 0 ] || check_failed "the setup without [Run] ended with exit code $code"
    expect_wizard_install 'C:\无运行'
}
