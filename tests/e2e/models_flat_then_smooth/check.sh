#!/usr/bin/env bash
# The box covers the same pixels in both pictures, and its lit faces look the same whether
# its back faces belong to a flat-shaded material drawn first or to the smooth one.
set -e
ref=$($PNG_PROBE ref.png bbox 0 0 160 120 51 51 51 3)
[ "$ref" != none ]
[ "$($PNG_PROBE mixed.png bbox 0 0 160 120 51 51 51 3)" = "$ref" ]
lit=$($PNG_PROBE ref.png mean 80 85 105 115)
[ "${lit%% *}" -gt 120 ]
[ "$($PNG_PROBE mixed.png mean 80 85 105 115)" = "$lit" ]
[ "$($PNG_PROBE mixed.png count 80 85 105 115 166 166 166 6)" = "$($PNG_PROBE ref.png count 80 85 105 115 166 166 166 6)" ]
