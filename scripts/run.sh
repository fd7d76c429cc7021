#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" "$root/build" -DOSTREL_BUILD_TESTS=OFF -DOSTREL_BUILD_BENCH=OFF
exec "$root/build/tengwar-ostrel" "$@"
