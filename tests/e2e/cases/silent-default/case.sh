# setup.exe /S installs into the default folder without a window (no
# extraction dialog, splash, wizard or box), makes it the current folder
# of the programs it runs, and ends with exit code 0.
STEPS=$SILENT_STEPS

STARTUP_EDIT() { records_current_folder "$1"; }

prepare() {
    needs stub kpack
    built_setup
    put "$WORK/setup.exe" 'C:\下载\setup.exe'
    define SETUP 'C:\下载\setup.exe'
    define ARGS /S
    define EXIT 0
}

check() {
    check_silent_install 'C:\Program Files\启动测试'
}
