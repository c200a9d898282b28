#!/usr/bin/env bash
# Builds the Linux program and the benchmarks through the release preset (as ./test.sh and
# run.sh build build/), times the benchmarks, and measures build/deradu (also at scale 2) beside a floor (a bare
# Xlib program that puts one image of the game's size, built here) and two open-source 15-puzzles
# from Debian (sgt-fifteen, gnome-taquin) on one virtual display, then its Wayland host beside a
# bare wl_shm client (bench/WaylandFloor.c) under one headless sway, in the same run: time to the
# first painted frame, shared libraries mapped then, processor time and wakeups over idle
# seconds, peak resident memory, the end on SIGTERM and any process left behind. Writes the
# figures to bench/RESULTS.md (or to the file named by DERADU_BENCH_RESULTS). DERADU_BENCH_RUNS
# sets the start-up runs per program (5); DERADU_BENCH_BUILD names another build folder than
# build/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
results=${DERADU_BENCH_RESULTS:-$root/bench/RESULTS.md}
runs=${DERADU_BENCH_RUNS:-5}
build=${DERADU_BENCH_BUILD:-build}
idle_seconds=10

# shellcheck source=tools/packages.sh
source tools/packages.sh
ensure_packages build test bench

echo "== Building $build/ in Release"
# The release preset, which run.sh and ./test.sh build too; -B only moves it to another folder.
cmake --preset release -B "$root/$build" >/dev/null
cmake --build "$root/$build" --parallel 2 --target deradu deradu_bench deradu_window_probe

work=$(mktemp -d)
cc -O2 -o "$work/xlib-floor" bench/XlibFloor.c -lX11
cc -O2 -o "$work/click-storm" bench/ClickStorm.c -lX11
xdg_shell=/usr/share/wayland-protocols/stable/xdg-shell/xdg-shell.xml
wayland-scanner client-header "$xdg_shell" "$work/xdg-shell-client-protocol.h"
wayland-scanner private-code "$xdg_shell" "$work/xdg-shell-protocol.c"
cc -O2 -I"$work" -o "$work/wayland-floor" bench/WaylandFloor.c "$work/xdg-shell-protocol.c" \
  -lwayland-client
# The scripts' waits and compositor starts (lib.sh brings the virtual display); the cleanup
# here is the bench's own.
# shellcheck source=tests/support/lib.sh
source tests/support/lib.sh
# shellcheck source=tests/support/wayland.sh
source tests/support/wayland.sh
started_pids=()
bus_pid=""
cleanup() {
  [ -n "$bus_pid" ] && kill -TERM "$bus_pid" 2>/dev/null || true
  for pid in "${started_pids[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
  stop_virtual_display
  rm -rf "$work"
}
trap cleanup EXIT
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

echo "== Benchmarks (5 repetitions each; the summary takes the fastest)"
bench_status=0
"$build/bench/deradu_bench" --benchmark_repetitions=5 --benchmark_color=false \
  >"$work/bench.txt" || bench_status=$?
sed -n '/^Summary/,$p' "$work/bench.txt"
[ "$bench_status" -le 2 ] || { echo "the benchmarks failed ($bench_status)" >&2; exit 1; }

echo "== Programs on a virtual display"
# Large enough for the wide window at scale 2, or deradu-x2 would fall back to 1.
start_virtual_display "$work" 1920x1080x24 || exit 1

# A session bus, as every desktop session has; without one the GTK programs wait for it.
dbus-daemon --session --fork --print-address=3 --print-pid=4 \
  3>"$work/bus-address" 4>"$work/bus-pid" 2>/dev/null
bus_pid=$(head -n 1 "$work/bus-pid")
DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus-address")
export DBUS_SESSION_BUS_ADDRESS

declare -A programs=(
  [floor]="$work/xlib-floor"
  [deradu]="$root/$build/deradu"
  [sgt-fifteen]=/usr/games/sgt-fifteen
  [gnome-taquin]=/usr/games/gnome-taquin
  [deradu-x2]="$root/$build/deradu"
  [wayland-floor]="$work/wayland-floor"
  [deradu-wayland]="$root/$build/deradu"
)
# The Linux program once more at scale 2, as on a HiDPI screen.
declare -A program_env=([deradu-x2]=GDK_SCALE=2 [deradu-wayland]=DERADU_BACKEND=wayland)
order=(floor deradu deradu-x2 sgt-fifteen gnome-taquin)
wayland_order=(wayland-floor deradu-wayland)

