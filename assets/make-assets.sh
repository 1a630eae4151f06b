#!/usr/bin/env bash
# Regenerates the program's icon, pointing-hand cursor and pictures into the
# folder this script lives in:
#
#   wendmere.ico    32x32, 24-bit, fully opaque program icon
#   hand.cur        32x32 monochrome pointing hand, hot spot (6, 1)
#   help.jpg        552x444 usage instructions shown in the help panel
#   qq-online.jpg   72x21 "QQ在线" picture
#   join-group.jpg  90x22 "加入QQ群" picture
#
# Needs ImageMagick 6 (/usr/bin/convert, /usr/bin/identify), python3 (standard
# library only) and the Debian fonts fonts-arphic-ukai and fonts-wqy-microhei.
# The .ico and .cur files are written byte by byte by the Python part below,
# because ImageMagick only writes icons with an alpha channel.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# Call ImageMagick by its full path: another "convert" may come first in PATH.
IM=/usr/bin/convert
IDENTIFY=/usr/bin/identify
KAI=/usr/share/fonts/truetype/arphic/ukai.ttc        # face 0: AR PL UKai CN
HEI=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc

die() { echo "make-assets.sh: $*" >&2; exit 1; }

[ -x "$IM" ] || die "$IM not found (apt-get install imagemagick)"
[ -x "$IDENTIFY" ] || die "$IDENTIFY not found (apt-get install imagemagick)"
"$IM" -version | grep -q ImageMagick || die "$IM is not ImageMagick"
[ -r "$KAI" ] || die "$KAI not found (apt-get install fonts-arphic-ukai)"
[ -r "$HEI" ] || die "$HEI not found (apt-get install fonts-wqy-microhei)"
command -v python3 >/dev/null || die "python3 not found"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Plain baseline JPEG, 8-bit, three components, no profiles or metadata, so
# that the program's libjpeg decoder reads it without surprises.
jpeg_out=(-strip -colorspace sRGB -type TrueColor -depth 8 -interlace none
          -sampling-factor 1x1 -quality 92)

# --------------------------------------------------------------------------
# Program icon: a dark hood-shaped arch outlined by a bright green glow on
# black.  Drawn at 8x (256x256) and boxed down to 32x32.  The path's closing
# segment lies below the canvas so that only the arch itself is outlined.
# --------------------------------------------------------------------------
arch='M 48,400 L 52,250 C 56,200 62,150 66,120 C 76,70 104,44 128,28
      C 152,44 180,70 190,120 C 194,150 200,200 204,250 L 208,400 Z'
"$IM" -size 256x256 xc:black \
      -fill none -stroke '#2bff4a' -strokewidth 30 -draw "path '$arch'" \
      -blur 0x16 -level 0,60% \
      -fill '#050d07' -stroke '#a8ffa0' -strokewidth 10 -draw "path '$arch'" \
      -filter Box -resize 32x32 -alpha off -depth 8 "ppm:$work/icon.ppm"

# --------------------------------------------------------------------------
# QQ-online picture: a small cartoon penguin (ellipses only) and "QQ在线".
# The penguin is drawn at 4x and scaled down for smooth edges.
# --------------------------------------------------------------------------
bg='#f3f7fb'
ink='#1c1c1c'
"$IM" -size 72x84 xc:none -stroke none \
      -fill '#f29a1d' -draw 'ellipse 23,77 12,6 0,360' -draw 'ellipse 49,77 12,6 0,360' \
      -fill '#111111' -draw 'ellipse 10,50 7,17 0,360' -draw 'ellipse 62,50 7,17 0,360' \
                      -draw 'ellipse 36,50 25,30 0,360' -draw 'ellipse 36,23 22,21 0,360' \
      -fill white     -draw 'ellipse 36,56 17,22 0,360' \
                      -draw 'ellipse 28,20 7,9 0,360' -draw 'ellipse 44,20 7,9 0,360' \
      -fill '#111111' -draw 'ellipse 30,22 3,5 0,360' -draw 'ellipse 42,22 3,5 0,360' \
      -fill '#f29a1d' -draw 'ellipse 36,34 9,5 0,360' \
      -filter Triangle -resize 18x21 "png32:$work/penguin.png"
"$IM" -size 72x21 "xc:$bg" "$work/penguin.png" -geometry +2+0 -composite \
      -font "$HEI" -pointsize 12 -fill "$ink" -annotate +23+15 'QQ在线' \
      "${jpeg_out[@]}" "$here/qq-online.jpg"

# --------------------------------------------------------------------------
# Join-group picture: two people, one in front of the other, and "加入QQ群".
# --------------------------------------------------------------------------
"$IM" -size 88x80 xc:none -stroke none \
      -fill '#7fb2e5' -draw 'circle 62,20 62,30' -draw 'ellipse 62,68 21,23 0,360' \
      -fill none -stroke "$bg" -strokewidth 6 \
                      -draw 'circle 32,30 32,42' -draw 'ellipse 32,84 27,29 0,360' \
      -stroke none \
      -fill '#1f6fb8' -draw 'circle 32,30 32,42' -draw 'ellipse 32,84 27,29 0,360' \
      -filter Triangle -resize 22x20 "png32:$work/group.png"
