# A publisher's upgrade: 2.3 of the wizard product installed unattended
# into C:\Apps\向导测试, with a file and a folder that 2.4 no longer has;
# then 2.4 over it with "/S" alone, which lands on the installed copy and
# keeps 2.3's lines in the logs. 2.4's setup.exe shows its version and
# publisher in its file properties, its wizard proposes the installed
# folder, and the QuietUninstallString, read from the registry and run as a
# deployment tool runs it, removes both versions without a window.
FOLDER='C:\Apps\向导测试'
KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\向导测试'

# install VERSION ARGS...: that version's setup.exe run with ARGS; fails
# (with its exit code) unless it installed.
install() {
    local version=$1 code=0
    shift
    # Without Wine's menu builder, which mirrors shortcuts outside the prefix.
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d" \
        wine "$(c_path "C:\\下载\\setup-$version.exe")" "$@" </dev/null >>"$WORK/installs.log" 2>&1 ||
        code=$?
    [ "$code" -eq 0 ] || { echo "setup $version $* ended with exit code $code" >&2; return 1; }
}

prepare() {
    needs stub kpack
    product_from wizard "$WORK/v2.3"
    sed -i 's/^version = "2.4"$/version = "2.3"/' "$WORK/v2.3/product.toml"
    printf 'only in 2.3\r\n' >"$WORK/v2.3/files/旧功能.txt"
    printf '\n[[files]]\nsource = "files/旧功能.txt"\ntarget = "[InstallDir]\\\\旧\\\\旧功能.txt"\n' \
        >>"$WORK/v2.3/product.toml"
    build_setup "$WORK/v2.3/product.toml" "$WORK/setup-2.3.exe" || return 1
    product_from wizard "$WORK/product"
    build_setup "$WORK/product/product.toml" "$WORK/setup.exe" || return 1
    put "$WORK/setup-2.3.exe" 'C:\下载\setup-2.3.exe'
    put "$WORK/setup.exe" 'C:\下载\setup-2.4.exe'

    install 2.3 /S "/D=$FOLDER" || return 1
    install 2.4 /S || return 1
    # What the upgrade left, for check: the logs and the entry.
    cp "$(c_path "$FOLDER\\向导测试file.ini")" "$WORK/file-log.ini" || return 1
    cp "$(c_path "$FOLDER\\向导测试dir.ini")" "$WORK/dir-log.ini" || return 1
    reg_values "$KEY" >"$WORK/entry.txt"
    local quiet
    quiet=$(reg_value "$KEY" QuietUninstallString) || { echo "no QuietUninstallString" >&2; return 1; }
    define QUIET "$quiet"
    define QUIET_EXE "${quiet%% *}"
    define SETUP 'C:\下载\setup-2.4.exe'
    define FOLDER "$FOLDER"
}

# The lines of a GBK log copied to WORK, as UTF-8 without CR.
log_lines() {
    iconv -f GBK -t UTF-8 "$WORK/$1" | tr -d '\r'
}

check() {
    # 2.4 went where 2.3 is, and its logs still list what only 2.3 had,
    # each path once; the directory log longest first.
    expect_nothing_new_under 'C:\Program Files'
    grep -qxF "DisplayVersion|REG_SZ|2.4" "$WORK/entry.txt" ||
        check_failed "after the upgrade the entry holds: $(tr '\n' ' ' <"$WORK/entry.txt")"
    local line
    for line in "$FOLDER\\旧\\旧功能.txt" "$FOLDER\\说明.txt" "$FOLDER\\向导测试.ico"; do
        [ "$(log_lines file-log.ini | grep -cxF "$line")" -eq 1 ] ||
            check_failed "the file log lists $line $(log_lines file-log.ini | grep -cxF "$line") times"
    done
    [ "$(log_lines file-log.ini | sort | uniq -d)" = "" ] ||
        check_failed "the file log repeats: $(log_lines file-log.ini | sort | uniq -d | tr '\n' ' ')"
    [ "$(log_lines dir-log.ini)" = "$(log_lines dir-log.ini | awk '{ print length, $0 }' |
        sort -s -k1,1nr | cut -d' ' -f2-)" ] ||
        check_failed "the directory log is not longest first: $(log_lines dir-log.ini | tr '\n' ' ')"
    log_lines dir-log.ini | grep -qxF "$FOLDER\\旧" || check_failed "the directory log lost $FOLDER\\旧"

    # The quiet uninstall removed both versions and showed nothing: the
    # windows are the wizard's and its quit question only.
    [ ! -e "$(c_path "$FOLDER")" ] ||
        check_failed "left of the product: $(cd "$(c_path "$FOLDER")" && find . -mindepth 1 | tr '\n' ' ')"
    [ -z "$(reg_values "$KEY")" ] || check_failed "the uninstall entry is still there"
    [ "$(count_named '*向导测试*.lnk')" -eq 0 ] || check_failed "shortcuts are left"
    expect_windows 安装程序 向导测试安装 退出询问
    expect_box_count 1
}
