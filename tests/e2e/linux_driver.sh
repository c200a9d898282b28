# How the scenario plays the Linux program (sourced; see scenario.sh): its window is its client
# area, it ends on signals or a window manager's close request, and its settings file lives
# under XDG_CONFIG_HOME with LF line ends. Needs binary, work and close_helper set.

config="$work/config"
settings=$(settings_file "$config")
line_end="LF"
window_kind="client area"
x_narrow=$client_narrow
x_wide=$client_wide
ends=(TERM close INT)
game_err="$work/game.err"
# What `shot` writes, as the screen reader's IMAGE[@X,Y].
shot_image="$work/shot.png"
game_pid=""
window=""

# Extra arguments go before the program: VAR=value into its environment, then a command that
# runs it (valgrind). Its stderr goes to $game_err.
start_game() {
  # SIGINT must reach the program: a script's background job would otherwise ignore it.
  env --default-signal=INT XDG_CONFIG_HOME="$config" XDG_CACHE_HOME="$work/cache" \
    PATH="$work/bin:$PATH" "$@" "$binary" \
    >>"$work/game.out" 2>>"$game_err" &
  game_pid=$!
  started "$game_pid"
  window=$(wait_window "$game_pid" "$title")
}

end_game() { # a signal name, or close
  if [ "$1" = close ]; then "$close_helper" "$window"; else kill -s "$1" "$game_pid"; fi
  game_ends
}
end_label() {
  case $1 in
    close) echo "the window manager's close request ends it" ;;
    *) echo "SIG$1 ends the game" ;;
  esac
}

# Client points, as a player's pointer would go; afterwards the pointer rests on the background.
click() { # x y [button]
  xdotool mousemove --window "$window" "$1" "$2" click "${3:-1}"
  xdotool mousemove --window "$window" "${pointer_rest[@]}"
}
key() { xdotool key --window "$window" "$@"; }

on_first_window() {
  check "its X11 class is winMain" '"winMain", "winMain"' "$(window_property WM_CLASS)"
}
# A button acts on a release inside it; without mouse capture a release outside the window
# reaches nobody, though this button touches the window's edge.
before_keep_on_top() {
  xdotool mousemove --window "$window" "${keep_on_top[@]}" mousedown 1
  xdotool mousemove --window "$window" 700 11 mouseup 1
  xdotool mousemove --window "$window" "${pointer_rest[@]}"
  sleep 0.5
  shot
  check "a press on Keep on top released outside the window does not switch it" 1 \
    "$(($(region_percent keep-on-top-on) < 90))"
}
after_help() {
  sleep 0.3
  check "no child process is left after opening the page" "" \
    "$(ps -o pid= --ppid "$game_pid" | tr -d ' ')"
}
