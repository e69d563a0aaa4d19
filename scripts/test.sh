#!/usr/bin/env bash
# The whole test suite: the GCC build, the Clang build under AddressSanitizer and
# UndefinedBehaviorSanitizer, the concurrency tests under ThreadSanitizer, and the fuzz targets
# for a short bounded time over their committed corpora. Fails on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)
fuzz_seconds=${BR_FUZZ_SECONDS:-10}

step() { printf '\n=== %s ===\n' "$*"; }

step "GCC build and tests"
bash scripts/build.sh gcc
ctest --preset gcc -j "$jobs"
# The main job's client run, as scripts/run.sh makes it without a display.
bash scripts/demo.sh build/bin build/demo
# The same run on an X display of its own, through the X11 backend.
bash scripts/x11_demo.sh build/x11demo

step "Clang with AddressSanitizer and UndefinedBehaviorSanitizer"
bash scripts/build.sh asan
ctest --preset asan -j "$jobs"

step "Concurrency tests under ThreadSanitizer"
bash scripts/build.sh tsan
if ctest --test-dir build-tsan -N -L concurrency | grep -q 'Total Tests: [1-9]'; then
  ctest --preset tsan -j "$jobs"
else
  echo "no concurrency tests yet"
fi

step "Fuzz targets, ${fuzz_seconds}s each"
cmake --preset fuzz >/dev/null  # each time: configure writes the list of fuzz targets
targets=$(cut -d= -f1 build-fuzz/fuzz_targets.txt | xargs)
if [ -n "$targets" ]; then
  # shellcheck disable=SC2086
  cmake --build --preset fuzz -j "$jobs" --target $targets
fi
# Each target runs in a work folder of its own, seeded with its committed corpus; the folder and
# the log go whether the run passes or fails.
work=""
log=""
trap 'rm -rf "$work" "$log"' EXIT
while IFS='=' read -r target corpus; do
  [ -n "$target" ] || continue
  if [ ! -d "$corpus" ] || [ -z "$(ls -A "$corpus")" ]; then
    echo "fuzz: $target: its corpus $corpus is missing or empty"
    exit 1
  fi
  rm -rf "$work" "$log"
  work=$(mktemp -d)
  log=$(mktemp)
  cp -r "$corpus"/. "$work"/
  if "build-fuzz/fuzz-bin/$target" -max_total_time="$fuzz_seconds" -timeout=10 \
      -rss_limit_mb=2048 "$work" >"$log" 2>&1; then
    echo "fuzz: $target: $(grep -c . "$log") lines of output, no failure"
  else
    tail -n 60 "$log"
    echo "fuzz: $target FAILED"
    exit 1
  fi
done < build-fuzz/fuzz_targets.txt

step "all test runs passed"
