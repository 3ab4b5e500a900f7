#!/usr/bin/env bash
# The game checked is the example game itself.
set -e
rm -rf game
cp -r "$(dirname "$0")/../../../examples/demo" game
