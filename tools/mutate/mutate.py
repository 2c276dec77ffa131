#!/usr/bin/env python3
"""Mutation testing for Quillmarsh.

Applies the mutants of a list (tools/mutate/mutants.txt by default) one at a time to the working
tree, rebuilds the test program incrementally (a shader or settings mutant needs no rebuild: those
files are read at run time), runs the suite or the mutant's own subset under a time limit, puts the
file back and says for each mutant whether the suite killed it, let it survive, whether it did not
compile or whether its text no longer occurs where the list says. The score is killed / (killed +
survived). The file is put back whatever happens: after a time-out, on Ctrl-C or a termination
signal, and, if the tool itself was killed outright, from the journal it leaves beside this script
when it starts again.

  tools/mutate/mutate.py                      every mutant of the list
  tools/mutate/mutate.py src/render shader    the mutants of those files or folders
  tools/mutate/mutate.py -i 3,10-12           the mutants with those numbers (see --list)
  tools/mutate/mutate.py --check              only checks that every mutant's text occurs
"""

import argparse
import json
import os
import re
import signal
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass, field
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent.parent
DEFAULT_LIST = HERE / "mutants.txt"
JOURNAL = HERE / ".restore.json"
TEST_TARGET = "quillmarsh_tests"
# Files read at run time: a mutant there needs no rebuild.
RUNTIME_PREFIXES = ("shader/", "res/")
KEYS = ("file", "find", "replace", "why", "tests", "occurrence", "equivalent")
NO_TESTS = "no tests"  # what a test run returns when its pattern selects nothing


class Stop(Exception):
    """A termination signal arrived: restore and leave."""


class SignalsHeld:
    """Holds Ctrl-C and termination signals back while a file is being written or put back."""

    SIGNALS = {signal.SIGINT, signal.SIGTERM, signal.SIGHUP}

    def __enter__(self):
        self.previous = signal.pthread_sigmask(signal.SIG_BLOCK, self.SIGNALS)

    def __exit__(self, *_):
        signal.pthread_sigmask(signal.SIG_SETMASK, self.previous)


@dataclass
class Mutant:
    index: int
    line: int  # where its block starts in the list
    file: str = ""
    find: str = ""
    replace: str = None
    why: str = ""
    tests: str = ""
    occurrence: int = 0  # 0: the text must occur exactly once
    equivalent: str = ""  # why no test can tell it from the original, when that is so
    status: str = ""
    detail: str = ""
    seconds: float = 0.0
    failed: list = field(default_factory=list)


def parse_list(path):
    """Blocks of `key: value` lines separated by blank lines; `#` starts a comment line."""
    mutants, errors = [], []
    current = None
    for number, raw in enumerate(Path(path).read_text(encoding="utf-8").splitlines(), 1):
        if raw.lstrip().startswith("#"):
            continue
        if not raw.strip():
            current = None
            continue
        key, colon, value = raw.partition(":")
        key = key.strip()
        if not colon or key not in KEYS:
            errors.append(f"{path}:{number}: expected one of {', '.join(KEYS)} followed by ':', got {raw!r}")
            continue
        if current is None:
            current = Mutant(index=len(mutants) + 1, line=number)
            mutants.append(current)
        value = value.strip()
        if key == "occurrence":
            if not value.isdigit() or int(value) < 1:
                errors.append(f"{path}:{number}: occurrence must be a whole number from 1, got {value!r}")
                continue
            current.occurrence = int(value)
        elif getattr(current, key) not in ("", None):
            errors.append(f"{path}:{number}: a second '{key}' in the mutant that starts on line {current.line}")
        else:
            setattr(current, key, value)
    for m in mutants:
        missing = [k for k in ("file", "find", "why") if not getattr(m, k)]
        if m.replace is None:
            missing.append("replace")
        if missing:
            errors.append(f"{path}:{m.line}: mutant {m.index} lacks {', '.join(missing)}")
        elif m.find == m.replace:
            errors.append(f"{path}:{m.line}: mutant {m.index} replaces its text with the same text")
        if m.tests:
            try:
                re.compile(m.tests)
            except re.error as error:
                errors.append(f"{path}:{m.line}: mutant {m.index} has a bad tests pattern: {error}")
    return mutants, errors


