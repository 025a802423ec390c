# Making setup programs for the cases, sourced by the runner after
# checks.sh: products copied from tests/e2e/products, pictures drawn with
# ImageMagick, setup.exe built by the real kpack on the real stub, and
# damaged copies of it.

E2E_PRODUCTS=$E2E_LIB/../products
# The stub's size: the package starts at this position of setup.exe.
PACKAGE_START=274432

# make_picture FILE WIDTH HEIGHT [LABEL]: a 24-bit Windows bitmap of that
# size, a gradient with the label (Chinese allowed) in its middle.
make_picture() {
    local file=$1 width=$2 height=$3 label=${4:-}
    local font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
    [ -f "$font" ] || font=DejaVu-Sans
    mkdir -p "$(dirname "$file")"
    convert -size "${width}x${height}" gradient:'#2e6b4f'-'#0d2a1f' \
        -font "$font" -fill white -pointsize $(((height < width ? height : width) / 7)) \
        -gravity center -annotate +0+0 "$label" -type TrueColor BMP3:"$file"
}

# product_from NAME DIR: a copy of tests/e2e/products/NAME in DIR with its
# three pictures drawn: welcome 164 x 314, title 548 x 64, splash 400 x 220.
product_from() {
    local dir=$2
    rm -rf "$dir"
    cp -r "$E2E_PRODUCTS/$1" "$dir"
    make_picture "$dir/pictures/welcome.bmp" 164 314 欢迎
    make_picture "$dir/pictures/title.bmp" 548 64 标题
    make_picture "$dir/pictures/splash.bmp" 400 220 启动画面
}

# without_splash DIR: the product of DIR has no splash picture.
without_splash() {
    sed -i '/^splash *=/d' "$1/product.toml"
    rm -f "$1/pictures/splash.bmp"
}

# build_setup MANIFEST SETUP: kpack builds the setup program on the stub,
# with the uninstaller built beside it.
build_setup() {
    "$KPACK" build "$1" -o "$2" --stub "$STUB" --uninstaller "$(dirname "$STUB")/Kestrova-UnInstall.exe" --quiet
}

# package_field SETUP N: number field N of the package header (0: the
# script stream's length, 1: the file count).
package_field() {
    local value
    # A NUL ends the field early (a checksum may follow it).
    value=$(tail -c +$((PACKAGE_START + 20 * $2 + 1)) "$1" | head -c 20 | tr '\0' '\n' | head -1 | tr -d ' ')
    echo "${value:-0}"
}

# last_stream SETUP SCRIPT: "START LENGTH" of the stream that ends last in
# setup.exe, from the records of its decoded script (kpack extract's
# script.ini): record base + offset field, length field.
last_stream() {
    local base
    base=$((PACKAGE_START + $(package_field "$1" 0)))
    LC_ALL=C awk -v base="$base" '
        BEGIN { RS = "\r\n"; end = -1 }
        $0 == "[File]" { inside = 1; next }
        $0 == "[TotalSize]" { inside = 0 }
        inside && length($0) == 309 {
            offset = substr($0, 269, 20) + 0; size = substr($0, 289, 20) + 0
            if (offset + size > end) { end = offset + size; start = offset; length_ = size }
        }
        END { if (end < 0) exit 1; print base + start, length_ }' "$2"
}

# cut_setup SETUP OUT BYTES: the first BYTES bytes of SETUP.
cut_setup() {
    head -c "$3" "$1" >"$2"
}

# solid_picture FILE WIDTH HEIGHT RRGGBB: a 24-bit Windows bitmap of one
# colour, for cases that check the colours the wizard shows.
solid_picture() {
    mkdir -p "$(dirname "$1")"
    convert -size "${2}x${3}" "xc:#$4" -type TrueColor BMP3:"$1"
}

# Colours of the painting cases' pictures, and the product that has them:
# the wizard product with a solid welcome and title picture and 600 more
# files, so that the progress page stays long enough to be looked at.
PAINT_WELCOME=1478c8
PAINT_TITLE=c86414
paint_setup() {
    WIZARD_EDIT() {
        solid_picture "$1/pictures/welcome.bmp" 164 314 "$PAINT_WELCOME"
        solid_picture "$1/pictures/title.bmp" 548 64 "$PAINT_TITLE"
        many_files "$1"
    }
    wizard_setup
    define WELCOME "$PAINT_WELCOME"
    define TITLE "$PAINT_TITLE"
}

# screen_dpi N: the prefix's display density (Wine reads it when a program
# starts), 96 when nothing is set.
screen_dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
}

