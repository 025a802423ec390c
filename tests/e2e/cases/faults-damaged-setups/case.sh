# Damaged setup programs, each given to install-runner (the install run
# without the wizard, reading and checking the package as start-up does):
# truncated in the header, the script, a middle stream and by its last
# byte, a wrong file count, a script length near 2^31, scripts without
# their [Menu] or [ClearFile] line, with an over-long product line or
# [Directory] line, with the welcome picture's stream offset at -100 (inside
# the script stream). Every one is refused as damaged: nothing installed,
# no temporary file left, no message box, no hang.
damaged=(cut-header cut-script cut-stream cut-last-byte wrong-count huge-length
         no-menu-line no-clearfile-line long-product-line long-directory-line
         negative-offset)

prepare() {
    needs stub kpack
    built_setup
    local setup=$WORK/setup.exe script=$WORK/extracted/script.ini d=$WORK/damaged
    local size length start stream
    mkdir -p "$d"
    size=$(stat -c %s "$setup")
    length=$(package_field "$setup" 0)
    read -r start stream < <(last_stream "$setup" "$script")
    cut_setup "$setup" "$d/cut-header.exe" $((PACKAGE_START + 30))
    cut_setup "$setup" "$d/cut-script.exe" $((PACKAGE_START + 40 + length / 2))
    # The first stream after the script: the welcome picture, which every
    # later stream follows.
    cut_setup "$setup" "$d/cut-stream.exe" $((PACKAGE_START + length + 40 + 20))
    cut_setup "$setup" "$d/cut-last-byte.exe" $((size - 1))
    set_package_field "$setup" 1 $(($(package_field "$setup" 1) + 1)) "$d/wrong-count.exe"
    set_package_field "$setup" 0 2147483647 "$d/huge-length.exe"
    perl -0pe 's/\[Menu\]\r\n//' "$script" >"$WORK/s1"
    repack_script "$setup" "$WORK/s1" "$d/no-menu-line.exe"
    perl -0pe 's/\[ClearFile\]\r\n//' "$script" >"$WORK/s2"
    repack_script "$setup" "$WORK/s2" "$d/no-clearfile-line.exe"
    perl -0pe 's/^(.*?\r\n)(.*?)\r\n/$1 . ("D" x 462) . "\r\n"/se' "$script" >"$WORK/s3"
    repack_script "$setup" "$WORK/s3" "$d/long-product-line.exe"
    perl -0pe 's/(\[Directory\]\r\n)/$1 . "[InstallDir]\\" . ("\xC4\xBF" x 300) . "\r\n"/se' \
        "$script" >"$WORK/s4"
    repack_script "$setup" "$WORK/s4" "$d/long-directory-line.exe"
    # The first record after [File] is the welcome picture; its offset field
    # follows the 268-byte path.
    perl -0pe 's/(\[File\]\r\n.{268}).{20}/$1 . sprintf("%-20d", -100)/se' "$script" >"$WORK/s5"
    repack_script "$setup" "$WORK/s5" "$d/negative-offset.exe"

    local runner bat=$d/run.bat name
    runner=$(win_path "$(install_runner)")
    [ -f "$(install_runner)" ] || { echo "install-runner.exe is missing" >&2; return 1; }
    printf '@echo off\r\n' >"$bat"
    for name in "${damaged[@]}"; do
        [ -s "$d/$name.exe" ] || { echo "$name.exe was not made" >&2; return 1; }
        put "$d/$name.exe" "C:\\damaged\\$name.exe"
        printf '"%s" C:\\damaged\\%s.exe C:\\Installed >C:\\damaged\\%s.out 2>&1\r\n' \
            "$runner" "$name" "$name" >>"$bat"
        printf 'if errorlevel 1 (echo %s refused>>C:\\damaged\\codes.txt) else (echo %s installed>>C:\\damaged\\codes.txt)\r\n' \
            "$name" "$name" >>"$bat"
    done
    printf 'exit /b 0\r\n' >>"$bat"
    put "$bat" 'C:\damaged\run.bat'
}

check() {
    local name codes
    codes=$(tr -d '\r' <"$(c_path 'C:\damaged\codes.txt')" 2>/dev/null)
    for name in "${damaged[@]}"; do
        grep -qx "$name refused" <<<"$codes" ||
            check_failed "$name: $(grep "^$name " <<<"$codes" || echo "not run")"
        grep -q 'install-runner: the package is damaged' "$(c_path "C:\\damaged\\$name.out")" ||
            check_failed "$name: $(head -c 300 "$(c_path "C:\\damaged\\$name.out")")"
    done
    expect_no_file 'C:\Installed'
    expect_nothing_new_under 'C:\Program Files'
    expect_temp_clean
    expect_box_count 0
}