def parse_indices(text, count):
    chosen = set()
    for part in text.split(","):
        part = part.strip()
        match = re.fullmatch(r"(\d+)(?:-(\d+))?", part)
        if not match:
            raise SystemExit(f"mutate: bad index {part!r} (use 3, 3-7 or 3,5,9-12)")
        low, high = int(match[1]), int(match[2] or match[1])
        if low < 1 or high > count or low > high:
            raise SystemExit(f"mutate: index {part!r} is outside 1 to {count}")
        chosen.update(range(low, high + 1))
    return chosen


def mutated_text(m):
    """The file's text with the mutant applied, or None with m.status/m.detail saying why not."""
    path = ROOT / m.file
    if not path.is_file():
        m.status, m.detail = "does not apply", f"no file {m.file}"
        return None
    text = path.read_text(encoding="utf-8")
    starts = [match.start() for match in re.finditer(re.escape(m.find), text)]
    if not starts:
        m.status, m.detail = "does not apply", "its text no longer occurs"
        return None
    if m.occurrence == 0 and len(starts) > 1:
        m.status, m.detail = "does not apply", f"its text occurs {len(starts)} times; name one with 'occurrence:'"
        return None
    if m.occurrence > len(starts):
        m.status, m.detail = "does not apply", f"occurrence {m.occurrence} asked, the text occurs {len(starts)} times"
        return None
    start = starts[max(m.occurrence, 1) - 1]
    m.detail = f"{m.file}:{text.count(chr(10), 0, start) + 1}"
    return text[:start] + m.replace + text[start + len(m.find) :]


def write_atomically(path, text):
    fd, temporary = tempfile.mkstemp(dir=path.parent, prefix=path.name + ".")
    with os.fdopen(fd, "w", encoding="utf-8") as out:
        out.write(text)
        out.flush()
        os.fsync(out.fileno())
    os.replace(temporary, path)


class Workspace:
    """Puts one mutant in place at a time and always takes it out again."""

    def __init__(self):
        self.active = None  # (path, original text)
        self.built_mutant = False  # whether the build folder has seen a mutant
        self.stale = False  # whether the test program was last built with a mutant in place

    def recover(self):
        if not JOURNAL.exists():
            return
        entry = json.loads(JOURNAL.read_text(encoding="utf-8"))
        path = ROOT / entry["file"]
        path.write_text(entry["original"], encoding="utf-8")
        JOURNAL.unlink()
        print(f"mutate: put back {entry['file']}, left mutated by a run that was killed", flush=True)

    def apply(self, m, text):
        path = ROOT / m.file
        with SignalsHeld():
            original = path.read_text(encoding="utf-8")
            write_atomically(JOURNAL, json.dumps({"file": m.file, "original": original}))
            self.active = (path, original)
            # Written in place so the file keeps its mode; its new time makes the build recompile it,
            # and the restore gives it a newer one still, so nothing built from the mutant is kept.
            path.write_text(text, encoding="utf-8")
            if not m.file.startswith(RUNTIME_PREFIXES):
                self.built_mutant = True

    def restore(self):
        with SignalsHeld():
            if self.active is None:
                return
            path, original = self.active
            path.write_text(original, encoding="utf-8")
            self.active = None
            JOURNAL.unlink(missing_ok=True)


