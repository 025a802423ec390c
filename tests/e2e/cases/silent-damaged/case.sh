# setup.exe /S on a package with a changed byte: exit code 2 (the package
# read error), nothing installed, nothing shown, nothing left behind.
STEPS=$SILENT_STEPS

prepare() {
    needs stub kpack
    built_setup
    damaged_setup "$WORK/damaged.exe"
    put "$WORK/damaged.exe" 'C:\setup.exe'
    define SETUP 'C:\setup.exe'
    define ARGS /S
    define EXIT 2
}

check() {
    expect_windows
    expect_box_count 0
    expect_temp_clean
    expect_nothing_new_under 'C:\Program Files'
}
