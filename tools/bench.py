#!/usr/bin/python3
"""Runs the benchmarks and writes the measured sections of docs/performance.md.

    tools/bench.py                  builds the "bench" preset (Release, build-bench/) and
                                    the web page, measures everything and rewrites every
                                    measured section of the report (about 6 minutes, and the builds)
    tools/bench.py --only mesh,web  measures those sections only; the others stay as they are
    tools/bench.py --quick --build DIR [--report FILE] [--only ...]
                                    a few short runs on small models with the binaries of
                                    DIR, into FILE (a temporary file by default, never the
                                    report): that every benchmark runs, not what it measures

    tools/bench.py --only cache --baseline DIR...
                                    the start-up from the model cache, the build's own
                                    lighter_checked taking turns with those of other
                                    trees (a build without a change, say) on its entries

Sections: budgets, frames, startup, mesh, gl_calls, micro, import, web,
recording, cache. Every
figure is a median of runs taken in turns (the states of a frame, the mesh
sizes, the import's formats and budgets, the desktop and the web page), so
that a busy machine slows them alike and the ratios hold. The budgets and
their verdicts are in BUDGETS below; no test asserts a speed."""

import argparse
import collections
import datetime
import gzip
import json
import os
import re
import select
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
REPORT = os.path.join(ROOT, "docs", "performance.md")
SECTIONS = ["budgets", "frames", "startup", "mesh", "gl_calls", "micro", "import", "web",
            "recording", "cache"]
# The sections that need frame_bench's runs on the shipped and the imported model.
NEED_FRAMES = {"budgets", "frames", "import", "web"}

BUDGETS = {
    "startup_ms": 150.0,            # launch to the first swapped frame, below
    "faces_per_second": 1e6,        # mesh reading, at least, at every size
    "bytes_per_face": 100.0,        # mesh reading's peak memory, at most
    "flatness": 1.20,               # cost per face, slowest size over cheapest, at most
    "lit_shipped": 1.00,            # Lit's frame time over Smooth's at rest, at most
    "lit_imported": 0.75,           # the same on an imported model of about 20,000 faces
    "import_ms_per_million": 1000,  # reading and writing a million triangles, below
}
IMPORT_FORMATS = ["obj", "stl", "ply"]


class BenchError(Exception):
    pass


class Pace:
    """How much is measured: the full run's counts and sizes, or --quick's."""

    def __init__(self, quick):
        self.quick = quick
        self.frame_flags = ["--quick"] if quick else []
        self.frame_rounds = 1 if quick else 2
        self.candle_triangles = 5000 if quick else 100000
        self.startup_runs = 3 if quick else 9
        self.mesh_sizes = [1000, 10000] if quick else [10000, 100000, 1000000]
        self.import_sizes = [1000, 5000] if quick else [10000, 100000, 1000000]
        self.import_budget = 1000 if quick else 20000  # the importer's default in the full run
        self.micro_min_time = "0.01" if quick else "0.3"
        self.web_seconds = 0.5 if quick else 6.0
        self.cache_runs = 2 if quick else 21
        self.cache_check_repetitions = 1 if quick else 5
        # The entries: the candle at the shipped lighter's size, the lighter
        # case at the importer's default face budget, the striped candle with
        # the largest texture an entry holds.
        self.cache_candle_faces = 1000 if quick else 3400
        self.cache_case_faces = 2000 if quick else 20000
        self.cache_texture_side = 128 if quick else 1024

    def mesh_runs(self, faces):
        return 2 if self.quick else 5 if faces >= 1000000 else 11

    def import_runs(self, triangles):
        return 1 if self.quick else 3 if triangles >= 1000000 else 5


def median(values):
    return statistics.median(values)


def verdict(ok):
    return "met" if ok else "MISSED"


def say(text):
    print("bench: " + text, flush=True)


# --- Running the programs -------------------------------------------------------


class Run:
    """A finished child: its wall and CPU seconds, peak resident memory in kB
    and its output."""

    def __init__(self, wall, cpu, peak_kb, out, err):
        self.wall = wall
        self.cpu = cpu
        self.peak_kb = peak_kb
        self.out = out
        self.err = err


def measured(argv, cwd=None, env=None, keep_output=True):
    """Runs argv to its end under /usr/bin/time, which forks it from a small
    process: a child forked from this one would count this interpreter's
    memory in its peak. Raises BenchError when it fails."""
    with tempfile.NamedTemporaryFile("r") as usage, tempfile.TemporaryFile() as out, \
            tempfile.TemporaryFile() as err:
        began = time.monotonic()
        status = subprocess.call(["/usr/bin/time", "-f", "%U %S %M", "-o", usage.name] + argv,
                                 cwd=cwd, env=env, stdin=subprocess.DEVNULL,
                                 stdout=out if keep_output else subprocess.DEVNULL, stderr=err)
        wall = time.monotonic() - began
        out.seek(0)
        err.seek(0)
        printed, complaints = out.read().decode(errors="replace"), err.read().decode(errors="replace")
        figures = usage.read().split()[-3:]
    if status != 0 or len(figures) != 3:
        raise BenchError("%s exited with status %d:\n%s" % (" ".join(argv), status,
                                                            (printed + complaints)[-3000:]))
    return Run(wall, float(figures[0]) + float(figures[1]), int(figures[2]), printed, complaints)


