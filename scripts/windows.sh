#!/usr/bin/env bash
# Cross-builds Sonvera for 64-bit Windows in build-windows/, runs the tests
# that need nothing of Linux under wine, lays out the self-contained program
# folder (build-windows/sonvera-windows/), packs it as a zip and an NSIS
# installer (build-windows/packages/), and tries the installer under wine:
# install, start the installed program, uninstall. Arguments are passed on
# to ctest, for example -R tst_logging.
#
# The toolkit built for Windows comes as an archive (qt5-mingw64.tar.xz) or an
# unpacked prefix: $SONVERA_WINDOWS_QT names either; without it the command
# looks in shared/windows/ beside the repository or above it.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

step() {
    echo "== $1 (at $SECONDS s)"
}

# The archive or prefix of the toolkit for Windows.
find_windows_qt() {
    local candidate
    for candidate in "${SONVERA_WINDOWS_QT:-}" \
        "$SONVERA_ROOT/../shared/windows/qt5-mingw64.tar.xz" \
        "$SONVERA_ROOT/../../shared/windows/qt5-mingw64.tar.xz" \
        /work/shared/windows/qt5-mingw64.tar.xz; do
        if [ -n "$candidate" ] && { [ -f "$candidate" ] || [ -d "$candidate/lib/cmake/Qt5" ]; }; then
            echo "$candidate"
            return 0
        fi
    done
    echo "The toolkit built for Windows was not found. Set SONVERA_WINDOWS_QT to its archive" \
        "(qt5-mingw64.tar.xz) or to its unpacked prefix (the folder holding bin/, lib/ and plugins/)." >&2
    return 1
}

# Unpacks the archive into the build folder once (again when it changes) and
# prints the prefix; a prefix is used where it is.
unpack_windows_qt() {
    local source="$1" target="$SONVERA_ROOT/build-windows/qt5-mingw64" stamp
    if [ -d "$source" ]; then
        (cd "$source" && pwd)
        return 0
    fi
    stamp="$(stat -c '%s %Y' "$source") $(basename "$source")"
    if [ ! -d "$target/prefix/lib/cmake/Qt5" ] || [ "$(cat "$target/stamp" 2>/dev/null)" != "$stamp" ]; then
        echo "Unpacking $source into $target" >&2
        rm -rf "$target"
        mkdir -p "$target"
        tar -xJf "$source" -C "$target"
        echo "$stamp" >"$target/stamp"
    fi
    echo "$target/prefix"
}

# wine's display-less graphics driver, for starting the real program (not
# the offscreen tests) on a machine without a display.
use_null_display() {
    "$WINE64" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
}
use_x11_display() {
    "$WINE64" reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f >/dev/null 2>&1 || true
}

# Starts the program from an installed folder alone (no DLLs or plugins from
# elsewhere; the second argument is the folder as Windows names it) and
# checks that it loads its platform and style plugins from there, keeps
# running (the sign-in dialog waits), and writes its log in the profile's
# local application data.
check_installed_program() {
    local folder="$1" windows_folder="$2" log output pid loaded=0
    log="$WINEPREFIX/drive_c/users/$USER/AppData/Local/Sonvera Labs/Sonvera/sonvera.log"
    output="$SONVERA_BUILD/installed-program.out"
    rm -f "$log"
    (cd "$folder" && exec env -u WINEPATH WINEQT_FORCE_STDERR_LOGGING=1 WINEQT_DEBUG_PLUGINS=1 \
        "$WINE64" sonvera.exe >"$output" 2>&1) &
    pid=$!
    # A fresh prefix makes its font cache first: up to a minute.
    for _ in $(seq 120); do
        kill -0 "$pid" 2>/dev/null || break
        if grep -qF "loaded library \"$windows_folder/platforms/qwindows.dll\"" "$output" &&
            grep -qF "loaded library \"$windows_folder/styles/qwindowsvistastyle.dll\"" "$output" && [ -s "$log" ]; then
            loaded=1
            break
        fi
        sleep 0.5
    done
    # Still running: the sign-in dialog waits.
    if [ "$loaded" -eq 1 ] && kill -0 "$pid" 2>/dev/null && ! grep -q 'Cannot load library' "$output"; then
        kill "$pid"
        wait "$pid" 2>/dev/null || true
        echo "The installed program starts from its folder alone and logs to $log"
        return 0
    fi
    kill "$pid" 2>/dev/null || true
    echo "The program did not start from $folder as it should (log $log):" >&2
    grep -E 'library|plugin|rror' "$output" | head -n 20 >&2
    exit 1
}

