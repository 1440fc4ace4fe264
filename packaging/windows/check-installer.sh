#!/usr/bin/env bash
# Tries the installer that cpack made in BUILD_DIR under Wine, as a user
# would, in a throwaway prefix: a silent install, Corvane started from its
# Start-menu shortcut, an update to a newer version (refused while Corvane
# runs), a silent uninstall, and one for someone who never made a lobby.
# After each step it checks what is on disk and in the registry, above all
# that the lobbies and settings are kept.
#
#   check-installer.sh BUILD_DIR
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$(cd "$1" && pwd)"
work="$(mktemp -d)"
export CORVANE_WINEPREFIX="$work/prefix"
# shellcheck source=wine-run.sh
source "$here/wine-run.sh"
# A new prefix links Desktop and Documents to the home folder: keep them in
# the throwaway one.
export HOME="$work/home"
mkdir "$HOME"
xvfb_pid=""
cleanup() {
    wineserver -k 2>/dev/null || true
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

version="$(corvane_version)"
setup="$build/Corvane-$version-win64-setup.exe"
stage="$build/stage"
[ -f "$setup" ] || fail "$setup is missing"
# The next version, made from the same tree less one file, which the update
# must then remove.
next="${version%.*}.$((${version##*.} + 1))"
retired="licenses/Imlib2.txt"
cp -a "$stage" "$work/next-stage"
rm "$work/next-stage/$retired"
cpack --config "$build/CPackConfig.cmake" -G NSIS -B "$work/next" -D CPACK_PACKAGE_VERSION="$next" \
    -D CPACK_PACKAGE_FILE_NAME="Corvane-$next-win64" -D "CPACK_INSTALLED_DIRECTORIES=$work/next-stage;." \
    >"$work/cpack-next.log" || { cat "$work/cpack-next.log"; fail "could not make the installer of version $next"; }
next_setup="$work/next/Corvane-$next-win64-setup.exe"

# The installed program shows its window through Qt's Windows platform,
# which needs a display: an X server of this check's own.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
wait_for test -s "$work/display" || fail "Xvfb did not start"
DISPLAY=":$(cat "$work/display")"
export DISPLAY
wine_prepare
# A folder's Windows path from Wine's environment, and its path here.
win_var() { wine cmd /c echo "%$1%" | tr -d '\r'; }
unix_path() { wine winepath -u "$1" | tr -d '\r'; }
local_app_data="$(win_var LOCALAPPDATA)"
program_dir="$(unix_path "$local_app_data\\Programs\\Corvane")"
data_home="$(unix_path "$local_app_data\\Corvane")"
start_menu_win="$(win_var APPDATA)\\Microsoft\\Windows\\Start Menu\\Programs\\Corvane.lnk"
shortcut="$(unix_path "$start_menu_win")"
desktop_shortcut="$(unix_path "$(win_var USERPROFILE)\\Desktop\\Corvane.lnk")"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvane'

# An installer or the uninstaller, which runs from a copy of itself, so
# Wine is waited for.
silently() {
    wine "$1" /S || fail "the silent run of $1 failed with exit code $?"
    wineserver -w
}
shows_window() { xwininfo -root -tree | grep -q '"Corvane": '; }
start_from_shortcut() {
    wine start "$start_menu_win"
    wait_for shows_window || fail "the installed Corvane showed no window"
}

# The installed folder holds the staged tree as it is, plus the uninstaller.
same_files() {
    diff -r -x Uninstall.exe "$1" "$program_dir" >"$work/diff" || { cat "$work/diff"; fail "$2"; }
    [ -f "$program_dir/Uninstall.exe" ] || fail "$2: Uninstall.exe is missing"
}

# The Apps entry, value by value, and the only one named Corvane.
check_entry() {
    local entry name type value kib actual
    entry="$(wine reg query "$uninstall_key" | tr -d '\r')" || fail "no Apps entry $uninstall_key"
    while IFS='|' read -r name type value; do
        grep -qxF "    $name    $type    $value" <<<"$entry" || fail "the Apps entry's $name is not $type '$value':"$'\n'"$entry"
    done <<EOF
DisplayName|REG_SZ|Corvane
DisplayVersion|REG_SZ|$1
Publisher|REG_SZ|The Corvane developers
DisplayIcon|REG_SZ|$local_app_data\\Programs\\Corvane\\corvane.exe
InstallLocation|REG_SZ|$local_app_data\\Programs\\Corvane
UninstallString|REG_SZ|"$local_app_data\\Programs\\Corvane\\Uninstall.exe"
QuietUninstallString|REG_SZ|"$local_app_data\\Programs\\Corvane\\Uninstall.exe" /S
NoModify|REG_DWORD|0x1
NoRepair|REG_DWORD|0x1
EOF
    # In KiB, as Settings > Apps reads it; a wrong unit is off by 1024 times.
    value="$(sed -n 's/^    EstimatedSize    REG_DWORD    //p' <<<"$entry")"
    kib=$((${value:-0}))
    actual="$(du -s -k --apparent-size "$program_dir" | cut -f1)"
    if [ "$kib" -lt $((actual * 9 / 10)) ] || [ "$kib" -gt $((actual * 11 / 10)) ]; then
        fail "EstimatedSize is $kib KiB, the folder $actual KiB"
    fi
    [ "$(wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s | tr -d '\r' \
        | grep -c '^    DisplayName    REG_SZ    Corvane$')" -eq 1 ] || fail "more than one Apps entry named Corvane"
}

# Nothing for all users: no key under HKLM names Corvane, and nothing is in
# Program Files.
nothing_for_all_users() {
    wine reg export HKLM "$work/hklm.reg" /y >/dev/null || fail "could not export HKLM"
    if iconv -f UTF-16 -t UTF-8 "$work/hklm.reg" | grep -i corvane; then fail "the installer wrote the lines above under HKLM"; fi
    if find "$WINEPREFIX/drive_c/Program Files" "$WINEPREFIX/drive_c/Program Files (x86)" -iname '*corvane*' | grep .; then
        fail "the installer wrote the files above under Program Files"
    fi
}

# 1. A silent install.
silently "$setup"
same_files "$stage" "the installed files differ from the package"
check_entry "$version"
[ -f "$shortcut" ] || fail "no Start-menu shortcut $start_menu_win"
[ ! -e "$desktop_shortcut" ] || fail "a desktop shortcut was made without being asked for"
lnk="$(lnkinfo "$shortcut")"
grep -qxF "	Local path			: $local_app_data\\Programs\\Corvane\\corvane.exe" <<<"$lnk" \
    || fail "the shortcut does not start the installed corvane.exe:"$'\n'"$lnk"
grep -qxF "	Working directory		: $local_app_data\\Corvane" <<<"$lnk" \
    || fail "the shortcut does not start in $local_app_data\\Corvane:"$'\n'"$lnk"
[ -d "$data_home" ] || fail "the shortcut's working directory $data_home was not made"
nothing_for_all_users

# 2. Started from the shortcut, with none of the build's DLLs in reach, the
# installed copy shows its window and keeps its data in the shortcut's
# working directory.
start_from_shortcut
# In the fonts Wine offers a Windows program every text fits the form as
# drawn, as in Windows' own.
size="$(xwininfo -root -tree | sed -n 's/.*"Corvane": ("corvane.exe" "corvane.exe")  \([0-9]*x[0-9]*\)+.*/\1/p')"
[ "$size" = 341x166 ] || fail "the installed Corvane's window is ${size:-not found}, not 341x166"
[ -d "$data_home/data" ] || fail "Corvane started from the shortcut made no $data_home/data"
printf 'pass=SWORDFISH\nlines=3\n' >"$data_home/data/Friends.lobby"
printf 'path=C:/Games/RDR2\nlines=3\n' >"$data_home/data/settings.txt"
cp -a "$data_home/data" "$work/data-before"
kept_data() { diff -r "$work/data-before" "$data_home/data" >"$work/diff" || { cat "$work/diff"; fail "$1"; }; }

# 3. While Corvane runs, an update changes nothing and says so by its exit code.
if wine "$next_setup" /S; then fail "the update went ahead while Corvane was running"; fi
same_files "$stage" "an update refused while Corvane ran changed the installed files"
check_entry "$version"
wineserver -k && wineserver -w

# 4. Once it is closed, the update replaces the program and keeps the data.
silently "$next_setup"
same_files "$work/next-stage" "after the update the installed files differ from version $next"
[ ! -e "$program_dir/$retired" ] || fail "the update left $retired, which version $next no longer ships"
check_entry "$next"
kept_data "the update changed the lobbies or settings"
nothing_for_all_users

# 5. The uninstaller removes the program, its shortcut and its entry, and
# nothing of the data.
silently "$program_dir/Uninstall.exe"
[ ! -e "$program_dir" ] || fail "the uninstaller left $program_dir: $(ls -A "$program_dir")"
[ ! -e "$shortcut" ] || fail "the uninstaller left the Start-menu shortcut"
if wine reg query "$uninstall_key" >/dev/null 2>&1; then fail "the uninstaller left the Apps entry"; fi
kept_data "the uninstaller changed the lobbies or settings"
nothing_for_all_users

# 6. For someone who never made a lobby, it leaves no empty folder behind.
rm -rf "$data_home"
silently "$setup"
start_from_shortcut
wineserver -k && wineserver -w
silently "$program_dir/Uninstall.exe"
[ ! -e "$data_home" ] || fail "the uninstaller left the empty $data_home: $(find "$data_home")"
echo "check-installer: install, shortcut, Apps entry, update to $next, uninstall, no empty folder left"