# screen_size WxH: a screen of that size for a case whose windows need more
# than 1024 x 768: an X screen of the case's own (Wine puts the mouse where
# it is asked only when its virtual desktop fills the X screen) and Wine's
# desktop as large. The runner stops that X server after the case.
screen_size() {
    CASE_SCREEN=$1
    : >"$WORK/xvfb.display"
    Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp -ac 3>"$WORK/xvfb.display" \
        </dev/null >"$WORK/xvfb.log" 2>&1 &
    echo $! >"$WORK/xvfb.pid"
    local tries=0
    until [ -s "$WORK/xvfb.display" ]; do
        tries=$((tries + 1))
        [ "$tries" -lt 100 ] || { echo "Xvfb did not start: $(cat "$WORK/xvfb.log")"; return 1; }
        sleep 0.05
    done
    export DISPLAY=:$(head -1 "$WORK/xvfb.display")
    desktop_size "$1"
}

# dpi_setup DPI: the painting cases' product with a splash (400 x 220), at
# DPI dots per inch (120 or more) on a screen usual for it, and where the
# wizard puts things there, for steps/wizard-dpi: the 120 set's page, band,
# welcome column and text places, scaled by DPI / 120 above 120; the
# pictures' places (their own sizes at 120, stretched to fill the column and
# the band above); a line's height in the font (a little more than Wine's).
# check_dpi_case checks what the windows log shows.
dpi_setup() {
    local dpi=$1
    screen_dpi "$dpi"
    screen_size "$(screen_for_dpi "$dpi")"
    WIZARD_EDIT() {
        solid_picture "$1/pictures/welcome.bmp" 164 314 "$PAINT_WELCOME"
        solid_picture "$1/pictures/title.bmp" 548 64 "$PAINT_TITLE"
        sed -i 's|^\[pictures\]$|[pictures]\nsplash = "pictures/splash.bmp"|' "$1/product.toml"
        # The progress page stays while a component step waits two seconds;
        # the uninstaller's window while it removes a hundred files.
        printf '@ping -n 3 127.0.0.1 >nul\r\n' >"$1/files/wait.bat"
        printf '\n[[files]]\nsource = "files/wait.bat"\ntarget = "[InstallDir]\\\\wait.bat"\nkind = "run-and-delete"\n' \
            >>"$1/product.toml"
        many_files "$1" 100
    }
    wizard_setup
    define WELCOME "$PAINT_WELCOME"
    define TITLE "$PAINT_TITLE"
    scaled() { if [ "$dpi" -le 120 ]; then echo "$1"; else echo $((($1 * dpi * 2 + 120) / 240)); fi; }
    local page_w page_h band welcome_h title_w title_h line sub_y text_bottom
    page_w=$(scaled 730) page_h=$(scaled 392) band=$(scaled 80) line=$((dpi * 3 / 20 + 1))
    if [ "$dpi" -le 120 ]; then
        welcome_h=314 title_w=548 title_h=64 SPLASH_SIZE=400x220
    else
        welcome_h=$page_h title_w=$page_w title_h=$((band - 2)) # the band's line is drawn over it
        SPLASH_SIZE=$(scaled 400)x$(scaled 220)
    fi
    sub_y=$(scaled 36) text_bottom=$((sub_y + line))
    define PAGE_W "$page_w"
    define WELCOME_W "$(scaled 164)"
    define WELCOME_H "$welcome_h"
    define PANEL_X "$((page_w - 20))"
    define PANEL_Y "$(($(scaled 58) + 2 * line))"
    define PANEL_H "$((page_h - $(scaled 58) - 2 * line))"
    define TITLE_W "$title_w"
    define TITLE_RIGHT "$((title_w * 3 / 4))"
    define TITLE_RIGHT_W "$((title_w - title_w * 3 / 4))"
    define TITLE_H "$title_h"
    define TEXT_BOTTOM "$text_bottom"
    define BELOW_TEXT_H "$((title_h - text_bottom))"
    define LINE_H "$line"
    define TEXT_W "$(scaled 200)"
    define TITLE_X "$(scaled 16)"
    define TITLE_Y "$(scaled 16)"
    define SUBTITLE_Y "$sub_y"
    define HEADING_X "$(scaled 180)"
    define LINE_X "$(scaled 175)"
    define LINE1_Y "$(scaled 40)"
    define LINE2_Y "$(scaled 58)"
}

check_dpi_case() {
    expect_box 确实要完全删除向导测试及其所有组件吗？ yes
    expect_box_count 2
    expect_windows_on_screen "" "$SPLASH_SIZE"
    expect_no_file 'C:\Program Files\向导测试\说明.txt'
    expect_screenshots 6
}

# A case whose setup.exe is damaged or has no package runs the shared
# steps of the package read error and checks with this: the one box, no
# window after it, nothing left in the temporary folder or installed.
PACKAGE_READ_ERROR_STEPS=$E2E_LIB/../steps/package-read-error

