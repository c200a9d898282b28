#!/usr/bin/env bash
# End-to-end tests of the Windows program under Wine on a private virtual display: the
# play-through both programs share (scenario.sh, through wine_driver.sh), the end of a Windows
# session, WM_QUIT from another program, a read-only settings file and application-data folders
# named outside ASCII, and finally the same dealt board in the Linux program (build/deradu, or
# DERADU_PROGRAM), compared pixel for pixel outside the text.
# Usage: tests/wine/wine.sh BUILD_WIN32_DIR (or ctest --preset wine). Prints "N passed,
# N failed"; exits non-zero on a failure. Wine's prefix and the emulator it may need are kept in
# BUILD_WIN32_DIR between runs. The screen reader is built in build-asan when it is missing.
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
# shellcheck source=tests/support/lib.sh
source "$root/tests/support/lib.sh"
# shellcheck source=tests/wine/wine_runner.sh
source "$here/wine_runner.sh"

start_wine_script "$0" 1500 BUILD_WIN32_DIR 1 "$@"

begin_script wine
# shellcheck source=tests/e2e/e2e_lib.sh
source "$root/tests/e2e/e2e_lib.sh"
exe="$build/deradu.exe"
linux_program=${DERADU_PROGRAM:-$root/build/deradu}
[ -f "$exe" ] || fatal "the Windows program is built" "no $exe (cmake --build --preset win32)"
# Found or built before Wine's HOME replaces the one ccache keeps its cache under.
use_screen_reader "$root"
[ -x "$linux_program" ] || fail "the Linux program is built, for the comparison at the end" \
  "no $linux_program (cmake --preset release && cmake --build --preset release)"

echo "== Wine ($(wine --version 2>/dev/null), runner: $DERADU_WINE_RUNNER)"
start_virtual_display "$work" || fatal "the virtual display starts"
wine_prefix "$build/wine-prefix" "$build/wine-home" || fatal "Wine's prefix is made"
# shellcheck source=tests/wine/wine_driver.sh
source "$here/wine_driver.sh"
# shellcheck source=tests/e2e/scenario.sh
source "$root/tests/e2e/scenario.sh"

# ---------------------------------------------------------------------------------------------
install_url_recorder "$work"
build_close_helper "$work"
# No settings, nor the game's folders: the first start makes them.
rm -rf "${settings%/revaziriv/*}"
# Wine sets the keep-on-top state itself only while the window is unmapped, as at start; later
# changes are requests to a window manager, and there is none here.
play_scenario

# ---------------------------------------------------------------------------------------------
echo "== Log-off: Windows ends the program after WM_ENDSESSION, without WM_DESTROY"
save_settings 0 0 0 5 6 3
if start_game; then
  xdotool windowmove "$window" 150 100 2>/dev/null
  sleep 1
  timeout "$wait_seconds" wine wineboot --end-session >/dev/null 2>&1
  game_ends
  check "the ending session ends the program" 1 "$([ "$status" != running ] && echo 1)"
  check "the settings are written with the window's last place" \
    "$(as_settings_lines 0 0 0 100 150 2)" "$(settings_lines)"
  [ "$status" = running ] && end_game alt-f4
else
  fail "the window appears for the log-off" "$(tail -n 5 "$work/game.err")"
fi

echo "== A read-only settings file"
# Root may write any file; without CAP_DAC_OVERRIDE, and with a wineserver of its own (which
# opens the files), the read-only attribute decides, as it does for a user on Windows.
save_settings 1 0 0 5 6 3
chmod 0444 "$settings"
before=$(sha256sum <"$settings")
timeout "$wait_seconds" wineserver -k 2>/dev/null
if start_game setpriv --bounding-set -dac_override,-dac_read_search --; then
  end_game alt-f4
  check "the game ends in order with exit code 1" 1 "$status"
  check "the read-only file is as it was" "$before" "$(sha256sum <"$settings")"
else
  fail "the window appears with a read-only settings file" "$(tail -n 5 "$work/game.err")"
fi
timeout "$wait_seconds" wineserver -k 2>/dev/null
chmod 0644 "$settings"

echo "== WM_QUIT from another program: the window is never destroyed"
# The lines read at start go back as they were; a file missing before becomes six lines of 0.
if i686-w64-mingw32-gcc -O1 -o "$work/post_quit.exe" "$here/wine_post_quit.c" \
  2>"$work/post_quit.log"; then
  mkdir -p "$(dirname "$settings")"
  for row in "present 1 1 0 5 6 3" "missing 0 0 0 0 0 0"; do
    read -r before values <<<"$row"
    save_settings "$values"
    expected=$(od -c <"$settings")
    [ "$before" = missing ] && rm -f "$settings"
    if start_game; then
      xdotool windowmove "$window" 150 100 2>/dev/null
      timeout "$wait_seconds" wine "$work/post_quit.exe" >/dev/null 2>>"$work/game.err"
      game_ends
      check "a file $before before: the game ends in order with exit code 1" 1 "$status"
      check "a file $before before: six well-formed lines" "$expected" \
        "$(od -c <"$settings" 2>/dev/null)"
      [ "$status" = running ] && end_game alt-f4
    else
      fail "the window appears for WM_QUIT" "$(tail -n 5 "$work/game.err")"
    fi
  done
