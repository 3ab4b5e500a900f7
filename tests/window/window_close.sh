#!/usr/bin/env bash
# The player opens its window on an X display (a private Xvfb) and draws into it through
# the system's GL (a screenshot of the first frame shows the background colour), and
# closing the window ends the program with status 0.
set -u
bin=$1; closer=$2; probe=$3
. "$(dirname "$0")/xvfb.sh"
out=$(mktemp)
game=$(mktemp -d)
cp -r "$(dirname "$0")/game/." "$game"/
"$bin" --window 320x240 "$game" >"$out" 2>&1 &
player=$!
"$closer" Screen 30 || { echo "window never appeared"; cat "$out"; kill $player; exit 1; }
# A close sent before the window accepts it is lost, so it is asked again until the player ends.
for _ in $(seq 20); do
  for _ in $(seq 10); do kill -0 $player 2>/dev/null || break 2; sleep 0.1; done
  "$closer" Screen 1 >/dev/null 2>&1
done
if kill -0 $player 2>/dev/null; then echo "player still running after close"; kill $player; exit 1; fi
wait $player; status=$?
grep -q running "$out" || { echo "start script did not run"; cat "$out"; exit 1; }
[ $status -eq 0 ] || { echo "exit status $status"; cat "$out"; exit 1; }
[ "$("$probe" "$game/window.png" size)" = "320 240" ] || { echo "no 320x240 screenshot"; cat "$out"; exit 1; }
[ "$("$probe" "$game/window.png" bbox 0 0 320 240 51 102 153 2)" = "none" ] ||
  { echo "the window's frame is not the background colour"; exit 1; }
rm -rf "$out" "$game"
