#!/usr/bin/env bash
# F7 from line 1 to "zanzibar" on the last line of big.txt, and F6 "the" by
# "THE" on all 24,575 lines without questions, side by side with vim -u NONE
# (/zanzibar and :%s/the/THE/g). Compare the "search" and "replace" steps.
# Usage: bench/pty/search.sh [RUNS]   (needs ../shared/tools and a Release build)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
tools=$(cd "$root/../../shared/tools" 2>/dev/null && pwd || echo /work/shared/tools)
runs=${1:-7}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 "$tools/gendata.py" "$work" > /dev/null
bench() { python3 "$tools/ptybench.py" --runs "$runs" --no-runs --cwd "$work" "$@"; }
# The settings file would put the cursor back where the last run ended; the
# search script goes to line 1 (Ctrl+Home) first.
bench --keys-file "$here/search.json" --env LUMO_HOME="$work/state" -- "$root/build/lumo" -W big.txt
bench --keys-file "$here/vim_search.json" -- vim -u NONE -N big.txt
bench --keys-file "$here/replace.json" --env LUMO_HOME="$work/state" -- "$root/build/lumo" -W big.txt
bench --keys-file "$here/vim_replace.json" -- vim -u NONE -N big.txt
