# The demo product installed, then removed by the command its uninstall
# entry registers, started as the system's list of programs starts it, with
# Yes to the question: afterwards the prefix holds nothing of the product
# but what the uninstall rules keep. One installed file is read-only, as
# files copied from a CD are.
source "$E2E_LIB/uninstall.sh"

prepare() {
    install_demo || return 1
    chmod a-w "$(c_path "$DEMO_DIR\\说明.txt")"
}

check() {
    snapshot after
    expect_changes before after "${DEMO_KEPT[@]}"
    expect_box "确实要完全删除星图演示及其所有组件吗？" yes
    expect_box "星图演示已从您的计算机中删除。" ok
    expect_box_count 2
    # The progress window showed between the two boxes.
    expect_windows 卸载星图演示 卸载星图演示 卸载星图演示
    expect_screenshots 3
}
