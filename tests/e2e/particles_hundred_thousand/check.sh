#!/usr/bin/env bash
# Both clouds are dense: a cloud of 4 x 4 x 4 units seen from 5 to 7 units away covers its
# middle completely only when it holds on the order of 100,000 particles (10,000 of these
# 0.025-unit squares would leave most of it black). Black between and around the clouds.
set -u
shot=shot.png
fail=0
expect_at_least() {  # LABEL BOX MIN: white pixels in the box
  local label=$1 n
  n=$($PNG_PROBE "$shot" count $2 255 255 255 40)
  if [ "$n" -lt "$3" ]; then echo "$label: $n white pixels, expected at least $3"; fail=1; fi
}
expect_none() {  # LABEL BOX: nothing but the black background
  local label=$1 b
  b=$($PNG_PROBE "$shot" bbox $2 0 0 0 40)
  if [ "$b" != none ]; then echo "$label: pixels at $b"; fail=1; fi
}
[ "$($PNG_PROBE "$shot" size)" = "640 480" ] || { echo "screenshot size"; exit 1; }
expect_at_least "left cloud (burst)" "170 210 250 270" 4560    # 95% of 80 x 60
expect_at_least "right cloud (emitter)" "390 210 470 270" 4560
expect_none "between the clouds" "290 150 350 330"
expect_none "above the clouds" "0 0 640 150"
expect_none "below the clouds" "0 330 640 480"
exit $fail
