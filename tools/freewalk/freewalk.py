#!/usr/bin/env python3
"""A free walk of the game itself under real input, timed at its buffer swaps.

    tools/freewalk/freewalk.py [--seeds 11,12,13] [--size 960x540] [--quality auto] [--build build]

For each seed: a private X server (Xvfb), the game started with `--play --seed N --windowed` in a
private working directory (the repository's shader/ and res/, a settings file with the size and level,
fresh XDG folders so that no player options apply), and one xdotool process that walks, turns with the
mouse, strafes, jumps, backs up and runs for about 24 seconds. One process for all the input: a new
process for each event would take a core from the game on a two-core machine. The swap logger
(build/tools/quillmarsh_swaplog.so, loaded with LD_PRELOAD) writes when each swap starts; the frame
times are the gaps between them, from the first frame after the world's loading on. Prints the median,
the 95th percentile and the steady, mostly stable and typical rates (slower frames under 1, 12 and
50 % of the time) of each walk, worked out by `quillmarsh_bench --rates`. Needs Xvfb and xdotool.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

# The walk, in xdotool's own command language (one process; `sleep` is in seconds).
WALK = ("keydown w sleep 3 keydown a sleep 1.5 keyup a "
        + "mousemove_relative -- 40 0 sleep 0.5 " * 6
        + "keydown d sleep 2 keyup d key space sleep 2 "
        + "mousemove_relative -- -60 10 sleep 0.5 " * 6
        + "keyup w keydown s sleep 2 keyup s keydown w keydown shift sleep 3 keyup shift keyup w").split()


def frame_times(log):
    starts = [int(line.split()[0]) for line in open(log) if line.strip()]
    times = [(b - a) / 1e6 for a, b in zip(starts, starts[1:])]
    # The loading bar's frames and the world's first picture: up to the last frame over 100 ms.
    first = max([i for i, t in enumerate(times[:300]) if t > 100.0] + [-1]) + 1
    return times[first:]


def free_display():
    for n in range(70, 100):
        if not os.path.exists(f"/tmp/.X11-unix/X{n}") and not os.path.exists(f"/tmp/.X{n}-lock"):
            return f":{n}"
    sys.exit("freewalk: no free X display number")


def walk(seed, size, quality, build):
    game = os.path.join(ROOT, build, "quillmarsh")
    logger = os.path.join(ROOT, build, "tools", "quillmarsh_swaplog.so")
    for path in (game, logger):
        if not os.path.exists(path):
            sys.exit(f"freewalk: {path} is missing: build first")
    width, height = size.split("x")
    work = tempfile.mkdtemp(prefix="freewalk.")
    try:
        os.symlink(os.path.join(ROOT, "shader"), os.path.join(work, "shader"))
        os.mkdir(os.path.join(work, "res"))
        for name in os.listdir(os.path.join(ROOT, "res")):
            if name != "settings.ini":
                os.symlink(os.path.join(ROOT, "res", name), os.path.join(work, "res", name))
        with open(os.path.join(work, "res", "settings.ini"), "w") as f:
            f.write(f"[window]\nwidth = {width}\nheight = {height}\n[graphics]\nquality = {quality}\n")
        display = free_display()
        server = subprocess.Popen(["Xvfb", display, "-screen", "0", "1920x1080x24", "-nolisten", "tcp"],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(1.5)
        log = os.path.join(work, "swaps.txt")
        env = dict(os.environ, DISPLAY=display)
        game_env = dict(env, LD_PRELOAD=logger, SWAP_LOG=log, XDG_CONFIG_HOME=os.path.join(work, "config"),
                        XDG_DATA_HOME=os.path.join(work, "data"))
        player = subprocess.Popen([game, "--play", "--seed", str(seed), "--windowed"], cwd=work, env=game_env,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            for _ in range(120):  # the window, then the world built behind the loading bar
                found = subprocess.run(["xdotool", "search", "--onlyvisible", "--class", "."], env=env,
                                       capture_output=True, text=True).stdout.strip()
                if found or player.poll() is not None:
                    break
                time.sleep(0.25)
            time.sleep(4.0)
            if player.poll() is not None:
                sys.exit(f"freewalk: the game ended early (status {player.returncode})")
            if subprocess.run(["xdotool"] + WALK, env=env).returncode != 0:
                sys.exit("freewalk: xdotool could not play the walk")
            time.sleep(1.0)
        finally:
            player.terminate()
            player.wait()
            server.terminate()
            server.wait()
        if not os.path.exists(log):
            sys.exit(f"freewalk: seed {seed}: the game swapped no buffers (is the swap logger built?)")
        return frame_times(log)
    finally:
        shutil.rmtree(work, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--seeds", default="11,12,13")
    parser.add_argument("--size", default="960x540")
    parser.add_argument("--quality", default="auto")
    parser.add_argument("--build", default="build")
    args = parser.parse_args()
    for tool in ("Xvfb", "xdotool"):
        if not shutil.which(tool):
            sys.exit(f"freewalk: {tool} is missing (apt-get install xvfb xdotool)")
    bench = os.path.join(ROOT, args.build, "tools", "quillmarsh_bench")
    if not os.path.exists(bench):
        sys.exit(f"freewalk: {bench} is missing: build first")
    for seed in args.seeds.split(","):
        times = walk(int(seed), args.size, args.quality, args.build)
        if len(times) < 100:
            sys.exit(f"freewalk: seed {seed}: only {len(times)} frames timed")
        with tempfile.NamedTemporaryFile("w", suffix=".txt") as listing:
            listing.write("".join(f"{t:.4f}\n" for t in times))
            listing.flush()
            figures = subprocess.run([bench, "--rates", listing.name], capture_output=True, text=True)
        if figures.returncode != 0:
            sys.exit(f"freewalk: {figures.stderr.strip()}")
        print(f"seed {seed} {args.size} {args.quality}: {figures.stdout.strip()}", flush=True)


if __name__ == "__main__":
    main()