"$IM" -size 90x22 "xc:$bg" "$work/group.png" -geometry +2+1 -composite \
      -font "$HEI" -pointsize 12 -fill "$ink" -annotate +27+16 '加入QQ群' \
      "${jpeg_out[@]}" "$here/join-group.jpg"

# --------------------------------------------------------------------------
# Help picture: usage instructions in a Kai (handwriting-style) face on pale
# green.  The panel stretches it to 560x528 and puts its "我已阅读完毕!"
# button over the lower right corner (about x 450..535, y 363..384 here), so
# the text stays above y 350.
#
# One entry per line, broken by hand to end inside the frame (x < 546):
# "size|text", or an empty entry for the space between two paragraphs.  The Kai face's Latin
# letters are wide, so the sample address uses a smaller size.
# --------------------------------------------------------------------------
help_lines=(
  '19|一、找到想下载的歌曲所在的网页，复制它的网址，例如：'
  '17|http://www.orrindale.example/mp3-dj/orrindale_9813.html'
  '19|把它粘贴到“歌曲网址”后的输入框中，点击“打开网址”。'
  ''
  '19|二、网页打开以后，复制这首歌的歌名，例如：'
  '19|旋律古乐搭配低音节奏'
  '19|把它粘贴到“歌曲名为”后的输入框中，点击“获取地址”。'
  ''
  '19|三、这时“下载地址”后面的输入框中就会显示出下载地址，'
  '19|点击“下载歌曲”，地址会自动复制，并弹出下载对话框。'
  ''
  '19|四、如果下载到的文件只有几十KB，说明这首歌曲设置了'
  '19|防下载保护。请点击软件下方的视频教程链接：'
  '19|“IDM免费下载Orrindale视频教程”，按教程操作即可。'
)
help_args=()
y=40
for entry in "${help_lines[@]}"; do
  if [ -z "$entry" ]; then
    y=$((y + 10))
    continue
  fi
  help_args+=(-pointsize "${entry%%|*}" -annotate "+20+$y" "${entry#*|}")
  y=$((y + 27))
done
"$IM" -size 552x444 'xc:#e3f4d7' \
      -fill none -stroke '#a9d394' -strokewidth 2 -draw 'rectangle 5,5 546,438' \
      -stroke none -fill black -font "$KAI" "${help_args[@]}" \
      "${jpeg_out[@]}" "$here/help.jpg"

# --------------------------------------------------------------------------
# wendmere.ico and hand.cur, written byte by byte.
# --------------------------------------------------------------------------
python3 - "$work/icon.ppm" "$here/wendmere.ico" "$here/hand.cur" \
        "$here/help.jpg" "$here/qq-online.jpg" "$here/join-group.jpg" <<'PY'
import struct
import sys

ppm_path, ico_path, cur_path = sys.argv[1:4]
jpeg_paths = sys.argv[4:]

# Pointing hand, 32x32.  '#' black, 'o' white, '.' transparent.
# The tip of the index finger, row 1 column 6, is the hot spot.
HAND = """
................................
.....###........................
....#ooo#.......................
....#ooo#.......................
....#ooo#.......................
....#ooo#.......................
....#ooo#.......................
....#ooo###.....................
....#ooo#oo##...................
....#ooo#ooo###.................
....#ooo#ooo#oo##...............
....#ooo#ooo#ooo###.............
.##.#ooo#ooo#ooo#oo#............
#oo##ooo#ooo#ooo#ooo#...........
#ooo#ooo#ooo#ooo#ooo#...........
.#oo#ooooooooooooooo#...........
.#ooo#oooooooooooooo#...........
..#ooo#ooooooooooooo#...........
..#oooooooooooooooooo#..........
...#ooooooooooooooooo#..........
...#ooooooooooooooooo#..........
....#ooooooooooooooo#...........
.....#oooooooooooooo#...........
.....#oooooooooooooo#...........
....##################..........
....#oooooooooooooooo#..........
....#oooooooooooooooo#..........
....##################..........
................................
................................
................................
................................
""".split()
HOT_X, HOT_Y = 6, 1


def read_ppm(path):
    """Width, height and RGB bytes of a binary (P6) PPM with maxval 255."""
    data = open(path, "rb").read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pos += 1                       # the single whitespace after maxval
    magic, width, height, maxval = fields[0], int(fields[1]), int(fields[2]), int(fields[3])
    if magic != b"P6" or maxval != 255:
        sys.exit(f"{path}: not an 8-bit binary PPM")
    pixels = data[pos:pos + width * height * 3]
    if len(pixels) != width * height * 3:
        sys.exit(f"{path}: cut short")
    return width, height, pixels


