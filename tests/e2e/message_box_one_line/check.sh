#!/usr/bin/env bash
# The box's caption and both lines of its text are on one line of standard error.
grep -qx 'Zyntrel Player.exe: This is not a valid level folder: Levels/nowhere/\?' "$2" || {
  echo "the message box is not one line:"; cat -A "$2"; exit 1; }
