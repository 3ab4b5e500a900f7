#!/usr/bin/env bash
# Plays the example game headless for 300 passes with keys pressed (walk, turn, screenshot,
# level switch, screenshot, Escape) and checks that it ends with status 0, writes no error or
# warning lines, and saves the screenshot. Given the pixel probe (tools/png_probe.cpp), a second
# short run takes a screenshot at pass 30, where the walker stands in front of the camera, and
# checks that its shirt shows the red and yellow stripes of its texture.
# Usage: tools/check-demo.sh ZYNTREL [GAME_FOLDER [PNG_PROBE]]
set -u
bin=$1
game=${2:-$(dirname "$0")/../examples/demo}
probe=${3:-}
work=$(mktemp -d /tmp/zyntrel-demo-XXXXXX)
trap 'rm -rf "$work"' EXIT
# A copy, so the screenshot never lands in the source tree.
mkdir -p "$work/game" && cp -r "$game"/. "$work/game/"
rm -f "$work/game/shot.png"
cat > "$work/input.txt" <<'KEYS'
10 key 38 down
60 key 38 up
61 key 37 down
80 key 37 up
100 key 80 down
101 key 80 up
120 key 78 down
121 key 78 up
140 key 77 down
141 key 77 up
150 key 38 down
200 key 38 up
201 key 39 down
220 key 39 up
250 key 80 down
251 key 80 up
290 key 27 down
291 key 27 up
KEYS
"$bin" --headless --window 800x600 --fixed-step 20 --seed 1 --frames 300 --input "$work/input.txt" "$work/game" \
  >"$work/stdout" 2>"$work/stderr"
status=$?
fail=0
if [ "$status" != 0 ]; then echo "exit status $status, expected 0"; fail=1; fi
if grep -E '// ?(ERROR|WARNING)' "$work/stdout"; then echo "error or warning lines on standard output"; fail=1; fi
if ! grep -qx 'Goodbye.' "$work/stdout"; then echo "the game did not end on Escape"; fail=1; fi
if [ ! -s "$work/game/shot.png" ]; then echo "no screenshot written"; fail=1; fi
rm -f "$work/game/shot.png"
if [ -n "$probe" ]; then
  printf '30 key 80 down\n31 key 80 up\n60 key 27 down\n61 key 27 up\n' > "$work/walker.txt"
  "$bin" --headless --window 800x600 --fixed-step 20 --seed 1 --frames 100 --input "$work/walker.txt" "$work/game" \
    >/dev/null 2>>"$work/stderr"
  # The shirt covers x 426..444, y 266..283; lit, the stripes are about (87,74,25) and (72,15,17).
  yellow=$("$probe" "$work/game/shot.png" count 426 266 444 283 87 74 25 12 2>/dev/null || echo 0)
  red=$("$probe" "$work/game/shot.png" count 426 266 444 283 72 15 17 12 2>/dev/null || echo 0)
  if [ "$yellow" -lt 40 ] || [ "$red" -lt 40 ]; then
    echo "the walker's shirt does not show its stripes ($yellow yellow, $red red pixels)"; fail=1
  fi
fi
if [ "$fail" != 0 ]; then
  echo "--- stdout"; cat "$work/stdout"; echo "--- stderr"; head -40 "$work/stderr"
fi
exit "$fail"
