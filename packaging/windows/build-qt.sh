#!/usr/bin/env bash
# Builds qtbase for 64-bit Windows (MinGW-w64) from Debian 13's own source
# package, once per machine, into the cache that paths.sh names, in three
# steps kept there: Debian 13's MinGW-w64 headers and runtime, unpacked; the
# host tools of the same Qt version (a cross build runs its own moc, rcc and
# uic, and the host's Qt is older), built with qt/host.cmake; Qt for Windows,
# built with qt/win64.cmake. Later runs, from any clone, find the stamp and
# return at once; an interrupted one resumes its build trees. Environment:
# CORVANE_QT_JOBS (parallel jobs, default the CPUs), CORVANE_QT_NO_PATCHES=1
# (without Debian's patches), CORVANE_KEEP_QT_BUILD=1 (keep the trees).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=paths.sh
source "$here/paths.sh"

work="$CORVANE_WIN_CACHE/work"
logs="$CORVANE_WIN_CACHE/logs"
[ -f "$CORVANE_QT_WIN_STAMP" ] && exit 0
mkdir -p "$logs"
# Two runs at once would trample the same build trees.
exec 9>"$CORVANE_WIN_CACHE/build-qt.lock"
flock 9
[ -f "$CORVANE_QT_WIN_STAMP" ] && exit 0

# Runs a step with its output in a log file, and shows the log's end when
# it fails. Not "cmd || ...": errexit would not hold inside the step then.
step() {
    local log="$logs/$1.log" status
    echo "build-qt: $1 (log: $log)"
    set +e
    (set -e; "${@:2}") >"$log" 2>&1
    status=$?
    set -e
    [ "$status" -eq 0 ] || { tail -n 40 "$log" >&2; fail "$1 failed"; }
}

