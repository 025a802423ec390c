# setup.exe /S "/D=C:\Apps\Bluebird Notes": the folder quoted, as Wine and
# deployment tools pass an argument with a blank. The product goes there
# and nowhere else, and the programs it runs start there.
STEPS=$SILENT_STEPS

STARTUP_EDIT() { records_current_folder "$1"; }

prepare() {
    needs stub kpack
    built_setup
    put "$WORK/setup.exe" 'C:\setup.exe'
    define SETUP 'C:\setup.exe'
    define ARGS '/S "/D=C:\Apps\Bluebird Notes"'
    define EXIT 0
}

check() {
    check_silent_install 'C:\Apps\Bluebird Notes'
    expect_nothing_new_under 'C:\Program Files'
}
