#!/usr/bin/env bash
# Start-up time of the program against a bare six-page Qt window, both under
# the same Xvfb, interleaved: each round starts the bare window, the program on
# a fresh profile (first start) and the program on a profile of an earlier run
# (later start), each timed from exec to its first window mapped.
#
#   bench/startup/startup.sh [build-dir] [rounds]      (default: build, 15)
#
# Environment: STARTUP_DISPLAY (default :118), PROGRAM (default
# <build-dir>/tengwar-ostrel), to time another build of the program.
# Prints every figure and the medians; the ratios are medians over the bare
# window's median. Needs Xvfb, a C compiler and libx11-dev.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="${1:-$root/build}"
rounds="${2:-15}"
display="${STARTUP_DISPLAY:-:118}"
program="${PROGRAM:-$build/tengwar-ostrel}"
bare="$build/bench/bench_barewindow"
for file in "$program" "$bare"; do
  [[ -x "$file" ]] || { echo "missing $file (build the program and bench_barewindow)" >&2; exit 2; }
done

work="$(mktemp -d)"
xvfb_pid=""
cleanup() {
  if [[ -n "$xvfb_pid" ]]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

cc -O2 -o "$work/waitmap" "$root/bench/startup/waitmap.c" -lX11
if [[ -e "/tmp/.X${display#:}-lock" ]]; then
  echo "display $display is taken; set STARTUP_DISPLAY" >&2
  exit 2
fi
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY="$display" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/runtime"
# A session bus that is not there: every start is timed alone, never handed
# over to a copy that runs on the desktop (nor is a bus launched for it).
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus"
mkdir -p -m 700 "$work/runtime"
for _ in $(seq 300); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
"$work/waitmap" -t 20000 "$bare" >/dev/null  # warms the disk cache and the X server

# A profile of its own: HOME and the XDG folders under one folder.
profile() {
  local dir="$1"
  mkdir -p "$dir"
  echo "HOME=$dir XDG_CONFIG_HOME=$dir/config XDG_DATA_HOME=$dir/data XDG_CACHE_HOME=$dir/cache"
}
timed() {  # timed <env assignments> -- program
  local assignments="$1"; shift
  env $assignments "$work/waitmap" -t 20000 "$@"
}

later="$(profile "$work/later")"
env $later "$work/waitmap" -s 1500 "$program" >/dev/null  # the earlier run

: >"$work/bare.txt"; : >"$work/first.txt"; : >"$work/later.txt"
for round in $(seq "$rounds"); do
  timed "$(profile "$work/bare-home")" "$bare" >>"$work/bare.txt"
  first="$(profile "$work/first-$round")"
  timed "$first" "$program" >>"$work/first.txt"
  timed "$later" "$program" >>"$work/later.txt"
done

median() { sort -n "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
for kind in bare first later; do
  echo "$kind ms: $(tr '\n' ' ' <"$work/$kind.txt")"
done
b="$(median "$work/bare.txt")"; f="$(median "$work/first.txt")"; l="$(median "$work/later.txt")"
echo "median ms: bare $b, first start $f, later start $l"
awk -v b="$b" -v f="$f" -v l="$l" 'BEGIN { printf "first start / bare window: %.2f\nlater start / bare window: %.2f\n", f / b, l / b }'
