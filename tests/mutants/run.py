#!/usr/bin/python3
"""Plants the faults of faults.py one at a time and records which tests catch each.

    tests/mutants/run.py --out tests/mutants/before.md [--build build] [ID ...]

For each fault: the original snippet must occur exactly once in its file ("anchor lost"
otherwise), the file is changed, the build is rebuilt, ctest runs (the slow script tests
only for faults in scripts/ or db/), the failing tests are the catchers, and the file is put
back, whatever happens (Ctrl-C and SIGTERM included; a fault left behind by a killed run is
put back at the next start). Faults already in the results file are skipped, so a cut run
goes on where it stopped. The CORVEL_TEST_DB_* variables must be exported by the caller.
"""
import argparse
import json
import os
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = HERE.parent.parent
sys.path.insert(0, str(HERE))
from faults import FAULTS  # noqa: E402

SLOW_TESTS = ("db_script_ports", "demo_office")
PENDING = HERE / ".applied.json"  # the file being changed and its original text
NOT_CAUGHT = "NOT CAUGHT"
NO_COMPILE = "does not compile"
ANCHOR_LOST = "anchor lost"


def layer_of(path):
    parts = Path(path).parts
    return parts[1] if parts[0] == "src" and len(parts) > 2 else parts[0]


def restore_pending():
    if PENDING.exists():
        saved = json.loads(PENDING.read_text(encoding="utf-8"))
        (ROOT / saved["file"]).write_text(saved["text"], encoding="utf-8", newline="")
        PENDING.unlink()
        print(f"restored {saved['file']} left changed by an earlier run", flush=True)


def on_term(signum, frame):
    raise KeyboardInterrupt


