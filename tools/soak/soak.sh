#!/usr/bin/env bash
# Plays the game with random input under a private X server and checks that it holds up: no sanitizer
# report, no OpenGL error line, no crash, a clean exit on Escape, and resident memory at the end within
# 10 % of its level after the first minute.
#
#   tools/soak/soak.sh [-b BUILD_DIR] [-t SECONDS] [-s SEED] [-o OUTDIR]
#
#   -b BUILD_DIR  build whose quillmarsh to run (default build-sanitize: SANITIZE=1 scripts/setup.sh)
#   -t SECONDS    how long to play (default 600)
#   -s SEED       seed of the random input sequence (default: the current time)
#   -o OUTDIR     where the game's output, the input log and the memory log go (default: a new folder
#                 under /tmp)
# Input: W, A, S, D, space and left shift held and released, mouse moves, left and right clicks, R,
# and now and then V, Q, F1, F3, F4 and F8. Needs Xvfb and xdotool. Run from the repository root.
set -u
cd "$(dirname "$0")/../.."
repo=$PWD build=build-sanitize secs=600 seed=$(date +%s) out=""
while getopts "b:t:s:o:" opt; do
  case $opt in
    b) build=$OPTARG ;; t) secs=$OPTARG ;; s) seed=$OPTARG ;; o) out=$OPTARG ;;
    *) sed -n '6,14p' "$0"; exit 2 ;;
  esac
done
bin=$repo/$build/quillmarsh
[[ -x $bin ]] || { echo "no game at $bin: build it first"; exit 2; }
for t in Xvfb xdotool; do command -v $t >/dev/null || { echo "missing $t"; exit 2; }; done
out=${out:-$(mktemp -d /tmp/soak.XXXXXX)}
mkdir -p "$out"

