#!/usr/bin/env python3
"""Which test function catches which planted fault: the kill matrix.

Each fault is one realistic slip in the program's sources. For every fault the
script plants it, rebuilds the test executables of a configured build folder,
runs each of them, records the test functions that fail, and puts the source
back. A fault no unit test catches is tried once more against the end-to-end
run when --e2e is given.

    python3 tools/killmatrix.py --faults FILE [--build build-test] [--only 3,7-9]
                                [--e2e] [--report OUT.md] [--jobs 2] [--state RUN.jsonl]

FILE holds one fault per line, tab-separated: path under src/, the text to find
(exactly once in the file), its replacement. In both texts `\\n` is a line end and
`\\t` a tab. Blank lines and lines starting with `#` are ignored.

With --state every result is appended to that file as it comes, and a fault
already there (the same path, text and replacement) is not run again: a long
run stopped halfway goes on where it stopped.

The report gives each fault with the functions that caught it, the faults each
function alone catches, the functions that catch nothing alone, and the totals.
"""
import argparse
import json
import os
import re
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
RESULT = re.compile(r"^(PASS|FAIL!|XPASS|SKIP)\s*:\s*(\w+)::(\w+)\(")
ENTERING = re.compile(r"^INFO\s*:\s*(\w+)::(\w+)\(\) entering")


def unescape(text):
    return re.sub(r"\\(.)", lambda m: {"n": "\n", "t": "\t"}.get(m.group(1), m.group(1)), text)


def read_faults(path):
    faults = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            parts = line.split("\t")
            if len(parts) != 3:
                sys.exit(f"{path}:{number}: expected path, text and replacement separated by tabs")
            faults.append({"id": len(faults) + 1, "line": number, "path": parts[0],
                           "find": unescape(parts[1]), "put": unescape(parts[2])})
    return faults


def chosen(spec, count):
    if not spec:
        return set(range(1, count + 1))
    ids = set()
    for piece in spec.split(","):
        low, _, high = piece.partition("-")
        ids.update(range(int(low), int(high or low) + 1))
    return ids


def test_executables(build):
    folder = os.path.join(build, "tests")
    return sorted(os.path.join(folder, n) for n in os.listdir(folder)
                  if re.fullmatch(r"test_\w+(\.exe)?", n) and os.path.isfile(os.path.join(folder, n)))


