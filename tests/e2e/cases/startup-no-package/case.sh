# The stub alone, with no package appended: the package read error.
STEPS=$PACKAGE_READ_ERROR_STEPS

prepare() {
    needs stub
    put "$STUB" 'C:\setup.exe'
    define SETUP 'C:\setup.exe'
}

check() {
    check_package_read_error
}
