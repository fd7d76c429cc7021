#!/usr/bin/env bash
# `ostrel transcribe` end to end on 100 MiB of prose through pipes, beside
# `iconv -f CP1250 -t UTF-8` on the same file as a yardstick for plain text
# work, with the tool's peak memory (it streams, so that stays small).
#
#   bash bench/cli_transcribe.sh [build-dir]      (default: build)
#
# The files go to $TMPDIR or /tmp and are removed afterwards.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
tool="${1:-$root/build}/cli/ostrel"
[ -x "$tool" ] || { echo "build the tool first: $tool is missing" >&2; exit 1; }
dir="$(mktemp -d "${TMPDIR:-/tmp}/ostrel-cli-bench-XXXXXX")"
trap 'rm -rf "$dir"' EXIT
export HOME="$dir"  # the defaults, whatever the user has stored

# Slovenian, Quenya and English prose in lines of about 90 bytes.
paragraph='Nekoč je živel mlad kovač, ki je vsak dan hodil čez goro v dolino, kjer je stala stara
kovačnica ob potoku. Ob poti so rasle smreke in bukve, zjutraj pa je nad vodo ležala megla.
Ko je prišel do mostu, se je ustavil, pogledal proti gozdu in zaslišal ptice, ki so pele
tiho pesem o dolgih poletjih in kratkih zimah. Ai! laurië lantar lassi súrinen, yéni
únótimë ve rámar aldaron! In the quiet of the evening the smith thought of the road that
goes ever on and on, down from the door where it began; the shadows lengthened, and the
light of the stars shone through the branches. Dzveneči zvonovi so se oglasili v daljavi.'
size=$((100 * 1024 * 1024))
# (head ends the writer early, which pipefail would count as a failure)
set +o pipefail
yes "$paragraph" | head -c "$size" > "$dir/prose-utf8.txt"
set -o pipefail
iconv -f UTF-8 -t CP1250 "$dir/prose-utf8.txt" > "$dir/prose-cp1250.txt" 2>/dev/null || true
bytes=$(stat -c %s "$dir/prose-utf8.txt")

# Three runs of each; the best wall time of the pipe, and the CPU time (user
# + system) of the measured program itself in that run. On a machine shared
# with other work the wall time is what is left over for us; the CPU time
# shows the work done.
measure() {  # name, input file, program and its arguments
  local name=$1 input=$2; shift 2
  local best="" cpu=""
  for _ in 1 2 3; do
    local start end t
    start=$(date +%s.%N)
    cat "$input" | /usr/bin/time -f "%U %S" -o "$dir/time" "$@" | cat > /dev/null
    end=$(date +%s.%N)
    t=$(echo "$end - $start" | bc -l)
    if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then
      best=$t
      cpu=$(awk '{ print $1 + $2 }' "$dir/time")
    fi
  done
  printf '%-44s %7.2f %9.1f %7.2f %9.1f\n' "$name" "$best" "$(echo "$bytes / $best / 1000000" | bc -l)" \
    "$cpu" "$(echo "$bytes / ($cpu + 0.001) / 1000000" | bc -l)"
}

printf '%-44s %7s %9s %7s %9s\n' "100 MiB of prose through pipes" "wall s" "MB/s" "CPU s" "MB/CPU-s"
measure "ostrel transcribe (UTF-8)" "$dir/prose-utf8.txt" "$tool" transcribe
measure "ostrel transcribe --encoding cp1250" "$dir/prose-cp1250.txt" "$tool" transcribe --encoding cp1250
measure "ostrel transcribe --to unicode" "$dir/prose-utf8.txt" "$tool" transcribe --to unicode
measure "iconv -f CP1250 -t UTF-8" "$dir/prose-cp1250.txt" iconv -f CP1250 -t UTF-8
rss=$(/usr/bin/time -f %M "$tool" transcribe < "$dir/prose-utf8.txt" 2>&1 >/dev/null | tail -1)
echo "ostrel transcribe peak memory on the whole file: ${rss} KiB"
echo "load average while measuring: $(cut -d' ' -f1-3 /proc/loadavg)"
