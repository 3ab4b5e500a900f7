#!/usr/bin/env bash
# Mouse view in a real window that does not sit at the desktop's corner (a 320x240 window
# centred on a 1024x768 display): the cursor is read, tested against the edges and put
# back in window coordinates. A cursor at the window's centre turns nothing; moved 30
# pixels right it turns the view by 30 x 0.02 x 7 = 4.2 degrees (yaw 175.8) and, being
# far from the edges, stays where it is; moved to within 50 pixels of the right edge it is
# put back at the window's centre.
set -u
bin=$1; pointer=$2; closer=$3; game=$(dirname "$0")/mouse_game
. "$(dirname "$0")/xvfb.sh"
out=$(mktemp)
"$bin" --window 320x240 --fixed-step 20 "$game" >"$out" 2>&1 &
player=$!
fail=0
"$pointer" Screen warp 160 120 >/dev/null || { echo "window never appeared"; cat "$out"; kill $player; exit 1; }
# Mouse view is on once the start script says so; a second later it has its reference point.
for _ in $(seq 300); do grep -q running "$out" && break; sleep 0.1; done
sleep 1
"$pointer" Screen warp 190 120; sleep 1
at=$("$pointer" Screen query)
[ "$at" = "190 120" ] || { echo "cursor 30 pixels right of the centre moved to $at"; fail=1; }
grep -qx '175.800003' "$out" || { echo "30 pixels right did not turn the view to yaw 175.8"; fail=1; }
"$pointer" Screen warp 290 120; sleep 1
at=$("$pointer" Screen query)
[ "$at" = "160 120" ] || { echo "cursor near the right edge is at $at, not back at the centre"; fail=1; }
for _ in $(seq 20); do
  "$closer" Screen 1 >/dev/null 2>&1
  for _ in $(seq 10); do kill -0 $player 2>/dev/null || break 2; sleep 0.1; done
done
kill -0 $player 2>/dev/null && { echo "player still running after close"; kill $player; fail=1; }
wait $player
[ $fail -eq 0 ] || { echo "--- player output:"; cat "$out"; }
rm -f "$out"
exit $fail
