# setup.exe /S installs into the default folder without a window (no
# extraction dialog, splash, wizard or box) and ends with exit code 0.
STEPS=$SILENT_STEPS

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
