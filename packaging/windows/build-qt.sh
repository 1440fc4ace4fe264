#!/usr/bin/env bash
# Builds qtbase for 64-bit Windows (MinGW-w64) from Debian 13's own source
# package, once per machine, into the cache described in paths.sh. Three
# steps, each kept in the cache: Debian 13's MinGW-w64 headers and runtime,
# unpacked; the host tools of the same Qt version (a cross build runs its own
# moc, rcc, uic and friends, and the host's Qt is older); Qt for Windows.
#
# Later runs (from any clone) find the stamp and return at once. An
# interrupted run resumes its build trees instead of starting over; an
# install only counts once its stamp has been written.
#
# Environment:
#   CORVANE_WIN_CACHE      cache directory (default ~/.cache/corvane-win64)
#   CORVANE_QT_JOBS        parallel compile jobs (default: number of CPUs)
#   CORVANE_QT_NO_PATCHES  1 = build the pristine upstream tarball, without
#                          Debian's patches
#   CORVANE_KEEP_QT_BUILD  1 = keep the source and build trees afterwards
#   CORVANE_DEBIAN_MIRROR  Debian mirror to fetch from (default: the one this
#                          machine's apt already uses)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=paths.sh
source "$here/paths.sh"

cache="$CORVANE_WIN_CACHE"
prefix="$CORVANE_QT_WIN_PREFIX"
stamp="$CORVANE_QT_WIN_STAMP"
tools="$CORVANE_HOST_QT_PREFIX"
mingw="$CORVANE_MINGW_ROOT"

if [ -f "$stamp" ]; then
  echo "build-qt: Qt $CORVANE_QT_VERSION for Windows already in $prefix"
  exit 0
fi

mkdir -p "$cache/logs"
logs="$cache/logs"
work="$cache/work"

# Two concurrent runs would trample the same build trees.
exec 9>"$cache/build-qt.lock"
if ! flock -n 9; then
  echo "build-qt: another build is running in $cache; waiting for it" >&2
  flock 9
  if [ -f "$stamp" ]; then
    echo "build-qt: Qt $CORVANE_QT_VERSION for Windows already in $prefix"
    exit 0
  fi
fi

log() { echo "build-qt: $*"; }

# Runs a step with its output in a log file; on failure shows the tail so the
# reason is visible without digging.
run_logged() {
  local name="$1"; shift
  local file="$logs/$name.log"
  local rc
  log "$name (log: $file)"
  # Not "if ! cmd": bash would then ignore errexit inside the step's functions.
  set +e
  (set -e; "$@") >"$file" 2>&1
  rc=$?
  set -e
  if [ "$rc" -ne 0 ]; then
    echo "build-qt: $name failed; last lines of $file:" >&2
    tail -n 40 "$file" >&2
    exit "$rc"
  fi
}

for tool in x86_64-w64-mingw32-g++-posix g++ cmake ninja dpkg-source dpkg-deb apt-get; do
  command -v "$tool" >/dev/null || {
    echo "build-qt: $tool not found; run packaging/windows/setup-deps.sh first" >&2
    exit 1
  }
done

# --- Debian 13's packages, through a private apt configuration ----------------

# shellcheck source=../../scripts/debian-mirror.sh
source "$here/../../scripts/debian-mirror.sh"

# The machine's sources stay untouched, and its package lists are not
# replaced by ones that only know Debian 13.
apt_dir="$work/apt"
apt_opts=(
  -o Dir::Etc::SourceList=/dev/null
  -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
  -o "Dir::State::Lists=$apt_dir/lists"
  -o "Dir::Cache=$apt_dir/cache"
)
# apt's download sandbox user cannot write into a root-owned private dir.
[ "$(id -u)" -eq 0 ] && apt_opts+=(-o APT::Sandbox::User=root)

