#!/usr/bin/env bash
# Left: the 1e30-second burst still there after half a second; middle: the one batch of the
# 1e-30 interval, dense; right: nothing of the NaN-life burst; nothing above or below.
set -u
shot=particles.png
fail=0
white() { $PNG_PROBE "$shot" count $1 255 255 255 40; }
n=$(white "185 215 245 265")
[ "$n" -ge 600 ] || { echo "left burst: $n white pixels, expected at least 600"; fail=1; }
n=$(white "295 215 345 265")
[ "$n" -ge 2375 ] || { echo "middle batch: $n white pixels, expected at least 2375"; fail=1; }  # 95%
for box in "370 150 640 330" "0 0 640 190" "0 290 640 480" "260 190 280 290"; do
  b=$($PNG_PROBE "$shot" bbox $box 0 0 0 40)
  [ "$b" = none ] || { echo "pixels at $b in $box"; fail=1; }
done
exit $fail
