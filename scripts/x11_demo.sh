#!/usr/bin/env bash
# x11_demo.sh [OUTPUT_FOLDER]: scripts/demo.sh on an X display of its own (Xvfb on a free display
# number), so the client's window goes through the X11 backend and the X server's picture of it
# is saved (brdj_x11.png in OUTPUT_FOLDER, default build/x11demo). Needs the built tree.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/x11demo}
mkdir -p "$out"
exec {number}<> <(:)
Xvfb -displayfd "$number" -screen 0 1280x800x24 -nolisten tcp 2>"$out/xvfb.txt" &
server=$!
trap 'kill "$server" 2>/dev/null || true' EXIT
read -r -t 20 -u "$number" display || { echo "x11_demo: Xvfb did not start" >&2; exit 1; }
DEMO_DISPLAY=":$display" bash scripts/demo.sh build/bin "$out"
