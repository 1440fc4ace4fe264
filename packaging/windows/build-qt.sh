#!/usr/bin/env bash
# Cross-builds qtbase for 64-bit Windows (MinGW-w64) from Debian's own source
# package, once per machine, into the cache described in paths.sh.
#
# Later runs (from any clone) find the stamp and return at once. An
# interrupted run resumes its build tree instead of starting over; the
# install itself only counts once the stamp has been written.
#
# Environment:
#   CORVANE_WIN_CACHE      cache directory (default ~/.cache/corvane-win64)
#   CORVANE_QT_JOBS        parallel compile jobs (default: number of CPUs)
#   CORVANE_QT_NO_PATCHES  1 = build the pristine upstream tarball, without
#                          Debian's patches
#   CORVANE_KEEP_QT_BUILD  1 = keep the source and build trees afterwards
#   CORVANE_DEBIAN_MIRROR  Debian mirror to fetch the source from (default:
#                          the one this machine's apt already uses)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# shellcheck source=paths.sh
source "$here/paths.sh"

cache="$CORVANE_WIN_CACHE"
prefix="$CORVANE_QT_WIN_PREFIX"
stamp="$CORVANE_QT_WIN_STAMP"

if [ -f "$stamp" ]; then
  echo "build-qt: Qt $CORVANE_QT_VERSION for Windows already in $prefix"
  exit 0
fi

mkdir -p "$cache/logs"
logs="$cache/logs"
work="$cache/work"

# Two concurrent runs would trample the same build tree.
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

for tool in x86_64-w64-mingw32-g++-posix cmake ninja dpkg-source apt-get; do
  command -v "$tool" >/dev/null || {
    echo "build-qt: $tool not found; run packaging/windows/setup-deps.sh first" >&2
    exit 1
  }
done

host_qt_version="$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || true)"
case "$host_qt_version" in
  "$CORVANE_QT_VERSION"+*|"$CORVANE_QT_VERSION"-*) ;;
  *)
    echo "build-qt: host Qt is '${host_qt_version:-missing}', need $CORVANE_QT_VERSION (its moc/rcc/uic are used for the cross build)" >&2
    exit 1 ;;
esac
if [ ! -f "$CORVANE_HOST_QT_CMAKE_DIR/Qt6HostInfo/Qt6HostInfoConfig.cmake" ]; then
  echo "build-qt: no Qt6HostInfo package under $CORVANE_HOST_QT_CMAKE_DIR" >&2
  exit 1
fi

# --- source -----------------------------------------------------------------

# The machine's own mirror, so that a local proxy or snapshot keeps working.
detect_mirror() {
  local uri
  uri="$(
    {
      grep -hsE '^[[:space:]]*deb[[:space:]]' /etc/apt/sources.list /etc/apt/sources.list.d/*.list |
        sed -E 's/^[[:space:]]*deb[[:space:]]+(\[[^]]*\][[:space:]]+)?//' | awk '{print $1}'
      grep -hsE '^[[:space:]]*URIs:' /etc/apt/sources.list.d/*.sources |
        sed -E 's/^[[:space:]]*URIs:[[:space:]]*//' | tr ' ' '\n'
    } | grep -E '^https?://[^ ]*/debian/?$' | head -n1
  )"
  echo "${uri:-http://deb.debian.org/debian}"
}

fetch_source() {
  local mirror suite apt_dir keyring opts=()
  mirror="${CORVANE_DEBIAN_MIRROR:-$(detect_mirror)}"
  suite="$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")"
  apt_dir="$work/apt"
  keyring=/usr/share/keyrings/debian-archive-keyring.gpg

  # A private apt configuration: the machine's sources stay untouched and
  # its package cache is not replaced by one that only knows our deb-src.
  rm -rf "$apt_dir"
  mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" \
    "$apt_dir/cache/archives/partial"
  if [ -f "$keyring" ]; then
    echo "deb-src [signed-by=$keyring] $mirror $suite main"
  else
    echo "deb-src $mirror $suite main"
  fi >"$apt_dir/sources.list.d/corvane-src.list"

  opts=(
    -o Dir::Etc::SourceList=/dev/null
    -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
    -o "Dir::State::Lists=$apt_dir/lists"
    -o "Dir::Cache=$apt_dir/cache"
  )
  # apt's download sandbox user cannot write into a root-owned private dir.
  [ "$(id -u)" -eq 0 ] && opts+=(-o APT::Sandbox::User=root)

  apt-get "${opts[@]}" update
  mkdir -p "$work/download"
  (cd "$work/download" && apt-get "${opts[@]}" source --download-only qt6-base)
}

