# A file of the product is open in another program while it is removed:
# the closing message names it, everything else of the product goes.
source "$E2E_LIB/uninstall.sh"

prepare() {
    install_demo before || return 1
    define HELD "$DEMO_DIR\\文档\\用户手册.txt"
}

check() {
    snapshot after
    expect_changes before after "+ ./Program Files/星图演示/文档" \
        "+ ./Program Files/星图演示/文档/用户手册.txt" "${DEMO_KEPT[@]}"
    # The box log writes the line ends as \r\n.
    expect_box '星图演示已从您的计算机中删除。\r\n\r\n以下项目未能删除（可能正被其他程序使用），请稍后手动删除：\r\nC:\Program Files\星图演示\文档\用户手册.txt' ok
}
