#!/usr/bin/env bash
# Pictures of every screen and dialog in English and Russian for the README:
# the real window, on a virtual display, against a fresh local service, walked
# by build/bin/screen_tour. Writes docs/screens/<language>/<stop>.png, reduced
# to 960 pixels wide and 64 colours.
#   scripts/screenshots.sh [OUTPUT FOLDER]   (default: docs/screens)
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

output="${1:-$SONVERA_ROOT/docs/screens}"
ensure_packages "${SONVERA_BUILD_PACKAGES[@]}" "${SONVERA_RUN_PACKAGES[@]}" "${SONVERA_SCREEN_PACKAGES[@]}"
build_all
ensure_runtime_dir

raw="$(mktemp -d)"
trap 'stop_virtual_display; rm -rf "$raw"' EXIT
start_virtual_display

for language in en_US ru_RU; do
    short="${language%%_*}"
    # The sign-in dialog speaks the system's language, the rest the account's.
    env -u LC_ALL -u LC_MESSAGES LANG="$language.UTF-8" "$SONVERA_BUILD/bin/screen_tour" "$raw/$short" "$language" >/dev/null
    mkdir -p "$output/$short"
    for picture in "$raw/$short"/*.png; do
        /usr/bin/convert "$picture" -resize '960x>' -colors 64 "PNG8:$output/$short/$(basename "$picture")"
    done
    echo "$output/$short: $(ls "$output/$short" | wc -l) pictures"
done
