#!/usr/bin/env python3
"""Plants simple bugs (mutants) one at a time in a scratch copy of the repository,
rebuilds it incrementally and runs the test suite, to show which bugs the suite misses.

Each mutant in the list (mutants.txt beside this script) names an exact snippet of
source and its replacement. The snippet is looked up in the hinted file first, then in
every file under src/ and tools/; a mutant whose snippet is not found exactly once is
reported as stale and not counted. The real tree is never written: the tracked and
untracked (not ignored) files of the working tree are copied into the scratch folder,
only those that changed since the last run, so that the build there stays incremental.
"""

import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SEARCH_ROOTS = ("src", "tools")
SEARCH_SUFFIXES = (".cpp", ".h", ".inc", ".c", ".py")


class Edit:
    def __init__(self, hint, find, replace):
        self.hint, self.find, self.replace = hint, find, replace


class Mutant:
    """One bug: one or more edits, planted together."""
    def __init__(self, name, edits):
        self.name, self.edits = name, edits


def unquote(text, where):
    """Values in the list are Python-style string literals ("..." or '...') or bare text."""
    text = text.strip()
    if len(text) >= 2 and text[0] == text[-1] and text[0] in "\"'":
        body = text[1:-1]
        return body.encode("latin-1", "backslashreplace").decode("unicode_escape")
    if not text:
        raise ValueError(f"{where}: empty value")
    return text


def read_mutants(path):
    """Blocks separated by blank lines; each block has `name:`, then one or more edits:
    optional `file:`, `find:` and `replace:` (replace may be "" to delete the snippet).
    '#' starts a comment line."""
    mutants, block, start = [], [], 0

    def finish():
        if not block:
            return
        where = f"{path}:{start}"
        if block[0][0] != "name":
            raise ValueError(f"{where}: a mutant starts with 'name:'")
        edits, hint, find = [], None, None
        for key, value in block[1:]:
            if key == "name":
                raise ValueError(f"{where}: two names in one block")
            if key == "file":
                hint = value
            elif key == "find":
                find = unquote(value, where)
            elif find is None:
                raise ValueError(f"{where}: 'replace:' without 'find:'")
            else:
                replace = "" if value.strip() in ('""', "''") else unquote(value, where)
                edits.append(Edit(hint, find, replace))
                hint, find = None, None
        if not edits or find is not None:
            raise ValueError(f"{where}: each 'find:' needs its 'replace:'")
        mutants.append(Mutant(block[0][1], edits))
        block.clear()

    with open(path, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            if line.lstrip().startswith("#"):
                continue
            if not line.strip():
                finish()
                continue
            key, sep, value = line.partition(":")
            if not sep or key.strip() not in ("name", "file", "find", "replace"):
                raise ValueError(f"{path}:{number}: expected name:, file:, find: or replace:")
            if not block:
                start = number
            key = key.strip()
            block.append((key, value.strip() if key in ("name", "file") else value))
        finish()
    names = [m.name for m in mutants]
    for name in names:
        if names.count(name) > 1:
            raise ValueError(f"{path}: mutant name '{name}' used twice")
    return mutants


def listed_files(source):
    out = subprocess.run(["git", "-C", source, "ls-files", "-z", "--cached", "--others",
                          "--exclude-standard"], check=True, capture_output=True).stdout
    return sorted({p for p in out.decode().split("\0")
                   if p and os.path.isfile(os.path.join(source, p))})


def sync_tree(source, scratch, files, keep):
    """Copies files whose content differs; removes files the tree no longer has."""
    copied = 0
    wanted = set(files)
    for rel in files:
        src, dst = os.path.join(source, rel), os.path.join(scratch, rel)
        with open(src, "rb") as f:
            data = f.read()
        try:
            with open(dst, "rb") as f:
                same = f.read() == data
        except OSError:
            same = False
        if not same:
            os.makedirs(os.path.dirname(dst), exist_ok=True)
            # A fresh modification time, so the build sees the change even where the copy
            # replaces a newer file (a mutant left behind by an interrupted run).
            shutil.copy(src, dst)
            copied += 1
    for top, dirs, names in os.walk(scratch):
        rel_top = os.path.relpath(top, scratch)
        if rel_top == ".":
            dirs[:] = [d for d in dirs if d not in keep]
        for name in names:
            rel = os.path.normpath(os.path.join(rel_top, name))
            if rel not in wanted:
                os.remove(os.path.join(top, name))
    return copied


def locate(scratch, edit):
    """Returns (relative path, offset) of the one place the snippet occurs, or an error."""
    def hits_in(rel):
        try:
            with open(os.path.join(scratch, rel), encoding="utf-8") as f:
                text = f.read()
        except (OSError, UnicodeDecodeError):
            return []
        hits, at = [], text.find(edit.find)
        while at >= 0:
            hits.append((rel, at))
            at = text.find(edit.find, at + 1)
        return hits

    if edit.hint:
        hits = hits_in(edit.hint)
        if len(hits) == 1:
            return hits[0], None
        if len(hits) > 1:
            return None, f"found {len(hits)} times in {edit.hint}"
    hits = []
    for root in SEARCH_ROOTS:
        for top, _, names in os.walk(os.path.join(scratch, root)):
            for name in sorted(names):
                if name.endswith(SEARCH_SUFFIXES):
                    hits += hits_in(os.path.relpath(os.path.join(top, name), scratch))
    if len(hits) == 1:
        return hits[0], None
    return None, f"found {len(hits)} times under {'/, '.join(SEARCH_ROOTS)}/"


def run(cmd, cwd, log, timeout=None, env=None):
    """Runs cmd in its own process group, output appended to log; returns
    (exit status or None on timeout, output)."""
    with open(log, "ab") as out:
        out.write(("$ " + " ".join(cmd) + "\n").encode())
        out.flush()
        proc = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                env=env, start_new_session=True)
        try:
            data, _ = proc.communicate(timeout=timeout)
            status = proc.returncode
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            data, _ = proc.communicate()
            status = None
        out.write(data)
    return status, data.decode(errors="replace")


