#!/usr/bin/env bash
# Renders the program's icon from resources/artwork/images/logo.svg in the
# sizes desktops look for (hicolor/<size>x<size>/apps/sonvera.png) and as the
# Windows icon (sonvera.ico, 16 to 256 pixels). Developer tool only: the
# outputs are committed, so building and packaging need neither tool.
# Needs: rsvg-convert (librsvg2-bin) and ImageMagick 6 at /usr/bin/convert.
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
SOURCE="$HERE/../../resources/artwork/images/logo.svg"
CONVERT=/usr/bin/convert
SIZES=(16 22 24 32 48 64 128 256 512)

command -v rsvg-convert >/dev/null || { echo "rsvg-convert not found (apt-get install librsvg2-bin)" >&2; exit 1; }
[[ -x "$CONVERT" ]] || { echo "$CONVERT not found (apt-get install imagemagick)" >&2; exit 1; }

for size in "${SIZES[@]}"; do
    rsvg-convert -w "$size" -h "$size" "$SOURCE" -o "$HERE/sonvera-$size.png"
    # No time stamps or other chunks that change from run to run.
    "$CONVERT" "$HERE/sonvera-$size.png" -strip "PNG32:$HERE/sonvera-$size.png"
done
cp "$SOURCE" "$HERE/sonvera.svg"
"$CONVERT" "$HERE"/sonvera-{16,24,32,48,64,256}.png "$HERE/sonvera.ico"