# Installs with the installer (silently), checks what it made, starts the
# installed program, and uninstalls again.
try_installer() {
    local installer="$1"
    local installed="$WINEPREFIX/drive_c/Program Files/Sonvera"
    local menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Sonvera"
    "$WINE64" "$installer" /S
    for made in "$installed/sonvera.exe" "$installed/Uninstall.exe" "$menu/Sonvera.lnk" "$menu/Uninstall.lnk"; do
        if [ ! -f "$made" ]; then
            echo "The installer did not make $made" >&2
            exit 1
        fi
    done
    echo "The installer made C:\\Program Files\\Sonvera ($(find "$installed" -type f | wc -l) files) and the Start-menu entries Sonvera and Uninstall"
    check_installed_program "$installed" "C:/Program Files/Sonvera"
    "$WINE64" 'C:\Program Files\Sonvera\Uninstall.exe' /S
    for _ in $(seq 60); do
        [ ! -e "$installed" ] && [ ! -e "$menu" ] && break
        sleep 0.5
    done
    if [ -e "$installed" ] || [ -e "$menu" ]; then
        echo "The uninstaller left $installed or $menu behind" >&2
        exit 1
    fi
    echo "The uninstaller removed the program and its Start-menu entries"
}

ensure_packages "${SONVERA_WINDOWS_PACKAGES[@]}"
qt_source="$(find_windows_qt)"
qt_prefix="$(unpack_windows_qt "$qt_source")"
use_windows_build "$qt_prefix"

step "Cross-building for Windows against $qt_prefix"
build_all
echo "Built $(find "$SONVERA_BUILD/bin" -name '*.exe' | wc -l) Windows programs: sonvera.exe and the tests"

# wine runs in a prefix of the build folder, in a profile named in Cyrillic
# (C:\users\Анна), as many practitioners' are: every test then writes its
# temporary files below a path with non-Latin letters.
export WINEPREFIX="$SONVERA_BUILD/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" USER="Анна"
export LC_ALL=C.UTF-8
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver
step "Preparing the wine prefix"
# One server for the whole run saves every program its start.
mkdir -p "$WINEPREFIX"
"$WINESERVER" -k 2>/dev/null || true
"$WINESERVER" --persistent=60
"$WINE64" wineboot --init >/dev/null 2>&1
trap 'use_x11_display; "$WINESERVER" -k 2>/dev/null || true' EXIT
use_x11_display

step "Running the Windows tests under wine"
(cd "$SONVERA_BUILD" && ctest --output-on-failure --parallel "$(nproc)" "$@")
# The test functions' own totals, summed over every test program.
awk '/^Totals: / { passed += $2; failed += $4; skipped += $6 }
    END { printf "QtTest totals under wine: %d passed, %d failed, %d skipped\n", passed, failed, skipped }' \
    "$SONVERA_BUILD/Testing/Temporary/LastTest.log"

step "Laying out the program folder and packing it"
folder="$SONVERA_BUILD/sonvera-windows"
rm -rf "$folder"
cmake --install "$SONVERA_BUILD" --strip --prefix "$folder" >/dev/null
echo "The program folder $folder holds:"
(cd "$folder" && find . -type f | sort | sed 's|^\./|  |')
(cd "$SONVERA_BUILD" && cpack -G ZIP && cpack -G NSIS) | grep -E '^CPack: - package: .* generated\.$'
ls -l "$SONVERA_BUILD"/packages/sonvera-*-windows-x64.{zip,exe}

step "Trying the installer under wine"
use_null_display
try_installer "$(ls "$SONVERA_BUILD"/packages/sonvera-*-windows-x64.exe)"
use_x11_display
step "Done"