else
  fail "the WM_QUIT helper is built" "$(cat "$work/post_quit.log")"
fi

# ---------------------------------------------------------------------------------------------
# Points the machine-wide application-data folder elsewhere through the registry's shell folders,
# as an administrator may move it; a .reg file in UTF-16 carries any letters.
set_common_appdata() { # Windows folder
  local key value=${1//\\/\\\\}
  {
    printf 'Windows Registry Editor Version 5.00\r\n'
    for key in "User Shell Folders" "Shell Folders"; do
      printf '\r\n[HKEY_LOCAL_MACHINE\\%s\\%s]\r\n' \
        'Software\Microsoft\Windows\CurrentVersion\Explorer' "$key"
      printf '"Common AppData"="%s"\r\n' "$value"
    done
  } | iconv -f UTF-8 -t UTF-16 >"$work/appdata.reg"
  timeout "$wait_seconds" wine regedit /S "$(winepath -w "$work/appdata.reg" 2>/dev/null)" \
    >/dev/null 2>&1
}

echo "== Application-data folders named outside ASCII"
default_settings=$settings
for folder in "Dätä" "Данные"; do
  set_common_appdata "C:\\$folder"
  # The folder a moved application-data folder names exists; what lies under it is the game's.
  rm -rf "$WINEPREFIX/drive_c/$folder"
  mkdir -p "$WINEPREFIX/drive_c/$folder"
  settings=$(settings_file "$WINEPREFIX/drive_c/$folder")
  # A first start there creates the folders and the file; a later one updates the file.
  for row in "created 150 0" "updated 170 1"; do
    read -r run left skin <<<"$row"
    [ "$run" = updated ] && mkdir -p "$(dirname "$settings")" && save_settings 1 0 0 5 6 3
    if start_game; then
      xdotool windowmove "$window" "$left" 100 2>/dev/null
      sleep 1
      end_game alt-f4
      check "C:\\$folder: the game ends in order with exit code 1" 1 "$status"
      check "C:\\$folder: the file is $run with the window's new place" \
        "$(as_settings_lines "$skin" 0 0 100 "$left" 2)" "$(settings_lines 2>/dev/null)"
      # Every account must be able to save there. This Wine keeps a security descriptor only
      # as far as the Unix mode says it: the Users group's right to modify what the folders
      # hold becomes the group's write permission.
      [ "$run" = created ] && check "C:\\$folder: the folders it made let the Users group modify" \
        "rwx rwx" "$(stat -c %A "$WINEPREFIX/drive_c/$folder/qor" "$(dirname "$settings")" |
          cut -c5-7 | paste -sd' ')"
    else
      fail "the window appears with the settings under C:\\$folder" "$(tail -n 5 "$work/game.err")"
    fi
  done
done
set_common_appdata "C:\\ProgramData"
settings=$default_settings

# ---------------------------------------------------------------------------------------------
echo "== At 144 and 192 dpi: a larger window, text drawn afresh, clicks and places in its pixels"
# Wine reads LogPixels at each start. The end removes it and stops the server that this wakes.
log_pixels() { # add|delete [reg options]
  timeout "$wait_seconds" wine reg "$1" 'HKCU\Control Panel\Desktop' /v LogPixels "${@:2}" /f \
    >/dev/null 2>&1
}
at_cleanup "log_pixels delete; timeout 20 wineserver -k"
# A logical (96-dpi) coordinate in the window's pixels, rounded as the program rounds it.
physical() { echo $(((2 * $1 * dpi + 96) / 192)); }
# The last shot's blank cell, "column row": white a quarter cell in, where tiles have colour.
blank_cell() {
  local i x y
  for i in $(seq 0 15); do
    x=$((client_x + $(physical $((board_left + cell * (i % 4) + cell / 4)))))
    y=$((client_y + $(physical $((board_top + cell * (i / 4) + cell / 4)))))
    [ "$(convert "$work/shot.png" -format "%[hex:p{$x,$y}]" info:)" = FFFFFF ] &&
      echo "$((i % 4)) $((i / 4))" && return
  done
}
fresh_blank() { shot && blank_cell; }
i686-w64-mingw32-gcc -O1 -o "$work/client_rect.exe" "$here/wine_client_rect.c" \
  2>"$work/client_rect.log" || fail "the client-area helper is built" "$(cat "$work/client_rect.log")"
