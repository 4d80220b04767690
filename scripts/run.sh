#!/usr/bin/env bash
# Builds the program and the local stand-in of the service, starts the
# service on a free loopback port, runs the program against it and stops the
# service when the program exits. Arguments are passed on to the program.
# Sign in as "demo" with the password "demo".
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages "${SONVERA_BUILD_PACKAGES[@]}" "${SONVERA_RUN_PACKAGES[@]}"
build_all
ensure_runtime_dir

if [ -z "${WAYLAND_DISPLAY:-}" ] && { [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; }; then
    echo "There is no display to show Sonvera on: run this command in a desktop session, or set DISPLAY (for a virtual one see scripts/screenshot.sh)." >&2
    exit 1
fi

# The service keeps its data between runs in the user's data folder.
data_dir="${XDG_DATA_HOME:-$HOME/.local/share}/sonvera-local-service"
mkdir -p "$data_dir"
service_log="$data_dir/service.log"

coproc SERVICE { exec "$SONVERA_BUILD/bin/sonvera-local-service" --port 0 --db "$data_dir/service.db" 2>>"$service_log"; }
service_pid=$SERVICE_PID
stop_service() { kill "$service_pid" 2>/dev/null && wait "$service_pid" 2>/dev/null; true; }
trap stop_service EXIT INT TERM

if ! read -r -t 60 service_url <&"${SERVICE[0]}"; then
    echo "The local service did not start; its log is $service_log:" >&2
    tail -n 20 "$service_log" >&2
    exit 1
fi
echo "Local service at $service_url (data in $data_dir). Sign in as demo / demo."

SONVERA_SERVICE_URL="$service_url" "$SONVERA_BUILD/bin/sonvera" "$@"
