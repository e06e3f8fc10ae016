#!/usr/bin/env bash
# The harness's bookkeeping of the processes it starts, checked with ordinary Unix processes:
# a session left by a crashed run must be cleaned up without ever ending a process that merely
# got one of its old PIDs.
set -uo pipefail

# shellcheck disable=SC1090
. "${BRIMLO_HARNESS_SCRIPT:-$(dirname "$0")/harness.sh}"

failures=0
check() {
  local what=$1
  shift
  if "$@"; then
    echo "ok   $what"
  else
    echo "FAIL $what"
    failures=$((failures + 1))
  fi
}
refute() { ! "$@"; }
same() {
  [ "$1" = "$2" ] && return 0
  printf '     expected: %q\n     got:      %q\n' "$2" "$1"
  return 1
}

work=$(mktemp -d)
started=()
cleanup() {
  local p
  {
    for p in "${started[@]}"; do kill -KILL "$p" && wait "$p"; done
  } 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

spawn() {
  "$@" </dev/null >/dev/null 2>&1 &
  started+=("$!")
}

# A process that merely got a recorded PID: same number, another start time.
spawn sleep 60
other=$!
other_id=$(h_ident "$other")
reused_id="$other:$((${other_id#*:} + 1))"

# A zombie: the child of a process that never collects it.
bash -c 'sleep 0.1 & echo $! >"$1"; exec sleep 60' _ "$work/zombie" </dev/null >/dev/null 2>&1 &
started+=("$!")
sleep 0.5
zombie=$(cat "$work/zombie")

# A PID no process has: one that has just ended.
sleep 0 &
dead=$!
wait "$dead"
dead_id="$dead:1"

# --- Which recorded processes count as running ------------------------------------------------
while IFS='|' read -r what id expected; do
  if [ "$expected" = yes ]; then
    check "alive: $what" h_alive "$id"
  else
    check "not alive: $what" refute h_alive "$id"
  fi
done <<EOF
running process with its own start time|$other_id|yes
same PID, other start time (reused)|$reused_id|no
ended process|$dead_id|no
zombie|$(h_ident "$zombie" || echo "$zombie:0")|no
empty record||no
PID without start time|$other|no
not a number|abc:123|no
EOF

# --- Ending -------------------------------------------------------------------------------------
h_end "$reused_id"
check "ending a reused PID leaves that process running" kill -0 "$other"

# Like the session's processes: timeout leading its own group, the real program its child.
spawn timeout 60 sleep 61
group_leader=$!
sleep 0.2
group_child=$(cut -d' ' -f1 "/proc/$group_leader/task/$group_leader/children" 2>/dev/null || true)
check "timeout has its child" test -n "$group_child"
h_end "$(h_ident "$group_leader")"
check "ending a recorded timeout ends it" refute kill -0 "$group_leader" 2>/dev/null
check "ending a recorded timeout ends its program" refute kill -0 "$group_child" 2>/dev/null

# A program that ignores TERM is killed.
spawn bash -c 'trap "" TERM; while :; do sleep 0.1; done'
stubborn=$!
sleep 0.2
h_end "$(h_ident "$stubborn")"
check "a process ignoring TERM is ended" refute kill -0 "$stubborn" 2>/dev/null

# --- The session file ---------------------------------------------------------------------------
export BRIMLO_HARNESS_SESSION="$work/state dir/session.env"
export BRIMLO_WINE_PREFIX="$work/it's a \"prefix\" \$HOME/wineprefix"
export BRIMLO_WINE_ARCH=win64
h_config
mkdir -p "$h_dir"
h_reset_state
S_DISPLAY=:4711 S_XVFB=$other_id S_XVFB_SERVER=$dead_id S_OPENBOX=$reused_id S_KEEPER=$dead_id
S_STATE=ready
h_write_session
h_read_session "$BRIMLO_HARNESS_SESSION"
check "session file keeps a prefix path with quotes, spaces and \$" \
  test "$S_PREFIX" = "$BRIMLO_WINE_PREFIX"
check "session file keeps the display and processes" \
  test "$S_DISPLAY|$S_XVFB|$S_OPENBOX|$S_KEEPER" = ":4711|$other_id|$reused_id|$dead_id"
check "a session with an ended keeper is not live" refute h_session_live
environment=$(env -i bash -c '. "$1"; echo "$DISPLAY|$WINEPREFIX|$WINEARCH|$WINEDEBUG"' _ \
  "$BRIMLO_HARNESS_SESSION")
check "sourcing the session file exports the Wine environment" \
  test "$environment" = ":4711|$BRIMLO_WINE_PREFIX|win64|-all"
resolved=$(env -i PATH=/usr/bin:/bin bash -c '. "$1"; command -v wine-stable; command -v wine' _ \
  "$BRIMLO_HARNESS_SESSION")
check "the session puts the project's wine first, as wine and wine-stable" \
  test "$resolved" = "$h_winebin/wine-stable"$'\n'"$h_winebin/wine"

# --- Which loader starts a program --------------------------------------------------------------
# Stand-ins for the two loaders say which one ran; the 32-bit one fails, as on a machine whose
# kernel refuses 32-bit programs, while $work/no32 exists (whatever BRIMLO_NO_32BIT says).
mkdir -p "$work/loaders" "$work/prefix32" "$work/prefix64" "$work/new"
printf '#!/bin/sh\n[ -e "%s" ] && exit 126\necho "32 $WINELOADER $*"\n' "$work/no32" >"$work/loaders/wine"
printf '#!/bin/sh\necho "64 $WINELOADER $*"\n' >"$work/loaders/wine64"
chmod +x "$work/loaders/wine" "$work/loaders/wine64"
printf 'WINE REGISTRY Version 2\n#arch=win32\n' >"$work/prefix32/system.reg"
printf 'WINE REGISTRY Version 2\n#arch=win64\n' >"$work/prefix64/system.reg"
l32=$work/loaders/wine l64=$work/loaders/wine64
loader() { # loader <no32: yes|no> <WINEARCH or -> <prefix> <arguments...>
  local no32=$1 arch=$2 prefix=$3
  shift 3
  if [ "$no32" = yes ]; then touch "$work/no32"; else rm -f "$work/no32"; fi
  local -a env=(env -u WINEARCH -u BRIMLO_NO_32BIT BRIMLO_WINE_LOADER32="$l32" BRIMLO_WINE_LOADER64="$l64")
  [ "$arch" != - ] && env+=(WINEARCH="$arch")
  "${env[@]}" WINEPREFIX="$work/$prefix" "$h_wine" "$@" 2>/dev/null
}
while IFS='|' read -r what no32 arch prefix args expected; do
  # shellcheck disable=SC2086
  check "loader: $what" same "$(loader "$no32" "$arch" "$prefix" $args)" "$expected"
done <<TABLE
WINEARCH=win64 where 32-bit programs run|no|win64|new|run.exe a|64 $l64 run.exe a
WINEARCH=win32|no|win32|new|run.exe a|32 $l32 run.exe a
a 64-bit prefix, no WINEARCH|no|-|prefix64|run.exe a|64 $l64 run.exe a
a 32-bit prefix, no WINEARCH|no|-|prefix32|run.exe a|32 $l32 run.exe a
a new prefix where 32-bit programs run|no|-|new|run.exe a|32 $l32 run.exe a
a new prefix where they cannot|yes|-|new|run.exe a|64 $l64 run.exe a
a 32-bit prefix where they cannot: refused|yes|win32|new|run.exe a|
the machine's choice where 32-bit programs run|no|-|new|--brimlo-arch|win32
the machine's choice where they cannot|yes|-|new|--brimlo-arch|win64
TABLE
rm -f "$work/no32"

# A crashed run's session: its X server lock names a server that has ended.
free=''
for n in $(seq 6100 6199); do
  if h_display_free "$n"; then
    free=$n
    break
  fi
done
check "a free display number exists" test -n "$free"
lock=/tmp/.X$free-lock
printf '%10d\n' "$dead" >"$lock"
S_DISPLAY=:$free S_XVFB=$dead_id S_XVFB_SERVER=$dead_id S_OPENBOX=$reused_id S_KEEPER=$dead_id
h_write_session
check "stopping a stale session succeeds" h_stop 2>/dev/null
check "stopping removes the session file" test ! -e "$BRIMLO_HARNESS_SESSION"
check "stopping removes the lock of the ended X server" test ! -e "$lock"
check "stopping a stale session leaves a reused PID's process running" kill -0 "$other"
check "stopping without a session succeeds" h_stop 2>/dev/null

# The lock of a server that is not the recorded one stays.
printf '%10d\n' "$other" >"$lock"
S_DISPLAY=:$free S_XVFB=$dead_id S_XVFB_SERVER=$dead_id S_OPENBOX='' S_KEEPER=''
h_write_session
h_stop 2>/dev/null
check "another server's lock stays" test -e "$lock"
check "that server stays" kill -0 "$other"
check "a display with a lock is not free" refute h_display_free "$free"
rm -f "$lock"

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
