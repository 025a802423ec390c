# The uninstall cases: the demo product installed in the case's prefix
# without the wizard (install-runner), snapshots of the prefix's files and
# registry, and the comparison of two snapshots. Sourced by their case.sh.

# install-runner is built with the driver (preset win-tests).
INSTALL_RUNNER=$(dirname "$DRIVER")/../../install-runner.exe
DEMO_SOURCE=$E2E_LIB/../../../examples/demo
DEMO_DIR='C:\Program Files\星图演示'
UNINSTALL_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\星图演示'

# snapshot NAME: every file and folder of drive C: ($WORK/NAME.files) and
# every key and value of HKLM and HKCU ($WORK/NAME.reg: "[key]" and
# "[key]|value" lines), sorted. The registry is read from the files Wine
# keeps it in, which its server writes when it ends: exporting it through
# reg.exe costs some 20 s, reading the files well under one.
snapshot() {
    (cd "$DRIVE_C" && find . -mindepth 1 | LC_ALL=C sort) >"$WORK/$1.files"
    timeout 60 wineserver -w </dev/null >/dev/null 2>&1 ||
        { echo "the prefix's Wine server did not end" >&2; return 1; }
    { registry_lines HKLM "$PREFIX/system.reg"; registry_lines HKCU "$PREFIX/user.reg"; } |
        LC_ALL=C sort >"$WORK/$1.reg"
}

# registry_lines ROOT FILE: the keys and values of one of Wine's registry
# files, keys without their time stamps and with single backslashes, the
# \x escapes of characters outside ASCII decoded (halves of surrogate
# pairs, which emoji in Wine's own keys give, are left escaped).
registry_lines() {
    # Decoded first: a \x escape right after a key's "\\" must still be seen
    # as one.
    perl -CO -pe 's/(?<!\\)((?:\\\\)*)\\x([0-9a-fA-F]{1,4})/
            my $c = hex($2); $1 . ($c >= 0xD800 && $c <= 0xDFFF ? "\\x$2" : chr($c))/gex' "$2" |
        awk -v root="$1" '
            /^\[/ { key = $0; sub(/\] [0-9]+$/, "]", key); gsub(/\\\\/, "\\", key)
                    key = "[" root "\\" substr(key, 2); print key; next }
            /^#/ || /^;/ || /^$/ || /^WINE REGISTRY/ { next }
            key != "" { print key "|" $0 }'
}

# Lines of what changed from snapshot $1 to $2: "+ line" added, "- line"
# gone. Wine's own bookkeeping is left out: its temporary files, its own
# settings, and the devices, drivers and services it records whenever it
# starts (HKLM\System\CurrentControlSet, network cards).
changes() {
    local kind
    for kind in files reg; do
        LC_ALL=C comm -3 "$WORK/$1.$kind" "$WORK/$2.$kind" |
            sed 's/^\t/+ /; t; s/^/- /'
    done | grep -v -F -e '/Temp' -e '\Software\Wine\' -e '[HKLM\System\CurrentControlSet\' \
        -e '\CurrentVersion\NetworkCards' || true
}

# expect_changes FROM TO LINE...: the changes between the two snapshots are
# exactly these lines, in any order. (Wine stores no key that holds
# neither values nor keys of its own, so a parent key such as
# HKCU\Software\Vendor never shows as a line.)
expect_changes() {
    local from=$1 to=$2 actual expected
    shift 2
    actual=$(changes "$from" "$to" | LC_ALL=C sort)
    expected=$(printf '%s\n' "$@" | sed '/^$/d' | LC_ALL=C sort)
    [ "$actual" = "$expected" ] ||
        check_failed "changes from $from to $to:$(printf '\n%s' "$actual")
expected:$(printf '\n%s' "$expected")"
}

# install_demo WHEN [FOLDER]: installs the demo product into the prefix
# (into FOLDER instead of its own folder when given), with a snapshot taken
# before the install ($WORK/before.*, WHEN "before") or after it
# ($WORK/installed.*, WHEN "installed"), and defines UNINSTALLER and
# UNINSTALL_COMMAND from the registered uninstall command.
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
    if [ "$1" = before ]; then snapshot before || return 1; fi
    # Without Wine's menu builder, which mirrors shortcuts into the Unix
    # desktop and menus (outside the prefix) and notes them in its registry.
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d" \
        wine "$INSTALL_RUNNER" "$(win_path "$WORK/setup.exe")" ${2:+"$2"} </dev/null >"$WORK/install.log" 2>&1 ||
        { cat "$WORK/install.log"; return 1; }
    command=$(reg_value "$UNINSTALL_KEY" UninstallString) || { echo "no UninstallString" >&2; return 1; }
    # The command as the system's list of programs starts it: the program
    # is its first word (the Windows folder has no blank).
    define UNINSTALLER "${command%% *}"
    define UNINSTALL_COMMAND "$command"
    if [ "$1" = installed ]; then snapshot installed || return 1; fi
}

