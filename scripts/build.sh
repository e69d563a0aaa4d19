#!/usr/bin/env bash
# build.sh PRESET: configures (once) and builds one preset of CMakePresets.json.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-gcc}
dir=build
[ "$preset" = gcc ] || dir=build-$preset
[ -f "$dir/build.ninja" ] || cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