class Runner:
    def __init__(self, args):
        self.args = args
        self.child = None
        self.env = dict(os.environ)
        self.xvfb = None

    def start_display(self):
        if self.env.get("DISPLAY"):
            return
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            pass_fds=[write_end],
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
            start_new_session=True,
        )
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number.isdigit():
            raise SystemExit("mutate: Xvfb did not start (install xvfb, or run under a display)")
        self.env["DISPLAY"] = ":" + number

    def stop_display(self):
        if self.xvfb is not None:
            self.kill(self.xvfb)
            self.xvfb = None

    @staticmethod
    def kill(process):
        try:
            os.killpg(process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        process.wait()

    def run(self, command, limit):
        """(exit status or None on time-out, output) of `command` run from the repository root."""
        self.child = subprocess.Popen(
            command,
            cwd=ROOT,
            env=self.env,
            stdout=subprocess.PIPE,
            stderr=subprocess.STDOUT,
            text=True,
            errors="replace",
            start_new_session=True,
        )
        try:
            output, _ = self.child.communicate(timeout=limit)
            return self.child.returncode, output
        except subprocess.TimeoutExpired:
            self.kill(self.child)
            return None, ""
        finally:
            if self.child.poll() is None:
                self.kill(self.child)
            self.child = None

    def abandon(self):
        if self.child is not None:
            self.kill(self.child)
            self.child = None

    def build(self):
        return self.run(
            ["cmake", "--build", self.args.build_dir, "-j", str(self.args.jobs), "--target", TEST_TARGET],
            self.args.build_timeout,
        )

    def test(self, pattern):
        # A pattern that selects no test proves nothing, so it counts as a failure.
        command = ["ctest", "--test-dir", self.args.build_dir, "-j", str(self.args.jobs), "--timeout",
                   str(self.args.test_timeout), "--stop-on-failure", "--no-tests=error"]
        if pattern:
            command += ["-R", pattern]
        status, output = self.run(command, self.args.test_timeout + 30)
        failed = []
        if status != 0 and ("No tests were found" in output or "RegularExpression::compile" in output):
            return NO_TESTS, output, [f"(the pattern {pattern!r} selects no test)"]
        if status is None:
            failed = ["(the tests ran out of time)"]
        elif "The following tests FAILED:" in output:
            listed = output.split("The following tests FAILED:", 1)[1]
            failed = [f"{name} ({why})" for name, why in re.findall(r"^\s*\d+ - (\S+) \(([^)]*)\)", listed, re.M)]
        elif status != 0:
            failed = output.strip().splitlines()[-2:]
        return status, output, failed


def changed_from_git(files):
    try:
        output = subprocess.run(["git", "diff", "--name-only", "HEAD", "--", *files], cwd=ROOT, capture_output=True,
                                text=True, check=True).stdout
        return output.split()
    except (OSError, subprocess.CalledProcessError):
        return []


def select(mutants, args):
    chosen = mutants
    if args.indices:
        wanted = parse_indices(args.indices, len(mutants))
        chosen = [m for m in chosen if m.index in wanted]
    if args.paths:
        prefixes = [p.rstrip("/") for p in args.paths]
        chosen = [m for m in chosen if any(m.file == p or m.file.startswith(p + "/") for p in prefixes)]
    return chosen


def baseline_pattern(patterns):
    """One ctest pattern covering all of `patterns` (CMake's regular expressions allow only a few
    groups, so plain alternatives are merged and anything else means the whole suite)."""
    if "" in patterns or any(set(p) & set("()[]") for p in patterns):
        return ""
    return "|".join(sorted({part for p in patterns for part in p.split("|")}))


def pattern_for(m, args):
    if args.all_tests:
        return args.tests or ""
    return args.tests or m.tests


def summary(done, started, interrupted):
    counts = {}
    for m in done:
        counts[m.status] = counts.get(m.status, 0) + 1
    killed = counts.get("killed", 0) + counts.get("killed (marked equivalent)", 0)
    survived = counts.get("survived", 0)
    print()
    for title, status in (("Survived", "survived"), ("Did not apply", "does not apply"),
                          ("Did not compile", "did not compile"), ("Build timed out", "build timed out"),
                          ("Tests pattern selects nothing", "bad tests pattern"),
                          ("Marked equivalent but killed (remove the marking)", "killed (marked equivalent)"),
                          ("Equivalent (left out of the score)", "equivalent")):
        group = [m for m in done if m.status == status]
        if group:
            print(f"{title}:")
            for m in group:
                print(f"  {m.index:3d}  {m.detail}  {m.find!r} -> {m.replace!r}\n       {m.equivalent or m.why}")
    minutes = (time.monotonic() - started) / 60
    print(("Interrupted after " if interrupted else "") + f"{len(done)} mutants in {minutes:.1f} min: " +
          ", ".join(f"{n} {s}" for s, n in sorted(counts.items())))
    if killed + survived:
        score = 100.0 * killed / (killed + survived)
        print(f"Score: {killed}/{killed + survived} killed ({score:.1f} %)")
        return score
    return None


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("paths", nargs="*", help="only the mutants of these files or folders")
    parser.add_argument("-i", "--indices", help="only these mutants, by number: 3,7-9")
    parser.add_argument("--list-file", default=str(DEFAULT_LIST), help="the mutant list (default %(default)s)")
    parser.add_argument("--list", action="store_true", help="print the chosen mutants with their numbers and stop")
    parser.add_argument("--check", action="store_true", help="only check that each chosen mutant applies")
    parser.add_argument("-t", "--tests", help="ctest -R pattern for every mutant instead of its own 'tests'")
    parser.add_argument("--all-tests", action="store_true", help="ignore the mutants' own 'tests' patterns")
    parser.add_argument("--no-widen", action="store_true",
                        help="do not rerun the whole suite on a mutant that survived its own subset")
    parser.add_argument("--build-dir", default=os.environ.get("BUILD_DIR", "build"), help="default %(default)s")
    parser.add_argument("-j", "--jobs", type=int, default=os.cpu_count() or 2)
    parser.add_argument("--build-timeout", type=int, default=900, help="seconds (default %(default)s)")
    parser.add_argument("--test-timeout", type=int, default=300, help="seconds per suite run (default %(default)s)")
    parser.add_argument("--min-score", type=float, help="exit with status 1 when the score is below this percentage")
    parser.add_argument("-v", "--verbose", action="store_true", help="show the failing tests and build errors")
    args = parser.parse_args()
    os.chdir(ROOT)

    workspace = Workspace()
    workspace.recover()
    mutants, errors = parse_list(args.list_file)
    if errors:
        print("\n".join(errors), file=sys.stderr)
        return 2
    chosen = select(mutants, args)
    if not chosen:
        print("mutate: no mutant matches that choice", file=sys.stderr)
        return 2

    if args.list or args.check:
        bad = 0
        for m in chosen:
            text = mutated_text(m)
            bad += text is None
            where = m.detail if text is not None else f"{m.file}: {m.status}: {m.detail}"
            if args.list or text is None:
                print(f"{m.index:3d}  {where}  {m.find!r} -> {m.replace!r}" + (f"  [{m.tests}]" if m.tests else ""))
        print(f"{len(chosen) - bad} of {len(chosen)} mutants apply")
        return 1 if bad else 0

    if not (ROOT / args.build_dir / "CMakeCache.txt").exists():
        print(f"mutate: no build in {args.build_dir}/ (run scripts/setup.sh first)", file=sys.stderr)
        return 2
    dirty = changed_from_git(sorted({m.file for m in chosen}))
    if dirty:
        print("mutate: note: mutating files with uncommitted changes: " + " ".join(dirty))

    def on_signal(number, _frame):
        raise Stop(signal.Signals(number).name)

    # Ctrl-C restores too when the tool was started where the shell ignores it (in the background).
    signal.signal(signal.SIGINT, signal.default_int_handler)
    signal.signal(signal.SIGTERM, on_signal)
    signal.signal(signal.SIGHUP, on_signal)

    runner = Runner(args)
    started = time.monotonic()
    done = []
    interrupted = False
    try:
        runner.start_display()
        print(f"mutate: building the clean tree in {args.build_dir}/", flush=True)
        status, output = runner.build()
        if status != 0:
            print(output[-4000:] + "\nmutate: the clean tree does not build", file=sys.stderr)
            return 2
        baseline = baseline_pattern({pattern_for(m, args) for m in chosen})
        print("mutate: running the chosen tests on the clean tree", flush=True)
        status, output, failed = runner.test(baseline)
        if status == NO_TESTS:
            print(f"mutate: the tests pattern {baseline!r} selects no test", file=sys.stderr)
            return 2
        if status != 0:
            print(output[-4000:] + "\nmutate: the clean tree fails its tests: " + " ".join(failed), file=sys.stderr)
            return 2

        for position, m in enumerate(chosen, 1):
            began = time.monotonic()
            text = mutated_text(m)
            if text is not None:
                run_mutant(m, text, workspace, runner, args)
            m.seconds = time.monotonic() - began
            done.append(m)
            report(m, position, len(chosen), args.verbose)
    except (KeyboardInterrupt, Stop) as reason:
        interrupted = True
        print(f"\nmutate: stopped ({reason or 'Ctrl-C'}); putting the file back", file=sys.stderr, flush=True)
    finally:
        runner.abandon()
        workspace.restore()
        runner.stop_display()
    score = summary(done, started, interrupted)
    if workspace.built_mutant:
        # The test program was last linked with a mutant: build it again from the restored sources.
        print(f"mutate: rebuilding the clean tree in {args.build_dir}/ (Ctrl-C leaves it to scripts/setup.sh)",
              flush=True)
        try:
            status, _ = runner.build()
            if status != 0:
                print("mutate: the clean rebuild failed; run scripts/setup.sh", file=sys.stderr)
        except (KeyboardInterrupt, Stop):
            runner.abandon()
            print("mutate: clean rebuild skipped; the next scripts/setup.sh makes it", file=sys.stderr)
    if interrupted:
        return 130
    if args.min_score is not None and (score is None or score < args.min_score):
        return 1
    return 0


def run_mutant(m, text, workspace, runner, args):
    runtime = m.file.startswith(RUNTIME_PREFIXES)
    if runtime and workspace.stale:
        # The test program still holds the last compiled mutant: rebuild it from the restored tree.
        status, output = runner.build()
        if status != 0:
            raise SystemExit("mutate: the restored tree does not build:\n" + (output or "")[-4000:])
        workspace.stale = False
    workspace.apply(m, text)
    try:
        if not runtime:
            status, output = runner.build()
            workspace.stale = True
            if status is None:
                m.status = "build timed out"
                return
            if status != 0:
                m.status = "did not compile"
                errors = [line for line in output.splitlines() if "error" in line]
                m.failed = errors[:3]
                return
        pattern = pattern_for(m, args)
        status, _, failed = runner.test(pattern)
        if status == NO_TESTS:
            m.status, m.failed = "bad tests pattern", failed
            return
        if status == 0 and pattern and not args.no_widen:
            status, _, failed = runner.test("")
        m.status = "survived" if status == 0 else "killed"
        m.failed = failed
        if m.equivalent:
            # Still run, so that a marking that stopped being true shows up as a kill.
            m.status = "equivalent" if m.status == "survived" else "killed (marked equivalent)"
    finally:
        workspace.restore()


def report(m, position, total, verbose):
    line = f"[{position:3d}/{total}] #{m.index:<3d} {m.status.upper():16s} {m.detail}  ({m.seconds:.0f} s)"
    if m.status == "survived" or verbose:
        line += f"\n         {m.find!r} -> {m.replace!r}: {m.why}"
    if verbose and m.failed:
        line += "\n         " + "\n         ".join(m.failed[:5])
    print(line, flush=True)


if __name__ == "__main__":
    sys.exit(main())