# probe NAME IDLE_SECONDS [env...]: one start of the program in its home. Each program keeps one
# home over its starts, as a user's does: what it keeps there between runs (the game keeps its
# font answer and its glyphs) is there from the second start on; the first start finds it empty.
probe() {
  local name=$1 idle=$2
  shift 2
  local home="$work/home-$name" sway=()
  [[ $name != *wayland* ]] || sway=(--sway)
  mkdir -p "$home"
  env "$@" HOME="$home" XDG_CONFIG_HOME="$home/.config" \
    "$build/bench/deradu_window_probe" "${sway[@]}" "$idle" "${programs[$name]}" 2>/dev/null
}
# Rounds that alternate the programs, so a change in the machine's load touches all alike.
probe_rounds() { # name...
  local round name idle
  for round in $(seq "$runs"); do
    for name in "$@"; do
      idle=0
      [ "$round" -eq 1 ] && idle=$idle_seconds
      # shellcheck disable=SC2086 # one VAR=value word, or none
      probe "$name" "$idle" ${program_env[$name]:-} >"$work/$name.$round" || true
      printf '  %-14s run %d: first frame %s ms%s\n' "$name" "$round" \
        "$(value "$work/$name.$round" first_frame_ms)" \
        "$([ "$idle" -gt 0 ] && echo ", idle $idle s: $(value "$work/$name.$round" idle_cpu_ms) ms processor, $(value "$work/$name.$round" idle_wakeups) wakeups")"
    done
  done
}

value() { # file key
  sed -n "s/^$2=//p" "$1" | head -n 1
}

probe_rounds "${order[@]}"
# The Linux program once more without a session bus: nothing it loads may start a bus helper
# of its own that outlives it.
probe deradu 0 -u DBUS_SESSION_BUS_ADDRESS >"$work/deradu.nobus" || true

# A long play: resident memory after 1,000 random clicks and after 50,000 (Help opens a stand-in
# URL opener that does nothing).
echo "== Resident memory over 50,000 clicks"
mkdir -p "$work/long-play/bin" "$work/long-play/home"
printf '#!/bin/sh\nexit 0\n' >"$work/long-play/bin/xdg-open"
chmod +x "$work/long-play/bin/xdg-open"
PATH="$work/long-play/bin:$PATH" HOME="$work/long-play/home" \
  XDG_CONFIG_HOME="$work/long-play/home/.config" "$root/$build/deradu" 2>/dev/null &
long_pid=$!
long_window=""
for _ in $(seq 100); do
  long_window=$(xdotool search --class winMain 2>/dev/null | head -n 1) && [ -n "$long_window" ] && break
  sleep 0.1
done
resident_kb() { sed -n 's/^VmRSS:[[:space:]]*\([0-9]*\) kB/\1/p' "/proc/$long_pid/status"; }
rss_1k=n/a
rss_50k=n/a
if [ -n "$long_window" ]; then
  "$work/click-storm" "$long_window" "$long_pid" 1000 1 && rss_1k=$(resident_kb)
  "$work/click-storm" "$long_window" "$long_pid" 49000 2 && rss_50k=$(resident_kb)
fi
kill -TERM "$long_pid" 2>/dev/null || true
wait "$long_pid" 2>/dev/null || true
echo "  after 1,000 clicks $rss_1k kB, after 50,000 $rss_50k kB"

# Last, since the programs above would take the Wayland socket it exports.
echo "== The Wayland host and a bare wl_shm client under one headless sway"
start_sway "$work" 1 && probe_rounds "${wayland_order[@]}"

median() { # key name: median over the rounds
  local key=$1 name=$2
  for round in $(seq "$runs"); do value "$work/$name.$round" "$key"; done |
    grep -E '^[0-9.]+$' | sort -n | awk '{ v[NR] = $1 } END {
      if (NR == 0) { print "n/a"; exit }
      print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
range() { # key name: "min-max"
  local key=$1 name=$2
  for round in $(seq "$runs"); do value "$work/$name.$round" "$key"; done |
    grep -E '^[0-9.]+$' | sort -n | awk 'NR == 1 { lo = $1 } { hi = $1 } END { print lo "-" hi }'
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }'; }
at_most() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a != "n/a" && a <= b) }'; }