def output_of(argv, **kwargs):
    try:
        return subprocess.run(argv, check=True, capture_output=True, text=True, **kwargs).stdout
    except subprocess.CalledProcessError as e:
        raise BenchError("%s exited with status %d:\n%s" % (" ".join(argv), e.returncode,
                                                            (e.stdout + e.stderr)[-3000:]))


class Xvfb:
    """A private X server for the start-up and the GL trace; -noreset keeps
    it up between the program's runs."""

    def __enter__(self):
        reading, writing = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(writing), "-screen", "0", "1280x1024x24", "-nolisten",
             "tcp", "-noreset"], pass_fds=(writing,), stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(writing)
        number = b""
        deadline = time.monotonic() + 30
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            ready, _, _ = select.select([reading], [], [], deadline - time.monotonic())
            if not ready:
                break
            chunk = os.read(reading, 64)
            if not chunk:
                break
            number += chunk
        os.close(reading)
        if not number.strip().isdigit():
            self.__exit__()
            raise BenchError("Xvfb did not start")
        self.display = ":" + number.decode().strip()
        return self

    def __exit__(self, *exc):
        self.server.terminate()
        self.server.wait()


class Build:
    """The binaries and data set of one build tree."""

    def __init__(self, tree):
        self.tree = tree
        self.data = os.path.join(tree, "data")
        self.frame_bench = os.path.join(tree, "tools", "bench", "frame_bench")
        self.cpu_bench = os.path.join(tree, "tools", "bench", "cpu_bench")
        self.mesh_gen = os.path.join(tree, "tools", "bench", "mesh_gen")
        self.mesh_read = os.path.join(tree, "tools", "bench", "mesh_read")
        self.checked = os.path.join(tree, "tools", "checked", "lighter_checked")
        self.model_gen = os.path.join(tree, "tools", "model_gen")
        self.look_gen = os.path.join(tree, "tools", "model_looks", "look_gen")
        self.cache_check_bench = os.path.join(tree, "tools", "bench", "cache_check_bench")
        self.importer = os.path.join(tree, "importer", "lighter-import")
        self.kind = "?"
        cache = os.path.join(tree, "CMakeCache.txt")
        if os.path.exists(cache):
            with open(cache, encoding="utf-8") as f:
                found = re.search(r"^CMAKE_BUILD_TYPE:\w+=(\w*)", f.read(), re.M)
            self.kind = found.group(1) if found and found.group(1) else "?"


def faces_in(data_dir):
    faces = 0
    for name in ("lighterBase.m", "lighterTop.m"):
        path = os.path.join(data_dir, name)
        if os.path.exists(path):
            with open(path, encoding="latin-1") as f:
                faces += sum(1 for line in f if line.startswith("f "))
    return faces


def make_model(build, triangles, path):
    """The project's candle of about `triangles` triangles; returns how many it has."""
    printed = output_of([build.model_gen, "candle", str(triangles), path])
    return int(re.search(r": (\d+) triangles", printed).group(1))


# --- Frames -------------------------------------------------------------------------


def table_rows(markdown, first_header):
    """The rows of the Markdown table whose header's first cell is
    `first_header`, each as {header: cell}, in order."""
    rows, header = [], None
    for line in markdown.splitlines():
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if header is None:
            if line.startswith("|") and cells[0] == first_header:
                header = cells
            continue
        if not line.startswith("|"):
            break
        if all(set(c) <= set("-:") for c in cells):
            continue
        rows.append(dict(zip(header, cells)))
    return rows


def number(cell):
    found = re.search(r"-?[0-9]+(?:\.[0-9]+)?", cell.replace(",", ""))
    if found is None:
        raise BenchError("no number in %r" % cell)
    return float(found.group(0))


class FrameRun:
    """One run of frame_bench: its Markdown, each state's figures and Lit over Smooth."""

    def __init__(self, markdown):
        self.markdown = markdown
        self.states = collections.OrderedDict()
        for row in table_rows(markdown, "state"):
            self.states[row["state"]] = {"fps": number(row["frames/s"]),
                                         "ratio": number(row["time vs bare loop"])}
        lit = re.search(r"Lit over Smooth.*?\*\*([0-9.]+)\*\* at rest, \*\*([0-9.]+)\*\* with the "
                        r"flame lit", markdown)
        if not self.states or lit is None:
            raise BenchError("frame_bench printed no frames table or no Lit ratios:\n" + markdown)
        self.lit_rest, self.lit_flame = float(lit.group(1)), float(lit.group(2))
        share = re.search(r"\*\*total, flame lit\*\* \| ([0-9.]+) \| \*\*([0-9.]+) %\*\*", markdown)
        self.cpu_us, self.cpu_share = (float(share.group(1)), float(share.group(2))) if share else (None, None)


