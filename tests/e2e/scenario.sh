# The play-through both real programs go through (sourced after e2e_lib.sh and a driver): three
# starts with the settings file between them, played as a player would, with clicks, keys and
# screenshots read back by the screen reader. Places and sizes come from the screen reader.
#
# A driver (linux_driver.sh, wine_driver.sh) gives:
#   start_game              starts the program and sets game_pid and window; fails if no window
#   end_game HOW            ends it the driver's way HOW and sets status (or "running")
#   end_label HOW           how a check names that way ("SIGTERM ends the game")
#   ends=(A B C)            the way each of the three starts ends
#   shot, click X Y [BUTTON], key KEY...   screenshots and input in client points
#   settings, line_end      the settings file and its line end ("LF" or "CR LF")
#   window_kind, x_narrow, x_wide    what the X window's size is (the client area or the outer
#                           size) and its narrow and wide values
#   on_first_window, before_keep_on_top, after_help   the driver's own checks at those points
#   wait_seconds            raised by a driver whose program repaints slowly

# The settings file's six values and its line end, as the checks compare them.
settings_lines() {
  local ends
  ends=$(head -n 6 "$settings" | sed -n '/\r$/{s/.*/CR LF/p;b};s/.*/LF/p' | sort -u | paste -sd/ -)
  echo "$(settings_values "$settings") ($ends)"
}
as_settings_lines() { echo "$* ($line_end)"; }
# Writes the settings file with the driver's line end.
save_settings() { # value...
  local crlf=""
  [ "$line_end" = "CR LF" ] && crlf=crlf
  write_settings "$settings" "$*" $crlf
}

click_cell() { # column row
  click $((board_left + cell * $1 + cell / 2)) $((board_top + cell * $2 + cell / 2))
}

play_first_start() {
  echo "== First start: no settings file"
  first_second=$(date +%s)
  start_game || fatal "the window appears" "$(tail -n 5 "$game_err")"
  pass "the window appears, titled \"$title\""
  on_first_window
  check "it opens at (0, 0) with the $window_kind ${x_narrow/ / x }" "0 0 $x_narrow" \
    "$(window_geometry)"
  check "it is opaque" "" "$(opacity)"
  check "it is not kept on top" "" "$(net_state | grep -o _NET_WM_STATE_ABOVE)"
  play_first_window

  xdotool windowmove "$window" 120 80
  eventually "120 80" window_corner >/dev/null
  sleep 0.5
  end_game "${ends[0]}"
  check "$(end_label "${ends[0]}") with exit code 1" 1 "$status"
  if [ -f "$settings" ]; then
    pass "the settings file and its folders are created at exit"
    check "the settings hold skin, keep on top, transparency, top, left, level with $line_end" \
      "$(as_settings_lines 1 1 0 80 120 1)" "$(settings_lines)"
  else
    fail "the settings file and its folders are created at exit" "no $settings"
  fi
}

# The first window's play-through, from its first paint to Help, in parts that each start from
# the board the one before leaves; the Wayland run plays some of them. The first paint sets
# first_deal, dealt within [first_second, last_second], and keeps its screenshot as
# <work>/first.png.
play_first_window() {
  play_first_paint
  play_board
  play_deals
  play_skins
  play_show
  play_switches
  play_help
}

play_first_paint() {
  first_deal=$(new_deal 0 "")
  last_second=$(date +%s)
  cp "${shot_image%@*}" "$work/first.png"
  check_deal "the first paint shows a dealt board of numbered tiles" "$first_deal"
  check "the background bitmap fills the client area" yes "$(eventually yes shows background)"
  check "the title-bar buttons show their off pictures" yes/yes \
    "$(shows transparency-off)/$(shows keep-on-top-off)"
}

# From any board: Solve, slides by hand, the banner, a click away from the blank, key S and a
# right click. Leaves the solved board.
play_board() {
  click "${solve[@]}"
  check "Solve puts the tiles in order" "$solved" "$(board_becomes 0 "$solved")"
  check "after Solve the completion banner stays hidden" 1 "$(($(region_percent banner) < 50))"

  # The blank is bottom right: slide 15 left into it and back to complete the board by hand.
  local slid="1 2 3 4 5 6 7 8 9 10 11 12 13 14 0 15"
  local moved_up="1 2 3 4 5 6 7 8 9 10 11 0 13 14 15 12"
  click_cell 2 3
  check "a click on the tile beside the blank slides it" "$slid" "$(board_becomes 0 "$slid")"
  click_cell 3 3
  board_becomes 0 "$solved" >/dev/null
  check "completing the board by hand shows the banner" yes "$(eventually yes shows banner 95)"
  click_cell 3 2
  board_becomes 0 "$moved_up" >/dev/null
  check "one more slide hides the banner" 1 "$(($(region_percent banner) < 50))"
  click_cell 0 0
  sleep 0.3
  check "a click on a tile away from the blank changes nothing" "$moved_up" \
    "$(board_becomes 0 "$moved_up")"

  key "$key_solve"
  check "key S solves" "$solved" "$(board_becomes 0 "$solved")"
  click "${solve[@]}" 3
  sleep 0.5
  check "a right click on a button does nothing" "$solved" "$(fresh_board 0)"
}

