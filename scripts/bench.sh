#!/usr/bin/env bash
# Builds and runs every benchmark; each prints the project's figure, a
# baseline measured in the same run, and their ratio.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages "${SONVERA_BUILD_PACKAGES[@]}" "${SONVERA_RUN_PACKAGES[@]}"
build_all
ensure_runtime_dir

status=0
for bench in "$SONVERA_BUILD"/bin/bench_*; do
    [ -x "$bench" ] || continue
    "$bench" || status=1
done
exit $status