def measure_frames(build, pace, work, with_web):
    """frame_bench on the shipped data set and on an imported candle (and the
    web page's frame rates), in turns, pace.frame_rounds times."""
    candle = os.path.join(work, "candle.obj")
    make_model(build, pace.candle_triangles, candle)
    candle_data = os.path.join(work, "candle-data")
    output_of([build.importer, candle, "-o", candle_data, "--max-faces", str(pace.import_budget)])
    runs = {"shipped": [], "imported": [], "web": []}
    for round_ in range(pace.frame_rounds):
        say("frames, round %d of %d" % (round_ + 1, pace.frame_rounds))
        runs["shipped"].append(FrameRun(output_of([build.frame_bench, build.data] + pace.frame_flags)))
        runs["imported"].append(FrameRun(output_of([build.frame_bench, candle_data] + pace.frame_flags)))
        if with_web:
            runs["web"].append(web_frame_rates(pace.web_seconds))
    return {"runs": runs, "shipped_faces": faces_in(build.data),
            "imported_faces": faces_in(candle_data), "candle_triangles": pace.candle_triangles}


def state_medians(runs):
    """{state: (median frames/s, median ratio to the bare loop)} over runs, in
    the order of the first run."""
    out = collections.OrderedDict()
    for state in runs[0].states:
        present = [r.states[state] for r in runs if state in r.states]
        out[state] = (median([s["fps"] for s in present]), median([s["ratio"] for s in present]))
    return out


def frames_section(f):
    shipped, imported = f["runs"]["shipped"], f["runs"]["imported"]
    rest = median([r.lit_rest for r in shipped])
    flame = median([r.lit_flame for r in shipped])
    imported_rest = median([r.lit_rest for r in imported])
    imported_flame = median([r.lit_flame for r in imported])
    return "\n".join([
        shipped[0].markdown.rstrip(),
        "",
        "### Lit and Smooth",
        "",
        "Frame time in Lit over that in Smooth, the two measured side by side in the same",
        "repetitions of `frame_bench` (medians of the per-repetition ratios; the median of %d"
        % len(shipped),
        "runs of it, taken in turns with the other model).",
        "",
        "| model | at rest | flame lit | budget at rest |",
        "|---|---:|---:|---|",
        "| shipped lighter | **%.2f** | %.2f | <= %.2f: %s |"
        % (rest, flame, BUDGETS["lit_shipped"], verdict(rest <= BUDGETS["lit_shipped"])),
        "| imported candle, %d faces | **%.2f** | %.2f | <= %.2f: %s |"
        % (f["imported_faces"], imported_rest, imported_flame, BUDGETS["lit_imported"],
           verdict(imported_rest <= BUDGETS["lit_imported"])),
    ])


def imported_frames_section(f):
    lines = [
        "### Frames with an imported model",
        "",
        "`frame_bench` (see Tools) on the shipped data set (%d faces) and on the candle of %d"
        % (f["shipped_faces"], f["candle_triangles"]),
        "triangles imported at the default face budget (%d faces), in turns, %d runs each;"
        % (f["imported_faces"], len(f["runs"]["shipped"])),
        "medians of the runs' medians.",
        "",
        "| data set | state | frames/s | time vs bare loop |",
        "|---|---|---:|---:|",
    ]
    for label, key in (("shipped lighter", "shipped"), ("imported candle", "imported")):
        for state, (fps, ratio) in state_medians(f["runs"][key]).items():
            lines.append("| %s | %s | %.0f | %.1f x |" % (label, state, fps, ratio))
    return "\n".join(lines)


def measure_recording(build, pace):
    """frame_bench --recording: its own section, "Frames while recording a clip"."""
    return output_of([build.frame_bench, build.data, "--recording"] + pace.frame_flags)


# --- Start-up and the GL calls of one frame -------------------------------------------

FIRST_FRAME = re.compile(r"first frame swapped ([0-9.]+) ms after launch \(main entered at "
                         r"([0-9.]+) ms, start-up done at ([0-9.]+) ms\)")


def measure_startup(build, pace, display):
    env = dict(os.environ, DISPLAY=display, LIGHTER_EXIT_AFTER_FRAMES="1")
    runs = []
    for _ in range(pace.startup_runs):
        env["LIGHTER_LAUNCH_NS"] = str(time.time_ns())
        run = measured([build.checked], cwd=build.data, env=env, keep_output=False)
        found = FIRST_FRAME.search(run.err)
        if found is None:
            raise BenchError("lighter_checked printed no start-up time:\n" + run.err[-2000:])
        runs.append((float(found.group(1)), float(found.group(2)), float(found.group(3)), run))
    return runs


def startup_section(runs):
    first = [r[0] for r in runs]
    ms = median(first)
    return "\n".join([
        "### Start-up",
        "",
        "Process start to the first swapped frame, shipped data set, %d runs of" % len(runs),
        "`lighter_checked` with LIGHTER_EXIT_AFTER_FRAMES=1 under `/usr/bin/time`.",
        "",
        "| figure | value |",
        "|---|---:|",
        "| first frame swapped, median | **%.2f ms** (budget < %.0f ms: %s) |"
        % (ms, BUDGETS["startup_ms"], verdict(ms < BUDGETS["startup_ms"])),
        "| first frame swapped, fastest and slowest | %.2f ms, %.2f ms |" % (min(first), max(first)),
        "| of which: `main` entered (process and libraries loaded), median | %.2f ms |"
        % median([r[1] for r in runs]),
        "| of which: `startUp` returned (window and GL driver, menus, textures, meshes), median "
        "| %.2f ms |" % median([r[2] for r in runs]),
        "| whole process to its exit after that frame, median | %.0f ms |"
        % (1000 * median([r[3].wall for r in runs])),
        "| peak resident memory | %d kB |" % median([r[3].peak_kb for r in runs]),
    ])


