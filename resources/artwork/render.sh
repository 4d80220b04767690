#!/usr/bin/env bash
# Regenerates every picture under resources/images and resources/flags from the
# SVG sources in resources/artwork. Developer tool only: the PNG/GIF outputs are
# committed, so building the program does not need these tools.
#
# Needs: rsvg-convert (librsvg2-bin) and ImageMagick 6 at /usr/bin/convert.
#
# Output sizes (pixels), chosen for where each picture is shown:
#   64x64  button / dialog pictures: login, patient-create, patient-delete,
#          patient-male, patient-female, record-create, record-delete,
#          record-done, record-sensor, autospectrum, analysis,
#          comparative-analysis, recovery-history, receipt, excel-export,
#          refresh, cloud-device, and the device-state pictures
#          (connected-device*, not-connected-device); the patient table draws
#          the device picture into 24x24, the dialogs at 32x32
#   32x32  patient-settings (32x32 label), notes-popup (popup header)
#   96x96  play, pause, stop (48x48 player button, twice for high-DPI screens)
#   24x24  table cells and field labels: edit, edit-hover, trash, trash-hover,
#          delete, notes, gender-male, gender-female, login-as-user,
#          login-password
#   20x20  separator (breadcrumb label), table-arrow-up/-down (row move
#          controls at 20x20, header sort arrows scaled to 12x12)
#   12x8   combobox-arrow
#   10x6   arrow-up, arrow-down (header sort indicators), spinup*, spindown*
#   512x1  gradient (green -> yellow -> red ramp, computed pixel by pixel)
#   48x48  loading.gif, 12 frames, looping
#   128x128 logo (window icon; small enough to decode quickly at start-up)
#   32x24  flags de, en, pl, ru
set -euo pipefail

HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
SRC_IMG="$HERE/images"
SRC_FLAGS="$HERE/flags"
OUT_IMG="$HERE/../images"
OUT_FLAGS="$HERE/../flags"
CONVERT=/usr/bin/convert

command -v rsvg-convert >/dev/null || { echo "rsvg-convert not found (apt-get install librsvg2-bin)" >&2; exit 1; }
[[ -x "$CONVERT" ]] || { echo "$CONVERT not found (apt-get install imagemagick)" >&2; exit 1; }

mkdir -p "$OUT_IMG" "$OUT_FLAGS"

# name:width:height
SIZES=(
  login:64:64 patient-create:64:64 patient-delete:64:64 patient-male:64:64
  patient-female:64:64 record-create:64:64 record-delete:64:64 record-done:64:64
  record-sensor:64:64 autospectrum:64:64 analysis:64:64 comparative-analysis:64:64
  recovery-history:64:64 receipt:64:64 excel-export:64:64 refresh:64:64
  cloud-device:64:64 connected-device:64:64 connected-device-record:64:64
  connected-device-record-complete:64:64 connected-device-recipe:64:64
  connected-device-blocked:64:64 not-connected-device:64:64
  patient-settings:32:32 notes-popup:32:32
  play:96:96 pause:96:96 stop:96:96
  edit:24:24 edit-hover:24:24 trash:24:24 trash-hover:24:24 delete:24:24
  notes:24:24 gender-male:24:24 gender-female:24:24 login-as-user:24:24
  login-password:24:24
  separator:20:20 table-arrow-up:20:20 table-arrow-down:20:20
  combobox-arrow:12:8
  arrow-up:10:6 arrow-down:10:6
  spinup:10:6 spinup-hover:10:6 spinup-disabled:10:6
  spindown:10:6 spindown-hover:10:6 spindown-disabled:10:6
  logo:128:128
)

render() { # svg png width height
  rsvg-convert -w "$3" -h "$4" -f png -o "$2" "$1"
}

for entry in "${SIZES[@]}"; do
  IFS=: read -r name w h <<<"$entry"
  render "$SRC_IMG/$name.svg" "$OUT_IMG/$name.png" "$w" "$h"
done

# Every SVG (except the two computed ones) must have a size above.
for svg in "$SRC_IMG"/*.svg; do
  name="$(basename "$svg" .svg)"
  case "$name" in gradient|loading) continue ;; esac
  printf '%s\n' "${SIZES[@]}" | grep -q "^$name:" || { echo "no output size for $name" >&2; exit 1; }
done

# Gradient: x = 0..511; red rises over the first half, green falls over the
# second, so x=0 is (0,255,0), the middle is (255,255,0), x=511 is (255,0,0).
# Written as a plain PPM first so every pixel value is exact.
awk 'BEGIN {
  print "P3"; print "512 1"; print "255"
  for (x = 0; x < 512; x++) {
    r = 510 * x / 511;         if (r > 255) r = 255
    g = 510 * (511 - x) / 511; if (g > 255) g = 255
    printf "%d %d 0\n", int(r + 0.5), int(g + 0.5)
  }
}' | "$CONVERT" ppm:- -depth 8 -strip -define png:color-type=2 "$OUT_IMG/gradient.png"

# Loading spinner: one SVG frame rotated in 30 degree steps, assembled into a
# looping GIF. Alpha is cut at 50% (GIF has 1-bit transparency); the spinner
# sits on its own white disc so it reads on a dark overlay.
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
frames=()
for i in $(seq 0 11); do
  f="$(printf '%s/frame%02d' "$tmp" "$i")"
  sed "s/ROTATION/$((i * 30))/" "$SRC_IMG/loading.svg" >"$f.svg"
  render "$f.svg" "$f.png" 48 48
  frames+=("$f.png")
done
"$CONVERT" -delay 8 -dispose Background -loop 0 "${frames[@]}" \
  -channel A -threshold 50% +channel "$OUT_IMG/loading.gif"

for lang in de en pl ru; do
  render "$SRC_FLAGS/$lang.svg" "$OUT_FLAGS/$lang.png" 32 24
done

echo "rendered ${#SIZES[@]} pictures, gradient.png, loading.gif and 4 flags"
