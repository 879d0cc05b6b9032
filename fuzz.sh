#!/usr/bin/env bash
# Builds the fuzz targets with clang in build-fuzz/ and runs each of them for
# SECONDS seconds: ./fuzz.sh SECONDS [TARGET...] (all targets when none is
# named; a target is a name from fuzz/, e.g. "load").
#
# Each target starts from its seeds in fuzz/corpus/<target>/ (never written),
# with the dictionary fuzz/<target>.dict when there is one,
# and keeps what it finds in build-fuzz/corpus/<target>/; a crashing input
# goes to build-fuzz/artifacts/<target>/ and the log to
# build-fuzz/logs/<target>.log. Exits 1 when any target crashed (or could
# not be built), 0 otherwise; without clang and libFuzzer it says so and
# exits 0.
set -euo pipefail
cd "$(dirname "$0")"

seconds=${1:-}
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
    echo "usage: $0 SECONDS [TARGET...]" >&2
    exit 2
fi
shift

probe_dir=$(mktemp -d)
trap 'rm -rf "$probe_dir"' EXIT
printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' >"$probe_dir/p.cpp"
if ! command -v clang++ >/dev/null || ! command -v clang >/dev/null ||
    ! clang++ -fsanitize=fuzzer,address,undefined "$probe_dir/p.cpp" -o "$probe_dir/p" 2>/dev/null; then
    echo "fuzz.sh: clang with libFuzzer is not installed: the fuzz targets are skipped"
    exit 0
fi

jobs=${LUMO_JOBS:-2}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DLUMO_FUZZ=ON >/dev/null
if [ $# -gt 0 ]; then
    targets=("$@")
else
    targets=()
    for source in fuzz/*.cpp; do
        name=$(basename "$source" .cpp)
        targets+=("$name")
    done
fi
build_targets=()
for t in "${targets[@]}"; do build_targets+=(--target "fuzz_$t"); done
nice cmake --build build-fuzz -j"$jobs" "${build_targets[@]}"

mkdir -p build-fuzz/logs
# Absolute paths: a target works in a directory of its own.
out="$PWD/build-fuzz"
failed=()
for t in "${targets[@]}"; do
    mkdir -p "build-fuzz/corpus/$t" "build-fuzz/artifacts/$t"
    seeds=()
    [ -d "fuzz/corpus/$t" ] && seeds=("$PWD/fuzz/corpus/$t")
    dict=()
    [ -f "fuzz/$t.dict" ] && dict=(-dict="$PWD/fuzz/$t.dict")
    log="build-fuzz/logs/$t.log"
    echo "fuzz.sh: $t for ${seconds}s (log: $log)"
    # A run that takes seconds on one input counts as a hang.
    if "$out/fuzz_$t" -max_total_time="$seconds" -timeout=25 -print_final_stats=1 "${dict[@]}" \
        -artifact_prefix="$out/artifacts/$t/" "$out/corpus/$t" "${seeds[@]}" >"$log" 2>&1; then
        grep -E '^#[0-9]+.*(DONE|pulse|NEW|REDUCE|INITED)' "$log" | tail -n 1 || true
    else
        echo "fuzz.sh: $t FAILED; the input is in build-fuzz/artifacts/$t/:"
        grep -E 'ERROR|invariant broken|^  |Test unit written|SUMMARY' "$log" | head -n 20 || true
        failed+=("$t")
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz.sh: crashed: ${failed[*]}"
    exit 1
fi
echo "fuzz.sh: ${#targets[@]} targets ran ${seconds}s each without a crash"
