# The whole install through the wizard; see steps. The product is packed
# with compression = "deflate" and carries, besides its text files, one
# file deflate makes smaller and one nothing makes smaller (stored as it
# is): every codec's file installs byte for byte.

# WIZARD_EDIT DIR: the codecs' product.
WIZARD_EDIT() {
    sed -i 's/^uninstall = true$/&\ncompression = "deflate"/' "$1/product.toml"
    seq 1 30000 >"$1/files/日志.txt"
    head -c 200000 /dev/urandom >"$1/files/媒体.ogg"
    printf '\n[[files]]\nsource = "files/%s"\ntarget = "[InstallDir]\\\\数据\\\\%s"\n' \
        日志.txt 日志.txt 媒体.ogg 媒体.ogg >>"$1/product.toml"
}

prepare() {
    needs stub kpack
    wizard_setup
    "$KPACK" list "$WORK/setup.exe" >"$WORK/list.log"
    define DEFAULT_DIR 'C:\Program Files\向导测试'
    define TOO_SHORT 'C:\'
    define DOUBLE_SLASH 'C:\\A'
    define MIXED_SLASH 'C:\/A'
    define NO_DRIVE 'CC:\A'
    define TRAILING 'C:\Program Files\向导测试\'
}

check() {
    expect_wizard_install 'C:\Program Files\向导测试'
    local file
    for file in 日志.txt 媒体.ogg; do
        expect_same_bytes "$(c_path "C:\\Program Files\\向导测试\\数据\\$file")" "$WORK/product/files/$file"
    done
    grep -q ' deflate .*数据\\日志.txt$' "$WORK/list.log" &&
        grep -q ' stored .*数据\\媒体.ogg$' "$WORK/list.log" ||
        check_failed "kpack list does not show the codecs: $(grep -F '[InstallDir]' "$WORK/list.log")"
    expect_file 'C:\run-marker.txt'
    expect_temp_clean
    expect_box_count 7
    expect_box 你所输入的安装路径长度不够，请重新输入! ok
    expect_box_owner 你所选择的安装路径错误，请重新输入! 向导测试安装
    expect_nothing_new_under 'C:\A'
    expect_screenshots 4
}