def measure_gl_calls(build, display, work):
    if shutil.which("apitrace") is None:
        return None
    trace = os.path.join(work, "frame.trace")
    env = dict(os.environ, DISPLAY=display, LIGHTER_EXIT_AFTER_FRAMES="3")
    measured(["apitrace", "trace", "-o", trace, build.checked], cwd=build.data, env=env)
    calls, swaps = collections.Counter(), 0
    for line in output_of(["apitrace", "dump", "--color=never", trace]).splitlines():
        found = re.match(r"\d+ (gl\w+)\(", line)
        if found is None:
            continue
        if found.group(1) == "glXSwapBuffers":
            swaps += 1
        elif swaps == 1:  # between the first and the second swap: one whole frame
            calls[found.group(1)] += 1
    if not calls:
        raise BenchError("the trace holds no whole frame")
    return calls


def gl_calls_section(calls):
    lines = ["### GL calls of one frame at rest", "",
             "Calls between the first and the second buffer swap of `lighter_checked`, recorded "
             "with apitrace.", ""]
    if calls is None:
        return "\n".join(lines + ["(apitrace not available)"])
    lines += ["| call | count |", "|---|---:|"]
    lines += ["| %s | %d |" % (name, calls[name]) for name in sorted(calls)]
    return "\n".join(lines)


# --- Mesh reading ---------------------------------------------------------------------


def measure_mesh(build, pace, work):
    empty = os.path.join(work, "empty.m")
    open(empty, "w").close()
    base_kb = median([measured([build.mesh_read, empty], keep_output=False).peak_kb
                      for _ in range(3)])
    files = {}
    for faces in pace.mesh_sizes:
        files[faces] = os.path.join(work, "mesh-%d.m" % faces)
        output_of([build.mesh_gen, str(faces), files[faces]])
    reads = {faces: [] for faces in pace.mesh_sizes}
    for round_ in range(max(pace.mesh_runs(n) for n in pace.mesh_sizes)):
        for faces in pace.mesh_sizes:
            if round_ < pace.mesh_runs(faces):
                run = measured([build.mesh_read, files[faces]], keep_output=False)
                found = re.search(r"faces (\d+) vertices \d+ cpu ([0-9.]+) wall ([0-9.]+)", run.err)
                reads[faces].append((int(found.group(1)), float(found.group(2)),
                                     float(found.group(3)), run.peak_kb))
    return base_kb, reads


def mesh_figures(base_kb, reads):
    rows = []
    for size, runs in reads.items():
        faces = runs[0][0]
        cpu, wall = median([r[1] for r in runs]), median([r[2] for r in runs])
        fastest = min(r[1] for r in runs)
        bytes_per_face = (median([r[3] for r in runs]) - base_kb) * 1024 / faces
        rows.append({"faces": faces, "runs": len(runs), "cpu": cpu, "wall": wall,
                     "fastest": fastest, "bytes": bytes_per_face,
                     "ok": faces / cpu >= BUDGETS["faces_per_second"]
                     and bytes_per_face <= BUDGETS["bytes_per_face"]})
    per_face = [r["cpu"] / r["faces"] for r in rows]
    per_face_fastest = [r["fastest"] / r["faces"] for r in rows]
    return rows, max(per_face) / min(per_face), max(per_face_fastest) / min(per_face_fastest)


def mesh_section(base_kb, reads):
    rows, flatness, flatness_fastest = mesh_figures(base_kb, reads)
    lines = [
        "### Mesh reading",
        "",
        "`mesh_read` reads and prepares one generated mesh as start-up does, standard output",
        "to /dev/null; the sizes in turns, medians of %s runs. Faces per second"
        % " / ".join(str(r["runs"]) for r in rows),
        "by CPU time (the machine is shared; wall time beside it). Bytes per face: peak",
        "resident memory less that of reading an empty file (%d kB)." % base_kb,
        "",
        "| faces | CPU ms | wall ms | faces/s (CPU) | faces/s (wall) | ns/face (CPU) | "
        "ns/face, fastest run | bytes/face | budget |",
        "|---:|---:|---:|---:|---:|---:|---:|---:|---|",
    ]
    for r in rows:
        lines.append("| %d | %.1f | %.1f | %.2f M | %.2f M | %.0f | %.0f | %.1f | %s |" % (
            r["faces"], r["cpu"] * 1e3, r["wall"] * 1e3, r["faces"] / r["cpu"] / 1e6,
            r["faces"] / r["wall"] / 1e6, r["cpu"] / r["faces"] * 1e9,
            r["fastest"] / r["faces"] * 1e9, r["bytes"], verdict(r["ok"])))
    lines += [
        "",
        "Cost per face, slowest size over cheapest: **%.2f** by the medians (budget within %.2f:"
        % (flatness, BUDGETS["flatness"]),
        "%s), **%.2f** by each size's fastest run (%s). The fastest run is"
        % (verdict(flatness <= BUDGETS["flatness"]), flatness_fastest,
           verdict(flatness_fastest <= BUDGETS["flatness"])),
        "the cost without the interference of the machine's other work.",
    ]
    return "\n".join(lines)


