# One byte changed in the middle of a file's stream: the package's structure
# is intact, its checksum is not. The package read error comes before
# anything is installed, and the temporary files are removed.
STEPS=$PACKAGE_READ_ERROR_STEPS

prepare() {
    needs stub kpack
    built_setup
    damaged_setup "$WORK/damaged.exe"
    put "$WORK/damaged.exe" 'C:\setup.exe'
    define SETUP 'C:\setup.exe'
}

check() {
    check_package_read_error
}
