#!/usr/bin/env bash
# Starts the program natively on Wayland (Qt's wayland plugin, Debian's
# qt6-wayland) under a headless weston and checks that its windows open, that
# Qt says nothing on the way, and that a second start under the same session
# bus hands over to the first and ends:
#   scripts/check-wayland.sh [build-dir]        (default: build)
# Environment: PROGRAM (default <build-dir>/tengwar-ostrel), OSTREL_WESTON_SOCKET
# (default wayland-ostrel-check). Needs weston, qt6-wayland and dbus-daemon.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
program="${PROGRAM:-$build/tengwar-ostrel}"
socket="${OSTREL_WESTON_SOCKET:-wayland-ostrel-check}"
[[ -x "$program" ]] || { echo "missing $program (build the program first)" >&2; exit 2; }
for tool in weston dbus-daemon; do
  command -v "$tool" >/dev/null || { echo "missing $tool (scripts/install-deps.sh installs it)" >&2; exit 2; }
done

work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# A profile, a runtime folder and a session bus of the check's own.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_DATA_HOME="$work/home/data"
export XDG_CACHE_HOME="$work/home/cache" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" && mkdir -p -m 700 "$XDG_RUNTIME_DIR"
unset DISPLAY
dbus-daemon --session --nofork --print-address=1 --address="unix:dir=$work" >"$work/bus" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [[ -s "$work/bus" ]] && break; sleep 0.1; done
DBUS_SESSION_BUS_ADDRESS="$(head -n1 "$work/bus")"
export DBUS_SESSION_BUS_ADDRESS

# The earlier start, offscreen and off the bus: it writes the defaults as it
# starts, while the first start's shortcut offer waits; with the first-start
# mark cleared the start below is a later one, which opens the main window
# at once.
QT_QPA_PLATFORM=offscreen DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus" "$program" >/dev/null 2>&1 &
first=$!
settings="$XDG_CONFIG_HOME/Brinmoor Software, Inc./Tengwar Ostrel.conf"
for _ in $(seq 100); do [[ -s "$settings" ]] && break; sleep 0.1; done
kill "$first" 2>/dev/null || true; wait "$first" 2>/dev/null || true
[[ -s "$settings" ]] || { echo "the earlier start wrote no settings" >&2; exit 1; }
# Hand-edited: without the program's first and last line it is read as it is.
sed -i -e '/^; /d' -e '/honi/s/bool:true/bool:false/' "$settings"

weston --backend=headless-backend.so --socket="$socket" --idle-time=0 >"$work/weston.log" 2>&1 &
pids+=($!)
# Ready once its shell runs (the socket appears before weston listens on it).
ready() { [[ -S "$XDG_RUNTIME_DIR/$socket" ]] && grep -q "launching '.*weston-desktop-shell'" "$work/weston.log"; }
for _ in $(seq 200); do ready && break; sleep 0.1; done
ready || { cat "$work/weston.log" >&2; echo "weston did not start" >&2; exit 1; }
sleep 0.5

export WAYLAND_DISPLAY="$socket" QT_QPA_PLATFORM=wayland
WAYLAND_DEBUG=1 "$program" >"$work/out.log" 2>"$work/err.log" &
running=$!
pids+=("$running")

# A window is open when weston has configured its toplevel, the program has
# acknowledged it and given the surface a buffer.
opened() {
  grep -q 'xdg_surface@[0-9]*.ack_configure' "$work/err.log" && grep -q 'wl_surface@[0-9]*.attach(wl_buffer' "$work/err.log"
}
for _ in $(seq 200); do opened && break; kill -0 "$running" 2>/dev/null || break; sleep 0.1; done
sleep 2  # anything Qt would say after the first window
status=0
if ! kill -0 "$running" 2>/dev/null; then
  echo "the program ended on Wayland:" >&2; grep -v '^\[' "$work/err.log" >&2 || true
  exit 1
fi
opened || { echo "no window of the program was configured and drawn" >&2; status=1; }
titles="$(grep -o 'xdg_toplevel@[0-9]*.set_title("[^"]*")' "$work/err.log" | sed 's/.*set_title("\(.*\)")/\1/' | sort -u)"
echo "windows on Wayland: $(tr '\n' ';' <<<"$titles")"
grep -qx 'Tengwar Ostrel' <<<"$titles" || { echo "the main window 'Tengwar Ostrel' did not open" >&2; status=1; }
# Protocol lines start with a time in brackets; anything else is Qt speaking.
if grep -v '^\[' "$work/err.log" | grep -q .; then
  echo "the program warned on Wayland:" >&2; grep -v '^\[' "$work/err.log" >&2; status=1
fi

# A second start (as from the menu) hands over to the running copy and ends.
second_start=$(date +%s%N)
if timeout 20 "$program" >"$work/second.log" 2>&1; then
  echo "second start ended after $(( ($(date +%s%N) - second_start) / 1000000 )) ms"
else
  echo "the second start did not end by itself with status 0:" >&2; cat "$work/second.log" >&2; status=1
fi
kill -0 "$running" 2>/dev/null || { echo "the running copy ended" >&2; status=1; }
[[ $status -eq 0 ]] && echo "Wayland: the program runs natively and its windows open"
exit $status
