# setup.exe cut in the middle of the compressed script: the package read
# error, and the half-decoded script is deleted.
STEPS=$PACKAGE_READ_ERROR_STEPS

prepare() {
    needs stub kpack
    built_setup
    local script_length
    script_length=$(package_field "$WORK/setup.exe" 0)
    [ "$script_length" -gt 100 ] || { echo "script stream of $script_length bytes" >&2; return 1; }
    cut_setup "$WORK/setup.exe" "$WORK/damaged.exe" $((PACKAGE_START + 40 + script_length / 2))
    put "$WORK/damaged.exe" 'C:\setup.exe'
    define SETUP 'C:\setup.exe'
}

check() {
    check_package_read_error
}
