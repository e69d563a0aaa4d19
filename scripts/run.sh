#!/usr/bin/env bash
# The main job. Builds the installation into build/bin/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh gcc
echo "Built the installation in build/bin/. The playback road is not runnable end to end yet."