unpack_source() {
  local dsc=""
  for dsc in "$work"/download/qt6-base_"$CORVANE_QT_VERSION"*.dsc; do break; done
  if [ ! -f "$dsc" ]; then
    echo "build-qt: the archive does not offer qt6-base $CORVANE_QT_VERSION:" >&2
    ls "$work/download" >&2
    return 1
  fi
  rm -rf "$work/src"
  if [ "${CORVANE_QT_NO_PATCHES:-0}" = 1 ]; then
    mkdir -p "$work/src"
    tar -xJf "$work"/download/qt6-base_"$CORVANE_QT_VERSION"*.orig.tar.xz \
      -C "$work/src" --strip-components=1
  else
    # Debian's patches are security fixes and build-system tweaks that are
    # harmless on Windows; keep them unless they stop applying.
    dpkg-source -x "$dsc" "$work/src"
  fi
}

if [ ! -f "$work/src/.unpacked" ]; then
  run_logged fetch-source fetch_source
  run_logged unpack-source unpack_source
  touch "$work/src/.unpacked"
fi

# --- configure ----------------------------------------------------------------

configure_args=(
  -G Ninja
  -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64-x86_64.cmake"
  -DCMAKE_INSTALL_PREFIX="$prefix"
  -DCMAKE_BUILD_TYPE=Release
  -DBUILD_SHARED_LIBS=ON
  -DQT_HOST_PATH="$CORVANE_HOST_QT_PREFIX"
  -DQT_HOST_PATH_CMAKE_DIR="$CORVANE_HOST_QT_CMAKE_DIR"
  -DQT_BUILD_EXAMPLES=OFF
  -DQT_BUILD_TESTS=OFF
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
  # There is no Windows copy of these libraries to link against; Qt's own
  # copies get built into the DLLs instead.
  -DFEATURE_system_zlib=OFF
  -DFEATURE_system_pcre2=OFF
  -DFEATURE_system_png=OFF
  -DFEATURE_system_freetype=OFF
  -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_doubleconversion=OFF
  # pkg-config would report the host's Linux libraries.
  -DFEATURE_pkg_config=OFF
  # Debian's tarball drops the bundled wintab headers that tablet support
  # needs.
  -DFEATURE_tabletevent=OFF
  # direct2d itself must stay: the Windows platform plugin only builds its
  # DirectWrite font database with it. The 1.1 API is what mingw lacks.
  -DFEATURE_direct2d1_1=OFF
)

# Changing the options invalidates the build tree; an unchanged one is
# resumed where it stopped.
fingerprint="$(printf '%s\n' "${configure_args[@]}" "patches=${CORVANE_QT_NO_PATCHES:-0}" | sha256sum | cut -d' ' -f1)"
if [ "$(cat "$work/build/.configured" 2>/dev/null || true)" != "$fingerprint" ]; then
  rm -rf "$work/build"
  mkdir -p "$work/build"
  run_logged configure cmake -S "$work/src" -B "$work/build" "${configure_args[@]}"
  echo "$fingerprint" >"$work/build/.configured"
fi

# --- build and install ----------------------------------------------------------

jobs="${CORVANE_QT_JOBS:-$(nproc)}"
start=$(date +%s)
# nice: this runs for a long while next to interactive work on small machines.
run_logged build nice -n 10 cmake --build "$work/build" --parallel "$jobs"
log "compiled in $(( ($(date +%s) - start) / 60 )) min"

rm -rf "$prefix"
run_logged install cmake --install "$work/build"

required=(
  bin/Qt6Core.dll
  bin/Qt6Gui.dll
  bin/Qt6Widgets.dll
  bin/Qt6Test.dll
  plugins/platforms/qwindows.dll
  plugins/platforms/qoffscreen.dll
  plugins/styles/qwindowsvistastyle.dll
  lib/cmake/Qt6/Qt6Config.cmake
  lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake
  lib/cmake/Qt6Test/Qt6TestConfig.cmake
)
for f in "${required[@]}"; do
  if [ ! -f "$prefix/$f" ]; then
    echo "build-qt: install is missing $f; not marking it complete" >&2
    exit 1
  fi
done

source_dsc=""
for source_dsc in "$work"/download/*.dsc; do break; done
{
  echo "qt=$CORVANE_QT_VERSION"
  echo "source=$(basename "$source_dsc" .dsc)"
  echo "debian-patches=$([ "${CORVANE_QT_NO_PATCHES:-0}" = 1 ] && echo no || echo yes)"
  echo "configure-fingerprint=$fingerprint"
  echo "built=$(date -u +%Y-%m-%dT%H:%M:%SZ)"
} >"$stamp.tmp"
mv "$stamp.tmp" "$stamp"

if [ "${CORVANE_KEEP_QT_BUILD:-0}" != 1 ]; then
  rm -rf "$work"
fi

log "Qt $CORVANE_QT_VERSION for Windows installed in $prefix ($(du -sh "$prefix" | cut -f1))"
