# Private headless Wayland compositors for the scripts and the bench (sourced after lib.sh):
# sway (wlroots: server-side decorations, keys through wtype, pictures through grim, clicks
# through wayvnc) and weston (client-side decorations).
#
# Each compositor gets a runtime folder of its own under the work folder and a socket name no
# session uses by default, so a program started by another script (an X11 test run beside this
# one) never finds it; the start exports XDG_RUNTIME_DIR and WAYLAND_DISPLAY for this script's
# programs and unsets DISPLAY.

# sway refuses to run as root: under root the compositors (and the helpers that must be their
# clients as that user) run as nobody. A client running as root reaches the socket all the same.
# (A prefix, not a function: a function run in the background would be a subshell whose pid
# the cleanup ends, leaving the compositor.)
as_compositor_user=()
[ "$(id -u)" -ne 0 ] || as_compositor_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)

# A runtime folder only the compositor's user may enter, as a session's is; exported.
wayland_runtime() { # folder
  rm -rf "$1"
  mkdir -m 700 "$1"
  # The work folder may be root's alone (mktemp): nobody only needs to pass through it.
  [ "$(id -u)" -ne 0 ] || { chmod a+x "$(dirname "$1")" && chown 65534:65534 "$1"; }
  export XDG_RUNTIME_DIR=$1
  unset DISPLAY WAYLAND_DISPLAY
}

# sway on one headless output of 1920 x 1080 pixels at SCALE (1 unless given; sway 1.7 draws
# a fractional scale's clients at the next whole one and scales down), without XWayland.
# Exports SWAYSOCK for swaymsg. Returns 1, with the log's end on stderr, when it did not start.
start_sway() { # work [scale]
  local config="$1/sway.config"
  wayland_runtime "$1/sway-runtime"
  printf '%s\n' "output HEADLESS-1 mode 1920x1080 position 0 0 scale ${2:-1}" \
    "xwayland disable" "focus_follows_mouse no" >"$config"
  chmod 644 "$config"
  WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 HOME="$1" \
    "${as_compositor_user[@]}" sway -c "$config" >"$1/sway.log" 2>&1 &
  started $!
  # wlroots names the socket wayland-1 and up; clients wait for the output to be there.
  export WAYLAND_DISPLAY=wayland-1
  compositor_up $! "$1/sway.log" sway_output
}

# Waits until READY succeeds; returns 1, with the log's end on stderr, when it does not or the
# compositor PID ends first.
compositor_up() { # pid log ready...
  local pid=$1 log=$2
  shift 2
  wait_until process_ended_or "$pid" "$@"
  kill -0 "$pid" 2>/dev/null && "$@" && return 0
  tail -n 5 "$log" >&2
  return 1
}
process_ended_or() { ! kill -0 "$1" 2>/dev/null || "${@:2}"; }
sway_output() {
  SWAYSOCK=$(compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*.sock" | head -n 1) &&
    export SWAYSOCK && swaymsg -t get_outputs | grep -q HEADLESS-1
}

# A pointer for sway's seat, which has none: wayvnc hands a VNC client's clicks to it through
# wlroots' virtual pointer. Its socket is `vnc_socket`, for tests/e2e/rfb_click.
start_sway_pointer() { # work
  vnc_socket="$XDG_RUNTIME_DIR/vnc"
  HOME="$1" "${as_compositor_user[@]}" wayvnc -C /dev/null -u "$vnc_socket" >"$1/wayvnc.log" 2>&1 &
  started $!
  compositor_up $! "$1/wayvnc.log" test -S "$vnc_socket"
}

# weston's headless back end at 1280 x 1024 on the socket "deradu-wayland", its log in
# <work>/weston.log; further options go to weston (--xwayland, --debug for screenshots).
start_weston() { # work [options...]
  local work=$1
  shift
  wayland_runtime "$work/weston-runtime"
  weston --backend=headless-backend.so --socket=deradu-wayland --width=1280 --height=1024 \
    --idle-time=0 --log="$work/weston.log" "$@" >/dev/null 2>&1 &
  started $!
  export WAYLAND_DISPLAY=deradu-wayland
  compositor_up $! "$work/weston.log" test -S "$XDG_RUNTIME_DIR/deradu-wayland"
}
