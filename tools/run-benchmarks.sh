#!/usr/bin/env bash
# Runs every benchmark program that the bench build produced.
set -euo pipefail
dir=$1
found=0
for b in "$dir"/bench/bench_*; do
  [ -x "$b" ] || continue
  found=1
  echo "== $(basename "$b")"
  "$b"
done
[ $found -eq 1 ] || echo "no benchmarks built yet"
