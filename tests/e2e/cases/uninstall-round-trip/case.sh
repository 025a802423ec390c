# The demo product installed, then removed by the command its uninstall
# entry registers, started as the system's list of programs starts it, with
# Yes to the question: afterwards the prefix holds nothing of the product
# but what the uninstall rules keep. On the way: a read-only installed file
# (as files copied from a CD are), and logs edited to name a system file,
# a drive root and the Windows folder, which all stay.
source "$E2E_LIB/uninstall.sh"

prepare() {
    install_demo before || return 1
    chmod a-w "$(c_path "$DEMO_DIR\\说明.txt")"
    printf 'C:\\windows\\system32\\kernel32.dll\r\nC:\\\r\n' >>"$(c_path "$DEMO_DIR\\星图演示file.ini")"
    printf 'C:\\windows\r\n' >>"$(c_path "$DEMO_DIR\\星图演示dir.ini")"
}

check() {
    snapshot after
    # kernel32.dll, drive C: and the Windows folder are among the files
    # compared: none of them went.
    expect_changes before after "${DEMO_KEPT[@]}"
    expect_file 'C:\windows\system32\kernel32.dll'
    expect_box "确实要完全删除星图演示及其所有组件吗？" yes
    # The box log writes line ends as \r\n.
    expect_box '星图演示已从您的计算机中删除。\r\n\r\n卸载日志中有 3 行无法识别或指向系统文件夹，已跳过。' ok
    expect_box_count 2
    # The progress window shows between the two boxes.
    expect_windows 卸载星图演示 卸载星图演示 卸载星图演示
    grep -q -F '正在删除文件，请稍候……' <<<"$(windows_seen)" ||
        check_failed "no window showed the progress text"
    expect_screenshots 3
}