update_package_lists() {
  local mirror keyring signed=""
  mirror="${CORVANE_DEBIAN_MIRROR:-$(debian_mirror debian)}"
  keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  [ -f "$keyring" ] && signed="signed-by=$keyring"
  rm -rf "$apt_dir"
  mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" \
    "$apt_dir/cache/archives/partial"
  # The binary packages only for MinGW-w64's headers and runtime.
  {
    echo "deb-src ${signed:+[$signed] }$mirror $CORVANE_DEBIAN_SUITE main"
    echo "deb [arch=$(dpkg --print-architecture)${signed:+ $signed}] $mirror $CORVANE_DEBIAN_SUITE main"
  } >"$apt_dir/sources.list.d/corvane-$CORVANE_DEBIAN_SUITE.list"
  apt-get "${apt_opts[@]}" update
}

# The recorded version while the archive has it; otherwise the archive's
# newest, and says so, since a point release replaces the old one.
pick_version() {
  local package="$1" wanted="$2" available newest
  if [ "$package" = qt6-base ]; then
    available="$(apt-cache "${apt_opts[@]}" showsrc "$package" | sed -n 's/^Version: //p')"
  else
    available="$(apt-cache "${apt_opts[@]}" madison "$package" | awk -F'|' '{gsub(/ /, "", $2); print $2}')"
  fi
  if grep -qxF -- "$wanted" <<<"$available"; then
    echo "$wanted"
    return
  fi
  newest="$(sort -V <<<"$available" | tail -n1)"
  if [ -z "$newest" ]; then
    echo "build-qt: $CORVANE_DEBIAN_SUITE has no $package" >&2
    return 1
  fi
  echo "build-qt: $CORVANE_DEBIAN_SUITE no longer has $package $wanted; taking $newest instead" >&2
  echo "$newest"
}

download() {
  rm -rf "$work/download"
  mkdir -p "$work/download"
  cd "$work/download"
  apt-get "${apt_opts[@]}" source --download-only "qt6-base=$qt_version"
  apt-get "${apt_opts[@]}" download "mingw-w64-x86-64-dev=$mingw_version" \
    "mingw-w64-common=$mingw_version"
}

# Only the target's tree and the licence text are kept.
unpack_mingw() {
  local deb
  rm -rf "$work/mingw" "$mingw" "$mingw.tmp"
  for deb in "$work"/download/mingw-w64-*.deb; do
    dpkg-deb -x "$deb" "$work/mingw"
  done
  # Most headers are links into the common package's folder; copied as files.
  cp -RL "$work/mingw/usr/x86_64-w64-mingw32" "$mingw.tmp"
  cp "$work/mingw/usr/share/doc/mingw-w64-common/copyright" "$mingw.tmp/copyright"
  echo "$mingw_version" >"$mingw.tmp/.corvane-version"
  mv "$mingw.tmp" "$mingw"
}

unpack_source() {
  local dsc="$work/download/qt6-base_${qt_version#*:}.dsc"
  rm -rf "$work/src"
  if [ "${CORVANE_QT_NO_PATCHES:-0}" = 1 ]; then
    mkdir -p "$work/src"
    tar -xJf "$work"/download/qt6-base_*.orig.tar.xz -C "$work/src" --strip-components=1
    # Debian's copyright file, for the notices, and its changelog, for the
    # date the DLLs carry, come all the same.
    tar -xJf "$work"/download/qt6-base_*.debian.tar.xz -C "$work/src" debian/copyright debian/changelog
  else
    # Debian's patches are security fixes and build-system tweaks that are
    # harmless on Windows; keep them unless they stop applying.
    dpkg-source -x "$dsc" "$work/src"
  fi
}

if [ ! -f "$work/download/.complete" ]; then
  run_logged package-lists update_package_lists
  qt_version="$(pick_version qt6-base "$CORVANE_QT_DEBIAN_VERSION")"
  mingw_version="$(pick_version mingw-w64-x86-64-dev "$CORVANE_MINGW_DEBIAN_VERSION")"
  run_logged download download
  printf '%s\n' "$qt_version" "$mingw_version" >"$work/download/.complete"
fi
{ read -r qt_version; read -r mingw_version; } <"$work/download/.complete"

if [ "$(cat "$mingw/.corvane-version" 2>/dev/null || true)" != "$mingw_version" ]; then
  run_logged unpack-mingw-w64 unpack_mingw
