# setup.exe /S /D=C:\Other Folder: "/D=" last, a blank inside, no quotes.
# The product goes there and nowhere else.
STEPS=$SILENT_STEPS

prepare() {
    needs stub kpack
    built_setup
    put "$WORK/setup.exe" 'C:\setup.exe'
    define SETUP 'C:\setup.exe'
    define ARGS '/S /D=C:\Other Folder'
    define EXIT 0
}

check() {
    check_silent_install 'C:\Other Folder'
    expect_nothing_new_under 'C:\Program Files'
}
