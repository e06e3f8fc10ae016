#!/usr/bin/env bash
# Checks the figures' arithmetic: a wrong median or verdict would misreport every run.
set -euo pipefail
. "$(dirname "$0")/lib.sh"

failures=0
check() { # check <expected> <command...>
  local want=$1 got
  shift
  got=$("$@" 2>/dev/null) || got="(failed)"
  if [ "$got" != "$want" ]; then
    echo "lib_test: $* gave '$got', expected '$want'" >&2
    failures=$((failures + 1))
  fi
}

# Medians: odd and even counts, unsorted input, numbers of different widths (sorted as numbers,
# not as text).
check 5 bench_median 5
check 300 bench_median 900 100 300
check 150 bench_median 100 200 900 50
check 95 bench_median 1000 95 90 100 20
check 2.5 bench_median 1.5 3.5 2 3
check '(failed)' bench_median

check 1.00 bench_ratio 640 640
check 1.27 bench_ratio 812 640
check 0.50 bench_ratio 1 2
check '(failed)' bench_ratio 5 0

check met bench_verdict 1.15 1.15
check met bench_verdict 0.90 1.30
check 'missed by 10%' bench_verdict 1.27 1.15
check 'missed by 100%' bench_verdict 2.60 1.30

# Quartiles: interpolated between neighbours, unsorted input, one value alone.
check '1.25 3.75' bench_quartiles 4 1 3 2 5 0
check '1.10 1.10' bench_quartiles 1.1
check '(failed)' bench_quartiles
# Ratios pair by pair, in the order run; unequal counts are an error, not a shorter list.
check $'1.5000\n0.5000' bench_pair_ratios 3 1 -- 2 2
check '(failed)' bench_pair_ratios 3 1 -- 2
check '(failed)' bench_pair_ratios 3 -- 0

check 97.2 bench_mib 99532.8
check 0.0 bench_mib 0

[ "$failures" -eq 0 ] || exit 1
