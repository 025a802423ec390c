# Unattended installs that must not start, run one after the other by a
# batch file with "start /wait" (the way the README tells deploying scripts
# to read the exit code), from a folder of its own: an argument the setup
# does not understand (/S /X), a package whose default folder has no drive
# (it would land below the caller's current folder) and one whose default
# is the drive's root. Each ends with exit code 5 and leaves nothing: no
# file anywhere on C:, nothing in the temporary folder.
refused=(unknown-argument relative-default root-default)

# default_folder_setup FOLDER OUT: the start-up product's setup.exe with
# FOLDER as its default install folder (the script's third line), which
# kpack itself would refuse to write.
default_folder_setup() {
    FOLDER=$1 perl -0pe 's/\A((?:[^\r\n]*\r\n){2})[^\r\n]*\r\n/$1$ENV{FOLDER}\r\n/' \
        "$WORK/extracted/script.ini" >"$WORK/script-$(basename "$2")"
    repack_script "$WORK/setup.exe" "$WORK/script-$(basename "$2")" "$2"
}

prepare() {
    needs stub kpack
    built_setup
    default_folder_setup 'Apps\Bluebird' "$WORK/relative-default.exe"
    default_folder_setup 'C:\' "$WORK/root-default.exe"
    cp "$WORK/setup.exe" "$WORK/unknown-argument.exe"
    local name bat=$WORK/run.bat
    printf '@echo off\r\ncd /d C:\\refused\\here\r\n' >"$bat"
    for name in "${refused[@]}"; do
        put "$WORK/$name.exe" "C:\\refused\\$name.exe"
        printf 'start /wait C:\\refused\\%s.exe /S%s\r\n' "$name" \
            "$([ "$name" = unknown-argument ] && echo ' /X')" >>"$bat"
        # The full stop keeps the code's digit from reading as a handle ("5>>").
        printf 'echo %s %%ERRORLEVEL%%.>>C:\\refused\\codes.txt\r\n' "$name" >>"$bat"
    done
    printf 'exit /b 0\r\n' >>"$bat"
    put "$bat" 'C:\refused\run.bat'
    mkdir -p "$(c_path 'C:\refused\here')"
}

check() {
    local name codes added
    codes=$(tr -d '\r' <"$(c_path 'C:\refused\codes.txt')" 2>/dev/null)
    for name in "${refused[@]}"; do
        grep -qx "$name 5." <<<"$codes" ||
            check_failed "$name: $(grep "^$name " <<<"$codes" || echo "not run")"
    done
    added=$(new_files_under 'C:' | grep -vx './refused/codes.txt' | head -5 | tr '\n' ' ')
    [ -z "$added" ] || check_failed "new on C:: $added"
    expect_temp_clean
}
