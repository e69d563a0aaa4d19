#!/usr/bin/env bash
# build.sh PRESET: configures and builds one preset of CMakePresets.json.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-gcc}
cmake --preset "$preset" >/dev/null  # again each time: new folders join the build at configure
cmake --build --preset "$preset" -j "$(nproc)"
