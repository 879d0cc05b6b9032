#!/usr/bin/env bash
# Builds the editor (installing the compiler and CMake when run as root on a
# machine that lacks them) and starts it on the files given.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/tools/need-packages.sh"
need_packages "building lumo" "${build_packages[@]}"
cmake -S "$here" -B "$here/build" >/dev/null
cmake --build "$here/build" -j"$(nproc 2>/dev/null || echo 2)" --target lumo
exec "$here/build/lumo" "$@"
