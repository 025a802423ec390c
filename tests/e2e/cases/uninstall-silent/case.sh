# The registered uninstall command with "/S" appended, as deployment tools
# append it by habit: no question, window or message, exit code 0, and
# afterwards the prefix holds nothing of the product but what the uninstall
# rules keep. The logs are the setup's own: the uninstall entry holds their
# digests.
source "$E2E_LIB/uninstall.sh"

prepare() {
    install_demo before || return 1
    expect_log_digests "$(c_path "$DEMO_DIR")"
    local command
    command=$(reg_value "$UNINSTALL_KEY" UninstallString)
    define SILENT_COMMAND "$command /S"
}

check() {
    snapshot after
    expect_changes before after "${DEMO_KEPT[@]}"
    expect_windows
    expect_box_count 0
}
