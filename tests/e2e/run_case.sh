#!/usr/bin/env bash
# Runs one end-to-end case: the game folder CASE/game is played by the real binary with
# --headless --fixed-step 20 --seed 1 and a frame limit (run from a copy of the case folder,
# so arguments may name its files), and its standard output must equal
# CASE/expected.txt exactly. Optional files of the case:
#   frames        the frame limit (default 50)
#   args          further command-line arguments, one line
#   status        the expected exit status (default 0)
#   stderr.txt    lines that standard error must contain, each as a fixed string
#   setup.sh      run first in the copy of the case folder (it holds game/), for what git cannot
#                 keep: FIFOs, links that lead out of the game folder, huge sparse files
#   check.sh      run afterwards in the game folder's copy as: check.sh STDOUT STDERR, with
#                 PNG_PROBE naming the pixel probe (tools/png_probe.cpp) for screenshots
# Usage: run_case.sh ZYNTREL CASE_DIR [PNG_PROBE]
set -u
bin=$1; case_dir=$2
export PNG_PROBE=${3:-png_probe}
name=$(basename "$case_dir")
work=$(mktemp -d "/tmp/zyntrel-e2e-$name-XXXXXX")
trap 'rm -rf "$work"' EXIT
cp -r "$case_dir"/. "$work"/ && mkdir -p "$work/game"

if [ -x "$case_dir/setup.sh" ]; then
  ( cd "$work" && "$case_dir/setup.sh" ) || { echo "setup.sh failed"; exit 1; }
fi

frames=50; [ -f "$case_dir/frames" ] && frames=$(cat "$case_dir/frames")
extra=(); [ -f "$case_dir/args" ] && read -r -a extra < "$case_dir/args"
want_status=0; [ -f "$case_dir/status" ] && want_status=$(cat "$case_dir/status")

( cd "$work" && "$bin" --headless --fixed-step 20 --seed 1 --frames "$frames" "${extra[@]}" game ) \
  >"$work/stdout" 2>"$work/stderr"
status=$?

fail=0
if [ "$status" != "$want_status" ]; then
  echo "exit status $status, expected $want_status"; fail=1
fi
if ! cmp -s "$work/stdout" "$case_dir/expected.txt"; then
  echo "standard output differs from expected.txt:"
  diff <(cat -A "$case_dir/expected.txt") <(cat -A "$work/stdout") | head -n 40
  fail=1
fi
if [ -f "$case_dir/stderr.txt" ]; then
  while IFS= read -r want; do
    [ -z "$want" ] && continue
    grep -qF -- "$want" "$work/stderr" || { echo "standard error lacks: $want"; fail=1; }
  done < "$case_dir/stderr.txt"
fi
if [ -x "$case_dir/check.sh" ]; then
  ( cd "$work/game" && "$case_dir/check.sh" "$work/stdout" "$work/stderr" ) || { echo "check.sh failed"; fail=1; }
fi
if [ $fail -ne 0 ]; then
  echo "--- stderr:"; head -n 40 "$work/stderr"
fi
exit $fail
