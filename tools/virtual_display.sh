# A private virtual display (Xvfb) for the scripts that run the program without a screen
# (sourced by run.sh, bench/run.sh, the end-to-end and display tests, the help page's pictures).

virtual_display_pid=""

# Starts Xvfb on a free display number and exports DISPLAY once it accepts clients; returns
# non-zero (the server stopped again) when it did not within 10 s. The screen is 1280 x 1024 with
# DEPTH bits a pixel (24 unless given), or WIDTHxHEIGHTxDEPTH; further arguments go to Xvfb. The number is kept in <work>/display.
# The caller's cleanup calls stop_virtual_display.
start_virtual_display() { # work folder, [depth or WIDTHxHEIGHTxDEPTH], [Xvfb arguments...]
  local number="$1/display" screen=${2:-24}
  [[ $screen == *x* ]] || screen="1280x1024x$screen"
  shift $(($# < 2 ? $# : 2))
  # A number left by an earlier server would be read before the new one truncates the file.
  rm -f "$number"
  # Xvfb picks the number itself and writes it to fd 3 once it accepts clients. -noreset: by
  # default the server resets when its last client leaves, and a program starting meanwhile
  # (a script's next run of the game) is refused.
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset "$@" 3>"$number" \
    >/dev/null 2>&1 &
  virtual_display_pid=$!
  for _ in $(seq 100); do
    [ -s "$number" ] && break
    kill -0 "$virtual_display_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ ! -s "$number" ]; then
    echo "Xvfb did not start" >&2
    stop_virtual_display
    return 1
  fi
  DISPLAY=":$(cat "$number")"
  export DISPLAY
  # Programs started on it speak X11, whatever Wayland socket the caller's session (or another
  # test's compositor) has.
  unset WAYLAND_DISPLAY
  export DERADU_BACKEND=x11
}

# Ends the server and waits until it is gone. Safe in a trap under set -e, at any point and after
# an earlier stop.
stop_virtual_display() {
  if [ -n "$virtual_display_pid" ] && kill -TERM "$virtual_display_pid" 2>/dev/null; then
    wait "$virtual_display_pid" 2>/dev/null || true
  fi
  virtual_display_pid=""
  return 0
}