# "  692 - Suite.Test/param  # GetParam() = ... (Failed)": name, then the reason.
FAILED_TEST = re.compile(r"^\s*\d+ - (.*) \(([^()]*)\)\s*$", re.M)


def first_failure(output):
    """The first test ctest lists as failed, with its reason (Failed, Timeout, SEGFAULT...)."""
    tail = output.split("The following tests FAILED:", 1)
    match = FAILED_TEST.search(tail[1]) if len(tail) == 2 else None
    if match:
        name = re.sub(r"\s+#.*", "", match.group(1))
        return name + ("" if match.group(2) == "Failed" else f" ({match.group(2)})")
    return "ctest failed"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--source", default=os.path.normpath(os.path.join(HERE, "..", "..", "..")),
                        help="the repository to copy (default: the one holding this script)")
    parser.add_argument("--scratch", default="/tmp/zorq-mutate",
                        help="scratch copy and its build folder (default /tmp/zorq-mutate)")
    parser.add_argument("--mutants", default=os.path.join(HERE, "mutants.txt"))
    parser.add_argument("--select", default="", help="regular expression on mutant names")
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    parser.add_argument("--timeout", type=float, default=600,
                        help="seconds for one mutant's test run (default 600)")
    parser.add_argument("--test-timeout", type=float, default=120,
                        help="seconds for one test (ctest --timeout; default 120)")
    parser.add_argument("--keep-going", action="store_true",
                        help="count a mutant that does not compile as killed by the compiler "
                             "instead of stopping")
    parser.add_argument("--list", action="store_true", help="list the mutants and where they are")
    args = parser.parse_args()

    mutants = [m for m in read_mutants(args.mutants) if re.search(args.select, m.name)]
    if not mutants:
        sys.exit(f"mutate: no mutant matches '{args.select}'")
    source, scratch = os.path.abspath(args.source), os.path.abspath(args.scratch)
    build = os.path.join(scratch, "build")
    os.makedirs(build, exist_ok=True)
    log = os.path.join(scratch, "mutate.log")
    open(log, "w").close()
    copied = sync_tree(source, scratch, listed_files(source), keep={"build", "mutate.log"})

    if args.list:
        for m in mutants:
            places = [locate(scratch, e) for e in m.edits]
            print(f"{m.name:32} " + ", ".join(error or where[0] for where, error in places))
        return

    env = dict(os.environ)
    ccache = shutil.which("ccache")
    if ccache:
        env["CCACHE_BASEDIR"] = scratch
    display = os.path.join(scratch, "tools", "dev", "with-xvfb.sh")
    ctest = [display, "ctest", "-j", str(args.jobs), "--stop-on-failure",
             "--timeout", str(args.test_timeout)]

    print(f"mutate: {len(mutants)} mutants; scratch copy {scratch} ({copied} files updated); "
          f"Debug build{' with ccache' if ccache else ''}; "
          "X11 tests under tools/dev/with-xvfb.sh; "
          f"log {log}", flush=True)
    started = time.monotonic()
    configure = ["cmake", "-S", scratch, "-B", build, "-DCMAKE_BUILD_TYPE=Debug",
                 "-DZORQ_BUILD_BENCH=OFF"]
    if ccache:
        configure += [f"-DCMAKE_CXX_COMPILER_LAUNCHER={ccache}", f"-DCMAKE_C_COMPILER_LAUNCHER={ccache}"]
    status, output = run(configure, scratch, log, env=env)
    if status != 0:
        sys.exit(f"mutate: configure failed:\n{output[-3000:]}")
    build_cmd = ["cmake", "--build", build, "-j", str(args.jobs)]
    status, output = run(build_cmd, scratch, log, env=env)
    if status != 0:
        sys.exit(f"mutate: the unmutated tree does not build:\n{output[-3000:]}")
    suite_start = time.monotonic()
    status, output = run(ctest, build, log, timeout=args.timeout, env=env)
    if status != 0:
        sys.exit(f"mutate: the unmutated suite fails ({first_failure(output)}); see {log}")
    print(f"mutate: unmutated build and suite pass (suite {time.monotonic() - suite_start:.0f} s, "
          f"setup {time.monotonic() - started:.0f} s)", flush=True)

    counts = {"killed": 0, "compiler": 0, "survived": 0, "stale": 0}
    for m in mutants:
        places = [locate(scratch, e) for e in m.edits]
        error = next((error for _, error in places if error), None)
        if error:
            counts["stale"] += 1
            print(f"{'stale':9} {m.name:32} snippet {error}", flush=True)
            continue
        originals = {}
        for (rel, _), _ in places:
            with open(os.path.join(scratch, rel), encoding="utf-8") as f:
                originals.setdefault(rel, f.read())
        mutated = dict(originals)
        # Later offsets first, so that two edits in one file keep their places.
        spots = [where for where, _ in places]
        for (rel, at), edit in sorted(zip(spots, m.edits), key=lambda p: p[0], reverse=True):
            text = mutated[rel]
            mutated[rel] = text[:at] + edit.replace + text[at + len(edit.find):]
        rel, at = places[0][0]
        line = originals[rel].count("\n", 0, at) + 1
        t0 = time.monotonic()
        with open(log, "a") as f:
            f.write(f"\n==== mutant {m.name}: {rel}:{line}\n")
        try:
            for path, text in mutated.items():
                with open(os.path.join(scratch, path), "w", encoding="utf-8") as f:
                    f.write(text)
            status, output = run(build_cmd, scratch, log, env=env)
            if status != 0:
                if not args.keep_going:
                    print(output[-3000:])
                    sys.exit(f"mutate: mutant {m.name} does not compile ({rel}:{line}); "
                             f"fix it or pass --keep-going")
                verdict, by = "compiler", "the compiler"
            else:
                status, output = run(ctest, build, log, timeout=args.timeout, env=env)
                if status == 0:
                    verdict, by = "survived", "-"
                else:
                    verdict = "killed"
                    by = "timeout of the whole run" if status is None else first_failure(output)
        finally:
            for path, text in originals.items():
                with open(os.path.join(scratch, path), "w", encoding="utf-8") as f:
                    f.write(text)
        counts[verdict] += 1
        label = "killed" if verdict == "compiler" else verdict
        print(f"{label:9} {m.name:32} {rel}:{line:<5} {time.monotonic() - t0:5.0f} s  by {by}",
              flush=True)

    # Leave the build matching the restored tree for the next run.
    run(build_cmd, scratch, log, env=env)
    counted = counts["killed"] + counts["compiler"] + counts["survived"]
    rate = 100.0 * (counts["killed"] + counts["compiler"]) / counted if counted else 0.0
    print(f"mutate: {counts['killed'] + counts['compiler']} of {counted} killed ({rate:.0f} %): "
          f"{counts['killed']} by tests, {counts['compiler']} by the compiler; "
          f"{counts['survived']} survived; {counts['stale']} stale (not counted); "
          f"{(time.monotonic() - started) / 60:.1f} min")


if __name__ == "__main__":
    main()
