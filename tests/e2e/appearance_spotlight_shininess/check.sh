#!/usr/bin/env bash
# The box covers x 272..367, y 144..335 of the 640x480 screenshots.
set -e
box() { "$PNG_PROBE" "$1" mean 272 144 368 336 | cut -d' ' -f1; }
lit=$(box lit.png); away=$(box away.png); toward=$(box toward.png)
dull=$(box dull.png); shiny=$(box shiny.png)
echo "box grey: lit $lit away $away toward $toward dull $dull shiny $shiny"
[ "$lit" -gt 80 ]
# Outside the cone the box has only the ambient light.
[ "$away" -lt 30 ]
# Inside a cone with exponent 0 it is lit as by the plain light.
[ $((toward - lit)) -le 3 ] && [ $((lit - toward)) -le 3 ]
[ $((dull - lit)) -le 3 ] && [ $((lit - dull)) -le 3 ]
[ "$shiny" -gt $((dull + 40)) ]
# The background stays the clear colour.
"$PNG_PROBE" shiny.png expect 20 20 51 51 51 2
"$PNG_PROBE" away.png expect 620 460 51 51 51 2
