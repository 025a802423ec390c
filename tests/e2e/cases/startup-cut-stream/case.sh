# setup.exe cut in the middle of the stream that ends the file: the script
# is whole, a file stream is not; the package read error comes before
# anything is installed.
STEPS=$PACKAGE_READ_ERROR_STEPS

prepare() {
    needs stub kpack
    built_setup
    local start length size
    read -r start length < <(last_stream "$WORK/setup.exe" "$WORK/extracted/script.ini")
    size=$(stat -c %s "$WORK/setup.exe")
    if [ "$((start + length))" != "$size" ] || [ "$length" -lt 2 ]; then
        echo "the last stream ($start, $length bytes) does not end the $size-byte file" >&2
        return 1
    fi
    cut_setup "$WORK/setup.exe" "$WORK/damaged.exe" $((start + length / 2))
    put "$WORK/damaged.exe" 'C:\setup.exe'
    define SETUP 'C:\setup.exe'
}

check() {
    check_package_read_error
}
