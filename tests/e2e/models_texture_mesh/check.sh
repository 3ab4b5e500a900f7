#!/usr/bin/env bash
# The wall (x 60..100, y 60..100 of the 160x120 picture) shows its texture: red on the left
# half, blue on the right; the grey background stays round it.
set -e
[ "$($PNG_PROBE shot.png size)" = "160 120" ]
[ "$($PNG_PROBE shot.png count 62 66 78 96 230 30 30 40)" = 480 ]
[ "$($PNG_PROBE shot.png count 82 66 98 96 30 30 230 40)" = 480 ]
$PNG_PROBE shot.png expect 20 20 51 51 51 3