def build(build_dir):
    jobs = str(os.cpu_count() or 2)
    r = subprocess.run(["cmake", "--build", str(build_dir), "-j" + jobs],
                       stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return r.returncode == 0, r.stdout


LINE = re.compile(r"Test\s+#\d+: (\S+) \.*\s*(?:\*\*\*)?(\w+)")


def ctest(build_dir, with_slow, timeout):
    """Runs ctest; returns (names of the failing tests, names never finished)."""
    cmd = ["ctest", "-j" + str(os.cpu_count() or 2), "--no-tests=error"]
    if not with_slow:
        cmd += ["-E", "^(" + "|".join(SLOW_TESTS) + ")$"]
    listed = list_tests(build_dir)
    p = subprocess.Popen(cmd, cwd=build_dir, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                         text=True, start_new_session=True)
    try:
        out, _ = p.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        os.killpg(p.pid, signal.SIGKILL)
        out, _ = p.communicate()
    except BaseException:
        os.killpg(p.pid, signal.SIGKILL)
        p.communicate()
        raise
    failed, finished = [], set()
    for m in LINE.finditer(out):
        finished.add(m.group(1))
        if m.group(2) not in ("Passed", "Skipped"):
            failed.append(m.group(1))
    wanted = [t for t in listed if with_slow or t not in SLOW_TESTS]
    unfinished = [t for t in wanted if t not in finished]
    return failed, unfinished


def list_tests(build_dir):
    out = subprocess.run(["ctest", "-N"], cwd=build_dir, stdout=subprocess.PIPE,
                         text=True).stdout
    return re.findall(r"Test\s+#\d+: (\S+)", out)


def esc(text):
    return text.replace("|", "\\|")


def read_results(path):
    rows = {}
    if not path.exists():
        return rows
    for line in path.read_text(encoding="utf-8").splitlines():
        cells = [c.strip().replace("\\|", "|") for c in re.split(r"(?<!\\)\|", line)[1:-1]]
        if len(cells) == 5 and cells[0] not in ("fault", "---") and not cells[0].startswith("-"):
            rows[cells[0]] = cells[4]
    return rows


def write_results(path, rows, note):
    order = [f["id"] for f in FAULTS if f["id"] in rows]
    by_id = {f["id"]: f for f in FAULTS}
    counted = [i for i in order if rows[i] not in (ANCHOR_LOST,)]
    caught = [i for i in counted if rows[i] not in (NOT_CAUGHT, NO_COMPILE)]
    lines = ["# Planted faults and the tests that catch them", "",
             f"{len(caught)} of {len(counted)} planted faults caught. {note}".rstrip(), "",
             "| layer | planted | caught |", "|---|---|---|"]
    layers = sorted({layer_of(by_id[i]["file"]) for i in counted})
    for lay in layers:
        ids = [i for i in counted if layer_of(by_id[i]["file"]) == lay]
        lines.append(f"| {lay} | {len(ids)} | {len([i for i in ids if i in caught])} |")
    lines += ["", "| fault | layer | file | description | caught by |", "|---|---|---|---|---|"]
    for i in order:
        f = by_id[i]
        lines.append(f"| {i} | {layer_of(f['file'])} | {f['file']} | {esc(f['desc'])} | {esc(rows[i])} |")
    path.write_text("\n".join(lines) + "\n", encoding="utf-8")


def write_by_test(path, rows, build_dir):
    tests = list_tests(build_dir)
    counts = {t: [] for t in tests}
    for fid, cell in rows.items():
        if cell in (NOT_CAUGHT, NO_COMPILE, ANCHOR_LOST):
            continue
        for name in cell.split(", "):
            name = name.split(" ")[0]
            counts.setdefault(name, []).append(fid)
    lines = ["# Planted faults caught by each test", "",
             f"From {len(rows)} faults of the results table; a fault caught by one test alone is in bold.", "",
             "| test | faults caught | which |", "|---|---|---|"]
    sole = {fid for fid, cell in rows.items() if cell.count(", ") == 0
            and cell not in (NOT_CAUGHT, NO_COMPILE, ANCHOR_LOST)}
    for t in sorted(counts, key=lambda t: (-len(counts[t]), t)):
        which = ", ".join(f"**{f}**" if f in sole else f for f in counts[t])
        lines.append(f"| {t} | {len(counts[t])} | {which} |")
    path.write_text("\n".join(lines) + "\n", encoding="utf-8")


def run_fault(fault, build_dir, timeout, baseline_failed):
    target = ROOT / fault["file"]
    text = target.read_text(encoding="utf-8")
    if text.count(fault["old"]) != 1:
        return ANCHOR_LOST
    PENDING.write_text(json.dumps({"file": fault["file"], "text": text}), encoding="utf-8")
    try:
        target.write_text(text.replace(fault["old"], fault["new"]), encoding="utf-8", newline="")
        ok, log = build(build_dir)
        if not ok:
            errors = [l for l in log.splitlines() if "error" in l][:3]
            print("   " + "\n   ".join(errors), flush=True)
            return NO_COMPILE
        slow = fault["file"].startswith(("scripts/", "db/"))
        failed, unfinished = ctest(build_dir, slow, timeout)
    finally:
        target.write_text(text, encoding="utf-8", newline="")
        PENDING.unlink()
    failed = [t for t in failed if t not in baseline_failed]
    catchers = failed + [t + " (cut off)" for t in unfinished]
    return ", ".join(catchers) if catchers else NOT_CAUGHT


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("ids", nargs="*", help="faults to plant (all when none)")
    ap.add_argument("--out", required=True, type=Path, help="results table (markdown)")
    ap.add_argument("--by-test", type=Path, help="also write the faults caught by each test here")
    ap.add_argument("--build", default=ROOT / "build", type=Path, help="build folder")
    ap.add_argument("--timeout", default=120, type=int, help="seconds one ctest run may take")
    ap.add_argument("--no-baseline", action="store_true", help="skip the run of the clean build")
    args = ap.parse_args()
    if not os.environ.get("CORVEL_TEST_DB_PORT"):
        sys.exit("export the CORVEL_TEST_DB_* variables of a running server first")
    signal.signal(signal.SIGTERM, on_term)
    signal.signal(signal.SIGINT, signal.default_int_handler)  # even when started in the background
    restore_pending()
    ids = {f["id"] for f in FAULTS}
    if len(ids) != len(FAULTS):
        sys.exit("two faults share an id")
    unknown = [i for i in args.ids if i not in ids]
    if unknown:
        sys.exit("unknown faults: " + ", ".join(unknown))
    rows = read_results(args.out)
    todo = [f for f in FAULTS if (not args.ids or f["id"] in args.ids) and f["id"] not in rows]
    started = time.time()
    baseline_failed = []
    note = ""
    try:
        if todo and not args.no_baseline:
            ok, log = build(args.build)
            if not ok:
                sys.exit("the clean build fails:\n" + log[-3000:])
            baseline_failed, unfinished = ctest(args.build, True, args.timeout)
            baseline_failed += unfinished
            if baseline_failed:
                print("failing without a fault (not counted): " + ", ".join(baseline_failed), flush=True)
        for n, fault in enumerate(todo, 1):
            t0 = time.time()
            rows[fault["id"]] = run_fault(fault, args.build, args.timeout, baseline_failed)
            print(f"[{n}/{len(todo)}] {fault['id']}: {rows[fault['id']]} ({time.time() - t0:.0f} s)", flush=True)
            if baseline_failed:
                note = "Failing without any fault, so not counted: " + ", ".join(baseline_failed) + "."
            write_results(args.out, rows, note)
    finally:
        restore_pending()
        build(args.build)  # leaves a clean build behind
        if args.by_test:
            write_by_test(args.by_test, rows, args.build)
        print(f"{len(todo)} faults in {time.time() - started:.0f} s", flush=True)


if __name__ == "__main__":
    try:
        main()
    except KeyboardInterrupt:
        sys.exit("interrupted: the planted file is back as it was; run again to go on")
