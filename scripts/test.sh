#!/usr/bin/env bash
# Builds the program and its tests, then runs the whole suite (no display
# needed). Arguments are passed on to ctest, for example -R tst_logging.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ensure_packages "${SONVERA_BUILD_PACKAGES[@]}" "${SONVERA_RUN_PACKAGES[@]}" "${SONVERA_TEST_PACKAGES[@]}"
build_all
ensure_runtime_dir

cd "$SONVERA_BUILD"
ctest --output-on-failure --parallel "$(nproc)" "$@"
