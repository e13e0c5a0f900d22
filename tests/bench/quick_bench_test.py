"""The benchmark runner's quick mode runs every benchmark through to its
section: each section written, with a table of numbers, and the report in
docs/ left as it is. No figure is judged: speed targets live in the report.

    quick_bench_test.py BUILD desktop   every section but the web page's
    quick_bench_test.py BUILD web       the web page's (built beforehand)"""

import hashlib
import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def runner():
    sys.dont_write_bytecode = True
    sys.path.insert(0, os.path.join(ROOT, "tools"))
    import bench  # tools/bench.py, the runner itself
    return bench


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def problems_in(report, sections):
    with open(report, encoding="utf-8") as f:
        text = f.read()
    for name in sections:
        found = re.search(r"<!-- bench\.py: %s begin.*?-->\n(.*?)<!-- bench\.py: %s end -->"
                          % (name, name), text, re.S)
        if found is None:
            yield "no section %s" % name
            continue
        body = found.group(1)
        # Figures: table cells, or Google Benchmark's lines in a code block.
        rows = [line for line in body.splitlines()
                if line.startswith("|") and not set(line) <= set("|-: ")]
        figures = [row for row in rows[1:] if re.search(r"\| *\**[0-9]", row)]
        figures += re.findall(r"^BM_\S+ +[0-9.]+ \w+", body, re.M)
        if not figures:
            yield "section %s has no figures:\n%s" % (name, body)
        if re.search(r"\b(nan|inf)\b", body, re.I):
            yield "section %s holds a figure that is not a number:\n%s" % (name, body)


def main(argv):
    if len(argv) != 3 or argv[2] not in ("desktop", "web"):
        print(__doc__, file=sys.stderr)
        return 2
    every = runner().SECTIONS
    sections = ["web"] if argv[2] == "web" else [s for s in every if s != "web"]
    docs = os.path.join(ROOT, "docs", "performance.md")
    before = digest(docs)
    with tempfile.TemporaryDirectory(prefix="lighter-quick-bench-") as work:
        report = os.path.join(work, "performance.md")
        status = subprocess.call(["/usr/bin/python3", os.path.join(ROOT, "tools", "bench.py"),
                                  "--quick", "--build", argv[1], "--report", report,
                                  "--only", ",".join(sections)])
        if status != 0:
            print("FAILED: tools/bench.py --quick exited with status %d" % status, file=sys.stderr)
            return 1
        problems = list(problems_in(report, sections))
    if digest(docs) != before:
        problems.append("the quick run changed docs/performance.md")
    for problem in problems:
        print("FAILED: " + problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
