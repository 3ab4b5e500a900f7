#!/usr/bin/env bash
# The wall fills x 60..100, y 60..100 of the 160x120 picture; its diagonal runs from the lower
# left corner to the upper right one. Below it the untagged triangle shows the first surface's
# picture mapped across the whole wall: red left of the middle, blue right of it. Above it the
# tagged triangle is green.
set -e
[ "$($PNG_PROBE shot.png count 70 94 78 99 230 30 30 40)" = 40 ]
[ "$($PNG_PROBE shot.png count 86 86 98 98 30 30 230 40)" = 144 ]
[ "$($PNG_PROBE shot.png count 62 62 72 72 30 200 30 40)" = 100 ]
