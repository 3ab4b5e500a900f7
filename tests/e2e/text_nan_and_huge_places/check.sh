#!/usr/bin/env bash
# Box 1 (h NaN) at the left edge, box 2 (border 1e30) on one line, boxes 3 to 6 off the
# screen, box 7 one letter a line down the left edge; nothing anywhere else.
set -u
SHOT=places.png
. "$(dirname "$0")/../text_probes.sh"
check_mono_line "h NaN" 24 0 60 19 "HELLO"
check_mono_line "right border 1e30" 24 10 140 19 "HELLO"
expect_blank "between the boxes" 0 $((140 + 23)) 640 $((300 + 36 - 30))
# Box 7: letters at pens 336, 372, 408, 444, 480 (the pen breaks before the first one too).
for v in 336 372 408 444 480; do
  b=$(ink_box 0 $((v - 24)) 19 $((v + 1)))
  [ "$b" != none ] || { echo "box 7: no letter on the line at $v"; fail=1; }
done
expect_blank "box 7: right of its one-letter lines" 19 $((336 - 47)) 640 600
exit $fail
