# Probes of text lines on a screenshot, sourced by the check.sh of the text cases. Text is
# white on a black background; "ink" is any pixel more than $INK_TOL away from black.
# Needs $PNG_PROBE and SHOT (the screenshot's file name); failures set fail=1.
INK_TOL=${INK_TOL:-100}
fail=0

ink_box() {  # X0 Y0 X1 Y1 -> "x0 y0 x1 y1" of the ink in the box, or "none"
  $PNG_PROBE "$SHOT" bbox "$1" "$2" "$3" "$4" 0 0 0 "$INK_TOL"
}

expect_blank() {  # LABEL X0 Y0 X1 Y1: no ink at all in the box
  local b
  b=$(ink_box "$2" "$3" "$4" "$5")
  if [ "$b" != none ]; then echo "$1: stray pixels at $b in box $2 $3 $4 $5"; fail=1; fi
}

# One line of DejaVu Sans Mono at SIZE points drawn with the pen at X0,V: every character
# sits in its own ADV-wide cell (the pen advance), is whole and stands where it should:
# capitals and digits from the cap height of H to the baseline, lower case and symbols
# within a small reach of those rows, spaces empty; O has its hole (not a filled glyph from
# elsewhere in the atlas), H its open top and its bar; nothing left or right of the line.
# Only the rows of this line's quads are looked at: [V - 2 x SIZE + 1, V + SIZE - 1).
check_mono_line() {  # LABEL SIZE X0 V ADV TEXT
  local label=$1 size=$2 x0=$3 v=$4 adv=$5 text=$6
  local top=$((v - 2 * size + 1)) bottom=$((v + size - 1))
  local px=$(((size * 96 + 36) / 72))
  local reach=$(((px + 11) / 12)) below=$(((px + 3) / 4)) round=$(((px + 23) / 24))
  local hbox htop hbottom n=${#text} k c cx b bx0 by0 bx1 by1
  hbox=$(ink_box $((x0 + adv * $(expr index "$text" H) - adv)) $top $((x0 + adv * $(expr index "$text" H))) $bottom)
  if [ "$hbox" = none ]; then echo "$label: no H"; fail=1; return; fi
  read -r _ htop _ hbottom <<<"$hbox"
  if [ $((hbottom - htop)) -lt $((px * 70 / 100)) ] || [ $((hbottom - htop)) -gt $((px * 76 / 100 + 1)) ]; then
    echo "$label: H is $((hbottom - htop)) pixels tall for $px pixels a size"; fail=1
  fi
  for ((k = 0; k < n; k++)); do
    c=${text:k:1}
    cx=$((x0 + k * adv))
    b=$(ink_box $cx $top $((cx + adv)) $bottom)
    if [ "$c" = " " ]; then
      [ "$b" = none ] || { echo "$label: ink at $b in the space at $k"; fail=1; }
      continue
    fi
    if [ "$b" = none ]; then echo "$label: '$c' at $k is missing"; fail=1; continue; fi
    read -r bx0 by0 bx1 by1 <<<"$b"
    case $c in
      [A-Z0-9])  # the cap height, on the baseline (round shapes overshoot a little)
        if [ $((by0 < htop - round || by0 > htop + round || by1 < hbottom - round || by1 > hbottom + round)) = 1 ]; then
          echo "$label: '$c' at $k spans rows $by0..$by1, H spans $htop..$hbottom"; fail=1
        fi ;;
      *)  # lower case and symbols: below the ascender line, above the descender line
        if [ $((by0 < htop - reach || by1 > hbottom + below)) = 1 ]; then
          echo "$label: '$c' at $k spans rows $by0..$by1, outside $((htop - reach))..$((hbottom + below))"; fail=1
        fi ;;
    esac
    case $c in
      O)  # the hole in the middle
        b=$(ink_box $(((bx0 + bx1) / 2)) $(((by0 + by1) / 2)) $(((bx0 + bx1) / 2 + 1)) $(((by0 + by1) / 2 + 1)))
        [ "$b" = none ] || { echo "$label: O at $k has no hole"; fail=1; } ;;
      H)  # open between the stems at the top, closed by the bar in the middle
        b=$(ink_box $(((bx0 + bx1) / 2)) $by0 $(((bx0 + bx1) / 2 + 1)) $((by0 + (by1 - by0) / 4)))
        [ "$b" = none ] || { echo "$label: H at $k is closed at the top"; fail=1; }
        b=$(ink_box $(((bx0 + bx1) / 2)) $by0 $(((bx0 + bx1) / 2 + 1)) $by1)
        [ "$b" != none ] || { echo "$label: H at $k has no bar"; fail=1; } ;;
    esac
  done
  expect_blank "$label: left of the line" 0 $top $x0 $bottom
  expect_blank "$label: right of the line" $((x0 + n * adv)) $top 100000 $bottom
  expect_blank "$label: above the letters" 0 $top 100000 $((htop - reach))
  expect_blank "$label: below the letters" 0 $((hbottom + below)) 100000 $bottom
  # For the caller: the rows of this line's H, top and end (exclusive).
  LINE_HTOP=$htop LINE_HBOTTOM=$hbottom
}

# A box of two lines (one line feed) of DejaVu Sans Mono at SIZE points with the pen at X0,V,
# each line starting with H: line 1's H has the rows HTOP..HBOTTOM (from check_mono_line
# on the same text at pen V0) shifted by V - V0, line 2's H lies SIZE / 2 + SIZE rows (integer
# halving) lower, and the rows between the two lines hold nothing across the whole width.
check_two_lines() {  # LABEL SIZE X0 V ADV V0 HTOP HBOTTOM
  local label=$1 size=$2 x0=$3 v=$4 adv=$5
  local dv=$(($4 - $6)) spacing=$((size / 2 + size))
  local htop=$(($7 + dv)) hbottom=$(($8 + dv))
  local px=$(((size * 96 + 36) / 72))
  local reach=$(((px + 11) / 12)) below=$(((px + 3) / 4))
  local b want
  for line in 0 1; do
    local t=$((htop + line * spacing)) e=$((hbottom + line * spacing))
    b=$(ink_box $x0 $((t - 1)) $((x0 + adv)) $((e + 1)))
    want=$(ink_box $x0 $t $((x0 + adv)) $e)
    if [ "$want" = none ] || [ "$b" != "$want" ] || [ "$(echo "$b" | cut -d' ' -f2,4)" != "$t $e" ]; then
      echo "$label: H of line $((line + 1)) at $b, expected rows $t..$e"; fail=1
    fi
  done
  if [ $((hbottom + below)) -lt $((htop + spacing - reach)) ]; then
    expect_blank "$label: between the lines" 0 $((hbottom + below)) 100000 $((htop + spacing - reach))
  fi
}
