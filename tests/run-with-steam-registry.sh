#!/bin/bash
# Under Wine only: names a fake Steam folder that holds the game in SteamPath
# of HKEY_CURRENT_USER\Software\Valve\Steam, in the private Wine prefix that
# the emulator runs the tests in, runs the one test that reads it and takes
# the value out again. Never for a real Windows machine's registry.
#   run-with-steam-registry.sh <tst_gamefinder.exe> <emulator>...
set -eu
test="$1"
shift
emulator=("$@")
key='HKCU\Software\Valve\Steam'
steam="$(mktemp -d)"
cleanup() {
    "${emulator[@]}" reg delete "$key" /v SteamPath /f >/dev/null 2>&1 || true
    rm -rf "$steam"
}
trap cleanup EXIT

game="$steam/steamapps/common/Red Dead Redemption 2"
mkdir -p "$game"
: >"$game/RDR2.exe"
printf '"AppState"\n{\n\t"installdir"\t\t"Red Dead Redemption 2"\n}\n' >"$steam/steamapps/appmanifest_1174180.acf"
# Steam writes the value with forward slashes; Z: is Wine's drive for /.
"${emulator[@]}" reg add "$key" /v SteamPath /d "Z:$steam" /f >/dev/null
CORVANE_TEST_STEAM_GAME="Z:$game" "${emulator[@]}" "$test" steamPathInRegistry
