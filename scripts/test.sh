#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: a normal
# build, and one with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
export QT_QPA_PLATFORM=offscreen
export UBSAN_OPTIONS=print_stacktrace=1
export ASAN_OPTIONS=detect_leaks=1
jobs="$(nproc)"

echo "== includes run down the floors =="
bash "$root/scripts/check-includes.sh"

echo "== normal build =="
bash "$root/scripts/build.sh" "$root/build-test" -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir "$root/build-test" --output-on-failure --parallel "$jobs"

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build =="
bash "$root/scripts/build.sh" "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DOSTREL_SANITIZE=ON -DOSTREL_BUILD_BENCH=OFF
ctest --test-dir "$root/build-asan" --output-on-failure --parallel "$jobs"

# A few seconds of each fuzz target, when clang is there (README: running them long).
if command -v clang++ >/dev/null 2>&1 && compgen -G "/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-*.a" >/dev/null; then
  echo "== fuzz smoke run (clang, libFuzzer, ASan + UBSan) =="
  launcher=()
  command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  CXX=clang++ cmake -S "$root" -B "$root/build-fuzz" -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DOSTREL_FUZZ=ON -DOSTREL_BUILD_BENCH=OFF >/dev/null
  cmake --build "$root/build-fuzz" --parallel "$jobs" --target szdd_fuzz engine_fuzz descriptions_fuzz \
    generator_fuzz stringlist_fuzz readback_fuzz settingsvalue_fuzz settingsfile_fuzz wordlist_fuzz textdocument_fuzz \
    textsurvey_fuzz
  fuzz_runs=0
  for target in engine descriptions generator stringlist readback settingsvalue settingsfile wordlist textdocument \
    textsurvey szdd; do
    binary="$(find "$root/build-fuzz/tests" -name "${target}_fuzz" -type f -perm -u+x | head -n 1)"
    seeds="$root/tests/fuzz/corpus/$target"
    scratch="$(mktemp -d)"
    [[ -d "$seeds" ]] || seeds="$scratch"
    "$binary" "$scratch" "$seeds" -max_total_time=3 -print_final_stats=0 >"$scratch.log" 2>&1 ||
      { cat "$scratch.log"; rm -rf "$scratch" "$scratch.log"; echo "fuzz target $target failed"; exit 1; }
    rm -rf "$scratch" "$scratch.log"
    fuzz_runs=$((fuzz_runs + 1))
  done
  echo "fuzz smoke run: no fault in $fuzz_runs targets"
fi
