# The demo product installed into D:\Apps\星图演示 (a folder any local user
# may change), then removed by the command its uninstall entry registers,
# started as the system's list of programs starts it, with Yes to the
# question. On the way: a read-only installed file (as files copied from a
# CD are); a file log edited to name another product's file, a user's
# document and a file on drive C:, and a system file, drive C: and the
# Windows folder; a symbolic link made inside the install folder (Wine has
# no junctions; a link made on the Unix side is its reparse point) to a
# folder of decoys that the edited log names through it. The product's own
# files go; everything else stays byte for byte, and the closing message
# names the decoys and counts the kept and skipped lines.
source "$E2E_LIB/uninstall.sh"
DECOYS=('C:\诱饵\诱饵一.txt' 'C:\诱饵\诱饵二.txt')

prepare() {
    map_drive_d
    make_others
    make_files "${DECOYS[@]}"
    install_demo before "$D_DIR" || return 1
    local dir="$WORK/d/Apps/星图演示"
    expect_log_digests "$dir"
    chmod a-w "$dir/说明.txt"
    ln -s "$(c_path 'C:\诱饵')" "$dir/缓存"
    add_log_lines "$dir/星图演示file.ini" "${FOREIGN[@]}" 'C:\windows\system32\kernel32.dll' 'C:\' \
        "$D_DIR\\缓存\\诱饵一.txt" "$D_DIR\\缓存\\诱饵二.txt"
    add_log_lines "$dir/星图演示dir.ini" 'C:\windows'
}

check() {
    snapshot after
    # Drive C: as before the install but for what the uninstall keeps:
    # kernel32.dll, the other files and the decoys among the files compared.
    expect_changes before after "${DEMO_KEPT_ON_C[@]}"
    expect_unchanged "${FOREIGN[@]}" "${DECOYS[@]}"
    expect_file 'C:\windows\system32\kernel32.dll'
    # On D: the not-logged file with its folders, and the link.
    expect_d_left ./Apps ./Apps/星图演示 ./Apps/星图演示/数据 ./Apps/星图演示/数据/示例数据.csv \
        ./Apps/星图演示/缓存
    expect_box "确实要完全删除星图演示及其所有组件吗？" yes
    # The box log writes line ends as \r\n.
    expect_box '星图演示已从您的计算机中删除。\r\n\r\n以下项目经由链接或挂载点指向别处，未被删除：\r\nD:\Apps\星图演示\缓存\诱饵一.txt\r\nD:\Apps\星图演示\缓存\诱饵二.txt\r\n\r\n卸载日志已被改动：其中 3 行指向安装文件夹以外的位置，已保留。\r\n\r\n卸载日志中有 3 行无法识别或指向系统文件夹，已跳过。' ok
    expect_box_count 2
    # The progress window shows between the two boxes.
    expect_windows 卸载星图演示 卸载星图演示 卸载星图演示
    grep -q -F '正在删除文件，请稍候……' <<<"$(windows_seen)" ||
        check_failed "no window showed the progress text"
    expect_screenshots 3
}
