# Shared by the run, test, benchmark and screenshot commands: Debian packages,
# configuration and an incremental build in build/.
set -euo pipefail

SONVERA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
SONVERA_BUILD="$SONVERA_ROOT/build"
# What the first configuration of the build folder adds to CMake's command line.
SONVERA_CMAKE_OPTIONS=()

# What compiling the program and its tests needs.
SONVERA_BUILD_PACKAGES=(cmake make g++ pkg-config qtbase5-dev qtmultimedia5-dev libqt5charts5-dev
    qttools5-dev qttools5-dev-tools zlib1g-dev libssl-dev
    libcpp-httplib-dev nlohmann-json3-dev libsqlite3-dev libxlsxwriter-dev libjemalloc-dev)
# What running the program needs beyond that (the toolkit's own translations
# for its dialogs in Russian).
SONVERA_RUN_PACKAGES=(libqt5multimedia5-plugins qttranslations5-l10n fonts-dejavu-core x11-utils)
# What the tests need beyond that: a sound server with virtual devices for the
# real-sound tests, a message bus daemon for the keep-awake tests, and
# poppler's pdfinfo and pdftotext to read printed reports back.
SONVERA_TEST_PACKAGES=(pulseaudio pulseaudio-utils dbus-daemon poppler-utils)
# What the screenshots need: a virtual display and the capture tools.
SONVERA_SCREEN_PACKAGES=(xvfb xauth x11-utils imagemagick openbox)

# What cross-building, testing and packing the Windows program needs: the
# MinGW-w64 compilers (posix threads), zlib for Windows, wine to run the tests,
# NSIS for the installer, the toolkit's translations, the host's translation
# tools (the Windows toolkit has none of its own), and fonts for the tests.
SONVERA_WINDOWS_PACKAGES=(cmake make ccache xz-utils g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
    libz-mingw-w64-dev wine64 nsis qttranslations5-l10n qttools5-dev qttools5-dev-tools fonts-dejavu-core)

# Installs the Debian packages that are missing; says nothing when none is.
ensure_packages() {
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    if [ "$(id -u)" -ne 0 ]; then
        echo "Missing Debian packages: ${missing[*]}. Run this command as root, or install them first with: apt-get install ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing Debian packages: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    local log
    log="$(mktemp)"
    apt-get update -qq >"$log" 2>&1 || true
    if ! apt-get install -y -qq --no-install-recommends "${missing[@]}" >>"$log" 2>&1; then
        for package in "${missing[@]}"; do
            if ! apt-cache policy "$package" 2>/dev/null | grep -q 'Candidate: [0-9]'; then
                echo "The Debian package '$package' can't be had from the configured archives (see apt-cache policy $package)." >&2
            fi
        done
        echo "Installing the packages failed; apt-get said:" >&2
        tail -n 20 "$log" >&2
        rm -f "$log"
        exit 1
    fi
    rm -f "$log"
}

# Configures once, then builds incrementally; the compiler's output goes to
# build/build.log and is shown only when the build fails. Progress is shown in
# steps of ten percent, so that a first build (minutes on two cores) does not
# look like a hang.
build_all() {
    mkdir -p "$SONVERA_BUILD"
    local log="$SONVERA_BUILD/build.log"
    if [ ! -f "$SONVERA_BUILD/CMakeCache.txt" ]; then
        echo "Configuring the build in $SONVERA_BUILD"
        cmake -S "$SONVERA_ROOT" -B "$SONVERA_BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            ${SONVERA_CMAKE_OPTIONS[@]+"${SONVERA_CMAKE_OPTIONS[@]}"} >"$log" 2>&1 || {
            cat "$log" >&2
            exit 1
        }
    fi
    echo "Building in $SONVERA_BUILD (the compiler's output goes to $log)"
    cmake --build "$SONVERA_BUILD" --parallel "$(nproc)" 2>&1 | tee "$log" | show_build_progress || {
        grep -E -B2 -A8 'error|Error' "$log" | head -n 80 >&2
        echo "The build failed; the whole output is in $log" >&2
        exit 1
    }
}

# Switches build_all to build-sanitize/: program, local service and tests with
# AddressSanitizer and UndefinedBehaviorSanitizer (gcc), without the benchmarks.
use_sanitizer_build() {
    SONVERA_BUILD="$SONVERA_ROOT/build-sanitize"
    SONVERA_CMAKE_OPTIONS=(-DCMAKE_CXX_COMPILER=g++ -DSONVERA_SANITIZE=ON -DSONVERA_BUILD_BENCHMARKS=OFF)
}

# Switches build_all to build-windows/: the program and the tests that need
# nothing of Linux, cross-compiled for 64-bit Windows against the toolkit
# built for Windows in the given prefix.
use_windows_build() {
    SONVERA_BUILD="$SONVERA_ROOT/build-windows"
    SONVERA_CMAKE_OPTIONS=(--toolchain "$SONVERA_ROOT/cmake/MinGW64Toolchain.cmake" -DSONVERA_WINDOWS_QT="$1"
        -DCMAKE_BUILD_TYPE=Release)
    if command -v ccache >/dev/null; then
        SONVERA_CMAKE_OPTIONS+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
}

# Reads the build's output and prints "Building: 10%", "Building: 20%", ... as make's
# percentages pass each tenth of the work; nothing when all is up to date.
show_build_progress() {
    awk '/^\[ *[0-9]+%\]/ && !/Built target|Automatic MOC/ {
        step = int(substr($0, 2) / 10) * 10
        if (step > shown) { printf "Building: %d%%\n", step; shown = step; fflush() }
    }'
}

# A private runtime folder, so the toolkit doesn't warn about a missing one.
ensure_runtime_dir() {
    if [ -z "${XDG_RUNTIME_DIR:-}" ] || [ ! -d "$XDG_RUNTIME_DIR" ]; then
        export XDG_RUNTIME_DIR="$SONVERA_BUILD/xdg-runtime"
        mkdir -p "$XDG_RUNTIME_DIR"
        chmod 700 "$XDG_RUNTIME_DIR"
    fi
}

# Starts a virtual display with a window manager, exports DISPLAY, and records
# their process ids in SONVERA_DISPLAY_PIDS for stop_virtual_display. The
# display's number is chosen by the server itself.
start_virtual_display() {
    local work
    work="$(mktemp -d)"
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    SONVERA_DISPLAY_PIDS=($!)
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
    export DISPLAY=":$(cat "$work/display")"
    export QT_XCB_GL_INTEGRATION=none
    # A window manager gives the windows their title bars, as on a desktop.
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    SONVERA_DISPLAY_PIDS+=($!)
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.05
    done
    rm -rf "$work"
}

stop_virtual_display() {
    local pid
    for pid in ${SONVERA_DISPLAY_PIDS[@]+"${SONVERA_DISPLAY_PIDS[@]}"}; do
        kill "$pid" 2>/dev/null || true
    done
}
