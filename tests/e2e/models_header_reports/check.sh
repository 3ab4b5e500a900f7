#!/usr/bin/env bash
# Standard error holds exactly the three texts of noted.wtf, in header order, and nothing of
# the file that was only meshed.
set -e
got=$(grep '^Zyntrel Player.exe: ' "$2")
want=$'Zyntrel Player.exe: A\nZyntrel Player.exe: D\nZyntrel Player.exe: x'
if [ "$got" != "$want" ]; then echo "message boxes: $got"; exit 1; fi