for dpi in 144 192; do
  log_pixels add /t REG_DWORD /d "$dpi"
  save_settings 0 0 0 100 150 2
  start_game || { fail "$dpi dpi: the window appears" "$(tail -n 5 "$work/game.err")" && continue; }
  read -r client_x client_y size <<<"$(wine "$work/client_rect.exe" 2>/dev/null | tr -d '\r')"
  check "$dpi dpi: the client area is 471 x 401 scaled" "$(physical 471) $(physical 401)" "$size"
  check "$dpi dpi: the window opens at the saved place in screen pixels" "150 100" "$(window_corner)"
  client_x=$((${client_x:-0} - 150)) client_y=$((${client_y:-0} - 100))
  wait_until fresh_blank >/dev/null
  # 40 x 10 logical pixels around the moves label's centre, in black and white so that only the
  # text's strokes count: the 96-dpi picture enlarged pixel by pixel, and this one.
  # shellcheck disable=SC2154 # moves_label comes from the screen reader's places.
  size="$(physical 40)x$(physical 10)" left=$((moves_label[0] - 20)) top=$((moves_label[1] - 5))
  convert "$work/first.png" -crop "40x10+$((frame_x + left))+$((frame_y + top))" +repage \
    -sample "$size!" -threshold 50% "$work/label-96.png"
  convert "$work/shot.png" -crop "$size+$((client_x + $(physical $left)))+$((client_y + \
    $(physical $top)))" +repage -threshold 50% "$work/label-$dpi.png"
  differing=$(compare -metric AE "$work/label-96.png" "$work/label-$dpi.png" null: 2>&1)
  check_that "$dpi dpi: the label's text is drawn afresh, not enlarged ($differing differ)" \
    [ "${differing%% *}" -gt $(($(physical 40) * $(physical 10) / 8)) ]
  read -r column row <<<"$(fresh_blank)"
  column=$((${column:-1} > 0 ? column - 1 : 1)) row=${row:-0}
  xdotool mousemove --window "$window" $((client_x + $(physical $((board_left + cell * column + \
    cell / 2))))) $((client_y + $(physical $((board_top + cell * row + cell / 2))))) click 1
  check "$dpi dpi: a click on the tile beside the blank slides it" "$column $row" \
    "$(eventually "$column $row" fresh_blank)"
  xdotool windowmove "$window" 200 120 2>/dev/null
  eventually "200 120" window_corner >/dev/null
  sleep 0.5
  end_game alt-f4
  check "$dpi dpi: the settings keep the window's place in screen pixels" \
    "$(as_settings_lines 0 0 0 120 200 2)" "$(settings_lines)"
done

# ---------------------------------------------------------------------------------------------
echo "== The same start in the Linux program"
# The deal is seeded with the second the board was dealt. The Windows program dealt its first
# board within [first_second, last_second]; the Linux program, with its clock stopped at each of
# those seconds in turn, deals the same board at one of them. Its client area must then show
# the same pixels everywhere but in the text, which the two systems' fonts draw differently.
if [ -x "$linux_program" ]; then
  linux_config="$work/linux-config"
  for second in $(seq "$first_second" "$last_second"); do
    rm -rf "$linux_config"
    env XDG_CONFIG_HOME="$linux_config" TZ=UTC \
      LD_PRELOAD="/usr/\$LIB/faketime/libfaketime.so.1" FAKETIME_DONT_FAKE_MONOTONIC=1 \
      FAKETIME="$(TZ=UTC date -d "@$second" '+%Y-%m-%d %H:%M:%S')" \
      "$linux_program" >>"$work/linux.out" 2>&1 &
    game_pid=$!
    started "$game_pid"
    linux_board=""
    if window=$(wait_window "$game_pid" "$title"); then
      for _ in $(seq 20); do
        import -window "$window" "$work/linux-first.png" 2>/dev/null
        linux_board=$("$screen_reader" board "$work/linux-first.png" 0)
        is_deal "$linux_board" && break
        sleep 0.25
      done
    fi
    kill -TERM "$game_pid" 2>/dev/null
    wait "$game_pid" 2>/dev/null
    [ "$linux_board" = "$first_deal" ] && break
  done
  check "the Linux program deals the same board for the same second" "$first_deal" "$linux_board"
  if [ "$linux_board" = "$first_deal" ]; then
    different=$("$screen_reader" differ "$work/first.png@$frame_x,$frame_y" \
      "$work/linux-first.png" "$work/first-difference.png")
    check "both programs draw the same pixels outside the text" 0 "$different"
  fi
fi

wine_elapsed
finish
