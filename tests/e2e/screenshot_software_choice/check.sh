#!/usr/bin/env bash
# The square is white exactly over x 240..399, y 160..319 (top row first); the rest is blue.
set -e
[ "$("$PNG_PROBE" shot.png size)" = "640 480" ]
[ "$("$PNG_PROBE" shot.png bbox 0 0 640 480 0 0 255 2)" = "240 160 400 320" ]
[ "$("$PNG_PROBE" shot.png count 240 160 400 320 255 255 255 2)" = "25600" ]
"$PNG_PROBE" shot.png expect 239 240 0 0 255 2
"$PNG_PROBE" shot.png expect 320 159 0 0 255 2
"$PNG_PROBE" shot.png expect 320 320 0 0 255 2
