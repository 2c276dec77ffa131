#!/usr/bin/env bash
# Records the golden replays of the test suite: two by playing the built game with real input (a
# private X server, xdotool keys and mouse at set times, Escape to end the session), one by the replay
# bot (quillmarsh_replaybot), which hunts rabbits as no blind click can. Each recording is a few
# seconds of a round on a fixed seed (on a busy software renderer the game may run slower than real
# time, which changes nothing but the number of ticks); GoldenReplay tests play them back and compare the outcome with
# expected.txt. New recordings get new expectations with
#   QUILLMARSH_REFRESH_REPLAYS=1 build/tests/quillmarsh_tests --gtest_filter='GoldenReplay*'
# which is also the one line to run when a change of the rules is meant to change the outcomes.
# Needs Xvfb and xdotool. Run from the repository root after a build.
set -euo pipefail
cd "$(dirname "$0")/../../.."
here=tests/data/replays
bin=build/quillmarsh
[[ -x $bin ]] || { echo "no game binary at $bin: build first"; exit 2; }

disp=""
for n in $(seq 90 99); do
  if [[ ! -e /tmp/.X11-unix/X$n && ! -e /tmp/.X$n-lock ]]; then disp=:$n; break; fi
done
[[ -n $disp ]] || { echo "no free display number"; exit 2; }
Xvfb "$disp" -screen 0 1280x720x24 -nolisten tcp >/dev/null 2>&1 &
xpid=$!
data=$(mktemp -d)
trap 'kill "$xpid" 2>/dev/null; rm -rf "$data"' EXIT
sleep 1.5

# record NAME SEED then "SECONDS XDOTOOL-ARGS" lines on standard input, in time order.
record() {
  local name=$1 seed=$2
  DISPLAY=$disp XDG_DATA_HOME=$data "$bin" --seed "$seed" --windowed --size 320x180 --quality low \
    --record "$here/$name.replay" >"$data/$name.out" 2>&1 &
  local game=$! wid=""
  for _ in $(seq 1 240); do
    wid=$(DISPLAY=$disp xdotool search --onlyvisible --class . 2>/dev/null | head -n 1) || true
    [[ -n $wid ]] && break
    sleep 0.25
  done
  [[ -n $wid ]] || { echo "$name: no window"; kill "$game"; return 1; }
  sleep 2  # the first frames
  local start now t args
  start=$(date +%s.%N)
  while read -r t args; do
    while now=$(date +%s.%N); awk -v n="$now" -v s="$start" -v t="$t" 'BEGIN{exit !(n - s < t)}'; do sleep 0.02; done
    DISPLAY=$disp xdotool windowfocus --sync "$wid" $args
  done
  wait "$game"
  grep "^recorded" "$data/$name.out"
}

# Forward into the diamonds around the start, turning left and right, then back.
record walk 5 <<'STEPS'
0.0 keydown w
1.5 keydown a
2.1 keyup a
3.0 keydown d
3.8 keyup d
5.0 keyup w
5.1 keydown s
6.5 keyup s
7.0 key Escape
STEPS

# Strafing, jumping and dashing to the ground ahead on another landscape.
record dash 12 <<'STEPS'
0.0 mousemove_relative -- 0 60
0.4 keydown shift
0.5 keydown d
1.5 keyup d
1.6 keyup shift
2.0 key space
2.6 click 3
4.0 keydown space
4.6 keyup space
5.0 mousemove_relative -- -150 0
5.4 click 3
7.0 key Escape
STEPS

# Hunting the rabbits around the start until the first one falls.
xvfb-run -a -s "-screen 0 640x480x24" build/tools/quillmarsh_replaybot "$here/hunt.replay" --seed 5 --ticks 900 |
  grep "^recorded"
