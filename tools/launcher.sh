#!/bin/sh
# Runs the installed lighter from its data directory, where it reads its files.
# The prefix is found from this script's real location, so a symbolic link to
# it (say in /usr/local/bin) works as well.
prefix=$(cd "$(dirname "$(readlink -f "$0")")/.." && pwd) || exit 1
cd "$prefix/share/lighter" || exit 1
exec "$prefix/lib/lighter/lighter" "$@"
