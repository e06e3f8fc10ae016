#!/usr/bin/env bash
# The download tests of brimlo_win32_tests (DownloadAdapterTest) against a loopback web server on
# the Linux side: Python's http.server serves a scratch directory on 127.0.0.1, the test program
# runs under Wine through wine-run and puts its files into that directory, and the server ends
# with this script.
#
#   online_adapters.sh [brimlo_win32_tests.exe] [GoogleTest arguments...]
#
# The program comes from the first argument or BRIMLO_WIN32_TESTS; wine-run from BRIMLO_WINE_RUN.
# The test program learns the server from BRIMLO_TEST_HTTP_PORT, BRIMLO_TEST_HTTP_ROOT (the
# directory as a Windows path) and BRIMLO_TEST_REFUSED_PORT (a port nobody listens on).
set -euo pipefail

exe=${BRIMLO_WIN32_TESTS:-}
if [ $# -gt 0 ] && [[ $1 == *.exe ]]; then
  exe=$1
  shift
fi
[ -n "$exe" ] || {
  echo "usage: online_adapters.sh <brimlo_win32_tests.exe> [gtest args]" >&2
  exit 2
}
run=${BRIMLO_WINE_RUN:?BRIMLO_WINE_RUN (harness/wine-run of the build tree) is not set}
command -v python3 >/dev/null || {
  echo "python3 is not installed (scripts/setup installs it)" >&2
  exit 1
}

work=$(mktemp -d "${TMPDIR:-/tmp}/brimlo-online.XXXXXX")
mkdir -p "$work/root"
server=''
cleanup() {
  local rc=$?
  if [ -n "$server" ] && kill -0 "$server" 2>/dev/null; then
    kill -TERM "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
  fi
  rm -rf "$work"
  exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# Two distinct ports that were free a moment ago: one for the server, one that stays closed.
free_ports() {
  python3 - <<'PY'
import socket
a, b = socket.socket(), socket.socket()
a.bind(("127.0.0.1", 0))
b.bind(("127.0.0.1", 0))
print(a.getsockname()[1], b.getsockname()[1])
PY
}

answers() {
  python3 - "$1" <<'PY'
import sys, urllib.request
urllib.request.urlopen("http://127.0.0.1:%s/" % sys.argv[1], timeout=2).read()
PY
}

# Another program may take the port between the choice and the server's start: choose again.
for attempt in 1 2 3 4 5; do
  read -r port refused < <(free_ports)
  python3 -m http.server --bind 127.0.0.1 --directory "$work/root" "$port" \
    </dev/null >"$work/server.log" 2>&1 &
  server=$!
  for ((i = 0; i < 100; i++)); do
    answers "$port" 2>/dev/null && break 2
    kill -0 "$server" 2>/dev/null || break
    sleep 0.1
  done
  kill -TERM "$server" 2>/dev/null || true
  wait "$server" 2>/dev/null || true
  server=''
  echo "online_adapters.sh: the server did not start on port $port (attempt $attempt)" >&2
  cat "$work/server.log" >&2
done
[ -n "$server" ] || exit 1

export BRIMLO_TEST_HTTP_PORT=$port
export BRIMLO_TEST_REFUSED_PORT=$refused
root_windows="Z:${work//\//\\}\\root"
export BRIMLO_TEST_HTTP_ROOT=$root_windows
echo "online_adapters.sh: serving $work/root on 127.0.0.1:$port; port $refused stays closed" >&2

status=0
"$run" "$exe" --gtest_filter='DownloadAdapterTest.*' "$@" 2>&1 | tee "$work/tests.log" ||
  status=${PIPESTATUS[0]}
# Without the server the tests skip, which GoogleTest counts as passed: here that is a failure.
if [ "$status" -eq 0 ] && grep -q '^\[  SKIPPED \]' "$work/tests.log"; then
  echo "online_adapters.sh: download tests were skipped although the server runs" >&2
  status=1
fi
if ! grep -q '^\[  PASSED  \] [1-9]' "$work/tests.log" && [ "$status" -eq 0 ]; then
  echo "online_adapters.sh: no download test ran" >&2
  status=1
fi
exit "$status"
