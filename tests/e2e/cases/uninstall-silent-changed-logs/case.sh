# "/S" on the product in D:\Apps\星图演示 after its file log was edited to
# name another product's file, a user's document, a file on drive C: and
# the Windows folder's notepad.exe, with the user's desktop moved to the
# drive's root as Explorer records a move (both shell-folder values): the
# product's files go, the four files stay byte for byte, nothing is shown,
# exit code 2. The desktop shortcut the logs name is no longer in a
# shortcut place of the changed logs, so it stays too.
source "$E2E_LIB/uninstall.sh"

prepare() {
    map_drive_d
    make_others
    install_demo before "$D_DIR" || return 1
    sha256sum <"$(c_path 'C:\windows\notepad.exe')" >"$WORK/notepad.sha256"
    add_log_lines "$WORK/d/Apps/星图演示/星图演示file.ini" "${FOREIGN[@]}" 'C:\windows\notepad.exe'
    local key='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer'
    WINEPREFIX=$PREFIX wine reg add "$key\\User Shell Folders" /v Desktop /t REG_EXPAND_SZ \
        /d 'C:\' /f </dev/null >/dev/null 2>&1 &&
        WINEPREFIX=$PREFIX wine reg add "$key\\Shell Folders" /v Desktop /d 'C:\' /f \
            </dev/null >/dev/null 2>&1 || return 1
    local command
    command=$(reg_value "$UNINSTALL_KEY" UninstallString)
    define SILENT_COMMAND "${command%% *} /S ${command#* }"
}

check() {
    expect_unchanged "${FOREIGN[@]}"
    sha256sum -c --status <(sed "s|-\$|$(c_path 'C:\windows\notepad.exe')|" "$WORK/notepad.sha256") ||
        check_failed "C:\\windows\\notepad.exe was changed"
    local user
    user=$(basename "$(dirname "$(ls -d "$DRIVE_C"/users/*/Desktop | grep -v /Public/ | head -1)")")
    expect_file "C:\\users\\$user\\Desktop\\星图演示说明.lnk"
    expect_no_file 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\星图演示'
    expect_d_left ./Apps ./Apps/星图演示 ./Apps/星图演示/数据 ./Apps/星图演示/数据/示例数据.csv
    expect_no_reg "$UNINSTALL_KEY" DisplayName
    expect_windows
    expect_box_count 0
}
