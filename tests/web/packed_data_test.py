"""The web page's packed data set is the desktop build's, byte for byte.

    packed_data_test.py SITE DATA_DIR

SITE holds the built page (index.js, index.data), DATA_DIR the desktop
build's data set. Emscripten's file packager writes the package's table of
contents into index.js (loadPackage({"files": [{"filename", "start",
"end"}, ...], "remote_package_size": N})) and the files' bytes, one after
the other, into index.data. Exit 0: the same files with the same bytes."""

import json
import os
import re
import sys


def packed_files(site):
    """{path in the page's file system: bytes} as index.js and index.data hold them."""
    with open(os.path.join(site, "index.js"), encoding="utf-8") as f:
        script = f.read()
    found = re.search(r'loadPackage\((\{"files":.*?"remote_package_size":\d+[^}]*\})\)', script)
    if found is None:
        raise SystemExit("no package table of contents in index.js")
    contents = json.loads(found.group(1))
    with open(os.path.join(site, "index.data"), "rb") as f:
        package = f.read()
    if len(package) != contents["remote_package_size"]:
        raise SystemExit("index.data holds %d bytes, its table of contents says %d"
                         % (len(package), contents["remote_package_size"]))
    return {entry["filename"]: package[entry["start"]:entry["end"]] for entry in contents["files"]}


def desktop_files(data_dir):
    files = {}
    for folder, _, names in os.walk(data_dir):
        for name in names:
            path = os.path.join(folder, name)
            with open(path, "rb") as f:
                files["/" + os.path.relpath(path, data_dir)] = f.read()
    return files


def main(argv):
    if len(argv) != 3:
        print("usage: %s SITE DATA_DIR" % argv[0], file=sys.stderr)
        return 2
    packed, desktop = packed_files(argv[1]), desktop_files(argv[2])
    failures = []
    if sorted(packed) != sorted(desktop):
        failures.append("the page packs %s, the desktop build has %s" % (sorted(packed), sorted(desktop)))
    for name in sorted(set(packed) & set(desktop)):
        if packed[name] != desktop[name]:
            failures.append("%s differs: %d bytes packed, %d on the desktop"
                            % (name, len(packed[name]), len(desktop[name])))
    for failure in failures:
        print("FAILED: " + failure, file=sys.stderr)
    if not failures:
        print("the page packs the desktop's %d files byte for byte" % len(packed))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