def build_tests(build, jobs):
    targets = [os.path.basename(e) for e in test_executables(build)]
    done = subprocess.run(["cmake", "--build", build, "-j", str(jobs), "--target", *targets],
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    return done.returncode == 0, done.stdout[-3000:]


def run_executable(path, timeout):
    """Failing functions of one executable; a crash or a hang counts against the function then running."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", LANG="C", LC_ALL="C")
    env["INVENTARIO_BUILD_DIR"] = os.path.dirname(os.path.dirname(path))
    try:
        done = subprocess.run([path, "-v1"], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                              text=True, errors="replace", timeout=timeout, env=env)
        out, crashed = done.stdout, done.returncode < 0
    except subprocess.TimeoutExpired as e:
        out = e.stdout.decode(errors="replace") if isinstance(e.stdout, bytes) else (e.stdout or "")
        crashed = True
    failed, running, seen = set(), None, set()
    for line in out.splitlines():
        m = ENTERING.match(line)
        if m:
            running = f"{m.group(1)}::{m.group(2)}"
            continue
        m = RESULT.match(line)
        if m:
            name = f"{m.group(2)}::{m.group(3)}"
            seen.add(name)
            if m.group(1) in ("FAIL!", "XPASS"):
                failed.add(name)
            if name == running:
                running = None
    if crashed and running:
        failed.add(running)
    return failed, seen, out


def run_e2e(build, timeout):
    subprocess.run(["cmake", "--build", build, "-j2"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    ctest = subprocess.run(["ctest", "-R", "^e2e$", "--output-on-failure"], cwd=build, stdout=subprocess.PIPE,
                           stderr=subprocess.STDOUT, text=True, errors="replace", timeout=timeout)
    return ctest.returncode != 0


def plant(fault):
    path = os.path.join(ROOT, "src", fault["path"])
    with open(path, encoding="utf-8", newline="") as f:
        original = f.read()
    count = original.count(fault["find"])
    if count != 1:
        return None, f"text found {count} times"
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write(original.replace(fault["find"], fault["put"], 1))
    return original, None


def restore(fault, original):
    with open(os.path.join(ROOT, "src", fault["path"]), "w", encoding="utf-8", newline="") as f:
        f.write(original)


def load_state(path, faults):
    results = {}
    if not path or not os.path.exists(path):
        return results
    by_text = {(f["path"], f["find"], f["put"]): f["id"] for f in faults}
    with open(path, encoding="utf-8") as f:
        for line in f:
            r = json.loads(line)
            number = by_text.get((r["path"], r["find"], r["put"]))
            if number is not None:
                results[number] = {"status": r["status"], "killers": set(r["killers"]), "e2e": r.get("e2e", False)}
    return results


def save_state(path, fault, result):
    if path:
        with open(path, "a", encoding="utf-8") as f:
            f.write(json.dumps({"path": fault["path"], "find": fault["find"], "put": fault["put"],
                                "status": result["status"], "killers": sorted(result["killers"]),
                                "e2e": result.get("e2e", False)}) + "\n")


def report(faults, results, functions, out):
    lines = ["# Kill matrix", "", "| # | fault | caught by |", "|---|---|---|"]
    caught_by = {}
    for fault in faults:
        r = results.get(fault["id"])
        if r is None:
            continue
        what = f"`{fault['path']}`: `{fault['find'].strip()[:60]}` → `{fault['put'].strip()[:60]}`"
        what = what.replace("|", "\\|").replace("\n", "⏎")
        if r["status"] != "ran":
            verdict = r["status"]
        elif r["killers"]:
            verdict = ", ".join(sorted(r["killers"]))
            caught_by[fault["id"]] = r["killers"]
        else:
            verdict = "e2e" if r.get("e2e") else "**through**"
        lines.append(f"| {fault['id']} | {what} | {verdict} |")
    unique = {f: [i for i, k in caught_by.items() if k == {f}] for f in functions}
    lines += ["", "## Faults a function alone catches", ""]
    for f in sorted(functions):
        total = sum(1 for k in caught_by.values() if f in k)
        lines.append(f"- {f}: {total} caught, {len(unique[f])} alone {sorted(unique[f]) or ''}")
    ran = [r for r in results.values() if r["status"] == "ran"]
    through = [i for i, r in results.items() if r["status"] == "ran" and not r["killers"] and not r.get("e2e")]
    lines += ["", "## Totals", "",
              f"- faults planted: {len(results)}, built and run: {len(ran)}",
              f"- caught by the unit tests: {len(caught_by)}; by the end-to-end run only: "
              f"{sum(1 for r in ran if not r['killers'] and r.get('e2e'))}; through: {len(through)} {through}",
              f"- caught by one function: {sum(1 for k in caught_by.values() if len(k) == 1)}, by two or more: "
              f"{sum(1 for k in caught_by.values() if len(k) > 1)}",
              f"- functions catching nothing alone: {sorted(f for f in functions if not unique[f])}"]
    text = "\n".join(lines) + "\n"
    if out:
        with open(out, "w", encoding="utf-8") as f:
            f.write(text)
    print(text)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--faults", required=True)
    parser.add_argument("--build", default=os.path.join(ROOT, "build-test"))
    parser.add_argument("--only", default="")
    parser.add_argument("--e2e", action="store_true")
    parser.add_argument("--report", default="")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--timeout", type=int, default=300)
    parser.add_argument("--state", default="")
    args = parser.parse_args()
    args.build = os.path.abspath(args.build)
    if not os.path.isfile(os.path.join(args.build, "CMakeCache.txt")):
        sys.exit(f"killmatrix: {args.build} is no configured build folder (run scripts/test.sh first)")
    faults = read_faults(args.faults)
    wanted = chosen(args.only, len(faults))
    ok, log = build_tests(args.build, args.jobs)
    if not ok:
        sys.exit("killmatrix: the unchanged sources do not build:\n" + log)
    functions = set()
    for exe in test_executables(args.build):
        failed, seen, out = run_executable(exe, args.timeout)
        if failed:
            sys.exit(f"killmatrix: {exe} fails without any fault planted: {sorted(failed)}\n{out[-2000:]}")
        functions |= {f for f in seen if not f.endswith(("::initTestCase", "::cleanupTestCase"))}
    results = load_state(args.state, faults)
    for fault in faults:
        if fault["id"] not in wanted or fault["id"] in results:
            continue
        started = time.time()
        original, problem = plant(fault)
        if problem:
            results[fault["id"]] = {"status": problem, "killers": set()}
            save_state(args.state, fault, results[fault["id"]])
            print(f"#{fault['id']} {fault['path']}: {problem}", flush=True)
            continue
        try:
            ok, log = build_tests(args.build, args.jobs)
            if not ok:
                results[fault["id"]] = {"status": "does not build", "killers": set()}
            else:
                killers = set()
                for exe in test_executables(args.build):
                    killers |= run_executable(exe, args.timeout)[0]
                r = {"status": "ran", "killers": killers}
                if not killers and args.e2e:
                    r["e2e"] = run_e2e(args.build, 900)
                results[fault["id"]] = r
        finally:
            restore(fault, original)
        r = results[fault["id"]]
        save_state(args.state, fault, r)
        print(f"#{fault['id']} {fault['path']}: {r['status']} {sorted(r['killers']) or ''}"
              f"{' e2e' if r.get('e2e') else ''} ({time.time() - started:.0f} s)", flush=True)
    build_tests(args.build, args.jobs)
    report(faults, results, functions, args.report)


if __name__ == "__main__":
    main()