frame_ours=$(median first_frame_ms deradu)
frame_floor=$(median first_frame_ms floor)
frame_sgt=$(median first_frame_ms sgt-fifteen)
rss_ours=$(median peak_rss_kb deradu)
rss_floor=$(median peak_rss_kb floor)
rss_sgt=$(median peak_rss_kb sgt-fifteen)
frame_ratio=$(ratio "$frame_ours" "$frame_floor")
frame_scaled=$(median first_frame_ms deradu-x2)
frame_scaled_ratio=$(ratio "$frame_scaled" "$frame_ours")
rss_ratio=$(ratio "$rss_ours" "$rss_floor")
frame_wayland=$(median first_frame_ms deradu-wayland)
frame_wayland_floor=$(median first_frame_ms wayland-floor)
frame_wayland_ratio=$(ratio "$frame_wayland" "$frame_wayland_floor")
rss_wayland=$(median peak_rss_kb deradu-wayland)
rss_wayland_floor=$(median peak_rss_kb wayland-floor)
rss_wayland_ratio=$(ratio "$rss_wayland" "$rss_wayland_floor")
libraries_ours=$(median libraries deradu)
wakeups_ours=$(value "$work/deradu.1" idle_wakeups)
cpu_ours=$(value "$work/deradu.1" idle_cpu_ms)
left_ours="$(value "$work/deradu.1" left_behind) (with a session bus), $(value "$work/deradu.nobus" left_behind) (without)"
verdict() { if "$@"; then echo MET; else echo "NOT MET"; fi; }
no_leftovers() {
  local file
  for file in "$work"/deradu.*; do [ "$(value "$file" left_behind)" = none ] || return 1; done
}
# Lower than each peer's median on the first frame, peak memory and libraries, and no more idle
# wakeups or processor time than either.
ahead_of_peers() {
  local peer key
  for peer in sgt-fifteen gnome-taquin; do
    for key in first_frame_ms peak_rss_kb libraries; do
      awk -v a="$(median "$key" deradu)" -v b="$(median "$key" "$peer")" \
        'BEGIN { exit !(a != "n/a" && b != "n/a" && a < b) }' || return 1
    done
    for key in idle_wakeups idle_cpu_ms; do
      [ "$(value "$work/deradu.1" "$key")" -le "$(value "$work/$peer.1" "$key")" ] || return 1
    done
  done
}

