# shellcheck shell=bash
# Environment for running the cross-built Windows programs under wine; meant
# to be sourced. Sets WINEPREFIX, WINEDEBUG, CORVANE_WINE (the wine loader)
# and defines:
#   corvane_wine_prepare   create the private wine prefix once
#   corvane_winepath DIR.. join host directories into a WINEPATH value

# shellcheck source=paths.sh
source "$(dirname "${BASH_SOURCE[0]}")/paths.sh"

# A prefix of our own, so that nothing depends on (or disturbs) a user's
# ~/.wine, and a clean clone still finds the initialised one.
export WINEPREFIX="${CORVANE_WINEPREFIX:-$CORVANE_WIN_CACHE/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEARCH=win64

# Debian's wine64 loader sits off PATH; /usr/bin/wine is a wrapper that
# prefers a 32-bit loader and nags when it is missing.
if [ -z "${CORVANE_WINE:-}" ]; then
  for _corvane_w in /usr/lib/wine/wine64 "$(command -v wine64 2>/dev/null || true)" \
    "$(command -v wine 2>/dev/null || true)"; do
    if [ -n "$_corvane_w" ] && [ -x "$_corvane_w" ]; then
      CORVANE_WINE="$_corvane_w"
      break
    fi
  done
  unset _corvane_w
fi
export CORVANE_WINE
export WINELOADER="${WINELOADER:-$CORVANE_WINE}"

if [ -x /usr/lib/wine/wineserver ]; then
  CORVANE_WINESERVER=/usr/lib/wine/wineserver
else
  CORVANE_WINESERVER="$(command -v wineserver 2>/dev/null || echo wineserver)"
fi
export CORVANE_WINESERVER

CORVANE_WINEPREFIX_STAMP="$WINEPREFIX/.corvane-prefix-ready"

corvane_wine_prepare() {
  [ -f "$CORVANE_WINEPREFIX_STAMP" ] && return 0
  if [ -z "${CORVANE_WINE:-}" ]; then
    echo "wine not found; run packaging/windows/setup-deps.sh" >&2
    return 1
  fi
  mkdir -p "$CORVANE_WIN_CACHE"
  (
    # Tests started in parallel must not initialise the prefix twice.
    flock 8
    [ -f "$CORVANE_WINEPREFIX_STAMP" ] && exit 0
    rm -rf "$WINEPREFIX"
    # No Mono or Gecko: they are not needed and would try to ask through a
    # dialog that nobody can see.
    WINEDLLOVERRIDES="mscoree=;mshtml=" "$CORVANE_WINE" wineboot -i >/dev/null 2>&1 || {
      echo "wineboot failed for $WINEPREFIX" >&2
      exit 1
    }
    # Wine hides dot-files from directory listings unless told otherwise;
    # Windows itself shows them, and the program must see them as it would
    # there.
    "$CORVANE_WINE" reg add 'HKCU\Software\Wine' /v ShowDotFiles /d Y /f >/dev/null 2>&1 || {
      echo "could not set ShowDotFiles in $WINEPREFIX" >&2
      exit 1
    }
    # The registry reaches disk only when the server shuts down.
    "$CORVANE_WINESERVER" -w
    touch "$CORVANE_WINEPREFIX_STAMP"
  ) 8>"$CORVANE_WIN_CACHE/wineprefix.lock"
}

# Z: is wine's mapping of the host root; WINEPATH entries are ';'-separated.
corvane_winepath() {
  local out="" d
  for d in "$@"; do
    [ -n "$d" ] || continue
    out="${out:+$out;}Z:${d//\//\\}"
  done
  printf '%s\n' "$out"
}
