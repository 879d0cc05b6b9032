#!/usr/bin/env bash
# Measures start-up, bytes per key, quit time and peak memory of lumo in a
# pseudo-terminal, side by side with the floor program and vim -u NONE.
# Usage: bench/pty/run.sh [RUNS]   (needs ../shared/tools and a Release build)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
tools=${LUMO_TOOLS:-$top/../shared/tools}
runs=${1:-5}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake -S "$top" -B "$top/build-release" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$top/build-release" --target lumo -j2 >/dev/null
python3 "$tools/gendata.py" "$work" >/dev/null
cc -O2 -o "$work/floor" "$tools/floor.c"
bench() {  # name script args...
    local name=$1 script=$2; shift 2
    echo "== $name"
    python3 "$tools/ptybench.py" --no-runs --runs "$runs" --answer-queries \
        --env LUMO_HOME="$work/state" --keys-file "$script" -- "$@" |
        python3 -c '
import json,sys
d=json.load(sys.stdin)["summary"]
def walk(p,v):
    if isinstance(v,dict):
        for k,x in v.items(): walk(p+[k],x)
    elif isinstance(v,list):
        for step in v:
            for k in ("bytes_per_key","settle_ms"):
                if k in step: print("step", step["name"], k, step[k]["median"])
    else: print(".".join(p), v)
walk([],d)' | grep -E "median|^rss|first_paint|^step" | grep -vE "min|max" || true
}
floorjson=$(mktemp); echo '{"startup":{"quiet_ms":300,"timeout_s":20},"steps":[{"name":"down","send":"j","repeat":5,"quiet_ms":100},{"name":"quit","send":"q","exit":true}]}' > "$floorjson"
bench "floor big.txt" "$floorjson" "$work/floor" "$work/big.txt"
bench "vim -u NONE big.txt" "$here/vim.json" vim -u NONE -N "$work/big.txt" || true
bench "lumo big.txt" "$here/keys.json" "$top/build-release/lumo" -W "$work/big.txt"
bench "lumo -+ big.txt" "$here/keys.json" "$top/build-release/lumo" -W-+ "$work/big.txt"
bench "lumo F10 Esc small.txt" "$here/menu.json" "$top/build-release/lumo" -W "$work/small.txt"
bench "lumo quit small.txt" "$here/quit.json" "$top/build-release/lumo" -W "$work/small.txt"
rm -f "$floorjson"
