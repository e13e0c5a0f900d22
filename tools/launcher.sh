#!/bin/sh
# Runs the installed lighter from its data directory, where it reads its files.
here=$(dirname "$0")
prefix=$(cd "$here/.." && pwd)
cd "$prefix/share/lighter" || exit 1
exec "$prefix/lib/lighter/lighter" "$@"