# A private working directory: the repository's shaders and art, and a small window.
run=$(mktemp -d /tmp/soak-run.XXXXXX)
ln -s "$repo/shader" "$run/shader"
mkdir -p "$run/res"
for f in "$repo"/res/*; do [[ $(basename "$f") == settings.ini ]] || ln -s "$f" "$run/res/"; done
printf '[window]\nwidth = 800\nheight = 450\n' >"$run/res/settings.ini"

disp=""
for n in $(seq 90 119); do
  if [[ ! -e /tmp/.X11-unix/X$n && ! -e /tmp/.X$n-lock ]]; then disp=:$n; break; fi
done
[[ -n $disp ]] || { echo "no free display number"; exit 2; }
Xvfb "$disp" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xpid=$!
gpid=""
finish() {
  [[ -n $gpid ]] && kill "$gpid" 2>/dev/null && wait "$gpid" 2>/dev/null
  kill "$xpid" 2>/dev/null
  wait "$xpid" 2>/dev/null
  rm -rf "$run"
}
trap finish EXIT
sleep 1.5
export DISPLAY=$disp
(cd "$run" && exec "$bin") >"$out/stdout.txt" 2>"$out/stderr.txt" &
gpid=$!

wid=""
for _ in $(seq 1 600); do
  wid=$(xdotool search --onlyvisible --class . 2>/dev/null | head -n 1)
  [[ -n $wid ]] && break
  kill -0 "$gpid" 2>/dev/null || break
  sleep 0.5
done
[[ -n $wid ]] || { echo "no window appeared; see $out/stderr.txt"; exit 1; }
xdotool windowfocus --sync "$wid" 2>/dev/null

rss() { awk '/VmRSS/{print $2}' "/proc/$gpid/status" 2>/dev/null; }
# Resident memory once the game has had a few quiet seconds (a reset under way holds two worlds): the
# median of three readings a second apart, in KiB.
settled_rss() {
  sleep 4
  local a b c
  a=$(rss); sleep 1; b=$(rss); sleep 1; c=$(rss)
  printf '%s\n' "$a" "$b" "$c" | sort -n | sed -n 2p
}
RANDOM=$seed
keys=(w a s d space Shift_L)
held=(0 0 0 0 0 0)
actions=0 resets=0 clicks=0
start=$SECONDS next_sample=0 rss_minute=""
echo "seconds rss_kib" >"$out/memory.txt"
echo "input seed $seed" >"$out/input.txt"
while ((SECONDS - start < secs)); do
  kill -0 "$gpid" 2>/dev/null || break
  elapsed=$((SECONDS - start))
  if ((elapsed >= next_sample)); then
    if [[ -z $rss_minute ]] && ((elapsed >= 60)); then
      rss_minute=$(settled_rss)
      echo "$elapsed $rss_minute settled" >>"$out/memory.txt"
    else
      echo "$elapsed $(rss)" >>"$out/memory.txt"
    fi
    next_sample=$((next_sample + 10))
  fi
  roll=$((RANDOM % 100))
  if ((roll < 30)); then  # press or release one of the held keys
    k=$((RANDOM % 6))
    if ((held[k])); then action="keyup ${keys[k]}"; held[k]=0; else action="keydown ${keys[k]}"; held[k]=1; fi
  elif ((roll < 65)); then
    action="mousemove_relative -- $((RANDOM % 201 - 100)) $((RANDOM % 121 - 60))"
  elif ((roll < 80)); then
    action="click 1"; clicks=$((clicks + 1))
  elif ((roll < 92)); then
    action="click 3"; clicks=$((clicks + 1))
  elif ((roll < 95)); then
    action="key r"; resets=$((resets + 1))
  else
    extra=(v q F1 F3 F4 F8)
    action="key ${extra[RANDOM % 6]}"
  fi
  echo "$elapsed $action" >>"$out/input.txt"
  # shellcheck disable=SC2086
  xdotool $action 2>>"$out/xdotool.txt"
  actions=$((actions + 1))
  sleep "0.$((RANDOM % 4 + 1))"
done
for k in "${!keys[@]}"; do ((held[k])) && xdotool keyup "${keys[k]}" 2>/dev/null; done

status=0
if ! kill -0 "$gpid" 2>/dev/null; then
  wait "$gpid"; code=$?; gpid=""
  echo "FAIL: the game ended by itself after $((SECONDS - start)) s (exit code $code)"; status=1
else
  rss_end=$(settled_rss)
  echo "$((SECONDS - start)) $rss_end settled" >>"$out/memory.txt"
  xdotool key Escape
  for _ in $(seq 1 240); do kill -0 "$gpid" 2>/dev/null || break; sleep 0.5; done
  if kill -0 "$gpid" 2>/dev/null; then
    echo "FAIL: the game did not close on Escape"; status=1
  else
    wait "$gpid"; code=$?; gpid=""
    ((code == 0)) || { echo "FAIL: exit code $code after Escape"; status=1; }
  fi
fi

reports=$(grep -c -E 'ERROR: AddressSanitizer|runtime error:|ERROR: LeakSanitizer|SUMMARY: (Address|UndefinedBehavior)Sanitizer' "$out/stderr.txt")
glerrors=$(grep -c 'OpenGL error' "$out/stderr.txt" "$out/stdout.txt" | awk -F: '{s += $2} END {print s}')
echo "played $((SECONDS - start)) s: $actions inputs ($clicks clicks, $resets resets), input seed $seed"
echo "sanitizer reports: $reports, OpenGL error lines: $glerrors"
((reports == 0)) || status=1
((glerrors == 0)) || status=1
if [[ -n ${rss_minute:-} && -n ${rss_end:-} ]]; then
  change=$(awk -v a="$rss_minute" -v b="$rss_end" 'BEGIN{printf "%+.1f", 100 * (b - a) / a}')
  echo "resident memory: $((rss_minute / 1024)) MiB after the first minute, $((rss_end / 1024)) MiB at the end ($change %)"
  awk -v c="$change" 'BEGIN{exit !(c <= 10 && c >= -10)}' || { echo "FAIL: memory moved more than 10 %"; status=1; }
else
  echo "FAIL: no memory figures (run shorter than a minute, or the game ended)"; status=1
fi
echo "output: $out"
((status == 0)) && echo "PASS" || echo "FAIL"
exit $status