{
  echo "# Benchmark results"
  echo
  echo "Written by \`bench/run.sh\` on $(date -u '+%Y-%m-%d %H:%M UTC')."
  echo
  echo "| machine | |"
  echo "|---|---|"
  echo "| processors (nproc) | $(nproc) |"
  echo "| CPU model | $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1) |"
  echo "| kernel | $(uname -sr) |"
  echo "| load average before / after | $load_before / $(cut -d' ' -f1-3 /proc/loadavg) |"
  echo "| source | $(git rev-parse --short HEAD)$(git diff --quiet HEAD -- . 2>/dev/null || echo ' with uncommitted changes') |"
  echo "| peers | sgt-puzzles $(dpkg-query -W -f='${Version}' sgt-puzzles), gnome-taquin $(dpkg-query -W -f='${Version}' gnome-taquin) |"
  echo
  echo "## Targets"
  echo
  echo "| target | figure | verdict |"
  echo "|---|---|---|"
  sed -n '/^Targets/,$p' "$work/bench.txt" | sed -n 's/^  \(MET\|NOT MET\|not run\) *\(.*\): \(.*\)$/| \2 | \3 | \1 |/p'
  echo "| first painted frame at most 2 x the floor's | ${frame_ours} ms / ${frame_floor} ms = ${frame_ratio} | $(verdict at_most "$frame_ratio" 2) |"
  echo "| first painted frame at scale 2 at most 2 x that at scale 1 | ${frame_scaled} ms / ${frame_ours} ms = ${frame_scaled_ratio} | $(verdict at_most "$frame_scaled_ratio" 2) |"
  echo "| peak resident memory at most 2 x the floor's | ${rss_ours} kB / ${rss_floor} kB = ${rss_ratio} | $(verdict at_most "$rss_ratio" 2) |"
  echo "| Wayland: first painted frame at most 1.5 x the bare wl_shm client's | ${frame_wayland} ms / ${frame_wayland_floor} ms = ${frame_wayland_ratio} | $(verdict at_most "$frame_wayland_ratio" 1.5) |"
  echo "| Wayland: peak resident memory at most 2 x the bare client's | ${rss_wayland} kB / ${rss_wayland_floor} kB = ${rss_wayland_ratio} | $(verdict at_most "$rss_wayland_ratio" 2) |"
  echo "| shared libraries mapped at start at most 10 | $libraries_ours | $(verdict at_most "$libraries_ours" 10) |"
  echo "| no wakeups and no processor time while idle ($idle_seconds s) | $wakeups_ours wakeups, $cpu_ours ms | $(verdict test "$wakeups_ours/$cpu_ours" = 0/0) |"
  echo "| ahead of sgt-fifteen and gnome-taquin on every figure above | see the table below | $(verdict ahead_of_peers) |"
  echo "| no process left behind | $left_ours | $(verdict no_leftovers) |"
  echo "| resident memory after 50,000 clicks within 2 MB of that after 1,000 | $rss_50k kB / $rss_1k kB | $(verdict awk -v a="$rss_50k" -v b="$rss_1k" 'BEGIN { exit !(a != "n/a" && b != "n/a" && a - b <= 2048) }') |"
  echo
  echo "## Programs on a virtual display"
  echo
  echo "Medians of $runs starts (range in brackets); idle figures from the first start."
  echo
  echo "| program | first painted frame (ms) | shared libraries | idle processor time over $idle_seconds s (ms) | idle wakeups | threads | peak resident (kB) | end on SIGTERM | left behind |"
  echo "|---|---|---|---|---|---|---|---|---|"
  for name in "${order[@]}" "${wayland_order[@]}"; do
    echo "| $name | $(median first_frame_ms "$name") ($(range first_frame_ms "$name")) | $(median libraries "$name") | $(value "$work/$name.1" idle_cpu_ms) | $(value "$work/$name.1" idle_wakeups) | $(value "$work/$name.1" threads) | $(median peak_rss_kb "$name") ($(range peak_rss_kb "$name")) | $(value "$work/$name.1" exit) after $(value "$work/$name.1" exit_ms) ms | $(value "$work/$name.1" left_behind) |"
  done
  echo
  echo "Ratios of the Linux program to the floor: first frame $frame_ratio, peak resident memory $rss_ratio."
  echo "Ratios of its Wayland host to the bare wl_shm client: first frame $frame_wayland_ratio, peak resident memory $rss_wayland_ratio."
  echo "To sgt-fifteen: first frame $(ratio "$frame_ours" "$frame_sgt"), peak resident memory $(ratio "$rss_ours" "$rss_sgt")."
  echo
  echo "## Benchmarks"
  echo
  echo "Google Benchmark, Release build, 5 repetitions; each figure is the fastest repetition."
  echo "Processor time decides (the machine is shared with other work, which the wall clock"
  echo "would count); the wall clock is in brackets."
  echo
  echo '```'
  sed -n '/^Summary/,/^Targets/p' "$work/bench.txt" | sed '$d'
  echo '```'
  echo
  echo "## Method"
  echo
  echo "- Benchmarks: \`$build/bench/deradu_bench\` runs the real program on the headless host."
  echo "  A full repaint is WM_PAINT: the whole scene into a fresh frame of the client size"
  echo "  (471 x 401 narrow, 864 x 401 wide with the side panel and reference shown; wide_x2 is"
  echo "  the wide window at scale 2, a 1728 x 802 frame). The floor is"
  echo "  one memcpy of a frame of the same size. The idle tick is WM_TIMER with nothing to do; the"
  echo "  tick after a slide includes the completion test, the label refresh and the repaint."
  echo "- The floor: bench/XlibFloor.c, built with cc against libX11 alone: it maps a 471 x 401"
  echo "  window and puts one image into it on its first exposure."
  echo "- deradu-x2 is the Linux program started with GDK_SCALE=2: a 942 x 802 client area."
  echo "- Programs: \`$build/bench/deradu_window_probe\` forks and starts each program in a session"
  echo "  of its own on Xvfb (1280 x 1024 x 24, no window manager), all under one session bus."
  echo "  Each program keeps one HOME over its starts, as a user's does; the first start (the one"
  echo "  that also measures idling) finds it empty. The first painted frame is the time from just"
  echo "  before the fork until a mapped window whose _NET_WM_PID is the program's shows more than"
  echo "  one colour in its top-left 471 x 401 pixels (XGetImage, polled every 2 ms; a larger"
  echo "  window costs the probe no more). Shared libraries are the distinct .so files in /proc/PID/maps at that moment."
  echo "  After one more second, processor time (utime + stime of /proc/PID/stat, all"
  echo "  threads) and wakeups (voluntary + involuntary context switches of every thread in"
  echo "  /proc/PID/task/*/status) are read before and after $idle_seconds idle seconds; peak"
  echo "  resident memory is VmHWM. Then SIGTERM; half a second after the program ended, any process"
  echo "  still carrying the probe's environment marker was started by it and is reported (and"
  echo "  ended)."
  echo "- Wayland: after the programs above, one headless sway (wlroots 0.15, one 1920 x 1080"
  echo "  output at scale 1, run as nobody under root) takes deradu-wayland (the Linux program with"
  echo "  DERADU_BACKEND=wayland) and wayland-floor (bench/WaylandFloor.c, built with cc against"
  echo "  libwayland-client alone: a 471 x 401 xdg_toplevel, one wl_shm buffer filled once and"
  echo "  committed on the first configure). The probe's first frame there is the moment sway"
  echo "  reports the program's window as new (its IPC window event), which it does when the"
  echo "  window's first buffer is committed; the other figures are read as above."
  echo "- Long play: bench/ClickStorm.c sends random left clicks (press and release) over the wide"
  echo "  window's area straight to the game's window, 250 at a time, each batch once the program"
  echo "  has stopped using processor time for the one before; resident memory is VmRSS after"
  echo "  1,000 clicks and after 50,000. Unpaced, a synthetic burst of that size outruns the"
  echo "  program and waits in Xlib's event queue, which keeps its memory once grown."
} >"$results"
echo "== Results written to $results"
sed -n '/^## Targets/,/^## Programs/p' "$results" | sed '$d'
