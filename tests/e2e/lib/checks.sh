# What a case's case.sh may call, sourced by the runner in the subshell of
# one case. A failed expectation is recorded and the checks go on, so one
# run reports everything a case got wrong.
#
# Set for every case: CASE, CASE_DIR (its folder in tests/e2e/cases), WORK
# (its scratch folder), PREFIX, DRIVE_C, TEMP_DIR (the prefix's temporary
# folder), SHOTS, BOX_LOG, WINDOW_LOG, DRIVER_LOG, and the programs FIXTURE,
# STUB, KPACK (paths on this machine). After the driver: DRIVER_STATUS,
# DRIVER_SECONDS.

# Records a failed expectation.
check_failed() {
    printf '%s\n' "$*" >>"$WORK/failures"
}

# Z:\... path under which Wine sees a path of this machine.
win_path() {
    local path
    path=$(realpath -m "$1")
    printf 'Z:%s' "${path//\//\\}"
}

# This machine's path of a C:\... path in the case's prefix (names as
# written: Wine keeps the case of the names it creates).
c_path() {
    local path=${1#[Cc]:}
    printf '%s/drive_c%s' "$PREFIX" "${path//\\//}"
}

# Defines ${NAME} for the case's steps file.
define() {
    printf '%s=%s\n' "$1" "$2" >>"$WORK/defines"
}

# Copies a file of this machine to a C:\... path in the prefix.
put() {
    local target
    target=$(c_path "$2")
    mkdir -p "$(dirname "$target")" && cp "$1" "$target"
}

# Fails the case at once (in prepare) when a program it needs is missing.
needs() {
    local what path
    for what in "$@"; do
        case $what in
            stub) path=$STUB ;;
            kpack) path=$KPACK ;;
            *) path= ;;
        esac
        if [ -z "$path" ] || [ ! -f "$path" ]; then
            echo "needs the $what (${path:-no path given}), which is not built" >&2
            return 1
        fi
    done
}

expect_file() {
    [ -f "$(c_path "$1")" ] || check_failed "missing file $1"
}

expect_no_file() {
    [ ! -e "$(c_path "$1")" ] || check_failed "file $1 should not exist"
}

# The file's bytes are the text (printf %b escapes such as \r\n allowed) in
# code page 936, as the programs under test write it.
expect_file_text() {
    local path expected actual
    path=$(c_path "$1")
    if [ ! -f "$path" ]; then
        check_failed "missing file $1"
        return
    fi
    expected=$(printf '%b' "$2" | iconv -f UTF-8 -t GBK | od -An -tx1)
    actual=$(od -An -tx1 "$path")
    if [ "$expected" != "$actual" ]; then
        check_failed "file $1 holds \"$(iconv -f GBK -t UTF-8 "$path" | sed -z 's/\r/\\r/g; s/\n/\\n/g')\", expected \"$2\""
    fi
}

# Files of the prefix's temporary folder that were not there before the
# driver ran.
new_temp_files() {
    (cd "$TEMP_DIR" && find . -mindepth 1 | sort) | comm -13 "$WORK/temp-before" -
}

expect_temp_clean() {
    local left
    left=$(new_temp_files | tr '\n' ' ')
    [ -z "$left" ] || check_failed "files left in the temporary folder: $left"
}

# Files and folders of drive C:, Wine's own Windows folder left out (the
# runner lists them before the driver runs).
drive_files() {
    (cd "$DRIVE_C" && find . -path ./windows -prune -o -mindepth 1 -print | sort)
}

