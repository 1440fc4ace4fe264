#!/bin/bash
# Prints start-up, refresh and memory figures for 0 to 10,000 stored lobbies,
# each beside its floor, all measured in one run on this machine.
#
# The windows are shown on a real X server (Xvfb when there is no display);
# QPA=offscreen measures without any window system instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh hyperfine time strace python3 xvfb xauth
platform="${QPA:-xcb}"
if [ "$platform" = xcb ] && [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
cmake --preset release >/dev/null
cmake --build --preset release --target corvane_bench >/dev/null
bench="$PWD/build/release/bench/corvane_bench"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM="$platform"

sizes=(0 100 1000 10000)
commands=(-n floor "cd $work/n0 && $bench floor")
for n in "${sizes[@]}"; do
    "$bench" prepare "$work/n$n" "$n"
    commands+=(-n "$n" "cd $work/n$n && $bench startup")
done
hyperfine --warmup 3 --runs "${RUNS:-30}" --export-json "$work/startup.json" "${commands[@]}" >&2

peak_kib() { # the median peak resident size of five runs
    for _ in 1 2 3 4 5; do (cd "$1" && /usr/bin/time -f %M "$bench" "$2" 2>&1 >/dev/null | tail -1); done | sort -n | sed -n 3p
}
opened() { # files under data/ and game/ that K refreshes open
    (cd "$1" && strace -f -qq -e trace=openat -o "$work/trace" "$bench" refreshes "$2")
    grep -Ec '"(data|game)/[^"]*", [^)]*\) = [0-9]' "$work/trace"
}
{
    echo "floor $(peak_kib "$work/n0" floor)"
    for n in "${sizes[@]}"; do
        echo "memory $n $(peak_kib "$work/n$n" startup)"
        echo "refresh $n $(cd "$work/n$n" && "$bench" refresh 15)"
        echo "opens $n $(( $(opened "$work/n$n" 2) - $(opened "$work/n$n" 1) ))"
    done
} > "$work/figures"

python3 - "$work/startup.json" "$work/figures" "$platform" <<'PY'
import json, sys
runs = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
figures = [line.split() for line in open(sys.argv[2])]
floor_kib = int(next(f[1] for f in figures if f[0] == "floor"))
floor_ms = runs["floor"]["median"] * 1000
print(f"platform {sys.argv[3]}; floor: empty 341x166 window, {floor_ms:.1f} ms median, {floor_kib / 1024:.1f} MiB peak\n")
print("| lobbies | start-up ms | × floor | peak MiB | + floor MiB | refresh ms | raw floor ms | × raw | files per refresh |")
print("|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
for n in ["0", "100", "1000", "10000"]:
    start = runs[n]["median"] * 1000
    kib = int(next(f[2] for f in figures if f[:2] == ["memory", n]))
    refresh, raw = (float(x) for x in next(f[2:] for f in figures if f[:2] == ["refresh", n]))
    opens = next(f[2] for f in figures if f[:2] == ["opens", n])
    ratio = f"{refresh / raw:.2f}" if raw > 0.001 else "–"
    print(f"| {int(n):,} | {start:.1f} | {start / floor_ms:.2f} | {kib / 1024:.1f} | {(kib - floor_kib) / 1024:+.1f} "
          f"| {refresh:.2f} | {raw:.2f} | {ratio} | {opens} |")
PY
