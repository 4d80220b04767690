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
    # The program runs in a session of its own, so its children (a service
    # that the run command started, say) end with it.
    [ -n "${app_pid:-}" ] && kill -- "-$app_pid" 2>/dev/null || true
    [ -n "${app_pid:-}" ] && for _ in $(seq 50); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.05; done
    stop_virtual_display
    rm -rf "$work"
}
trap cleanup EXIT

start_virtual_display

(cd "$work" && exec setsid "$program" "$@") >"$work/program.log" 2>&1 &
app_pid=$!

# Wait for a window of the program, known by its window class.
for _ in $(seq 200); do
    if xwininfo -root -tree 2>/dev/null | grep -v -i -E 'openbox|Client Leader' | grep -q -E '\("[^"]+" "[^"]+"\)'; then
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
# import composites every window; a root-window dump may miss modal dialogs here.
/usr/bin/import -window root "$output"
echo "$output"