# Files and folders under a C:\... folder that were not there before the
# driver ran.
new_files_under() {
    local folder=${1#[Cc]:}
    folder=.${folder//\\//}
    drive_files | comm -13 "$WORK/drive-before" - | awk -v under="$folder/" 'index($0, under) == 1'
}

expect_nothing_new_under() {
    local added
    added=$(new_files_under "$1" | head -5 | tr '\n' ' ')
    [ -z "$added" ] || check_failed "new under $1: $added"
}

# The two files hold the same bytes.
expect_same_bytes() {
    if [ ! -f "$1" ] || [ ! -f "$2" ]; then
        check_failed "cannot compare $1 with $2: $([ -f "$1" ] || echo "$1 is missing ")$([ -f "$2" ] || echo "$2 is missing")"
    elif ! cmp -s "$1" "$2"; then
        check_failed "$(basename "$1") ($(stat -c %s "$1") bytes) differs from $(basename "$2") ($(stat -c %s "$2") bytes): $(cmp "$1" "$2" 2>&1 | head -1)"
    fi
}

# The registry value as reg.exe shows it (REG_SZ text, or 0x... for a
# DWORD); empty when the key or value does not exist. The server of the
# case is still running, so this costs a fraction of a second.
reg_value() {
    WINEPREFIX=$PREFIX wine reg query "$1" /v "$2" </dev/null 2>/dev/null |
        iconv -f GBK -t UTF-8 | tr -d '\r' |
        awk -v name="$2" -F '    ' '$2 == name { print $4; found = 1 } END { exit !found }'
}

expect_reg() {
    local value
    if ! value=$(reg_value "$1" "$2"); then
        check_failed "registry value $1\\$2 does not exist"
    elif [ "$value" != "$3" ]; then
        check_failed "registry value $1\\$2 is \"$value\", expected \"$3\""
    fi
}

expect_no_reg() {
    local value
    if value=$(reg_value "$1" "$2"); then
        check_failed "registry value $1\\$2 should not exist (it is \"$value\")"
    fi
}

# Every value of a key as "NAME|TYPE|DATA" lines (a DWORD's data as 0x...),
# sorted; nothing when the key does not exist. One reg.exe call for all.
reg_values() {
    WINEPREFIX=$PREFIX wine reg query "$1" </dev/null 2>/dev/null |
        iconv -f GBK -t UTF-8 | tr -d '\r' |
        awk -F '    ' 'NF >= 3 && $1 == "" { print $2 "|" $3 "|" $4 }' | LC_ALL=C sort
}

# expect_reg_values KEY LINE...: the key holds exactly these values, each
# "NAME|TYPE|DATA" (REG_SZ, REG_DWORD with 0x... data), in any order.
expect_reg_values() {
    local key=$1 actual expected
    shift
    actual=$(reg_values "$key")
    expected=$(printf '%s\n' "$@" | LC_ALL=C sort)
    [ "$actual" = "$expected" ] ||
        check_failed "the values of $key:
$(sed 's/^/  /' <<<"$actual")
expected:
$(sed 's/^/  /' <<<"$expected")"
}

# expect_uninstall_entry PRODUCT FOLDER SETUP LINE...: the product's
# uninstall entry holds exactly the values every install writes, for
# FOLDER (a C:\ path), the total size SETUP's script gives, today's date
# and the digests of the two logs as they lie in FOLDER, and the LINEs
# ("NAME|TYPE|DATA": the icon and the facts given).
expect_uninstall_entry() {
    local product=$1 folder=$2 total uninstaller='C:\windows\Kestrova-UnInstall.exe' log digests=()
    total=$("$KPACK" list "$3" | sed -n 's/^total size: \([0-9]*\) bytes$/\1/p')
    shift 3
    for log in file dir; do
        digests+=("${log^}LogSHA256|REG_SZ|$(cat "$(c_path "$folder\\$product${log}.ini")" 2>/dev/null |
            sha256sum | cut -d' ' -f1)")
    done
    expect_reg_values "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$product" \
        "DisplayName|REG_SZ|$product" \
        "UninstallString|REG_SZ|$uninstaller $folder\\${product}file.ini" \
        "QuietUninstallString|REG_SZ|$uninstaller /S $folder\\${product}file.ini" \
        "InstallLocation|REG_SZ|$folder" \
        "InstallDate|REG_SZ|$(date +%Y%m%d)" \
        "EstimatedSize|REG_DWORD|$(printf '0x%x' $(((total + 1023) / 1024)))" \
        "NoModify|REG_DWORD|0x1" "NoRepair|REG_DWORD|0x1" "${digests[@]}" "$@"
}

# A message box with exactly this text was seen, answered with the given
# button (yes, no, ok, ...; "-" for unanswered) when one is given.
expect_box() {
    local line tab=$'\t'
    line=$(grep -F "${tab}text=\"$1\"${tab}" "$BOX_LOG" 2>/dev/null | head -1)
    if [ -z "$line" ]; then
        check_failed "no message box with the text \"$1\" was seen"
    elif [ -n "${2:-}" ] && [ "${line%%"$tab"*}" != "answer=$2" ]; then
        check_failed "the box \"$1\" got ${line%%"$tab"*}, expected answer=$2"
    fi
}

# The box with this text belonged to the window with this title ("none":
# to no window).
expect_box_owner() {
    local line expected tab=$'\t'
    line=$(grep -F "${tab}text=\"$1\"${tab}" "$BOX_LOG" 2>/dev/null | head -1)
    if [ "$2" = none ]; then expected=none; else expected="\"$2\""; fi
    if [ -z "$line" ]; then
        check_failed "no message box with the text \"$1\" was seen"
    elif [ "${line##*"${tab}"owner=}" != "$expected" ]; then
        check_failed "the box \"$1\" belonged to ${line##*"${tab}"owner=}, expected $expected"
    fi
}

expect_box_count() {
    local count=0
    [ -f "$BOX_LOG" ] && count=$(grep -c . "$BOX_LOG")
    [ "$count" -eq "$1" ] || check_failed "$count message boxes were seen, expected $1"
}

# The program's windows as the driver saw them, one per line in the order
# they appeared: seen=S gone=S class=... title="..." rect=X,Y WxH.
windows_seen() {
    cat "$WINDOW_LOG" 2>/dev/null
}

# The titles of the windows seen are exactly these, in this order (message
# boxes included; "" for a window without a title).
expect_windows() {
    local expected=() title actual
    for title in "$@"; do expected+=("\"$title\""); done
    actual=$(windows_seen | sed -n 's/.*\ttitle=\("[^\t]*"\)\t.*/\1/p' | paste -sd ' ')
    [ "$actual" = "${expected[*]}" ] ||
        check_failed "windows seen: ${actual:-none}; expected ${expected[*]}"
}

# A window with this title was seen, and its controls showed each of these
# texts when it appeared.
expect_window_texts() {
    local title=$1 line text
    shift
    line=$(windows_seen | grep -F "$(printf '\ttitle="%s"\t' "$title")" | head -1)
    if [ -z "$line" ]; then
        check_failed "no window titled \"$title\" was seen"
        return
    fi
    for text in "$@"; do
        [[ $line == *"\"$text\""* ]] ||
            check_failed "the window \"$title\" did not show \"$text\"; it showed ${line##*texts=}"
    done
}

# Every window seen lay inside the case's screen, and the one with this
# title (the first such) had the size WxH.
expect_windows_on_screen() {
    local title=$1 size=$2 line place x y w h
    while IFS= read -r line; do
        place=$(sed -n 's/.*\trect=\(-\?[0-9]*\),\(-\?[0-9]*\) \([0-9]*\)x\([0-9]*\).*/\1 \2 \3 \4/p' <<<"$line")
        read -r x y w h <<<"$place"
        if [ -z "$place" ] || [ "$x" -lt 0 ] || [ "$y" -lt 0 ] ||
            [ $((x + w)) -gt "${CASE_SCREEN%x*}" ] || [ $((y + h)) -gt "${CASE_SCREEN#*x}" ]; then
            check_failed "a window is not inside the $CASE_SCREEN screen: $line"
        fi
    done < <(windows_seen)
    line=$(windows_seen | grep -F "$(printf '\ttitle="%s"\t' "$title")" | head -1)
    [[ $line == *" $size"$'\t'* ]] ||
        check_failed "the window \"$title\" is not $size: ${line:-not seen}"
}

expect_driver_output() {
    grep -qF -- "$1" "$DRIVER_LOG" || check_failed "the driver did not report \"$1\""
}

expect_driver_seconds_below() {
    [ "${DRIVER_SECONDS%.*}" -lt "$1" ] ||
        check_failed "the driver took $DRIVER_SECONDS s, expected less than $1 s"
}

# Every screenshot of the case is a complete PNG (ImageMagick decodes it,
# checksums included) of a window or the whole screen: not empty and no
# larger than the screen; at least $1 of them.
expect_screenshots() {
    local count=0 shot size width height
    screenshots_checked=1
    for shot in "$SHOTS"/*.png; do
        [ -f "$shot" ] || continue
        count=$((count + 1))
        if ! size=$(identify -regard-warnings -format '%wx%h' "$shot" 2>/dev/null); then
            check_failed "screenshot $(basename "$shot") is not a valid PNG (ImageMagick cannot read it)"
            continue
        fi
        width=${size%x*} height=${size#*x}
        if [ "$width" -lt 1 ] || [ "$height" -lt 1 ] || [ "$width" -gt "${CASE_SCREEN%x*}" ] ||
            [ "$height" -gt "${CASE_SCREEN#*x}" ]; then
            check_failed "screenshot $(basename "$shot") is $size, not inside the $CASE_SCREEN screen"
        fi
    done
    [ "$count" -ge "$1" ] || check_failed "$count screenshots, expected at least $1"
}

# expect_log_line LOG TEXT: the GBK log in the prefix has the line TEXT.
expect_log_line() {
    local path
    path=$(c_path "$1")
    if [ ! -f "$path" ]; then
        check_failed "missing log $1"
    # The whole text first: grep -q stops at the first match, and the
    # writer of a pipe into it would then fail the pipeline (pipefail).
    elif ! grep -qxF -- "$2" <<<"$(iconv -f GBK -t UTF-8 "$path" | tr -d '\r')"; then
        check_failed "log $1 has no line \"$2\": $(iconv -f GBK -t UTF-8 "$path" | tr '\r\n' '  ')"
    fi
}

# How many files of drive C: have this name.
count_named() {
    find "$DRIVE_C" -name "$1" | wc -l
}

# The wizard cases' product installed into DIR (a C:\... path): its files
# byte for byte, both logs listing them, the uninstall entry, and the
# shortcuts in the program group and on the desktop.
expect_wizard_install() {
    local dir=$1 key='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\向导测试'
    expect_same_bytes "$(c_path "$dir\\说明.txt")" "$WORK/product/files/说明.txt"
    expect_same_bytes "$(c_path "$dir\\数据\\settings.ini")" "$WORK/product/files/settings.ini"
    expect_log_line "$dir\\向导测试file.ini" "$dir\\说明.txt"
    expect_log_line "$dir\\向导测试file.ini" "$dir\\数据\\settings.ini"
    expect_log_line "$dir\\向导测试dir.ini" "$dir\\数据"
    local command
    command=$(reg_value "$key" UninstallString) ||
        check_failed "no uninstall entry $key"
    [[ $command == *"$dir\\向导测试file.ini" ]] ||
        check_failed "UninstallString is \"$command\", expected it to name $dir\\向导测试file.ini"
    [ "$(count_named 向导测试说明.lnk)" -eq 2 ] ||
        check_failed "$(count_named 向导测试说明.lnk) shortcuts 向导测试说明.lnk, expected 2 (group and desktop)"
    [ "$(count_named 卸载向导测试.lnk)" -eq 1 ] ||
        check_failed "no uninstaller shortcut 卸载向导测试.lnk"
}
