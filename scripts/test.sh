#!/usr/bin/env bash
# Builds the program and its tests, then runs the whole suite (no display
# needed). Arguments are passed on to ctest, for example -R tst_logging.
# With --sanitize the suite is built in build-sanitize/ with AddressSanitizer
# and UndefinedBehaviorSanitizer, and any report fails the test that made it.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ctest_arguments=()
for argument in "$@"; do
    if [ "$argument" = "--sanitize" ]; then
        use_sanitizer_build
    else
        ctest_arguments+=("$argument")
    fi
done

ensure_packages "${SONVERA_BUILD_PACKAGES[@]}" "${SONVERA_RUN_PACKAGES[@]}" "${SONVERA_TEST_PACKAGES[@]}"
build_all
ensure_runtime_dir

cd "$SONVERA_BUILD"
ctest --output-on-failure --parallel "$(nproc)" ${ctest_arguments[@]+"${ctest_arguments[@]}"}