check_package_read_error() {
    expect_box 读取安装包时发生错误!!! ok
    expect_box_owner 读取安装包时发生错误!!! 安装程序
    expect_box_count 1
    expect_windows 安装程序 错误
    expect_temp_clean
    expect_nothing_new_under 'C:\Program Files'
    expect_screenshots 1
}

# built_setup: the product of the start-up cases built into
# $WORK/setup.exe (a copy of it in $WORK/product, which a case may change
# first with STARTUP_EDIT, a function given the folder), and kpack
# extract's view of it in $WORK/extracted.
built_setup() {
    product_from startup "$WORK/product"
    if declare -F STARTUP_EDIT >/dev/null; then STARTUP_EDIT "$WORK/product"; fi
    build_setup "$WORK/product/product.toml" "$WORK/setup.exe"
    "$KPACK" extract "$WORK/setup.exe" -d "$WORK/extracted" >/dev/null
}

# temp_prefix DIR: the "~temp" + time stamp prefix of the setup's
# temporary files, from the script (prefix + ".ini") among the files copied
# to DIR. Fails, printing nothing, when DIR holds no such script.
temp_prefix() {
    local prefix
    prefix=$(cd "$1" 2>/dev/null && ls ./*.ini 2>/dev/null | head -1)
    prefix=${prefix#./}
    prefix=${prefix%.ini}
    [[ $prefix =~ ^~temp[0-9]+$ ]] || return 1
    echo "$prefix"
}

# block_temp_names SUFFIX SECONDS: folders in the prefix's temporary folder
# at every name "~temp" + time stamp + SUFFIX that the next SECONDS
# seconds can give (local time, to the millisecond, unpadded, as the setup
# builds it). A setup started in that time then finds a folder where it
# wants to create that one file. Prints how many folders were made.
block_temp_names() {
    perl -e '
        use POSIX qw(floor);
        use Time::HiRes qw(time);
        my ($folder, $suffix, $seconds) = @ARGV;
        my $start = floor(time() * 1000);
        my %made;
        for my $ms ($start .. $start + $seconds * 1000) {
            my @t = localtime(int($ms / 1000));
            my $stamp = join("", $t[5] + 1900, $t[4] + 1, $t[3], $t[2], $t[1], $t[0], $ms % 1000);
            next if $made{$stamp}++;
            mkdir("$folder/~temp$stamp$suffix") or die "~temp$stamp$suffix: $!\n";
        }
        print scalar(keys %made), "\n";' "$TEMP_DIR" "$1" "$2"
}

# wizard_setup: the product of the wizard cases built into $WORK/setup.exe
# (a copy of it in $WORK/product, which a case may change first with
# WIZARD_EDIT, a function given the folder), put at C:\下载\向导测试安装.exe
# and defined as ${SETUP}.
wizard_setup() {
    product_from wizard "$WORK/product"
    if declare -F WIZARD_EDIT >/dev/null; then WIZARD_EDIT "$WORK/product"; fi
    build_setup "$WORK/product/product.toml" "$WORK/setup.exe"
    put "$WORK/setup.exe" 'C:\下载\向导测试安装.exe'
    define SETUP 'C:\下载\向导测试安装.exe'
}

# many_files DIR [COUNT]: 600 (or COUNT) files of 8 KB of random bytes in
# DIR/files/批量, packed by one more [[files]] entry of the product in DIR:
# an install that lasts long enough to be cancelled.
many_files() {
    mkdir -p "$1/files/批量"
    head -c $((${2:-600} * 8192)) /dev/urandom | split -b 8192 -d -a 3 - "$1/files/批量/f"
    printf '\n[[files]]\nfolder = "files/批量"\ntarget = "[InstallDir]\\\\批量"\n' >>"$1/product.toml"
}

# ---- Damaged bytes, checksums, signatures, unattended installs ----------

# record_stream SETUP SCRIPT N: "START LENGTH" of the stream of the Nth line
# of the [File] section (1 to 3: the pictures, then the records), from the
# decoded script (kpack extract's script.ini).
record_stream() {
    local base
    base=$((PACKAGE_START + $(package_field "$1" 0)))
    LC_ALL=C awk -v base="$base" -v n="$3" '
        BEGIN { RS = "\r\n" }
        $0 == "[File]" { inside = 1; next }
        inside && ++seen == n {
            print base + substr($0, 269, 20), substr($0, 289, 20) + 0; found = 1; exit
        }
        END { exit !found }' "$2"
}

# flip_byte FILE POSITION: inverts one bit of the byte at POSITION, in place.
flip_byte() {
    perl -e 'open(my $f, "+<:raw", $ARGV[0]) or die "$ARGV[0]: $!\n";
             seek($f, $ARGV[1], 0); read($f, my $b, 1) == 1 or die "no byte at $ARGV[1]\n";
             seek($f, $ARGV[1], 0); print $f chr(ord($b) ^ 0x04); close($f) or die "$!\n";' "$1" "$2"
}

# damaged_setup OUT: the start-up product's setup.exe (built_setup) with one
# byte changed in the middle of the first file's stream, between the
# pictures' and the last file's streams.
damaged_setup() {
    local start length
    read -r start length < <(record_stream "$WORK/setup.exe" "$WORK/extracted/script.ini" 4)
    [ "$length" -ge 2 ] || { echo "the first file's stream is $length bytes" >&2; return 1; }
    cp "$WORK/setup.exe" "$1"
    flip_byte "$1" $((start + length / 2))
}

# without_checksums SETUP: the header no longer carries the script's
# checksum (the NUL and digits after the script length become blanks), so
# the setup reads the package as one made by an older kpack.
without_checksums() {
    printf '         ' | dd of="$1" bs=1 seek=$((PACKAGE_START + 11)) conv=notrunc status=none
}

# An unattended install runs the shared steps with ${ARGS} and ${EXIT}.
SILENT_STEPS=$E2E_LIB/../steps/silent-install

# records_current_folder DIR: the product in DIR gets one more file, a
# batch file of kind run-and-delete that writes the folder it runs in to
# C:\current-folder.txt: the current folder the install run's programs
# start in.
records_current_folder() {
    printf '@cd>C:\\current-folder.txt\r\n' >"$1/files/current-folder.bat"
    printf '\n[[files]]\nsource = "files/current-folder.bat"\ntarget = "[InstallDir]\\\\current-folder.bat"\nkind = "run-and-delete"\n' \
        >>"$1/product.toml"
}

# check_silent_install FOLDER: the start-up product (with
# records_current_folder) is installed in FOLDER (a C:\ path), its logs and
# uninstall entry (every value) say so, its batch file ran there and is gone, and nothing
# was shown or left in the temporary folder.
check_silent_install() {
    local folder=$1 product=启动测试
    expect_file_text 'C:\current-folder.txt' "$folder\r\n"
    expect_no_file "$folder\\current-folder.bat"
    expect_same_bytes "$(c_path "$folder\\说明.txt")" "$WORK/product/files/说明.txt"
    expect_same_bytes "$(c_path "$folder\\配置\\settings.ini")" "$WORK/product/files/settings.ini"
    expect_log_line "$folder\\${product}file.ini" "$folder\\说明.txt"
    expect_log_line "$folder\\${product}dir.ini" "$folder\\配置"
    # A product without facts: no version, publisher or web page, and the
    # uninstaller's icon.
    expect_uninstall_entry "$product" "$folder" "$WORK/setup.exe" \
        'DisplayIcon|REG_SZ|C:\windows\Kestrova-UnInstall.exe'
    expect_windows
    expect_box_count 0
    expect_temp_clean
}

# ---- Damaged setup programs and the install run without the wizard ----

# install_runner: this machine's path of install-runner.exe (preset
# win-tests, built beside the driver).
install_runner() {
    realpath -m "$(dirname "$DRIVER")/../../install-runner.exe"
}

# repack_script SETUP SCRIPT OUT: SETUP with its script replaced by the
# decoded script in SCRIPT (written as a literal-only LZSS stream), its
# streams and file count kept: record offsets count from the end of the
# script stream, so they stay right.
repack_script() {
    local length count
    length=$(package_field "$1" 0)
    count=$(package_field "$1" 1)
    perl -e '
        my ($setup, $script, $out, $start, $length, $count) = @ARGV;
        local $/;
        open(my $s, "<:raw", $script) or die "$script: $!\n"; my $text = <$s>;
        open(my $f, "<:raw", $setup) or die "$setup: $!\n"; my $bytes = <$f>;
        my $stream = "";
        for (my $i = 0; $i < length($text); $i += 8) {
            my $chunk = substr($text, $i, 8);
            $stream .= chr((1 << length($chunk)) - 1) . $chunk;
        }
        my $field = sub { sprintf("%-20d", $_[0]) };
        open(my $o, ">:raw", $out) or die "$out: $!\n";
        print $o substr($bytes, 0, $start), $field->(length($stream)), $field->($count), $stream,
            substr($bytes, $start + 40 + $length);' \
        "$1" "$2" "$3" "$PACKAGE_START" "$length" "$count"
}

# set_package_field SETUP N VALUE OUT: SETUP with header field N (0 script
# length, 1 file count) set to VALUE.
set_package_field() {
    perl -e '
        my ($setup, $n, $value, $out, $start) = @ARGV;
        local $/;
        open(my $f, "<:raw", $setup) or die; my $bytes = <$f>;
        substr($bytes, $start + 20 * $n, 20) = sprintf("%-20s", $value);
        open(my $o, ">:raw", $out) or die; print $o $bytes;' "$1" "$2" "$3" "$4" "$PACKAGE_START"
}
