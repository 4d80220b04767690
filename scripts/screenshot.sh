#!/usr/bin/env bash
# Starts the program on a virtual display, waits for its window and saves a
# PNG of the screen.
#   scripts/screenshot.sh OUTPUT.png [seconds to wait after the window shows] [-- program arguments]
# The interface language follows LANG, for example LANG=ru_RU.UTF-8.
# SONVERA_PROGRAM names another program to start (default: the built sonvera).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

output="${1:?usage: scripts/screenshot.sh OUTPUT.png [settle seconds] [-- program arguments]}"
shift
settle="${1:-1}"
[ $# -gt 0 ] && shift
[ "${1:-}" = "--" ] && shift

ensure_packages "${SONVERA_BUILD_PACKAGES[@]}" "${SONVERA_RUN_PACKAGES[@]}" "${SONVERA_SCREEN_PACKAGES[@]}"
build_all
ensure_runtime_dir

program="${SONVERA_PROGRAM:-$SONVERA_BUILD/bin/sonvera}"
work="$(mktemp -d)"
cleanup() {
    [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(cat "$work/display")"
export QT_XCB_GL_INTEGRATION=none

(cd "$work" && exec "$program" "$@") >"$work/program.log" 2>&1 &
app_pid=$!

# A mapped top-level window of the program, found by its process's window title.
for _ in $(seq 200); do
    if xwininfo -root -children 2>/dev/null | grep -q -E '"(Sonvera|Title\.application)"|"[^"]+": \("(sonvera|startup_probe)'; then
        break
    fi
    if ! kill -0 "$app_pid" 2>/dev/null; then
        echo "The program ended before showing a window:" >&2
        cat "$work/program.log" >&2
        exit 1
    fi
    sleep 0.05
done
sleep "$settle"
xwd -root -silent | /usr/bin/convert xwd:- "$output"
echo "$output"
