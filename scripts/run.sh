#!/usr/bin/env bash
# The main job: builds the installation into build/bin/ and plays the demo track through the
# proxy library and the service.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh gcc
# The host program starts the service, plays the demo track through it and stops it.
exec build/bin/brmusic
