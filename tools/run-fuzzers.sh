#!/usr/bin/env bash
# Runs every fuzz target for a short while (FUZZ_SECONDS, default 30 each).
set -euo pipefail
dir=$1
secs=${FUZZ_SECONDS:-30}
found=0
for f in "$dir"/fuzz/fuzz_*; do
  [ -x "$f" ] || continue
  found=1
  name=$(basename "$f")
  corpus="build/fuzz-corpus/$name"; mkdir -p "$corpus"
  echo "== $name ($secs s)"
  "$f" -max_total_time="$secs" -rss_limit_mb=2048 "$corpus" 2>&1 | tail -n 3
done
[ $found -eq 1 ] || echo "no fuzz targets built yet"
