# setup.exe cut 25 bytes into the 40-byte package header (a download that
# stopped early): the package read error.
STEPS=$PACKAGE_READ_ERROR_STEPS

prepare() {
    needs stub kpack
    built_setup
    cut_setup "$WORK/setup.exe" "$WORK/damaged.exe" $((PACKAGE_START + 25))
    put "$WORK/damaged.exe" 'C:\setup.exe'
    define SETUP 'C:\setup.exe'
}

check() {
    check_package_read_error
}
