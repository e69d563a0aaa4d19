#!/usr/bin/env bash
# demo.sh [INSTALL_FOLDER] [OUTPUT_FOLDER]: the client used as a person would use it, on the
# headless desktop. BRDJ starts from the install folder (default build/bin) with its start movie;
# the control tool paldesk clicks the movie's buttons (play, pause, resume, volume, seek to the
# last seconds), the track plays to its end, the screen is saved, and the skin's close button
# ends the client, which stops the service. Each step waits for the movie's transcript to show
# the reply it causes. Writes transcript.txt and brdj_window.png into OUTPUT_FOLDER (default
# build/demo); exit status 0 when every step was seen and no process is left.
# With DEMO_DISPLAY=:N the client shows on that X display instead, and once the seek has played
# what the X server shows of the window is saved too, as brdj_x11.png.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=$(cd "${1:-build/bin}" && pwd)
out=${2:-build/demo}
mkdir -p "$out"
out=$(cd "$out" && pwd)

root=$(mktemp -d)
export PAL_RUNTIME_DIR="$root" PAL_DISPLAY=headless
if [ -n "${DEMO_DISPLAY:-}" ]; then
  export DISPLAY=$DEMO_DISPLAY PAL_DISPLAY=x11
fi
transcript="$out/transcript.txt"
: >"$transcript"
client=""
service=""
cleanup() {
  for pid in $client $service; do kill -9 "$pid" 2>/dev/null || true; done
  rm -rf "$root"
}
trap cleanup EXIT

fail() {
  echo "demo: $*" >&2
  echo "demo: the transcript so far:" >&2
  tail -n 20 "$transcript" >&2
  exit 1
}

# until SECONDS WHAT COMMAND...: runs COMMAND until it succeeds, or fails the demo after SECONDS.
until_ok() {
  local limit=$1 what=$2
  shift 2
  local deadline=$((SECONDS + limit))
  until "$@"; do
    [ $SECONDS -lt $deadline ] || fail "no $what within ${limit}s"
    sleep 0.1
  done
}

# The transcript after line FROM holds a reply to NAME matching REPLY (an extended regex).
replied_since() {
  tail -n +"$(($1 + 1))" "$transcript" |
    grep -Eq "<invoke name=\"$2\"[^>]*>.* -> $3"
}
lines() { grep -c '' "$transcript" || true; }

desk() { "$bin/paldesk" -p "$client" "$@"; }

"$bin/BRDJ" >"$transcript" 2>"$out/stderr.txt" &
client=$!

has_socket() { "$bin/paldesk" list 2>/dev/null | grep -q "pid=$client "; }
until_ok 20 "control socket of BRDJ" has_socket
until_ok 30 "start movie" grep -q "loadingVer.swf loaded" "$transcript"
until_ok 30 "track opened" replied_since 0 BROpenMusic "<true />"
service=$("$bin/paldesk" list | sed -n 's/.*pid=\([0-9]*\) program="BrCoreService".*/\1/p')

# The window's place on the screen; the movie's stage lies inside the frame at (4, 37).
main=$(desk windows | grep 'text="BrindoDJ"' | head -n 1)
rect=$(sed -n 's/.* rect=\([0-9,-]*\).*/\1/p' <<<"$main")
hwnd=$(sed -n 's/^window hwnd=\([^ ]*\) .*/\1/p' <<<"$main")
[ -n "$rect" ] && [ -n "$hwnd" ] || fail "no main window"
IFS=, read -r left top right bottom <<<"$rect"

# press X Y W H: a click on the centre of the movie's button at stage X, Y of size W x H.
press() {
  desk click left $((left + 4 + $1 + $3 / 2)) $((top + 37 + $2 + $4 / 2)) >/dev/null
}

# step LABEL BUTTON... -- NAME REPLY: presses the button and waits for the reply it causes.
step() {
  local label=$1 from
  from=$(lines)
  press "$2" "$3" "$4" "$5"
  until_ok 30 "$label" replied_since "$from" "$7" "$8"
  echo "demo: $label"
}

step "playing" 20 250 110 36 -- BRGetPlayState "<number>3</number>"
step "paused" 140 250 110 36 -- BRGetPlayState "<number>2</number>"
step "resumed" 260 250 110 36 -- BRGetPlayState "<number>3</number>"
step "volume 60" 140 330 110 36 -- BRGetVolume "<number>60</number>"
step "seek to 1:00" 500 410 110 36 -- BRGetCurrentPosition "<number>6[0-9]</number>"
if [ -n "${DEMO_DISPLAY:-}" ]; then
  build/test-bin/pal_x11_shot_helper "$out/brdj_x11.png" "$left" "$top" $((right - left)) \
    $((bottom - top)) ||
    fail "no picture from the X display"
  echo "demo: the X display's picture of the window saved in $out/brdj_x11.png"
fi
from=$(lines)
until_ok 30 "end of the track" replied_since "$from" BRGetPlayState "<number>1</number>"
echo "demo: the track played to its end"

desk save-screen "$out/brdj_window.png" >/dev/null || fail "no screenshot"
echo "demo: screen saved in $out/brdj_window.png"
if [ -n "${DEMO_DISPLAY:-}" ]; then
  # The X server shows the window as the layer draws it. The movie's labels may still change
  # after the track's end (its position goes back to 0), so both pictures are taken again until
  # they meet.
  same() {
    desk save-window "$hwnd" "$out/brdj_layer_window.png" >/dev/null &&
      build/test-bin/pal_x11_shot_helper --compare "$out/brdj_layer_window.png" "$left" "$top"
  }
  until_ok 10 "X display showing the window as the layer draws it" same
  echo "demo: the X display shows the window as the layer draws it"
fi

# The skin's close button (790, 6, 28 x 25 in the window) runs the client's close order.
desk click left $((left + 804)) $((top + 18)) >/dev/null
status=0
wait "$client" || status=$?
client=""
[ "$status" -eq 0 ] || fail "BRDJ ended with status $status"
gone() { [ -z "$service" ] || ! kill -0 "$service" 2>/dev/null; }
until_ok 10 "end of the service" gone
service=""
echo "demo: BRDJ closed and the service stopped; $(lines) transcript lines in $transcript"