# What the uninstall keeps of the demo product on drive C:, as changes
# since before the install: the uninstaller in the Windows folder (shared by
# every product, not logged) and the values its registry data file wrote;
# DEMO_KEPT adds the file installed as not-logged with its folders, for the
# product in its own folder.
DEMO_KEPT_ON_C=(
    "+ ./windows/Kestrova-UnInstall.exe"
    "+ [HKCU\\Software\\Kestrova\\星图演示]"
    "+ [HKCU\\Software\\Kestrova\\星图演示]|\"Name\"=\"星图演示\""
    "+ [HKCU\\Software\\Kestrova\\星图演示]|\"Version\"=\"1.0\""
)
DEMO_KEPT=(
    "+ ./Program Files/星图演示"
    "+ ./Program Files/星图演示/数据"
    "+ ./Program Files/星图演示/数据/示例数据.csv"
    "${DEMO_KEPT_ON_C[@]}"
)

# The product in D:\Apps, where the folder page lets a user put it: a
# folder any local user may change. Drive D: is a folder of the case
# ($WORK/d), mapped as Wine's drive settings map drives, before Wine starts
# in the prefix.
D_DIR='D:\Apps\星图演示'
map_drive_d() {
    mkdir -p "$WORK/d/Apps" && ln -sfn "$WORK/d" "$PREFIX/dosdevices/d:"
}

# expect_log_digests DIR: the uninstall entry holds the SHA-256 digests of
# both logs in DIR (this machine's folder), as the setup stored them.
expect_log_digests() {
    local log value
    for log in file dir; do
        value=$(reg_value "$UNINSTALL_KEY" "$([ $log = file ] && echo File || echo Dir)LogSHA256")
        [ "$value" = "$(sha256sum <"$1/星图演示$log.ini" | cut -d' ' -f1)" ] ||
            check_failed "the stored digest of the $log log is \"$value\""
    done
}

# add_log_lines LOG LINE...: lines added to a log (this machine's path) in
# code page 936 with CR LF, as a user who may change the install folder
# could add them.
add_log_lines() {
    local log=$1
    shift
    printf '%s\r\n' "$@" | iconv -f UTF-8 -t GBK >>"$log"
}

# make_files PATH...: files of drive C:, each holding its own path.
make_files() {
    local path
    for path in "$@"; do
        mkdir -p "$(dirname "$(c_path "$path")")" && printf '%s\n' "$path" >"$(c_path "$path")"
    done
}

# expect_unchanged PATH...: each of them still there, byte for byte.
expect_unchanged() {
    local path
    for path in "$@"; do
        [ "$(cat "$(c_path "$path")" 2>/dev/null)" = "$path" ] || check_failed "$path was changed"
    done
}

# make_others: files an edited log names beside the product, made before
# the install: another product's file, a user's document and a file on
# drive C: (the product is on D:); FOREIGN lists them. The user's
# Documents folder becomes a folder of the prefix, not Wine's link to the
# Unix home.
make_others() {
    local documents user
    for documents in "$DRIVE_C"/users/*/Documents; do
        if [ -L "$documents" ]; then rm "$documents" && mkdir "$documents"; fi
    done
    user=$(basename "$(dirname "$(ls -d "$DRIVE_C"/users/*/Documents | grep -v /Public/ | head -1)")")
    FOREIGN=("C:\\Program Files\\其他软件\\其他.exe" "C:\\users\\$user\\Documents\\机密.txt"
             "C:\\备份\\重要.doc")
    make_files "${FOREIGN[@]}"
}

# expect_d_left LINE...: what is left on drive D: (find's lines), exactly.
expect_d_left() {
    local actual expected
    actual=$(cd "$WORK/d" && find . -mindepth 1 | LC_ALL=C sort)
    expected=$(printf '%s\n' "$@" | LC_ALL=C sort)
    [ "$actual" = "$expected" ] ||
        check_failed "left on D:$(printf '\n%s' "$actual")
expected:$(printf '\n%s' "$expected")"
}