# Debian 13's packages come through an apt configuration of the script's
# own: the machine's sources and package lists stay as they are.
apt_dir="$work/apt"
apt_opts=(-o Dir::Etc::SourceList=/dev/null -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
    -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache")
# apt's download sandbox user cannot write into a root-owned private folder.
[ "$(id -u)" -eq 0 ] && apt_opts+=(-o APT::Sandbox::User=root)

update_package_lists() {
    local mirror keyring=/usr/share/keyrings/debian-archive-keyring.gpg
    mirror="$(debian_mirror debian)"
    rm -rf "$apt_dir"
    mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
    # The binary packages only for MinGW-w64's headers and runtime.
    printf '%s\n' "deb-src [signed-by=$keyring] $mirror $CORVANE_DEBIAN_SUITE main" \
        "deb [arch=$(dpkg --print-architecture) signed-by=$keyring] $mirror $CORVANE_DEBIAN_SUITE main" \
        >"$apt_dir/sources.list.d/corvane.list"
    apt-get "${apt_opts[@]}" update
}

# The recorded version while the archive has it; else, as a point release
# replaces the old one, the archive's newest, said out loud.
pick_version() {
    local available newest
    available="$(apt-cache "${apt_opts[@]}" madison "$1" | awk -F'|' '{gsub(/ /, "", $2); print $2}')"
    if grep -qxF -- "$2" <<<"$available"; then echo "$2" && return; fi
    newest="$(sort -V <<<"$available" | tail -n1)"
    [ -n "$newest" ] || fail "$CORVANE_DEBIAN_SUITE has no $1"
    echo "build-qt: $CORVANE_DEBIAN_SUITE no longer has $1 $2; taking $newest" >&2
    echo "$newest"
}

download() {
    rm -rf "$work/download"
    mkdir -p "$work/download"
    cd "$work/download"
    apt-get "${apt_opts[@]}" source --download-only "qt6-base=$qt_version"
    apt-get "${apt_opts[@]}" download "mingw-w64-x86-64-dev=$mingw_version" "mingw-w64-common=$mingw_version"
}

# Only the target's tree and the licence text are kept; most headers are
# links into the common package's folder, copied as files.
unpack_mingw() {
    local mingw="$CORVANE_MINGW_ROOT"
    rm -rf "$work/mingw" "$mingw" "$mingw.tmp"
    for deb in "$work"/download/mingw-w64-*.deb; do
        dpkg-deb -x "$deb" "$work/mingw"
    done
    cp -RL "$work/mingw/usr/x86_64-w64-mingw32" "$mingw.tmp"
    cp "$work/mingw/usr/share/doc/mingw-w64-common/copyright" "$mingw.tmp/copyright"
    echo "$mingw_version" >"$mingw.tmp/.corvane-version"
    mv "$mingw.tmp" "$mingw"
}

# Debian's patches are security fixes and build-system tweaks that are
# harmless on Windows. Its copyright file, for the notices, and changelog,
# for the date in the DLLs, come either way.
unpack_source() {
    rm -rf "$work/src"
    if [ "${CORVANE_QT_NO_PATCHES:-0}" = 1 ]; then
        mkdir -p "$work/src"
        tar -xJf "$work"/download/qt6-base_*.orig.tar.xz -C "$work/src" --strip-components=1
        tar -xJf "$work"/download/qt6-base_*.debian.tar.xz -C "$work/src" debian/copyright debian/changelog
    else
        dpkg-source -x "$work/download/qt6-base_${qt_version#*:}.dsc" "$work/src"
    fi
    touch "$work/src/.unpacked"
}

if [ ! -f "$work/download/.complete" ]; then
    step package-lists update_package_lists
    qt_version="$(pick_version qt6-base "$CORVANE_QT_DEBIAN_VERSION")"
    mingw_version="$(pick_version mingw-w64-x86-64-dev "$CORVANE_MINGW_DEBIAN_VERSION")"
    step download download
    printf '%s\n' "$qt_version" "$mingw_version" >"$work/download/.complete"
fi
{ read -r qt_version; read -r mingw_version; } <"$work/download/.complete"
[ "$(cat "$CORVANE_MINGW_ROOT/.corvane-version" 2>/dev/null)" = "$mingw_version" ] || step unpack-mingw-w64 unpack_mingw
[ -f "$work/src/.unpacked" ] || step unpack-source unpack_source

# Configures (again only when its inputs changed; else the tree resumes
# where it stopped), builds and installs one Qt, and stamps it with what
# was built and how.
build_qt() {
    local name="$1" prefix="$2" options="$here/qt/$1.cmake" build="$work/build-$1" inputs
    shift 2
    inputs="$(printf '%s\n' "source=qt6-base_${qt_version#*:}" "mingw-w64=$mingw_version" \
        "debian-patches=${CORVANE_QT_NO_PATCHES:-0}" "options=$(sha256sum <"$options" | cut -c1-64)" "$@")"
    if [ "$(cat "$build/.inputs" 2>/dev/null)" != "$inputs" ]; then
        rm -rf "$build"
        mkdir -p "$build"
        step "configure-$name" cmake -S "$work/src" -B "$build" -G Ninja -C "$options" \
            -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
            -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_UNITY_BUILD=ON "$@"
        echo "$inputs" >"$build/.inputs"
    fi
    # nice: this runs for a long while next to interactive work on small machines.
    step "build-$name" nice -n 10 cmake --build "$build" --parallel "${CORVANE_QT_JOBS:-$(nproc)}"
    rm -rf "$prefix"
    step "install-$name" cmake --install "$build"
    echo "$inputs" >"$prefix/.corvane-inputs"
}

# Fails unless the install in $1 holds each file named after it.
require_files() {
    for file in "${@:2}"; do [ -f "$1/$file" ] || fail "$1 is missing $file; not marking it complete"; done
}

if [ ! -f "$CORVANE_HOST_QT_PREFIX/.corvane-build-complete" ]; then
    build_qt host "$CORVANE_HOST_QT_PREFIX"
    require_files "$CORVANE_HOST_QT_PREFIX" libexec/moc libexec/rcc libexec/uic libexec/syncqt \
        lib/cmake/Qt6HostInfo/Qt6HostInfoConfig.cmake lib/cmake/Qt6WidgetsTools/Qt6WidgetsToolsConfig.cmake
    touch "$CORVANE_HOST_QT_PREFIX/.corvane-build-complete"
fi

# The DLLs are shipped, so every machine must build the same bytes: the
# toolchain file maps this cache's path away, and where a tool records a
# date (the PE time stamp, rcc's file times) it is that of Debian's source
# package.
SOURCE_DATE_EPOCH="$(dpkg-parsechangelog -l "$work/src/debian/changelog" -STimestamp)"
export SOURCE_DATE_EPOCH
build_qt win64 "$CORVANE_QT_WIN_PREFIX" -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64-x86_64.cmake" \
    -DCORVANE_MINGW_ROOT="$CORVANE_MINGW_ROOT" -DQT_HOST_PATH="$CORVANE_HOST_QT_PREFIX" \
    -DQT_HOST_PATH_CMAKE_DIR="$CORVANE_HOST_QT_PREFIX/lib/cmake"
require_files "$CORVANE_QT_WIN_PREFIX" bin/Qt6Core.dll bin/Qt6Gui.dll bin/Qt6Widgets.dll bin/Qt6Test.dll \
    plugins/platforms/qwindows.dll plugins/platforms/qoffscreen.dll plugins/styles/qmodernwindowsstyle.dll \
    lib/cmake/Qt6/Qt6Config.cmake lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake lib/cmake/Qt6Test/Qt6TestConfig.cmake
# The licence texts of Qt and of the code it bundles, and Debian's record of
# every file's copyright, for the notices of whatever ships these DLLs.
mkdir -p "$CORVANE_QT_WIN_PREFIX/licenses"
cp "$work/src/LICENSES/"* "$work/src/src/gui/painting/QIMAGETRANSFORM_LICENSE.txt" "$CORVANE_QT_WIN_PREFIX/licenses/"
cp "$work/src/debian/copyright" "$CORVANE_QT_WIN_PREFIX/licenses/qt6-base-copyright.txt"
# Written last, so that an interrupted build never passes for a usable Qt.
touch "$CORVANE_QT_WIN_STAMP"
[ "${CORVANE_KEEP_QT_BUILD:-0}" = 1 ] || rm -rf "$work"
echo "build-qt: Qt $CORVANE_QT_VERSION for Windows in $CORVANE_QT_WIN_PREFIX ($(du -sh "$CORVANE_QT_WIN_PREFIX" | cut -f1))"
