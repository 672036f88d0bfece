#!/bin/sh
# CPU of the whole game process in play: the built game under Xvfb, a round
# started with the run button and kept going, the pointer sweeping across the
# field. Prints cpu_percent=<share of one core> over the measured seconds.
# Usage: bench/cpu_bench.sh [BUILD_DIR] [SECONDS]   (needs xvfb-run and xdotool)
set -eu

BUILD=${1:-build}
SECONDS_TO_MEASURE=${2:-60}
GAME="$BUILD/zembo/bin/zembo"
[ -x "$GAME" ] || { echo "cpu_bench: $GAME not built" >&2; exit 2; }

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$BUILD" "$SECONDS_TO_MEASURE"
fi
command -v xdotool >/dev/null || { echo "cpu_bench: xdotool is missing" >&2; exit 2; }

# The player's preferences stay untouched.
PREFS=$(mktemp -d)
trap 'kill "$PID" 2>/dev/null || true; rm -rf "$PREFS"' EXIT
XDG_CONFIG_HOME="$PREFS" ZEMBO_SILENT_AUDIO=1 "$GAME" &
PID=$!

# The current-player window comes first: its Accept button lies at 100..220 x 85..115.
PLAYER=$(timeout 30 xdotool search --sync --onlyvisible --name "Current Player" | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$PLAYER")"
xdotool mousemove $((X + 160)) $((Y + 100)) mousedown 1 sleep 0.1 mouseup 1
sleep 1

WIN=$(timeout 30 xdotool search --sync --onlyvisible --name "Vivuz ide Zevezer" | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$WIN")"  # X, Y of the window's top-left corner

# The run button lies at 510..630 x 8..38 of the content, below the menu bar;
# 47 pixels down hits it for any menu bar from 9 to 39 pixels high.
click_run() { xdotool mousemove $((X + 570)) $((Y + 47)) click 1; }
click_run
sleep 1

ticks=$(getconf CLK_TCK)
cpu() { awk '{ print $14 + $15 }' "/proc/$PID/stat"; }
start=$(cpu)
began=$(date +%s%N)
t=0
while [ "$t" -lt "$SECONDS_TO_MEASURE" ]; do
  # One second of sweeping at 50 moves a second, then now and then the run button
  # again: it starts the next round and falls on nothing while hidden.
  args=""
  i=0
  while [ "$i" -lt 50 ]; do
    px=$(( i < 25 ? 20 + i * 18 : 20 + (49 - i) * 18 ))
    args="$args mousemove $((X + px)) $((Y + 330)) sleep 0.02"
    i=$((i + 1))
  done
  # shellcheck disable=SC2086
  xdotool $args
  # Return answers a round's status window (its default button) or the hall of fame.
  [ $((t % 3)) -eq 2 ] && { xdotool key Return; sleep 0.2; click_run; }
  t=$((t + 1))
done
end=$(cpu)
elapsed_ns=$(( $(date +%s%N) - began ))
kill -0 "$PID" 2>/dev/null || { echo "cpu_bench: the game ended early" >&2; exit 1; }
awk -v d=$((end - start)) -v hz="$ticks" -v ns="$elapsed_ns" \
  'BEGIN { printf "seconds=%.1f cpu_ticks=%d cpu_percent=%.2f\n", ns / 1e9, d, 100 * d / hz / (ns / 1e9) }'