def stride(width, bits):
    """Bytes in one bitmap row, padded to a multiple of 4."""
    return (width * bits + 31) // 32 * 4


def info_header(width, height, bits, image_size):
    # BITMAPINFOHEADER; the height counts the XOR and the AND mask.
    return struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, bits, 0,
                       image_size, 0, 0, 0, 0)


def mask_rows(width, height, bit_at):
    """1-bit rows, bottom-up, each padded to 4 bytes."""
    out = bytearray()
    for y in reversed(range(height)):
        row = bytearray(stride(width, 1))
        for x in range(width):
            if bit_at(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


# --- icon: one 32x32 image, 24 bits per pixel, AND mask all zero ---
w, h, rgb = read_ppm(ppm_path)
if (w, h) != (32, 32):
    sys.exit(f"{ppm_path}: {w}x{h}, expected 32x32")
xor = bytearray()
for y in reversed(range(h)):
    row = bytearray()
    for x in range(w):
        r, g, b = rgb[(y * w + x) * 3:(y * w + x) * 3 + 3]
        row += bytes((b, g, r))
    row += bytes(stride(w, 24) - len(row))
    xor += row
and_mask = mask_rows(w, h, lambda x, y: False)
image = info_header(w, h, 24, len(xor) + len(and_mask)) + xor + and_mask
ico = struct.pack("<HHH", 0, 1, 1)
# ICONDIRENTRY: width, height, colour count, reserved, planes, bits, size, offset
ico += struct.pack("<BBBBHHII", w, h, 0, 0, 1, 24, len(image), 6 + 16)
ico += image
with open(ico_path, "wb") as f:
    f.write(ico)

# --- cursor: 32x32, 1 bit per pixel, black/white palette ---
if len(HAND) != 32 or any(len(r) != 32 or set(r) - set(".#o") for r in HAND):
    sys.exit("hand grid must be 32 rows of 32 '.', '#' or 'o'")
if HAND[HOT_Y][HOT_X] != "#" or HAND[HOT_Y - 1][HOT_X] != ".":
    sys.exit("hot spot is not the finger tip")
w = h = 32
palette = struct.pack("<4B4B", 0, 0, 0, 0, 255, 255, 255, 0)   # 0 black, 1 white
xor = mask_rows(w, h, lambda x, y: HAND[y][x] == "o")           # white: XOR 1
and_mask = mask_rows(w, h, lambda x, y: HAND[y][x] == ".")      # transparent: AND 1
image = info_header(w, h, 1, len(xor) + len(and_mask)) + palette + xor + and_mask
cur = struct.pack("<HHH", 0, 2, 1)
# CURSORDIR entry: width, height, colour count, reserved, hot spot x, y, size, offset
cur += struct.pack("<BBBBHHII", w, h, 2, 0, HOT_X, HOT_Y, len(image), 6 + 16)
cur += image
with open(cur_path, "wb") as f:
    f.write(cur)


# --- the pictures: baseline (SOF0), 8-bit, 3 components, no APP1/APP2 ---
def check_jpeg(path):
    data = open(path, "rb").read()
    if data[:2] != b"\xff\xd8":
        sys.exit(f"{path}: not a JPEG")
    pos = 2
    while True:
        if data[pos] != 0xFF:
            sys.exit(f"{path}: broken marker at {pos}")
        marker = data[pos + 1]
        length = struct.unpack(">H", data[pos + 2:pos + 4])[0]
        if marker in (0xE1, 0xE2):
            sys.exit(f"{path}: carries EXIF or a colour profile")
        if 0xC1 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
            sys.exit(f"{path}: not a baseline JPEG (SOF{marker - 0xC0})")
        if marker == 0xC0:
            bits, height, width, comps = struct.unpack(">BHHB", data[pos + 4:pos + 10])
            if bits != 8 or comps != 3:
                sys.exit(f"{path}: {bits}-bit, {comps} components")
        if marker == 0xDA:
            return
        pos += 2 + length


for path in jpeg_paths:
    check_jpeg(path)
PY

# --------------------------------------------------------------------------
# Check what came out.
# --------------------------------------------------------------------------
expect() {  # file, expected "WxH"
  local got
  got=$("$IDENTIFY" -format '%wx%h' "$here/$1")
  [ "$got" = "$2" ] || die "$1 is $got, expected $2"
}
expect help.jpg 552x444
expect qq-online.jpg 72x21
expect join-group.jpg 90x22
[ "$(stat -c %s "$here/wendmere.ico")" -eq 3262 ] || die "wendmere.ico has the wrong size"
[ "$(stat -c %s "$here/hand.cur")" -eq 326 ] || die "hand.cur has the wrong size"

echo "make-assets.sh: wrote wendmere.ico hand.cur help.jpg qq-online.jpg join-group.jpg in $here"