fi
if [ ! -f "$work/src/.unpacked" ]; then
  run_logged unpack-source unpack_source
  touch "$work/src/.unpacked"
fi

# --- build ----------------------------------------------------------------------

jobs="${CORVANE_QT_JOBS:-$(nproc)}"

# Configures (again only when the options changed; an unchanged tree is
# resumed where it stopped), builds and installs one Qt.
build_qt() {
  local name="$1" build="$work/build-$1" install_prefix="$2" fingerprint start
  shift 2
  fingerprint="$(printf '%s\n' "$@" "patches=${CORVANE_QT_NO_PATCHES:-0}" \
    "mingw-w64=$mingw_version" "flags=${CXXFLAGS:-}" | sha256sum | cut -d' ' -f1)"
  if [ "$(cat "$build/.configured" 2>/dev/null || true)" != "$fingerprint" ]; then
    rm -rf "$build"
    mkdir -p "$build"
    run_logged "configure-$name" cmake -S "$work/src" -B "$build" -G Ninja \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$install_prefix" \
      -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_UNITY_BUILD=ON "$@"
    echo "$fingerprint" >"$build/.configured"
  fi
  start=$(date +%s)
  # nice: this runs for a long while next to interactive work on small machines.
  run_logged "build-$name" nice -n 10 cmake --build "$build" --parallel "$jobs"
  log "$name compiled in $(( ($(date +%s) - start) / 60 )) min"
  rm -rf "$install_prefix"
  run_logged "install-$name" cmake --install "$build"
}

require_files() {
  local dir="$1" f
  shift
  for f in "$@"; do
    if [ ! -f "$dir/$f" ]; then
      echo "build-qt: $dir is missing $f; not marking it complete" >&2
      exit 1
    fi
  done
}

# Writes a stamp that says exactly what was built and how.
write_stamp() {
  local file="$1" arg
  shift
  {
    echo "qt=$CORVANE_QT_VERSION"
    echo "source=qt6-base_${qt_version#*:}"
    echo "mingw-w64=$mingw_version"
    echo "debian-patches=$([ "${CORVANE_QT_NO_PATCHES:-0}" = 1 ] && echo no || echo yes)"
    for arg in "$@"; do
      echo "configure=$arg"
    done
    echo "built=$(date -u +%Y-%m-%dT%H:%M:%SZ)"
  } >"$file.tmp"
  mv "$file.tmp" "$file"
}

# Just what running the tools needs: no GUI, and Qt's own copies of the
# libraries rather than whatever -dev packages this machine has.
host_args=(
  -DFEATURE_gui=OFF
  -DFEATURE_widgets=OFF
  -DFEATURE_network=OFF
  -DFEATURE_sql=OFF
  -DFEATURE_testlib=OFF
  -DFEATURE_printsupport=OFF
  -DFEATURE_concurrent=OFF
  -DFEATURE_dbus=OFF
  -DFEATURE_xml=OFF
  -DFEATURE_icu=OFF
  -DFEATURE_glib=OFF
  -DFEATURE_zstd=OFF
  -DFEATURE_system_zlib=OFF
  -DFEATURE_system_pcre2=OFF
  -DFEATURE_system_doubleconversion=OFF
  -DFEATURE_system_libb2=OFF
)
host_stamp="$tools/.corvane-build-complete"
if [ ! -f "$host_stamp" ]; then
  build_qt host "$tools" "${host_args[@]}"
  require_files "$tools" libexec/moc libexec/rcc libexec/uic libexec/syncqt \
    lib/cmake/Qt6HostInfo/Qt6HostInfoConfig.cmake \
    lib/cmake/Qt6CoreTools/Qt6CoreToolsConfig.cmake \
    lib/cmake/Qt6WidgetsTools/Qt6WidgetsToolsConfig.cmake
  write_stamp "$host_stamp" "${host_args[@]}"
fi

