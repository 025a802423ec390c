# A full disk: the product is installed onto drive X:, a 600 KB tmpfs that
# fills up in the middle of its second file (1 MB that does not compress).
# The decoder's question appears; Yes stops the run: install-runner ends
# (exit code 1, no process left), the file that did not fit is neither left
# on the drive nor listed in the file log, and the run counted only the
# file before it. Needs root to mount the drive (as CI runs).

disk() { printf '%s/disk' "$WORK"; }

prepare() {
    needs stub kpack
    [ "$(id -u)" = 0 ] || { echo "mounting the small drive needs root" >&2; return 1; }
    [ -f "$(install_runner)" ] || { echo "install-runner.exe is missing" >&2; return 1; }
    local product=$WORK/product
    mkdir -p "$product" "$(disk)"
    make_picture "$product/welcome.bmp" 16 16
    make_picture "$product/title.bmp" 16 16
    printf 'small file\r\n' >"$product/first.txt"
    head -c 1048576 /dev/urandom >"$product/big.bin"
    printf 'after\r\n' >"$product/last.txt"
    cat >"$product/product.toml" <<'TOML'
[product]
name = "DiskFull"
install_dir = "X:\\App"

[pictures]
welcome = "welcome.bmp"
title = "title.bmp"

[directories]
create = ["[InstallDir]"]

[[files]]
source = "first.txt"
target = "[InstallDir]\\first.txt"

[[files]]
source = "big.bin"
target = "[InstallDir]\\big.bin"

[[files]]
source = "last.txt"
target = "[InstallDir]\\last.txt"
TOML
    build_setup "$product/product.toml" "$WORK/setup.exe"
    put "$WORK/setup.exe" 'C:\setup.exe'
    mount -t tmpfs -o size=600k kestrova-e2e-disk "$(disk)"
    ln -sfn "$(disk)" "$PREFIX/dosdevices/x:"
    define RUNNER "$(win_path "$(install_runner)")"
}

check() {
    local log=$(disk)/App/DiskFullfile.ini
    expect_box '创建X:\App\big.bin时出错，是否终止软件的安装？' yes
    expect_box_count 1
    [ ! -e "$(disk)/App/big.bin" ] || check_failed "the half-written big.bin was left on the drive"
    [ ! -e "$(disk)/App/last.txt" ] || check_failed "the run went on after Yes"
    if [ -f "$log" ]; then
        grep -q 'big.bin' "$log" && check_failed "big.bin is in the file log: $(tr -d '\r' <"$log" | tr '\n' ' ')"
        grep -q 'first.txt' "$log" || check_failed "first.txt is missing from the file log"
    else
        check_failed "no file log on the drive"
    fi
    grep -q 'Stopped: 1 of 4 files' "$DRIVER_LOG" "$WORK"/*.log 2>/dev/null ||
        check_failed "install-runner did not report 1 of 4 files: $(cat "$WORK/runner.out" 2>/dev/null)"
    umount -l "$(disk)" 2>/dev/null || true
}