# --- Micro-benchmarks -------------------------------------------------------------------


def measure_micro(build, pace, work):
    results = os.path.join(work, "cpu.txt")
    output_of([build.cpu_bench, results, "--benchmark_min_time=" + pace.micro_min_time])
    with open(results, encoding="utf-8") as f:
        return [line.rstrip() for line in f if re.match(r"(BM_|-|Benchmark)", line)]


def micro_section(lines):
    return "\n".join(["### Micro-benchmarks (Google Benchmark)", "", "```"] + lines + ["```"])


# --- A model opened again, from the cache -------------------------------------------------


def cache_models(build, pace, work):
    """(label, model file) of the entries the cache's start-up is measured on."""
    models = os.path.join(work, "cache-models")
    textured = os.path.join(models, "textured")
    os.makedirs(textured)
    shipped = os.path.join(models, "shipped-size.obj")
    budget = os.path.join(models, "budget-size.obj")
    candle = os.path.join(textured, "candle.obj")
    output_of([build.model_gen, "candle", str(pace.cache_candle_faces), shipped])
    output_of([build.model_gen, "case", str(pace.cache_case_faces), budget])
    output_of([build.look_gen, "striped-candle", candle])
    with open(os.path.join(textured, "candle.mtl"), encoding="utf-8") as f:
        texture = re.search(r"^map_Kd (\S+)", f.read(), re.M).group(1)
    side = "%dx%d" % (pace.cache_texture_side, pace.cache_texture_side)
    # The same stripes, larger.
    output_of(["convert", "-size", side, "xc:", "-fx", "((i+j)/128)%2 ? 0.9 : 0.2",
               os.path.join(textured, texture)])
    return [("candle at the shipped lighter's size", shipped),
            ("lighter case at the default face budget", budget),
            ("striped candle with a %s texture" % side.replace("x", " by "), candle)]


def first_frame_ms(checked, model, env):
    env = dict(env, LIGHTER_EXIT_AFTER_FRAMES="1", LIGHTER_LAUNCH_NS=str(time.time_ns()))
    run = measured([checked, model], env=env, keep_output=False)
    found = FIRST_FRAME.search(run.err)
    if found is None:
        raise BenchError("%s printed no start-up time:\n%s" % (checked, run.err[-2000:]))
    return float(found.group(1))


def entry_check_ms(build, pace, label, entry):
    """The check of one entry's files, by sizes and with SHA-256: CPU ms, medians."""
    repetitions = pace.cache_check_repetitions
    argv = [build.cache_check_bench, "entry=" + entry, "--benchmark_format=json",
            "--benchmark_repetitions=%d" % repetitions,
            "--benchmark_min_time=" + pace.micro_min_time]
    if repetitions > 1:
        argv.append("--benchmark_report_aggregates_only=true")
    times = {}
    for b in json.loads(output_of(argv))["benchmarks"]:
        if repetitions == 1 or b.get("aggregate_name") == "median":
            times[b["run_name"].split("/")[-1]] = b["cpu_time"]
    if set(times) != {"sizes", "sizes_and_sha256"}:
        raise BenchError("cache_check_bench gave no times for the %s: %s" % (label, times))
    return times["sizes"], times["sizes_and_sha256"]


def measure_cache(build, baselines, pace, work, display):
    """Per entry: its bytes and largest file, the median first frame of each
    build (this one first) in turns, and the check's own CPU time."""
    rows = []
    for label, model in cache_models(build, pace, work):
        cache = os.path.join(work, "cache")
        env = dict(os.environ, DISPLAY=display, XDG_CACHE_HOME=cache,
                   LIGHTER_IMPORT=build.importer)
        first_frame_ms(build.checked, model, env)  # the import, which fills the entry
        root = os.path.join(cache, "lighter")
        entries = [e for e in os.listdir(root)
                   if not e.startswith(".") and os.path.isdir(os.path.join(root, e))]
        if len(entries) != 1:
            raise BenchError("the cache holds %d entries, not one: %s" % (len(entries), entries))
        entry = os.path.join(root, entries[0])
        files = [(os.path.getsize(os.path.join(d, f)), f)
                 for d, _, names in os.walk(entry) for f in names]
        times = collections.defaultdict(list)
        checked = [build.checked] + [Build(b).checked for b in baselines]
        for _ in range(pace.cache_runs):
            for binary in checked:
                times[binary].append(first_frame_ms(binary, model, env))
        sizes, hashes = entry_check_ms(build, pace, label, entry)
        rows.append((label, sum(size for size, _ in files), max(files),
                     [median(times[b]) for b in checked], sizes, hashes))
        shutil.rmtree(cache)
    return rows


