# Sourced by the window tests: starts a private Xvfb display of 1024x768 and exports DISPLAY;
# the display is stopped when the test's shell exits.
command -v Xvfb >/dev/null || { echo "Xvfb missing"; exit 1; }
display=
for n in $(seq 90 130); do
  if [ ! -e /tmp/.X$n-lock ] && [ ! -e /tmp/.X11-unix/X$n ]; then display=:$n; break; fi
done
[ -n "$display" ] || { echo "no free X display"; exit 1; }
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null' EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
