#!/usr/bin/env bash
# Text at 24 and 36 points: every character whole in its cell, the
# pen advance and line spacing of the font, nothing above, below, between or beside the lines.
set -u
SHOT=text.png
. "$(dirname "$0")/../text_probes.sh"
[ "$($PNG_PROBE "$SHOT" size)" = "640 600" ] || { echo "screenshot size"; exit 1; }
check_mono_line "24 points" 24 10 52 19 "HELLO World 0123 @#"
check_two_lines "24 points, two lines" 24 10 124 19 52 "$LINE_HTOP" "$LINE_HBOTTOM"
check_mono_line "36 points" 36 10 260 29 "HELLO World 0123 @#"
check_two_lines "36 points, two lines" 36 10 368 29 260 "$LINE_HTOP" "$LINE_HBOTTOM"
exit $fail
