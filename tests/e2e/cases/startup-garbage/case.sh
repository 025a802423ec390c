# A good package header followed by random bytes instead of the script and
# the streams: the package read error, whatever the decoder made of them.
STEPS=$PACKAGE_READ_ERROR_STEPS

prepare() {
    needs stub kpack
    built_setup
    local size
    size=$(stat -c %s "$WORK/setup.exe")
    head -c $((PACKAGE_START + 40)) "$WORK/setup.exe" >"$WORK/damaged.exe"
    # Random, but the same bytes in every run.
    perl -e 'srand(20040305); print map { chr(int(rand(256))) } 1 .. $ARGV[0]' \
        $((size - PACKAGE_START - 40)) >>"$WORK/damaged.exe"
    put "$WORK/damaged.exe" 'C:\setup.exe'
    define SETUP 'C:\setup.exe'
}

check() {
    check_package_read_error
}
