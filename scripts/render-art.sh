#!/bin/sh
# Renders the picture and icon PNGs of HXP and the launcher from their SVG
# sources with rsvg-convert, at their exact pixel sizes, and checks the sizes.
# The room pictures are also rendered at twice the size (NNN@2x.png), for
# screens with a device pixel ratio of 2.
#
#   scripts/render-art.sh           render every PNG
#   scripts/render-art.sh --rooms   first rewrite the room SVGs with
#                                   hxp/art/make-rooms.py, then render
#
# The room drawings (hxp/art/room-113..118.svg, launcher/art/room-105.svg)
# come from hxp/art/make-rooms.py; the logo and icon SVGs are written by hand.
set -eu

cd "$(dirname "$0")/.."

if ! command -v rsvg-convert >/dev/null 2>&1; then
    echo "rsvg-convert not found; installing librsvg2-bin" >&2
    apt-get install -y librsvg2-bin >/dev/null
fi

if [ "${1:-}" = "--rooms" ]; then
    python3 hxp/art/make-rooms.py >/dev/null
fi

failed=0

# png_size FILE: prints "WIDTHxHEIGHT" read from the PNG header.
png_size() {
    od -An -tu1 -j16 -N8 "$1" | awk '{
        printf "%dx%d\n", (($1 * 256 + $2) * 256 + $3) * 256 + $4,
                          (($5 * 256 + $6) * 256 + $7) * 256 + $8 }'
}

# render SOURCE.svg TARGET.png WIDTH HEIGHT
render() {
    rsvg-convert --width "$3" --height "$4" --format png --output "$2" "$1"
    python3 scripts/png-recompress.py "$2"
    size=$(png_size "$2")
    if [ "$size" = "$3x$4" ]; then
        echo "$2  $size"
    else
        echo "$2  $size, expected $3x$4" >&2
        failed=1
    fi
}

for n in 113 114 115 116 117 118; do
    render "hxp/art/room-$n.svg" "hxp/art/$n.png" 465 234
    render "hxp/art/room-$n.svg" "hxp/art/$n@2x.png" 930 468
done
render hxp/art/icon-119.svg      hxp/art/119.png      32 32
render hxc/art/icon-219.svg      hxc/art/219.png      32 32

render launcher/art/logo-104.svg launcher/art/104.png 594 602
render launcher/art/room-105.svg launcher/art/105.png 465 234
render launcher/art/room-105.svg launcher/art/105@2x.png 930 468
render launcher/art/icon-107.svg launcher/art/107.png 32 32

exit "$failed"
