# The whole install through the wizard; see steps. The product is packed
# with compression = "deflate" and carries, besides its text files, a log
# that deflate makes smaller, twelve texts that share their words (so the
# package gets a deflate dictionary) and a file nothing makes smaller
# (stored as it is): every codec's file installs byte for byte.

# WIZARD_EDIT DIR: the codecs' product.
WIZARD_EDIT() {
    sed -i 's/^uninstall = true$/&\ncompression = "deflate"/' "$1/product.toml"
    seq 1 30000 >"$1/files/日志.txt"
    head -c 200000 /dev/urandom >"$1/files/媒体.ogg"
    printf '\n[[files]]\nsource = "files/%s"\ntarget = "[InstallDir]\\\\数据\\\\%s"\n' \
        日志.txt 日志.txt 媒体.ogg 媒体.ogg >>"$1/product.toml"
    mkdir -p "$1/files/章节"
    LC_ALL=C awk -v dir="$1/files/章节" 'BEGIN {
        srand(11)
        for (i = 0; i < 150; i++) {
            w = ""; n = 4 + int(rand() * 7)
            for (j = 0; j < n; j++) w = w sprintf("%c", 97 + int(rand() * 26))
            words[i] = w
        }
        for (f = 0; f < 12; f++) {
            t = ""
            while (length(t) < 3000) t = t words[int(rand() * 150)] (rand() < 0.83 ? " " : ";\r\n")
            printf "%s", t >(dir "/" f ".txt"); close(dir "/" f ".txt")
        }
    }'
    printf '\n[[files]]\nfolder = "files/章节"\ntarget = "[InstallDir]\\\\数据\\\\章节"\n' \
        >>"$1/product.toml"
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
    # The product's entry as the list of programs and deployment tools read
    # it, every value with its type, and Wine's own list of programs.
    expect_uninstall_entry 向导测试 'C:\Program Files\向导测试' "$WORK/setup.exe" \
        'DisplayVersion|REG_SZ|2.4' 'Publisher|REG_SZ|向导测试工作室' \
        'URLInfoAbout|REG_SZ|https://www.example.com/wizard' \
        'DisplayIcon|REG_SZ|C:\Program Files\向导测试\向导测试.ico'
    WINEPREFIX=$PREFIX wine uninstaller --list </dev/null >"$WORK/programs.txt" 2>/dev/null
    grep -q '|||向导测试$' <(iconv -f GBK -t UTF-8 "$WORK/programs.txt" | tr -d '\r') ||
        check_failed "wine uninstaller --list does not list 向导测试: $(tr '\r\n' '  ' <"$WORK/programs.txt")"
    local file
    for file in 日志.txt 媒体.ogg 章节/{0..11}.txt; do
        expect_same_bytes "$(c_path "C:\\Program Files\\向导测试\\数据\\${file/\//\\}")" \
            "$WORK/product/files/$file"
    done
    grep -q ' deflate.*数据\\日志.txt$' "$WORK/list.log" &&
        grep -q ' stored .*数据\\媒体.ogg$' "$WORK/list.log" &&
        grep -q ' deflate+dict .*数据\\章节\\0.txt$' "$WORK/list.log" ||
        check_failed "kpack list does not show the codecs: $(grep -F '[InstallDir]' "$WORK/list.log")"
    expect_file 'C:\run-marker.txt'
    expect_temp_clean
    expect_box_count 7
    expect_box 你所输入的安装路径长度不够，请重新输入! ok
    expect_box_owner 你所选择的安装路径错误，请重新输入! 向导测试安装
    expect_nothing_new_under 'C:\A'
    expect_screenshots 4
}
