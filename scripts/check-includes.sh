#!/usr/bin/env bash
# Fails when an include runs up the floors: core/ includes nothing of qtcore/,
# ui/, app/ or cli/; qtcore/ nothing of ui/, app/ or cli/; ui/ nothing of app/
# or cli/; cli/ nothing of ui/ or app/; app/ nothing of cli/. Also fails on a
# file of the program that stands outside the five folders, and on an include
# of the core that reaches Qt. Run from anywhere; reads the tracked files.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

# The folders each floor may not include, as an extended regular expression.
declare -A forbidden=(
  [core]='^(qtcore|ui|app|cli)/'
  [qtcore]='^(ui|app|cli)/'
  [ui]='^(app|cli)/'
  [cli]='^(ui|app)/'
  [app]='^cli/'
)

faults=0
while IFS= read -r file; do
  floor="${file%%/*}"
  case "$floor" in
    core | qtcore | ui | app | cli) ;;
    tests | bench | tools) continue ;;
    *)
      echo "$file: a source of the program outside core/, qtcore/, ui/, app/ and cli/"
      faults=$((faults + 1))
      continue
      ;;
  esac
  while IFS=: read -r line target; do
    if [[ "$target" =~ ${forbidden[$floor]} ]]; then
      echo "$file:$line: includes \"$target\", a floor above $floor/"
      faults=$((faults + 1))
    fi
    if [[ "$floor" == core && "$target" =~ ^Q ]]; then
      echo "$file:$line: the core includes Qt (<$target>)"
      faults=$((faults + 1))
    fi
  done < <(awk '/^[ \t]*#[ \t]*include[ \t]*["<]/ {
      target = $0
      sub(/^[^"<]*["<]/, "", target)
      sub(/[">].*$/, "", target)
      print FNR ":" target
    }' "$file")
done < <(git ls-files '*.cpp' '*.h' '*.c')

if ((faults > 0)); then
  echo "include check: $faults fault(s)"
  exit 1
fi
echo "include check: every include runs down"
