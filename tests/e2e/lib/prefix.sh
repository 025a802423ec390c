# Wine prefixes for the e2e cases and the demo, sourced by the runner and
# scripts/demo (which set E2E_LIB to this folder). A template prefix is
# made once and kept while Wine and this recipe stay the same; every case
# (and every demo run) gets a fresh copy of it.

now_ms() { echo $(($(date +%s%N) / 1000000)); }
seconds_since() {
    local ms=$(($(now_ms) - $1))
    printf '%d.%02d' $((ms / 1000)) $((ms % 1000 / 10))
}

# The environment every Wine call of the run gets: a prefix of the kind this
# machine's Wine runs (scripts/wine-env; 32-bit where it can), quiet,
# no offer to download Mono or Gecko, and a Chinese locale (code page 936),
# which Wine also needs to map Chinese file names.
e2e_wine_env() {
    source "$E2E_LIB/../../../scripts/wine-env"
    export LC_ALL=zh_CN.UTF-8 LANG=zh_CN.UTF-8
}

# What the template depends on: the prefix kind, Wine's version and its
# setup file (a newer package makes Wine update a prefix on start) and this
# recipe.
template_stamp() {
    echo "$WINEARCH"
    wine --version
    stat -c '%Y %s' /usr/share/wine/wine.inf 2>/dev/null
    cat "$E2E_LIB/prefix.sh" "$E2E_LIB/template.reg" | sha256sum
}

# Makes the template prefix at $1 unless a current one is there. Prints
# what it did. The template's settings are in template.reg.
ensure_template() {
    local template=$1 stamp started
    stamp=$(template_stamp)
    if [ -f "$template/.e2e-template" ] && [ "$(cat "$template/.e2e-template")" = "$stamp" ]; then
        echo "template prefix: reused $template"
        return 0
    fi
    started=$(now_ms)
    rm -rf "$template" "$template.new"
    mkdir -p "$(dirname "$template")"
    local log="$template.log"
    # Every Wine process started here writes to the log, never to the
    # runner's output: helper processes that outlive the call would keep
    # that pipe open.
    if ! WINEPREFIX="$template.new" wine wineboot -i </dev/null >"$log" 2>&1; then
        echo "template prefix: wineboot failed, see $log" >&2
        return 1
    fi
    { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$E2E_LIB/template.reg"; } \
        >"$template.new/drive_c/e2e-template.reg"
    WINEPREFIX="$template.new" wine regedit /S 'C:\e2e-template.reg' </dev/null >>"$log" 2>&1
    # A server that ends by itself has saved the registry to disk.
    WINEPREFIX="$template.new" wineserver -w </dev/null >>"$log" 2>&1
    rm -f "$template.new/drive_c/e2e-template.reg"
    # Wine links the user's desktop and documents to this machine's home
    # folder: what a setup puts there must stay inside the prefix.
    local link
    for link in "$template.new"/drive_c/users/*/*; do
        if [ -L "$link" ]; then rm "$link" && mkdir "$link"; fi
    done
    if ! grep -q 'WenQuanYi Micro Hei' "$template.new/user.reg"; then
        echo "template prefix: the settings of template.reg did not reach the registry, see $log" >&2
        return 1
    fi
    mv "$template.new" "$template"
    printf '%s\n' "$stamp" >"$template/.e2e-template"
    echo "template prefix: made $template in $(seconds_since "$started") s"
}

# Folders of the template that hold Wine's own programs and libraries:
# hundreds of megabytes that cases read and never write.
shared_folders=(drive_c/windows/system32 drive_c/windows/winsxs)

# Copies the template at $1 to a fresh prefix at $2. The shared folders'
# files are hard links (a copy of them takes seconds, a link milliseconds);
# everything else, the registry files among them, is copied.
new_prefix() {
    local template=$1 prefix=$2 excludes=() folder
    rm -rf "$prefix"
    mkdir -p "$prefix"
    for folder in "${shared_folders[@]}"; do excludes+=(--exclude="./$folder"); done
    (cd "$template" && tar "${excludes[@]}" -cf - .) | (cd "$prefix" && tar -xf -)
    for folder in "${shared_folders[@]}"; do
        cp -a --link "$template/$folder" "$prefix/$(dirname "$folder")/"
    done
}

# A program that rewrote a file of a shared folder in place has changed the
# template through the hard link. Prints such files; the runner then throws
# the template away so that the next run makes a new one.
template_changed() {
    local template=$1 folder paths=()
    for folder in "${shared_folders[@]}"; do paths+=("$template/$folder"); done
    find "${paths[@]}" -type f -newer "$template/.e2e-template" -print 2>/dev/null | head -5
}

# Ends the prefix's server and every Wine process in it, and waits until
# they are gone, so that none keeps a pipe of the runner open. A server
# that has ended already is no failure (callers run under set -e, some in
# their EXIT traps).
end_prefix() {
    WINEPREFIX=$1 wineserver -k </dev/null >/dev/null 2>&1 || true
    WINEPREFIX=$1 timeout 10 wineserver -w </dev/null >/dev/null 2>&1 || true
}

# The size of the prefix's virtual desktop (the screen its programs see),
# WxH; 1024x768 unless set. The desktop takes it when it starts, so the
# prefix's server is ended: the next program starts a new desktop.
desktop_size() {
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$1" /f >/dev/null
    end_prefix "$WINEPREFIX"
}

# A screen on which a display density is usual, as WxH: 1024x768 up to
# 120 dots per inch, a full HD laptop up to 175 %, a 1440p display at 200 %,
# a 4K one above.
screen_for_dpi() {
    if [ "$1" -le 120 ]; then echo 1024x768
    elif [ "$1" -le 168 ]; then echo 1920x1080
    elif [ "$1" -le 192 ]; then echo 2560x1440
    else echo 3840x2160
    fi
}