def cache_section(rows, baselines, pace):
    heads = ["this build"] + ["%s / this build" % os.path.basename(os.path.abspath(b))
                              for b in baselines]
    lines = [
        "### A model opened again, from the cache",
        "",
        "`lighter_checked MODEL` a second time, its entry in the cache checked (sizes and",
        "SHA-256) before start-up reads it: launch to the first swapped frame, medians of %d"
        % pace.cache_runs,
        "turns%s; then the check alone (`cache_check_bench`, CPU time, the files in the page"
        % (" with the builds named by --baseline" if baselines else ""),
        "cache as a second open finds them).",
        "",
        "| entry | bytes (largest file) | start-up, " + " | ".join(heads)
        + " | check by sizes | with SHA-256 |",
        "|---|---:|" + "---:|" * len(heads) + "---:|---:|",
    ]
    for label, total, (largest, name), starts, sizes, hashes in rows:
        ratios = ["%.3f" % (s / starts[0]) for s in starts[1:]]
        lines.append("| %s | %d (%s, %d) | %s | %.2f ms | %.2f ms |"
                     % (label, total, name, largest,
                        " | ".join(["%.1f ms" % starts[0]] + ratios), sizes, hashes))
    return "\n".join(lines)


# --- Importing models ---------------------------------------------------------------------

STAGE_LINE = re.compile(r"^  (\w+) +.*\[(\d+) ms CPU\]$", re.M)


def measure_import(build, pace, work):
    models = {}
    for size in pace.import_sizes:
        for fmt in IMPORT_FORMATS:
            path = os.path.join(work, "candle-%d.%s" % (size, fmt))
            models[(size, fmt)] = (path, make_model(build, size, path), os.path.getsize(path))
    budgets = [pace.import_budget, 0]
    runs = collections.defaultdict(list)
    out = os.path.join(work, "imported")
    for round_ in range(max(pace.import_runs(n) for n in pace.import_sizes)):
        say("importing, round %d" % (round_ + 1))
        for (size, fmt), (path, triangles, _) in models.items():
            if round_ >= pace.import_runs(triangles):
                continue
            for budget in budgets:
                run = measured([build.importer, path, "-o", out, "--force", "-v", "--max-faces",
                                str(budget)])
                stages = collections.Counter()
                for name, ms in STAGE_LINE.findall(run.out):
                    stages[name] += int(ms)
                faces = int(re.search(r"^Wrote .*: body (\d+) faces", run.out, re.M).group(1))
                runs[(size, fmt, budget)].append((run, stages, faces))
    return models, budgets, runs


def import_section(models, budgets, runs, pace):
    lines = [
        "## Importing models",
        "",
        "### lighter-import",
        "",
        "The project's candle (`tools/shapes/model_gen candle N`) in three formats, imported with "
        "the",
        "default face budget (%d) and without one, in turns; medians of %s runs."
        % (pace.import_budget, " / ".join(str(pace.import_runs(models[(s, "obj")][1]))
                                          for s in pace.import_sizes)),
        "Wall time, and CPU time and peak resident memory from `/usr/bin/time`; the stages' CPU "
        "times",
        "from `lighter-import -v` (the machine is shared, so CPU time is the steadier figure): "
        "read",
        "is Assimp's loader and its post-processing, clean joins vertices by position and drops",
        "faces without area, frame and sort place the model through the program's view and order",
        "its faces, write makes the data directory. Reading and writing is every stage but the",
        "simplification; below a million triangles the process's fixed costs (starting it, "
        "loading",
        "its libraries) dominate.",
        "",
        "| format | file MB | triangles | budget | faces out | wall ms | CPU ms | read | clean | "
        "simplify | frame+sort | write | reading and writing | peak MB |",
        "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|",
    ]
    summary = []
    largest = max(pace.import_sizes)
    for size in pace.import_sizes:
        for fmt in IMPORT_FORMATS:
            _, triangles, file_bytes = models[(size, fmt)]
            for budget in budgets:
                taken = runs[(size, fmt, budget)]
                stage = {name: median([s[name] for _, s, _ in taken])
                         for name in set().union(*(s.keys() for _, s, _ in taken))}
                io = sum(ms for name, ms in stage.items() if name != "simplify")
                lines.append("| %s | %.1f | %d | %s | %d | %.0f | %.0f | %d | %d | %d | %d | %d | "
                             "%d | %.0f |" % (
                                 fmt, file_bytes / 1e6, triangles, budget or "none", taken[0][2],
                                 1e3 * median([r.wall for r, _, _ in taken]),
                                 1e3 * median([r.cpu for r, _, _ in taken]), stage.get("read", 0),
                                 stage.get("clean", 0), stage.get("simplify", 0),
                                 stage.get("frame", 0) + stage.get("sort", 0),
                                 stage.get("write", 0), io,
                                 median([r.peak_kb for r, _, _ in taken]) / 1024))
                if size == largest and budget == 0:
                    per_million = io / (triangles / 1e6)
                    summary.append((fmt, triangles, per_million))
    lines += [
        "",
        "The stage columns are CPU milliseconds. Reading and writing the largest model",
        "without a budget, per million triangles, against the aim of well under a second:",
        "",
        "| format | triangles | CPU ms per million | under a second |",
        "|---|---:|---:|---|",
    ]
    lines += ["| %s | %d | %.0f | %s |" % (fmt, n, ms, verdict(ms < BUDGETS["import_ms_per_million"]))
              for fmt, n, ms in summary]
    return "\n".join(lines), summary


# --- The web page -------------------------------------------------------------------------


def build_web_page():
    say("building the web page (tools/web.sh --build)")
    output_of(["bash", os.path.join(ROOT, "tools", "web.sh"), "--build"])