# Easy and key N from the solved board; leaves a deal of the Easy level in `deal`.
play_deals() {
  local next
  click "${easy[@]}"
  deal=$(new_deal 0 "$solved")
  check_deal "a click on Easy deals a new board" "$deal"
  # Deals are seeded with the time in seconds: in the same second N would deal the same board.
  sleep 1.1
  key "$key_new_game"
  next=$(new_deal 0 "$deal")
  if is_deal "$next" && [ "$next" != "$deal" ]; then pass "key N deals a new board"; else
    fail "key N deals a new board" "read '$next' after '$deal'"; fi
  deal=$next
}

# Keys K, C and a repaint, and the Picture button, on `deal`; leaves the picture skin.
play_skins() {
  key "$key_skin_and_repaint"
  check "key K shows the picture skin at once" "$deal" "$(board_becomes 1 "$deal")"
  key "$key_skin"
  sleep 0.5
  check "key C changes the skin without repainting" "$deal" "$(fresh_board 1)"
  key Left
  check "the next repaint shows the skin key C chose" "$deal" "$(board_becomes 0 "$deal")"
  click "${picture[@]}"
  check "the Picture button switches to the picture skin" "$deal" "$(board_becomes 1 "$deal")"
}

# Show and Hide in the picture skin.
play_show() {
  click "${show[@]}"
  check "Show widens the $window_kind to ${x_wide/ / x }" "$x_wide" \
    "$(eventually "$x_wide" window_size)"
  check "Show shows the reference picture in order" "$solved" \
    "$(board_becomes 1 "$solved" reference)"
  check "Show shows the side-panel background" yes "$(eventually yes shows side-panel 95)"
  click "${show[@]}"
  check "Hide narrows it back to ${x_narrow/ / x }" "$x_narrow" \
    "$(eventually "$x_narrow" window_size)"
}

# Transparency on and off, then keep on top on.
play_switches() {
  click "${transparency[@]}"
  check "the transparency button sets the opacity to 190/255" "$transparent_opacity" \
    "$(eventually "$transparent_opacity" opacity_byte)"
  check "the transparency button shows its on picture" yes "$(eventually yes shows transparency-on)"
  click "${transparency[@]}"
  check "a second click makes the window opaque again" "" "$(eventually "" opacity)"

  before_keep_on_top
  click "${keep_on_top[@]}"
  check "the keep-on-top button shows its on picture" yes "$(eventually yes shows keep-on-top-on)"
}

# Help, with the URL opener recorded (install_url_recorder).
play_help() {
  rm -f "$work/opened"
  click "${help[@]}"
  wait_until test -f "$work/opened"
  check "Help opens the information page with the desktop's URL opener" 1 \
    "$(sed -n 1p "$work/opened" 2>/dev/null)"
  local url
  url=$(sed -n 2p "$work/opened" 2>/dev/null)
  check "the page address ends in $help_page_path" "$help_page_path" \
    "${url: -${#help_page_path}}"
  after_help
}

play_second_start() {
  echo "== Second start: the saved settings"
  if ! start_game; then
    fail "the window appears again" "$(tail -n 5 "$game_err")"
    return
  fi
  check "the window reopens where it was left" "120 80" "$(window_corner)"
  check "it is kept on top" "_NET_WM_STATE_ABOVE" "$(net_state | grep -o _NET_WM_STATE_ABOVE)"
  check_deal "it deals its first board in the saved picture skin" "$(new_deal 1 "")"
  check "the keep-on-top button starts on" yes "$(eventually yes shows keep-on-top-on)"
  end_game "${ends[1]}"
  check "$(end_label "${ends[1]}") with exit code 1" 1 "$status"
  check "the position is saved again without drift" "$(as_settings_lines 1 1 0 80 120 2)" \
    "$(settings_lines)"
}

play_third_start() {
  echo "== Third start: transparency saved, position off the screen"
  save_settings 0 0 1 99999 4294967291 3
  if ! start_game; then
    fail "the window appears a third time" "$(tail -n 5 "$game_err")"
    return
  fi
  check "a position off the screen falls back to (${fallback_corner/ /, })" "$fallback_corner" \
    "$(window_corner)"
  check "the saved transparency applies at start" "$transparent_opacity" "$(opacity_byte)"
  check_deal "it deals in the numbered skin" "$(new_deal 0 "")"
  end_game "${ends[2]}"
  check "$(end_label "${ends[2]}") with exit code 1" 1 "$status"
  check "every start plays Medium, whatever level was saved" "$(as_settings_lines 0 0 1 2 2 2)" \
    "$(settings_lines)"
}

play_scenario() {
  play_first_start
  play_second_start
  play_third_start
}
