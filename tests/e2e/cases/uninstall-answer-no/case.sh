# No to the uninstaller's question (the box's default button) changes
# nothing at all.
source "$E2E_LIB/uninstall.sh"

prepare() {
    install_demo installed
}

check() {
    snapshot after
    expect_changes installed after
    expect_box "确实要完全删除星图演示及其所有组件吗？" no
    expect_box_count 1
}