def web_frame_rates(seconds):
    """{state: frames/s} of the page in headless Chromium (tests/web/web_page_test.py measure)."""
    printed = output_of(["/usr/bin/python3", os.path.join(ROOT, "tests", "web", "web_page_test.py"),
                         "measure", str(seconds)], env=dict(os.environ, PYTHONDONTWRITEBYTECODE="1"))
    return collections.OrderedDict((row["state"], number(row["frames/s"]))
                                   for row in table_rows(printed, "state"))


def web_section(frames, pace):
    site = os.path.join(ROOT, "build-web", "site")
    lines = [
        "## The web page",
        "",
        "The files of `build-web/site` (tools/web.sh), raw and compressed with gzip at level 9, as",
        "a server would send them:",
        "",
        "| file | bytes | gzip -9 |",
        "|---|---:|---:|",
    ]
    raw_total = gz_total = 0
    for name in sorted(os.listdir(site)):
        with open(os.path.join(site, name), "rb") as f:
            content = f.read()
        raw, gz = len(content), len(gzip.compress(content, 9))
        raw_total, gz_total = raw_total + raw, gz_total + gz
        lines.append("| %s | %d | %d |" % (name, raw, gz))
    lines.append("| **total** | %d | %d |" % (raw_total, gz_total))
    web = frames["runs"]["web"]
    desktop = state_medians(frames["runs"]["shipped"])
    lines += [
        "",
        "Frames a second the page draws in headless Chromium (SwiftShader), %g s a state, and"
        % pace.web_seconds,
        "the desktop's `frame_bench` (Xvfb, Mesa llvmpipe) on the same machine, the two in turns,",
        "%d runs each, medians. Both are software renderers; the page's frames are also held to"
        % len(web),
        "the browser's animation frames (at most 60 a second).",
        "",
        "| state | web page, frames/s | desktop, frames/s | page over desktop |",
        "|---|---:|---:|---:|",
    ]
    for state in web[0]:
        rate = median([run[state] for run in web if state in run])
        if state in desktop:
            lines.append("| %s | %.1f | %.0f | %.2f |" % (state, rate, desktop[state][0],
                                                         rate / desktop[state][0]))
        else:
            lines.append("| %s | %.1f | (no such state) | |" % (state, rate))
    return "\n".join(lines)


# --- Budgets --------------------------------------------------------------------------------


def budgets_section(frames, startup, mesh, imports):
    rows, flatness, _ = mesh_figures(*mesh)
    first = [r[0] for r in startup]
    shipped, imported = frames["runs"]["shipped"], frames["runs"]["imported"]
    lit_shipped = median([r.lit_rest for r in shipped])
    lit_imported = median([r.lit_rest for r in imported])
    share = median([r.cpu_share for r in shipped if r.cpu_share is not None] or [float("nan")])
    per_face = ", ".join("%.0f" % (r["cpu"] / r["faces"] * 1e9) for r in rows)
    lines = [
        "| budget | figure | verdict |",
        "|---|---|---|",
        "| mesh reading >= 1 million faces/s at every size, output to /dev/null | %s faces/s "
        "(CPU time) | %s |" % (", ".join("%.2f M" % (r["faces"] / r["cpu"] / 1e6) for r in rows),
                               verdict(all(r["faces"] / r["cpu"] >= BUDGETS["faces_per_second"]
                                           for r in rows))),
        "| mesh reading cost per face flat across the sizes (within 20 %%) | %s ns/face: %.2f | %s |"
        % (per_face, flatness, verdict(flatness <= BUDGETS["flatness"])),
        "| mesh reading <= 100 bytes of peak memory per face | %s bytes/face | %s |"
        % (", ".join("%.1f" % r["bytes"] for r in rows),
           verdict(all(r["bytes"] <= BUDGETS["bytes_per_face"] for r in rows))),
        "| start-up to the first swapped frame < 150 ms | median %.0f ms (%.0f to %.0f ms) | %s |"
        % (median(first), min(first), max(first), verdict(median(first) < BUDGETS["startup_ms"])),
        "| CPU outside GL < 5 %% of a flame-lit frame | %.2f %% | %s |" % (share, verdict(share < 5)),
        "| Lit no slower than Smooth on the shipped lighter, at rest | %.2f | %s |"
        % (lit_shipped, verdict(lit_shipped <= BUDGETS["lit_shipped"])),
        "| Lit at most 0.75 of Smooth's frame time on an imported model of %d faces, at rest "
        "| %.2f | %s |" % (frames["imported_faces"], lit_imported,
                          verdict(lit_imported <= BUDGETS["lit_imported"])),
    ]
    for fmt, triangles, ms in imports:
        lines.append("| importing: reading and writing a million triangles well under a second "
                     "(%s, %d triangles, no budget) | %.0f CPU ms per million | %s |"
                     % (fmt, triangles, ms, verdict(ms < BUDGETS["import_ms_per_million"])))
    return "\n".join(lines)


# --- The report -----------------------------------------------------------------------------


def stamp(build):
    commit = subprocess.run(["git", "-C", ROOT, "rev-parse", "--short", "HEAD"],
                            capture_output=True, text=True).stdout.strip() or "?"
    with open("/proc/loadavg", encoding="ascii") as f:
        load = " ".join(f.read().split()[:3])
    when = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")
    return ("Measured %s at commit %s, %s build, on %d cores\n(load average then: %s) by "
            "`tools/bench.py`." % (when, commit, build.kind, os.cpu_count(), load))


