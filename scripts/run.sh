#!/usr/bin/env bash
# The main job: builds the installation into build/bin/ and runs the client BRDJ from it. With a
# display (DISPLAY names one that opens) the window stays for the person until it is closed; on a
# machine without one, scripts/demo.sh uses the client as a person would and closes it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh gcc
# A local display ":N" opens when its socket is there; a remote one is taken as given.
display_opens() {
  case "${DISPLAY:-}" in
    "") return 1 ;;
    :*) local n=${DISPLAY#:}; [ -S "/tmp/.X11-unix/X${n%%.*}" ] ;;
    *) return 0 ;;
  esac
}
if display_opens; then
  cd build/bin
  exec ./BRDJ
fi
exec bash scripts/demo.sh build/bin build/demo
