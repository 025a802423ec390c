# A file log edited to name a system file and a drive root, and a
# directory log naming the Windows folder: none of them is touched, the
# product is removed, and the closing message counts the skipped lines.
source "$E2E_LIB/uninstall.sh"

prepare() {
    install_demo || return 1
    printf 'C:\\windows\\system32\\kernel32.dll\r\nC:\\\r\n' >>"$(c_path "$DEMO_DIR\\星图演示file.ini")"
    printf 'C:\\windows\r\n' >>"$(c_path "$DEMO_DIR\\星图演示dir.ini")"
}

check() {
    snapshot after
    expect_changes before after "${DEMO_KEPT[@]}"
    expect_file 'C:\windows\system32\kernel32.dll'
    expect_box '星图演示已从您的计算机中删除。\r\n\r\n卸载日志中有 3 行无法识别或指向系统文件夹，已跳过。' ok
}
