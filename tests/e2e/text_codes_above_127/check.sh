#!/usr/bin/env bash
# Each accented letter (second atlas) is its plain letter (first atlas) with a mark above:
# the same columns and baseline in its cell, its top higher. A code drawn from the first
# atlas instead (code - 128: D, V, \, i, q) would not match. Both lines are whole otherwise.
set -u
SHOT=high.png
. "$(dirname "$0")/../text_probes.sh"
size=36 adv=29 x0=10 v1=100 v2=230
px=$(((size * 96 + 36) / 72))
for v in $v1 $v2; do
  expect_blank "left of the line at $v" 0 $((v - 2 * size + 1)) $x0 $((v + size - 1))
  expect_blank "right of the line at $v" $((x0 + 6 * adv)) $((v - 2 * size + 1)) 640 $((v + size - 1))
done
for k in 0 1 2 3 4 5; do
  cx=$((x0 + k * adv))
  plain=$(ink_box $cx $((v1 - 2 * size + 1)) $((cx + adv)) $((v1 + size - 1)))
  marked=$(ink_box $cx $((v2 - 2 * size + 1)) $((cx + adv)) $((v2 + size - 1)))
  if [ "$plain" = none ] || [ "$marked" = none ]; then echo "letter $k missing: $plain / $marked"; fail=1; continue; fi
  read -r p0 pt p1 pb <<<"$plain"
  read -r m0 mt m1 mb <<<"$marked"
  mt=$((mt - (v2 - v1))) mb=$((mb - (v2 - v1)))
  if [ $((m0 < p0 - 1 || m0 > p0 + 1 || m1 < p1 - 1 || m1 > p1 + 1 || mb != pb)) = 1 ]; then
    echo "letter $k: columns $m0..$m1 bottom $mb, plain letter $p0..$p1 bottom $pb"; fail=1
  fi
  if [ $k = 0 ]; then
    [ "$mt" = "$pt" ] || { echo "H: top $mt, expected $pt"; fail=1; }
  elif [ $((mt > pt - px / 10)) = 1 ]; then
    echo "letter $k: top $mt, no mark above the plain letter's top $pt"; fail=1
  fi
done
exit $fail
