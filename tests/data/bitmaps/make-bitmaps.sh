#!/usr/bin/env bash
# Regenerates the small test pictures in this folder with ImageMagick
# (convert), then derives the damaged and unusual variants by cutting and
# patching bytes. The .ppm files are the truth the tests compare against:
# every picture here shows one of them.
set -euo pipefail
cd "$(dirname "$0")"

# Four source pictures: 9 colours (5x3), 20 colours (5x4), black and white
# (5x3) and a width-3 picture whose 24-bit rows need padding (3x2).
cat > nine.ppm <<'PPM'
P3
5 3
255
255 0 0  0 255 0  0 0 255  255 255 0  0 0 0
255 255 255  255 0 255  0 255 255  128 128 128  255 0 0
0 0 0  0 0 255  255 255 0  255 255 255  0 255 0
PPM
cat > twenty.ppm <<'PPM'
P3
5 4
255
255 0 0  0 255 0  0 0 255  255 255 0  0 255 255
255 0 255  255 255 255  0 0 0  128 0 0  0 128 0
0 0 128  128 128 0  0 128 128  128 0 128  192 192 192
128 128 128  255 128 0  0 128 255  255 0 128  64 64 64
PPM
cat > mono.ppm <<'PPM'
P3
5 3
255
0 0 0  255 255 255  0 0 0  255 255 255  255 255 255
255 255 255  0 0 0  0 0 0  255 255 255  0 0 0
0 0 0  0 0 0  255 255 255  255 255 255  0 0 0
PPM
cat > three.ppm <<'PPM'
P3
3 2
255
10 20 30  40 50 60  70 80 90
100 110 120  130 140 150  160 170 180
PPM

# poke FILE OFFSET LE32: writes a 32-bit little-endian number at OFFSET.
poke() {
  local v=$3
  printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((v & 255)) $(((v >> 8) & 255)) \
    $(((v >> 16) & 255)) $(((v >> 24) & 255)))" |
    dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}
# Field offsets in a file with its 14-byte file header.
fileSize=2 pixelOffset=10 headerSize=14 compression=30 imageSize=34 colorsUsed=46

# 24-bit: complete, without its file header, cut short, with a header size
# that is neither 12 nor 40, and a width-3 one whose image size field is 0.
convert nine.ppm -type TrueColor BMP3:rgb24.bmp
tail -c +15 rgb24.bmp > rgb24-nohdr.bmp
head -c $((54 + 30)) rgb24.bmp > rgb24-truncated.bmp
cp rgb24.bmp rgb24-badsize.bmp && poke rgb24-badsize.bmp $headerSize 64
convert three.ppm -type TrueColor BMP3:w3-size0.bmp && poke w3-size0.bmp $imageSize 0

# Paletted 1, 4 and 8 bits, with colours-used as ImageMagick writes it and
# patched to 0 (the table size then follows from the bit count).
convert mono.ppm -type Bilevel BMP3:mono1.bmp
convert nine.ppm -type Palette BMP3:pal4.bmp
convert twenty.ppm -type Palette -compress None BMP3:pal8.bmp
for f in mono1 pal4 pal8; do cp $f.bmp $f-cu0.bmp && poke $f-cu0.bmp $colorsUsed 0; done

# 8 bits with a 20-entry table (colours-used 20): the table sliced out of
# pal8.bmp, whose pixels use entries 0 to 19 only; and the same without its
# file header, so the pixels follow the 20 entries directly.
{ head -c $((54 + 80)) pal8.bmp; tail -c +$((54 + 1024 + 1)) pal8.bmp; } > pal8-cu20.bmp
poke pal8-cu20.bmp $colorsUsed 20
poke pal8-cu20.bmp $pixelOffset $((54 + 80))
poke pal8-cu20.bmp $fileSize "$(stat -c %s pal8-cu20.bmp)"
tail -c +15 pal8-cu20.bmp > pal8-cu20-nohdr.bmp