target_args=(
  -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64-x86_64.cmake"
  -DCORVANE_MINGW_ROOT="$mingw"
  -DBUILD_SHARED_LIBS=ON
  -DQT_HOST_PATH="$tools"
  -DQT_HOST_PATH_CMAKE_DIR="$CORVANE_HOST_QT_CMAKE_DIR"
  # Only what the program and its tests use: Core, Gui, Widgets, Test.
  -DFEATURE_network=OFF
  -DFEATURE_sql=OFF
  -DFEATURE_printsupport=OFF
  # The feature alone is not enough on Windows: "dynamic OpenGL" stays on
  # and the platform plugin then no longer compiles, while turning that off
  # without INPUT_opengl=no stops configure with an OpenGL error.
  -DFEATURE_opengl=OFF
  -DFEATURE_opengl_dynamic=OFF
  -DINPUT_opengl=no
  -DFEATURE_dbus=OFF
  -DFEATURE_concurrent=OFF
  -DFEATURE_xml=OFF
  -DFEATURE_vulkan=OFF
  -DFEATURE_jpeg=OFF
  -DFEATURE_icu=OFF
  -DFEATURE_zstd=OFF
  -DFEATURE_testlib=ON
  -DFEATURE_widgets=ON
  # Screen readers reach the window through it; configure fails rather than
  # quietly dropping it.
  -DFEATURE_accessibility=ON
  # gcc-mingw-w64 12 stops with an internal error in its SEH unwind code on
  # the bundled PCRE2 and HarfBuzz when this is on.
  -DFEATURE_stack_clash_protection=OFF
  # There is no Windows copy of these libraries to link against; Qt's own
  # copies get built into the DLLs instead.
  -DFEATURE_system_zlib=OFF
  -DFEATURE_system_pcre2=OFF
  -DFEATURE_system_png=OFF
  -DFEATURE_system_freetype=OFF
  -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_doubleconversion=OFF
  -DFEATURE_system_libb2=OFF
  # pkg-config would report the host's Linux libraries.
  -DFEATURE_pkg_config=OFF
  # Debian's tarball drops the bundled wintab headers that tablet support
  # needs.
  -DFEATURE_tabletevent=OFF
  # direct2d itself must stay: the Windows platform plugin only builds its
  # DirectWrite font database with it. The 1.1 API is what mingw lacks.
  -DFEATURE_direct2d1_1=OFF
)
# The DLLs are shipped, so every machine must build the same bytes: no path
# of this cache in them, and where a tool records a date (the linker's and
# strip's PE time stamp, rcc's file times), the date of Debian's source
# package.
SOURCE_DATE_EPOCH="$(dpkg-parsechangelog -l "$work/src/debian/changelog" -STimestamp)"
CFLAGS="-ffile-prefix-map=$cache=/corvane-win64"
CXXFLAGS="$CFLAGS"
export SOURCE_DATE_EPOCH CFLAGS CXXFLAGS
build_qt win64 "$prefix" "${target_args[@]}"
require_files "$prefix" \
  bin/Qt6Core.dll \
  bin/Qt6Gui.dll \
  bin/Qt6Widgets.dll \
  bin/Qt6Test.dll \
  plugins/platforms/qwindows.dll \
  plugins/platforms/qoffscreen.dll \
  plugins/styles/qmodernwindowsstyle.dll \
  lib/cmake/Qt6/Qt6Config.cmake \
  lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake \
  lib/cmake/Qt6Test/Qt6TestConfig.cmake
# The licence texts of Qt and of the code it bundles, and Debian's record of
# every file's copyright, for the notices of whatever ships these DLLs.
mkdir -p "$prefix/licenses"
cp "$work/src/LICENSES/"* "$work/src/src/gui/painting/QIMAGETRANSFORM_LICENSE.txt" "$prefix/licenses/"
cp "$work/src/debian/copyright" "$prefix/licenses/qt6-base-copyright.txt"
write_stamp "$stamp" "${target_args[@]}"

if [ "${CORVANE_KEEP_QT_BUILD:-0}" != 1 ]; then
  rm -rf "$work"
fi

log "Qt $CORVANE_QT_VERSION for Windows installed in $prefix ($(du -sh "$prefix" | cut -f1))"
