#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, address and undefined-behaviour
# sanitizers) in build-fuzz/, then runs each one from its corpus in fuzz/corpus/.
#   bash scripts/fuzz.sh 20                 20 seconds per target (the default)
#   bash scripts/fuzz.sh --runs 1000000     a million inputs per target
#   bash scripts/fuzz.sh 60 fuzz_unzip      only the targets named
# New corpus entries and findings go to a scratch folder (FUZZ_SCRATCH, else a
# new temporary one), never into the repository. Exits non-zero when any
# target crashed or broke an invariant; the input that did is in that folder.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

SONVERA_FUZZ_BUILD="$SONVERA_ROOT/build-fuzz"
SONVERA_FUZZ_PACKAGES=(clang-14 libclang-rt-14-dev)
ALL_TARGETS=(fuzz_domain_records fuzz_analysis_tables fuzz_patient_page fuzz_audio_blocks fuzz_packed_audio
    fuzz_unzip fuzz_error_text fuzz_comparative_chart fuzz_card_records fuzz_impact_audio fuzz_recipe_screen
    fuzz_analysis_screen fuzz_recovery_history)
# Targets whose input is JSON get the dictionary of its tokens and member names.
JSON_TARGETS=" fuzz_domain_records fuzz_analysis_tables fuzz_patient_page fuzz_audio_blocks fuzz_error_text "
JSON_TARGETS+="fuzz_comparative_chart fuzz_card_records fuzz_impact_audio fuzz_recipe_screen fuzz_analysis_screen "
JSON_TARGETS+="fuzz_recovery_history "

seconds=20
runs=""
targets=()
while [ $# -gt 0 ]; do
    case "$1" in
    --runs) runs="${2:?--runs needs a number of inputs}"; shift 2 ;;
    --runs=*) runs="${1#--runs=}"; shift ;;
    -h | --help) sed -n '2,9p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'; exit 0 ;;
    [0-9]*) seconds="$1"; shift ;;
    *) targets+=("$1"); shift ;;
    esac
done
[ ${#targets[@]} -gt 0 ] || targets=("${ALL_TARGETS[@]}")

ensure_packages "${SONVERA_BUILD_PACKAGES[@]}" "${SONVERA_FUZZ_PACKAGES[@]}"

mkdir -p "$SONVERA_FUZZ_BUILD"
log="$SONVERA_FUZZ_BUILD/build.log"
if [ ! -f "$SONVERA_FUZZ_BUILD/CMakeCache.txt" ]; then
    echo "Configuring the fuzz build in $SONVERA_FUZZ_BUILD"
    # A debug build, so that the toolkit's and the program's assertions hold,
    # optimised as libFuzzer wants it and with just the debug lines that stack
    # traces need: compiling stays short enough for CI.
    CC=clang-14 CXX=clang++-14 cmake -S "$SONVERA_ROOT" -B "$SONVERA_FUZZ_BUILD" -DCMAKE_BUILD_TYPE=Debug \
        -DCMAKE_CXX_FLAGS_DEBUG="-O1 -gline-tables-only" -DSONVERA_FUZZ=ON -DSONVERA_BUILD_TESTS=OFF -DSONVERA_BUILD_BENCHMARKS=OFF >"$log" 2>&1 || {
        cat "$log" >&2
        exit 1
    }
fi
echo "Building the fuzz targets in $SONVERA_FUZZ_BUILD (the compiler's output goes to $log)"
build_started=$(date +%s)
cmake --build "$SONVERA_FUZZ_BUILD" --parallel "$(nproc)" --target "${targets[@]}" 2>&1 | tee "$log" |
    show_build_progress || {
    grep -E -B2 -A8 'error|Error' "$log" | head -n 80 >&2
    echo "The fuzz build failed; the whole output is in $log" >&2
    exit 1
}
echo "Built in $(($(date +%s) - build_started)) s"

scratch="${FUZZ_SCRATCH:-$(mktemp -d -t sonvera-fuzz.XXXXXX)}"
mkdir -p "$scratch"
echo "Scratch folder (new corpus entries, findings, logs): $scratch"
# The readers warn about every odd payload; millions of warnings would only
# slow the run. Fatal messages, such as the model tester's, still stop it.
export QT_LOGGING_RULES='*.debug=false;*.info=false;*.warning=false;*.critical=false'
export LSAN_OPTIONS="suppressions=$SONVERA_ROOT/fuzz/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
if [ -n "$runs" ]; then
    limit=(-runs="$runs")
else
    limit=(-max_total_time="$seconds")
fi

failed=()
for target in "${targets[@]}"; do
    work="$scratch/$target"
    mkdir -p "$work/corpus" "$work/findings"
    # libFuzzer adds what it finds to its first corpus folder: a copy here.
    if [ -d "$SONVERA_ROOT/fuzz/corpus/$target" ]; then
        cp -r "$SONVERA_ROOT/fuzz/corpus/$target/." "$work/corpus/"
    fi
    options=("${limit[@]}" -artifact_prefix="$work/findings/" -timeout=30 -rss_limit_mb=3072 -print_final_stats=1)
    case "$JSON_TARGETS" in *" $target "*) options+=(-dict="$SONVERA_ROOT/fuzz/json.dict") ;; esac

    started=$(date +%s.%N)
    status=0
    "$SONVERA_FUZZ_BUILD/bin/$target" "${options[@]}" "$work/corpus" >"$work/fuzz.log" 2>&1 || status=$?
    elapsed=$(awk -v from="$started" -v to="$(date +%s.%N)" 'BEGIN { printf "%.1f", to - from }')
    inputs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/fuzz.log" | tail -n 1)
    if [ "$status" -eq 0 ]; then
        printf '%-22s %10s inputs in %7s s\n' "$target" "${inputs:-?}" "$elapsed"
    else
        printf '%-22s FAILED after %s inputs in %s s (exit %d); log: %s\n' "$target" "${inputs:-?}" "$elapsed" \
            "$status" "$work/fuzz.log"
        grep -E 'ERROR|invariant failed|runtime error|FATAL|Test unit written' "$work/fuzz.log" | head -n 10
        failed+=("$target")
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "Fuzzing found faults in: ${failed[*]} (inputs in $scratch/<target>/findings/)" >&2
    exit 1
fi
echo "No fault found in ${#targets[@]} targets"
