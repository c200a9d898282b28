# How the scenario plays the Windows program under Wine (sourced; see scenario.sh). Without a
# window manager Wine draws the frame itself inside an X window of the outer size, so clicks
# and screenshots are offset by the client area's place in it. The program ends on Alt+F4, its
# close box or a close request, and keeps its settings in ProgramData with CR LF line ends.
# Needs exe, work, close_helper and WINEPREFIX set (tests/support/lib.sh's wine_prefix).

# Where the client area starts inside Wine's own frame.
frame_x=3
frame_y=22
settings=$(settings_file "$WINEPREFIX/drive_c")
line_end="CR LF"
window_kind="outer size"
x_narrow=$outer_narrow
x_wide=$outer_wide
ends=(alt-f4 close-box close-request)
game_err="$work/game.err"
# What `shot` writes, as the screen reader's IMAGE[@X,Y].
shot_image="$work/shot.png@$frame_x,$frame_y"
game_pid=""
window=""

# Wine's window belongs to no process of ours: any window with the title counts, while the game
# still runs.
start_game() { # [command that runs wine...]
  "$@" wine "$exe" >>"$work/game.out" 2>>"$game_err" &
  game_pid=$!
  started "$game_pid"
  window=$(wait_window - "$title" "$wait_seconds" "$game_pid")
}

end_game() { # alt-f4, close-box or close-request
  local outer_width
  case $1 in
    alt-f4) xdotool key --window "$window" alt+F4 2>/dev/null ;;
    close-box)
      outer_width=$(window_size | cut -d' ' -f1)
      xdotool mousemove --window "$window" $((outer_width - frame_x - 9)) $((frame_y / 2 + 1)) \
        click 1 2>/dev/null
      ;;
    close-request) "$close_helper" "$window" ;;
  esac
  game_ends
}
end_label() {
  case $1 in
    alt-f4) echo "Alt+F4 ends the program" ;;
    close-box) echo "the close box ends it" ;;
    close-request) echo "a window manager's close request ends it" ;;
  esac
}

# Client points, as a player's pointer would go; afterwards the pointer rests on the background.
click() { # x y [button]
  xdotool mousemove --window "$window" $(($1 + frame_x)) $(($2 + frame_y)) click "${3:-1}" \
    2>/dev/null
  xdotool mousemove --window "$window" $((pointer_rest[0] + frame_x)) \
    $((pointer_rest[1] + frame_y)) 2>/dev/null
}
key() { xdotool key --window "$window" "$@" 2>/dev/null; }

on_first_window() { :; }
before_keep_on_top() { :; }
after_help() { :; }
