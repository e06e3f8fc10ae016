# shellcheck shell=bash
# The arithmetic of the benchmark figures, sourced by scripts/bench (and checked by lib_test.sh).

# bench_median <number>...: the middle value (the mean of the two middle ones for an even count).
bench_median() {
  [ $# -gt 0 ] || return 1
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
    END { if (NR % 2) printf "%g\n", v[(NR + 1) / 2]; else printf "%g\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# bench_ratio <measured> <baseline>: measured / baseline with two decimals.
bench_ratio() {
  awk -v a="$1" -v b="$2" 'BEGIN { if (b <= 0) exit 1; printf "%.2f\n", a / b }'
}

# bench_verdict <ratio> <limit>: "met" when the ratio is at most the limit, otherwise how far it is
# over the limit, in percent of the limit ("missed by 12%").
bench_verdict() {
  awk -v r="$1" -v l="$2" 'BEGIN {
    if (r <= l) print "met"; else printf "missed by %.0f%%\n", (r / l - 1) * 100 }'
}

# bench_mib <kilobytes>: the size in MiB with one decimal.
bench_mib() { awk -v k="$1" 'BEGIN { printf "%.1f\n", k / 1024 }'; }

# bench_quartiles <number>...: the first and the third quartile ("q1 q3", two decimals), linear
# between the two nearest values as most statistics tools compute them.
bench_quartiles() {
  [ $# -gt 0 ] || return 1
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
    function q(p,   h, i) { h = (NR - 1) * p + 1; i = int(h); return v[i] + (h - i) * (v[i + 1 < NR ? i + 1 : NR] - v[i]) }
    END { printf "%.2f %.2f\n", q(0.25), q(0.75) }'
}

# bench_pair_ratios <a>... -- <b>...: a[i] / b[i] for each pair run one after the other, one a
# line with four decimals.
bench_pair_ratios() {
  local a=() i
  while [ $# -gt 0 ] && [ "$1" != -- ]; do
    a+=("$1")
    shift
  done
  [ $# -gt 0 ] || return 1
  shift
  [ $# -eq ${#a[@]} ] && [ $# -gt 0 ] || return 1
  for ((i = 0; i < ${#a[@]}; i++)); do
    awk -v a="${a[$i]}" -v b="$1" 'BEGIN { if (b <= 0) exit 1; printf "%.4f\n", a / b }' || return 1
    shift
  done
}
