#!/usr/bin/env bash
# Text at 10, 13 and 18 points: every character whole in its cell, the
# pen advance and line spacing of the font, nothing above, below, between or beside the lines.
set -u
SHOT=text.png
. "$(dirname "$0")/../text_probes.sh"
[ "$($PNG_PROBE "$SHOT" size)" = "640 480" ] || { echo "screenshot size"; exit 1; }
check_mono_line "10 points" 10 10 24 8 "HELLO World 0123 @#"
check_two_lines "10 points, two lines" 10 10 54 8 24 "$LINE_HTOP" "$LINE_HBOTTOM"
check_mono_line "13 points" 13 10 109 10 "HELLO World 0123 @#"
check_two_lines "13 points, two lines" 13 10 148 10 109 "$LINE_HTOP" "$LINE_HBOTTOM"
check_mono_line "18 points" 18 10 220 14 "HELLO World 0123 @#"
check_two_lines "18 points, two lines" 18 10 274 14 220 "$LINE_HTOP" "$LINE_HBOTTOM"
exit $fail
