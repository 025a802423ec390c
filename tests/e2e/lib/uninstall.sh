# The uninstall cases: the demo product installed in the case's prefix
# without the wizard (install-runner), snapshots of the prefix's files and
# registry, and the comparison of two snapshots. Sourced by their case.sh.

# install-runner is built with the driver (preset win-tests).
INSTALL_RUNNER=$(dirname "$DRIVER")/../../install-runner.exe
DEMO_SOURCE=$E2E_LIB/../../../examples/demo
DEMO_DIR='C:\Program Files\星图演示'
UNINSTALL_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\星图演示'

# snapshot NAME: every file and folder of drive C: ($WORK/NAME.files) and
# every key and value of HKLM and HKCU ($WORK/NAME.reg, one
# "key|value" line each), sorted.
snapshot() {
    (cd "$DRIVE_C" && find . -mindepth 1 | sort) >"$WORK/$1.files"
    local root
    : >"$WORK/$1.reg"
    for root in HKLM HKCU; do
        wine reg export "$root" "$(win_path "$WORK/export.reg")" /y </dev/null >/dev/null 2>&1 ||
            { echo "reg export $root failed" >&2; return 1; }
        iconv -f UTF-16LE -t UTF-8 "$WORK/export.reg" | tr -d '\r\357\273\277' |
            awk -v root="$root" '
                /^\[/ { key = $0; print key; next }
                /^$/ || /^Windows Registry Editor/ { next }
                { print key "|" $0 }' >>"$WORK/$1.reg"
    done
    rm -f "$WORK/export.reg"
    LC_ALL=C sort -o "$WORK/$1.reg" "$WORK/$1.reg"
}

# Lines of what changed from snapshot $1 to $2: "+ line" added, "- line"
# gone. Wine's own bookkeeping (its temporary files, the time stamps and
# counters it keeps in the registry) is left out.
changes() {
    local kind
    for kind in files reg; do
        LC_ALL=C comm -3 "$WORK/$1.$kind" "$WORK/$2.$kind" |
            sed 's/^\t/+ /; t; s/^/- /'
    done | grep -v -e '/Temp' -e 'Wine\\\\' -e 'Explorer\\\\' -e 'SessionInformation' \
                  -e 'Perflib' -e 'DynDST' -e 'TimeZoneInformation' -e 'Network\\\\' || true
}

# expect_changes FROM TO LINE...: the changes between the two snapshots are
# exactly these lines (in the order changes prints them).
expect_changes() {
    local from=$1 to=$2 actual expected
    shift 2
    actual=$(changes "$from" "$to")
    expected=$(printf '%s\n' "$@" | sed '/^$/d')
    [ "$actual" = "$expected" ] ||
        check_failed "changes from $from to $to:$(printf '\n%s' "$actual")
expected:$(printf '\n%s' "$expected")"
}

# Installs the demo product into the prefix, with snapshots before
# ($WORK/before.*) and after ($WORK/installed.*), and defines UNINSTALLER
# and UNINSTALL_COMMAND from the registered uninstall command.
install_demo() {
    needs stub kpack || return 1
    [ -f "$INSTALL_RUNNER" ] || { echo "needs $INSTALL_RUNNER, which is not built" >&2; return 1; }
    cp -r "$DEMO_SOURCE" "$WORK/product"
    build_setup "$WORK/product/product.toml" "$WORK/setup.exe" || return 1
    # Wine links the desktop to the Unix home folder; the product's desktop
    # shortcut belongs inside the prefix.
    local desktop command
    for desktop in "$DRIVE_C"/users/*/Desktop; do
        if [ -L "$desktop" ]; then rm "$desktop" && mkdir "$desktop"; fi
    done
    snapshot before || return 1
    wine "$INSTALL_RUNNER" "$(win_path "$WORK/setup.exe")" </dev/null >"$WORK/install.log" 2>&1 ||
        { cat "$WORK/install.log"; return 1; }
    command=$(reg_value "$UNINSTALL_KEY" UninstallString) || { echo "no UninstallString" >&2; return 1; }
    # The command as the system's list of programs starts it: the program
    # is its first word (the Windows folder has no blank).
    define UNINSTALLER "${command%% *}"
    define UNINSTALL_COMMAND "$command"
    echo "$command" >"$WORK/uninstall-command"
    snapshot installed
}

# What the uninstall keeps of the demo product, as changes since before the
# install: the uninstaller in the Windows folder (shared by every product,
# not logged), the file installed as not-logged with its folders, and the
# values its registry data file wrote.
DEMO_KEPT=(
    "+ ./Program Files/星图演示"
    "+ ./Program Files/星图演示/数据"
    "+ ./Program Files/星图演示/数据/示例数据.csv"
    "+ ./windows/Kestrova-UnInstall.exe"
    "+ [HKEY_CURRENT_USER\\Software\\Kestrova\\星图演示]"
    "+ [HKEY_CURRENT_USER\\Software\\Kestrova\\星图演示]|\"Name\"=\"星图演示\""
    "+ [HKEY_CURRENT_USER\\Software\\Kestrova\\星图演示]|\"Version\"=\"1.0\""
    "+ [HKEY_CURRENT_USER\\Software\\Kestrova]"
)
