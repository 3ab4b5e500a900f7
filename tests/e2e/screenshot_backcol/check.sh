#!/usr/bin/env bash
# The whole 640x480 screenshot is the background colour (0.2, 0.4, 0.6).
set -e
[ "$("$PNG_PROBE" shot.png size)" = "640 480" ]
[ "$("$PNG_PROBE" shot.png bbox 0 0 640 480 51 102 153 2)" = "none" ]
"$PNG_PROBE" shot.png expect 320 240 51 102 153 2
