#!/usr/bin/env bash
# Builds the editor, its tests and benchmarks twice (plain, and with
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs every test in
# both builds. Installs what the tests need (GoogleTest, Google Benchmark,
# tmux, ...) when run as root on a machine that lacks it; otherwise names
# the packages.
set -euo pipefail
cd "$(dirname "$0")"
. tools/need-packages.sh
need_packages "building and testing lumo" "${build_packages[@]}" \
    "/usr/include/gtest/gtest.h:libgtest-dev" \
    "/usr/include/benchmark/benchmark.h:libbenchmark-dev" \
    "tmux:tmux" "python3:python3" "man:man-db"
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMO_TESTS=ON -DLUMO_BENCH=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"
cmake -S . -B build-san -DCMAKE_BUILD_TYPE=Debug -DLUMO_SANITIZE=ON -DLUMO_TESTS=ON >/dev/null
cmake --build build-san -j"$jobs"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-san --output-on-failure -j"$jobs"
