#!/usr/bin/env bash
# In both screenshots the panes overlap over x 300..349, y 200..349 (top row first): there the
# nearer pane, drawn last, blends over the farther one (grey 96). Drawn first, it would hide
# the farther pane and leave the grey of one pane (64), as over x 100..199, y 380..394.
set -e
for shot in before.png after.png; do
  [ "$("$PNG_PROBE" $shot size)" = "640 480" ]
  [ "$("$PNG_PROBE" $shot count 300 200 350 350 96 96 96 3)" = "7500" ]
  [ "$("$PNG_PROBE" $shot count 100 380 200 395 64 64 64 3)" = "1500" ]
  "$PNG_PROBE" $shot expect 600 40 0 0 0 2
done
