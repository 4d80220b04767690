#!/usr/bin/env bash
# Builds the program and starts it. Arguments are passed on to the program.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages "${SONVERA_BUILD_PACKAGES[@]}" "${SONVERA_RUN_PACKAGES[@]}"
build_all
ensure_runtime_dir

if [ -z "${WAYLAND_DISPLAY:-}" ] && { [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; }; then
    echo "There is no display to show Sonvera on: run this command in a desktop session, or set DISPLAY (for a virtual one see scripts/screenshot.sh)." >&2
    exit 1
fi

exec "$SONVERA_BUILD/bin/sonvera" "$@"
