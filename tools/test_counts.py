#!/usr/bin/python3
"""The test counts of docs/tests.md, made from what ctest knows.

    tools/test_counts.py [--build DIR]           checks the table (status 1 when stale)
    tools/test_counts.py [--build DIR] --write   rewrites it

DIR is a configured and built tree of the default preset (build/ by
default). The table sits between the markers "<!-- test counts: begin" and
"<!-- test counts: end -->": one row per test prefix (unit, gl, e2e, ...),
the ctest tests under it and how many of those are GoogleTest cases."""

import argparse
import collections
import json
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DOC = os.path.join(ROOT, "docs", "tests.md")
BEGIN = "<!-- test counts: begin (made by tools/test_counts.py --write; do not edit by hand) -->"
END = "<!-- test counts: end -->"
# The layers in the order docs/tests.md tells them; any other prefix follows.
ORDER = ["unit", "command", "gl", "e2e", "bench", "layers", "package", "web"]


def listed_tests(build):
    """(name, is a GoogleTest case) for every test ctest has in `build`."""
    listing = subprocess.run(["ctest", "--test-dir", build, "--show-only=json-v1"],
                             check=True, capture_output=True, text=True).stdout
    for test in json.loads(listing)["tests"]:
        command = test.get("command") or []
        yield test["name"], any(arg.startswith("--gtest_filter=") for arg in command)


def table(build):
    tests = collections.Counter()
    cases = collections.Counter()
    for name, is_case in listed_tests(build):
        prefix = name.split(".", 1)[0]
        tests[prefix] += 1
        cases[prefix] += is_case
    rows = ["| tests | ctest tests | of which GoogleTest cases |", "|---|---:|---:|"]
    rows += ["| `%s.*` | %d | %d |" % (p, tests[p], cases[p]) for p in
             sorted(tests, key=lambda p: (ORDER.index(p) if p in ORDER else len(ORDER), p))]
    rows.append("| **all** | %d | %d |" % (sum(tests.values()), sum(cases.values())))
    return "\n".join(rows)


def split(text):
    """The text before the table's begin marker, the table, and the rest
    from the end marker on."""
    begin = text.find("<!-- test counts: begin")
    end = text.find(END)
    if begin < 0 or end < begin:
        raise SystemExit("test_counts: no table between the test count markers in " + DOC)
    head_end = text.index("\n", begin) + 1
    return text[:begin], text[head_end:end].strip("\n"), text[end:]


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.path.join(ROOT, "build"),
                        help="a built tree of the default preset (default: build/)")
    parser.add_argument("--write", action="store_true", help="rewrite the table in docs/tests.md")
    args = parser.parse_args(argv)
    with open(DOC, encoding="utf-8") as f:
        text = f.read()
    before, written, after = split(text)
    made = table(args.build)
    if args.write:
        with open(DOC, "w", encoding="utf-8") as f:
            f.write(before + BEGIN + "\n" + made + "\n" + after)
        print("test_counts: wrote the counts into " + DOC)
        return 0
    if written == made:
        print("test_counts: docs/tests.md's counts are current")
        return 0
    command = "tools/test_counts.py --write"
    if os.path.realpath(args.build) != os.path.realpath(os.path.join(ROOT, "build")):
        command += " --build " + args.build
    print("test_counts: docs/tests.md's counts are stale. Rebuild, then run\n"
          "    " + command + "\n"
          "and commit docs/tests.md. The table should read:\n" + made
          + "\nbut reads:\n" + written, file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