# ImageMagick's default 8-bit form: run-length encoded.
convert twenty.ppm -type Palette BMP3:rle8.bmp

# Old-style 12-byte core headers with 3-byte colour entries.
convert mono.ppm -type Bilevel BMP2:core1.bmp
convert nine.ppm -type Palette BMP2:core4.bmp
convert twenty.ppm -type Palette BMP2:core8.bmp

# 16 bits: ImageMagick marks its 5-5-5 pixels as bit fields but stores no
# masks; rgb16.bmp is the same file marked as plain rows (which 5-5-5 is).
convert nine.ppm -define bmp:subtype=RGB555 BMP3:bitfields16.bmp
cp bitfields16.bmp rgb16.bmp && poke rgb16.bmp $compression 0

# 32 bits (blue, green, red, alpha).
convert nine.ppm -alpha set -define bmp3:alpha=true BMP3:rgb32.bmp

# Forms other writers use. Top-down rows (a negative height): rgb24.bmp and
# pal8-cu20.bmp with their rows in reverse order. Bit fields with their
# masks after the header: 5-6-5 and 5-5-5 at 16 bits, 8-8-8 at 32 bits.
# rowsReversed FILE PIXELOFFSET ROWBYTES ROWS: the file with its rows turned over.
rowsReversed() {
  head -c "$2" "$1"
  for ((row = $4 - 1; row >= 0; row--)); do tail -c +$(($2 + row * $3 + 1)) "$1" | head -c "$3"; done
}
rowsReversed rgb24.bmp 54 16 3 > rgb24-topdown.bmp && poke rgb24-topdown.bmp 22 -3
rowsReversed pal8-cu20.bmp $((54 + 80)) 8 4 > pal8-topdown.bmp && poke pal8-topdown.bmp 22 -4
# withMasks FROM TO R G B: FROM with the three masks inserted after its
# 40-byte header and marked as bit fields.
withMasks() {
  { head -c 54 "$1"; printf '\0%.0s' {1..12}; tail -c +55 "$1"; } > "$2"
  poke "$2" 54 "$3" && poke "$2" 58 "$4" && poke "$2" 62 "$5"
  poke "$2" $compression 3 && poke "$2" $pixelOffset 66
  poke "$2" $fileSize "$(stat -c %s "$2")"
}
convert nine.ppm -define bmp:subtype=RGB565 BMP3:rgb565-nomasks.bmp
withMasks rgb565-nomasks.bmp bitfields565.bmp 0xF800 0x07E0 0x001F && rm rgb565-nomasks.bmp
withMasks rgb16.bmp bitfields555.bmp 0x7C00 0x03E0 0x001F
withMasks rgb32.bmp bitfields32.bmp 0xFF0000 0xFF00 0xFF

# What image editors write by default, for kpack to convert: a 124-byte
# header (24 bits), the same with 32-bit pixels and their alpha, a PNG with
# transparency (alpha.txt gives each pixel's colour and opacity) and a PNG
# of 17 x 17 colours (red 15x, green 15y, blue 128), more than a colour
# table holds.
convert nine.ppm BMP:v5.bmp
cat > alpha.txt <<'TXT'
# ImageMagick pixel enumeration: 4,2,255,srgba
0,0: (255,0,0,255)
1,0: (0,0,255,128)
2,0: (0,255,0,0)
3,0: (0,0,0,64)
0,1: (10,20,30,255)
1,1: (200,100,50,200)
2,1: (255,255,255,128)
3,1: (0,0,0,255)
TXT
convert alpha.txt PNG32:alpha.png
convert alpha.txt BMP:alpha-v5.bmp
{
  echo "P3 17 17 255"
  for ((y = 0; y < 17; y++)); do for ((x = 0; x < 17; x++)); do echo "$((15 * x)) $((15 * y)) 128"; done; done
} | convert ppm:- PNG24:many.png