def put_section(text, name, body):
    """`text` with the section NAME (between its markers) replaced by `body`,
    or `body` appended in its markers."""
    begin = "<!-- bench.py: %s begin (written by tools/bench.py; do not edit by hand) -->" % name
    end = "<!-- bench.py: %s end -->" % name
    pattern = re.compile(r"<!-- bench\.py: %s begin.*?<!-- bench\.py: %s end -->" % (name, name),
                         re.S)
    block = begin + "\n" + body.rstrip() + "\n" + end
    if pattern.search(text):
        return pattern.sub(lambda _: block, text, count=1)
    return text.rstrip() + "\n\n" + block + "\n"


def measure(sections, build, pace, work, baselines=()):
    """{section: Markdown} for the sections asked for."""
    out = {}
    frames = startup = mesh = imports = None
    if sections & NEED_FRAMES:
        frames = measure_frames(build, pace, work, with_web="web" in sections)
    if sections & {"frames"}:
        out["frames"] = frames_section(frames)
    if sections & {"startup", "gl_calls", "budgets"}:
        say("start-up and the GL calls of one frame")
        with Xvfb() as x:
            startup = measure_startup(build, pace, x.display)
            if "gl_calls" in sections:
                out["gl_calls"] = gl_calls_section(measure_gl_calls(build, x.display, work))
        if "startup" in sections:
            out["startup"] = startup_section(startup)
    if sections & {"mesh", "budgets"}:
        say("mesh reading")
        mesh = measure_mesh(build, pace, work)
        if "mesh" in sections:
            out["mesh"] = mesh_section(*mesh)
    if "micro" in sections:
        say("micro-benchmarks")
        out["micro"] = micro_section(measure_micro(build, pace, work))
    if sections & {"import", "budgets"}:
        text, imports = import_section(*measure_import(build, pace, work), pace)
        if "import" in sections:
            out["import"] = text + "\n\n" + imported_frames_section(frames)
    if "web" in sections:
        out["web"] = web_section(frames, pace)
    if "recording" in sections:
        say("frames while recording a clip")
        out["recording"] = measure_recording(build, pace)
    if "cache" in sections:
        say("a model opened again, from the cache")
        with Xvfb() as x:
            out["cache"] = cache_section(measure_cache(build, baselines, pace, work, x.display),
                                         baselines, pace)
    if "budgets" in sections:
        out["budgets"] = budgets_section(frames, startup, mesh, imports)
    return out


def build_for_bench(web):
    say("building the bench preset (Release) in build-bench/")
    output_of(["cmake", "--preset", "bench"], cwd=ROOT)
    output_of(["cmake", "--build", "--preset", "bench", "-j2", "--target", "lighter_checked",
               "lighter_data", "frame_bench", "cpu_bench", "mesh_gen", "mesh_read", "model_gen",
               "lighter-import", "look_gen", "cache_check_bench"], cwd=ROOT)
    if web:
        build_web_page()
    return Build(os.path.join(ROOT, "build-bench"))


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--quick", action="store_true",
                        help="a few short runs on small models, never into the report")
    parser.add_argument("--build", help="use this built tree as it is (default: build the "
                                        "bench preset, and the web page)")
    parser.add_argument("--report", help="the file to write (default: docs/performance.md; "
                                         "with --quick a temporary file)")
    parser.add_argument("--only", help="comma-separated sections (default: all): "
                                       + ", ".join(SECTIONS))
    parser.add_argument("--baseline", nargs="+", default=[], metavar="DIR",
                        help="built trees whose lighter_checked takes turns with this "
                             "build's in the cache section")
    args = parser.parse_args(argv)
    sections = set(args.only.split(",")) if args.only else set(SECTIONS)
    if not sections <= set(SECTIONS):
        parser.error("unknown section(s): " + ", ".join(sorted(sections - set(SECTIONS))))
    report = args.report
    if args.quick:
        if args.build is None:
            parser.error("--quick needs --build DIR")
        if report is None:
            report = tempfile.mkstemp(prefix="lighter-bench-", suffix=".md")[1]
        if os.path.realpath(report) == os.path.realpath(REPORT):
            parser.error("--quick never writes the report's figures")
    report = report or REPORT
    build = Build(os.path.abspath(args.build)) if args.build else build_for_bench("web" in sections)
    pace = Pace(args.quick)
    with tempfile.TemporaryDirectory(prefix="lighter-bench-") as work:
        try:
            measured_sections = measure(sections, build, pace, work, args.baseline)
        except BenchError as e:
            print("bench: FAILED: %s" % e, file=sys.stderr)
            return 1
    text = ""
    if os.path.exists(report):
        with open(report, encoding="utf-8") as f:
            text = f.read()
    text = text or "# Performance\n"
    for name in SECTIONS:
        if name in measured_sections:
            body = measured_sections[name]
            # The heading first (the budgets have none), then when and where it was measured.
            head, _, rest = ("", "", body) if name == "budgets" else body.partition("\n")
            text = put_section(text, name, "\n\n".join(
                part for part in (head, stamp(build), rest.strip("\n")) if part))
    with open(report, "w", encoding="utf-8") as f:
        f.write(text)
    say("wrote " + report)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
