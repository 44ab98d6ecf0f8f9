#!/usr/bin/env python3
"""Do the tests notice a plausible one-line fault?

Applies each mutant of the given lists alone to a scratch copy of HEAD's
tracked files, rebuilds it with CMake's default preset, runs CTest, and says
whether the tests killed it. A list holds blocks like this ('#' starts a
comment line; both texts are literal, to the end of the line, and the old one
must occur exactly once in the file):

    == frame-checks-tolerates-low-bit
    file: serial/Checksum.cpp
    old:     return Sum(frame) == 0xFF;
    new:     return (Sum(frame) | 1) == 0xFF;

Exit status 1 when a mutant survived or could not be applied.
"""
import argparse
import io
import os
import re
import shutil
import signal
import subprocess
import sys
import tarfile
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
MARKER = ".mutants-scratch"  # only a folder carrying it is ever synced or emptied
JOBS = str(os.cpu_count() or 2)
KEYS = {"file": "file: ", "old": "old: ", "new": "new: "}


def parse(list_path):
    mutants = []
    for number, line in enumerate(list_path.read_text(encoding="utf-8").splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        if line.startswith("== "):
            mutants.append({"id": line[3:].strip(), "where": f"{list_path}:{number}"})
            continue
        key = next((k for k, prefix in KEYS.items() if line.startswith(prefix)), None)
        if key is None or not mutants or key in mutants[-1]:
            sys.exit(f"{list_path}:{number}: unexpected line: {line!r}")
        mutants[-1][key] = line[len(KEYS[key]):]
    for m in mutants:
        missing = [k for k in KEYS if k not in m]
        if missing:
            sys.exit(f"{m['where']}: mutant {m['id']} has no {', '.join(missing)}")
    return mutants


def sync_head(scratch):
    """Make scratch hold HEAD's tracked files, rewriting only those that differ
    so that the kept build stays incremental."""
    archive = subprocess.run(["git", "-C", str(ROOT), "archive", "--format=tar", "HEAD"],
                             check=True, stdout=subprocess.PIPE).stdout
    wanted = set()
    with tarfile.open(fileobj=io.BytesIO(archive)) as tar:
        for member in tar:
            if member.isdir() or member.name == "pax_global_header":
                continue
            wanted.add(member.name)
            path = scratch / member.name
            if member.issym():
                if not path.is_symlink() or os.readlink(path) != member.linkname:
                    path.unlink(missing_ok=True)
                    path.parent.mkdir(parents=True, exist_ok=True)
                    path.symlink_to(member.linkname)
                continue
            data = tar.extractfile(member).read()
            if path.is_symlink() or not path.is_file() or path.read_bytes() != data:
                path.unlink(missing_ok=True)
                path.parent.mkdir(parents=True, exist_ok=True)
                path.write_bytes(data)
            path.chmod(member.mode & 0o777)
    for dirpath, dirnames, filenames in os.walk(scratch):
        here = Path(dirpath)
        if here == scratch:  # the builds and the marker are not HEAD's
            dirnames[:] = [d for d in dirnames if not d.startswith("build")]
            filenames = [f for f in filenames if f != MARKER]
        for name in filenames:
            if (here / name).relative_to(scratch).as_posix() not in wanted:
                (here / name).unlink()


def run(cmd, cwd, log, timeout):
    """Runs cmd with its output in log; None when it outlasted timeout."""
    with open(log, "w") as out:
        proc = subprocess.Popen(cmd, cwd=cwd, stdout=out, stderr=subprocess.STDOUT,
                                start_new_session=True)
        try:
            return proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None
        finally:
            # Whatever it left running (a hung test, a stray podsim), and on ^C the lot.
            try:
                os.killpg(proc.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            proc.wait()


def failed_tests(log):
    text = Path(log).read_text(errors="replace")
    names = re.findall(r"^\s*\d+ - (\S+) \(", text.split("The following tests FAILED:")[-1], re.M)
    return ", ".join(names) or "see " + str(log)


def build_and_test(scratch, logs, tag, args):
    build_log = logs / f"{tag}.build.log"
    rc = run(["cmake", "--build", "--preset", "default", "-j", JOBS], scratch, build_log,
             args.build_timeout)
    if rc != 0:
        errors = [l for l in build_log.read_text(errors="replace").splitlines() if "error" in l]
        return "build failed", (errors or [f"see {build_log}"])[0]
    test_log = logs / f"{tag}.test.log"
    ctest = ["ctest", "--preset", "default", "-j", JOBS, "--timeout", str(args.timeout),
             "--stop-on-failure"] + (["-R", args.tests] if args.tests else [])
    # The whole run's bound: no test should take its full time-out.
    rc = run(ctest, scratch, test_log, args.timeout * 4)
    if rc is None:
        return "killed", "the tests outlasted their bound"
    if rc != 0:
        return "killed", "by " + failed_tests(test_log)
    return "survived", ""


def try_mutant(m, scratch, logs, args):
    path = scratch / m["file"]
    if not path.is_file():
        return "not applied", f"no file {m['file']}"
    text, old = path.read_bytes(), m["old"].encode()
    count = text.count(old)
    if count != 1:
        return "not applied", f"old text found {count} times in {m['file']}"
    path.write_bytes(text.replace(old, m["new"].encode()))
    try:
        return build_and_test(scratch, logs, re.sub(r"[^\w.-]", "_", m["id"]), args)
    finally:
        path.write_bytes(text)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    ap.add_argument("lists", nargs="+", type=Path, help="mutant lists, e.g. tests/mutants/*.txt")
    ap.add_argument("--keep", type=Path, metavar="DIR",
                    help="scratch folder to keep and reuse, so that later builds are incremental")
    ap.add_argument("-R", "--tests", metavar="REGEX",
                    help="run only the tests this CTest regex matches")
    ap.add_argument("--timeout", type=int, default=120, metavar="SECONDS",
                    help="time-out of one test (120)")
    ap.add_argument("--build-timeout", type=int, default=3600, metavar="SECONDS",
                    help="time-out of one build (3600)")
    args = ap.parse_args()
    mutants = [m for path in args.lists for m in parse(path)]

    scratch = (args.keep or Path(tempfile.mkdtemp(prefix="vantelo-mutants-"))).resolve()
    scratch.mkdir(parents=True, exist_ok=True)
    if any(scratch.iterdir()) and not (scratch / MARKER).exists():
        sys.exit(f"{scratch} is not empty and is no mutants scratch folder: not touching it")
    (scratch / MARKER).touch()
    logs = scratch / "build" / "mutants"
    print(f"scratch copy of HEAD in {scratch}", flush=True)
    sync_head(scratch)
    logs.mkdir(parents=True, exist_ok=True)
    if run(["cmake", "--preset", "default"], scratch, logs / "configure.log", 600) != 0:
        sys.exit(f"configuring failed: see {logs / 'configure.log'}")

    start = time.monotonic()
    print("baseline: building and testing the unchanged copy ...", flush=True)
    verdict, detail = build_and_test(scratch, logs, "baseline", args)
    if verdict != "survived":
        sys.exit(f"baseline {verdict}, {detail}: the unchanged copy must build and pass its tests")
    print(f"baseline passes ({time.monotonic() - start:.0f} s)", flush=True)

    counts = dict.fromkeys(["killed", "survived", "not applied", "build failed"], 0)
    for number, m in enumerate(mutants, 1):
        print(f"[{number}/{len(mutants)}] {m['id']} ({m['file']}) ... ", end="", flush=True)
        start = time.monotonic()
        verdict, detail = try_mutant(m, scratch, logs, args)
        counts[verdict] += 1
        print(f"{verdict} ({time.monotonic() - start:.0f} s){': ' + detail if detail else ''}",
              flush=True)
    if not args.keep:
        shutil.rmtree(scratch, ignore_errors=True)
    print("mutants: " + ", ".join(f"{n} {verdict}" for verdict, n in counts.items()))
    return 1 if counts["survived"] or counts["not applied"] else 0


if __name__ == "__main__":
    sys.exit(main())
