#!/usr/bin/env bash
# The environment the Windows tests share under Wine: a private X server with a window manager
# (without one, message boxes ignore input for two seconds), a Wine prefix booted once per build
# tree, and a keeper process (without one, Wine empties the clipboard about a second after the
# last program ends). Every process started is recorded in the session file; stop ends exactly
# those and nothing else.
#
#   harness.sh start            start a session (ending an earlier one of this build tree first)
#   harness.sh stop             end the session
#   harness.sh run <exe> [arg]  run a program in the session, with a time limit
#
# Configuration, normally set by the generated wrappers (harness, wine-run):
#   BRIMLO_HARNESS_SESSION   session file (its directory holds logs and the window manager's home)
#   BRIMLO_WINE_PREFIX       Wine prefix directory
#   BRIMLO_WINE_ARCH         win32 or win64
#   BRIMLO_TOOL              brimlo-tool.exe (its keeper verb holds the clipboard)
#   BRIMLO_ARTIFACTS         where a screenshot goes when a program runs out of time
# Tuning: BRIMLO_WINE_TIMEOUT (run, seconds, default 120), BRIMLO_SESSION_LIFETIME (seconds the
# session's processes live at most if nobody stops them, default 7200).

h_log() { printf 'harness: %s\n' "$*" >&2; }

# Wine is started only through winebin/wine, which picks the loader for the prefix (see there).
# Its directory goes first on PATH, so the Wine tools that call `wine-stable` by name use it too.
h_winebin=$(cd "$(dirname "${BASH_SOURCE[0]}")/winebin" && pwd)
h_wine=$h_winebin/wine
h_use_winebin() {
  case ":$PATH:" in *":$h_winebin:"*) ;; *) PATH=$h_winebin:$PATH ;; esac
  export PATH
}

# ---------------------------------------------------------------------------------------------
# Processes are recorded as "pid:starttime". The start time (clock ticks since boot) pins the
# PID to one process, so a PID the system has since reused for another program is never ended.

h_stat() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  [ -n "$stat" ] || return 1
  printf '%s\n' "${stat##*) }"
}

h_ident() {
  local fields
  fields=$(h_stat "$1") || return 1
  local -a f
  read -r -a f <<<"$fields"
  printf '%s:%s\n' "$1" "${f[19]}"
}

# True while the recorded process runs; a zombie has ended.
h_alive() {
  local id=${1:-} pid start fields
  pid=${id%%:*}
  start=${id#*:}
  [[ $pid =~ ^[0-9]+$ && $start =~ ^[0-9]+$ ]] || return 1
  fields=$(h_stat "$pid") || return 1
  local -a f
  read -r -a f <<<"$fields"
  [ "${f[19]}" = "$start" ] && [ "${f[0]}" != Z ] && [ "${f[0]}" != X ]
}

# Ends one recorded process. The session's processes run under `timeout`, which leads its own
# process group, so the group goes too (the server, window manager or Wine program it runs).
h_end() {
  local id=${1:-} pid fields i
  h_alive "$id" || return 0
  pid=${id%%:*}
  fields=$(h_stat "$pid") || return 0
  local -a f
  read -r -a f <<<"$fields"
  local group=false
  [ "${f[2]}" = "$pid" ] && group=true
  kill -TERM "$pid" 2>/dev/null || true
  $group && kill -TERM -- "-$pid" 2>/dev/null || true
  for ((i = 0; i < 50; i++)); do
    h_alive "$id" || return 0
    sleep 0.1
  done
  h_alive "$id" || return 0
  kill -KILL "$pid" 2>/dev/null || true
  $group && kill -KILL -- "-$pid" 2>/dev/null || true
  for ((i = 0; i < 20; i++)); do
    h_alive "$id" || return 0
    sleep 0.1
  done
  h_log "process $pid does not end"
  return 1
}

# ---------------------------------------------------------------------------------------------
# The session file: shell assignments a script can source.

h_config() {
  : "${BRIMLO_HARNESS_SESSION:?BRIMLO_HARNESS_SESSION is not set}"
  : "${BRIMLO_WINE_PREFIX:?BRIMLO_WINE_PREFIX is not set}"
  BRIMLO_WINE_ARCH=${BRIMLO_WINE_ARCH:-win32}
  case $BRIMLO_WINE_ARCH in win32 | win64) ;; *)
    h_log "BRIMLO_WINE_ARCH must be win32 or win64, not '$BRIMLO_WINE_ARCH'"
    return 2
    ;;
  esac
  h_dir=$(dirname "$BRIMLO_HARNESS_SESSION")
  h_lifetime=${BRIMLO_SESSION_LIFETIME:-7200}
  h_use_winebin
}

# What a session records; empty until its part has started.
h_reset_state() {
  S_DISPLAY='' S_XVFB='' S_XVFB_SERVER='' S_OPENBOX='' S_KEEPER='' S_STATE=starting
}

h_write_session() {
  local tmp="$BRIMLO_HARNESS_SESSION.tmp.$$"
  {
    echo "# Brimlo Wine test session; written by harness.sh, ended by 'harness.sh stop'."
    printf 'BRIMLO_SESSION_STATE=%q\n' "$S_STATE"
    printf 'export DISPLAY=%q\n' "$S_DISPLAY"
    printf 'export WINEPREFIX=%q\n' "$BRIMLO_WINE_PREFIX"
    printf 'export WINEARCH=%q\n' "$BRIMLO_WINE_ARCH"
    echo 'export WINEDEBUG=-all'
    echo 'export LANG=C.UTF-8 LC_ALL=C.UTF-8'
    echo 'unset WINEDLLOVERRIDES'
    printf 'export BRIMLO_WINE=%q\n' "$h_wine"
    printf 'BRIMLO_WINEBIN=%q\n' "$h_winebin"
    # shellcheck disable=SC2016
    echo 'case ":$PATH:" in *":$BRIMLO_WINEBIN:"*) ;; *) export PATH="$BRIMLO_WINEBIN:$PATH" ;; esac'
    printf 'BRIMLO_XVFB=%q\n' "$S_XVFB"
    printf 'BRIMLO_XVFB_SERVER=%q\n' "$S_XVFB_SERVER"
    printf 'BRIMLO_OPENBOX=%q\n' "$S_OPENBOX"
    printf 'BRIMLO_KEEPER=%q\n' "$S_KEEPER"
  } >"$tmp"
  mv -f "$tmp" "$BRIMLO_HARNESS_SESSION"
}

# Reads a session file into S_* without touching this shell's environment.
h_read_session() {
  local file=$1
  h_reset_state
  [ -f "$file" ] || return 1
  local values
  values=$(
    # shellcheck disable=SC1090
    . "$file" >/dev/null 2>&1 || exit 1
    printf '%s\n' "${BRIMLO_SESSION_STATE:-}" "${DISPLAY:-}" "${WINEPREFIX:-}" \
      "${BRIMLO_XVFB:-}" "${BRIMLO_XVFB_SERVER:-}" "${BRIMLO_OPENBOX:-}" "${BRIMLO_KEEPER:-}"
  ) || return 1
  local -a v
  mapfile -t v <<<"$values"
  S_STATE=${v[0]:-} S_DISPLAY=${v[1]:-} S_PREFIX=${v[2]:-} S_XVFB=${v[3]:-}
  S_XVFB_SERVER=${v[4]:-} S_OPENBOX=${v[5]:-} S_KEEPER=${v[6]:-}
}

# Ends what the S_* state names: the prefix's Wine programs first (the keeper among them), then
# the window manager and the X server; removes the server's lock if it was killed too hard to do
# that itself.
h_end_state() {
  local ok=0
  if [ -n "${S_PREFIX:-}" ] && [ -d "$S_PREFIX" ]; then
    WINEPREFIX=$S_PREFIX timeout 30 wineserver -k >/dev/null 2>&1 || true
  fi
  h_end "$S_KEEPER" || ok=1
  h_end "$S_OPENBOX" || ok=1
  h_end "$S_XVFB" || ok=1
  local n=${S_DISPLAY#:}
  if [[ $n =~ ^[0-9]+$ && -n $S_XVFB_SERVER ]] && ! h_alive "$S_XVFB_SERVER"; then
    local lock=/tmp/.X$n-lock
    if [ -f "$lock" ] && [ "$(tr -d ' \n' <"$lock")" = "${S_XVFB_SERVER%%:*}" ]; then
      rm -f "$lock" "/tmp/.X11-unix/X$n"
    fi
  fi
  return $ok
}

h_stop() {
  h_config
  if ! h_read_session "$BRIMLO_HARNESS_SESSION"; then
    [ -f "$BRIMLO_HARNESS_SESSION" ] && h_log "unreadable session file; removing it"
    rm -f "$BRIMLO_HARNESS_SESSION"
    return 0
  fi
  local ok=0
  h_end_state || ok=1
  rm -f "$BRIMLO_HARNESS_SESSION"
  if [ $ok -eq 0 ]; then
    h_log "session ended"
  else
    h_log "session ended, but some processes remain"
  fi
  return $ok
}

h_session_live() {
  h_read_session "$BRIMLO_HARNESS_SESSION" || return 1
  [ "$S_STATE" = ready ] && h_alive "$S_XVFB" && h_alive "$S_OPENBOX" && h_alive "$S_KEEPER"
}

# ---------------------------------------------------------------------------------------------
# Starting.

h_wait_for() {
  # h_wait_for <seconds> <what> <process id or ""> <command...>: polls the command every 0.1 s;
  # gives up early when the named process has ended.
  local seconds=$1 what=$2 id=$3 i
  shift 3
  for ((i = 0; i < seconds * 10; i++)); do
    "$@" >/dev/null 2>&1 && return 0
    if [ -n "$id" ] && ! h_alive "$id"; then
      h_log "$what ended before it was ready"
      return 1
    fi
    sleep 0.1
  done
  h_log "$what not ready after $seconds s"
  return 1
}

h_display_free() {
  [ ! -e "/tmp/.X11-unix/X$1" ] && [ ! -e "/tmp/.X$1-lock" ]
}

h_xvfb_pid_file() {
  local lock=/tmp/.X$1-lock
  [ -f "$lock" ] && tr -d ' \n' <"$lock"
}

h_start_xvfb() {
  # Build trees start their search at different numbers, so two of them starting at the same
  # time rarely race for one display.
  local base n tries pid lockpid
  base=$(($(printf '%s' "$h_dir" | cksum | cut -d' ' -f1) % 400 + 100))
  for ((tries = 0; tries < 200; tries++)); do
    n=$((base + tries))
    h_display_free "$n" || continue
    timeout -k 5 "$h_lifetime" Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset \
      </dev/null >"$h_dir/xvfb.log" 2>&1 &
    pid=$!
    S_XVFB=$(h_ident "$pid") || S_XVFB="$pid:0"
    S_DISPLAY=":$n"
    h_write_session
    if h_wait_for 15 "X server :$n" "$S_XVFB" env DISPLAY=":$n" timeout 5 xdpyinfo; then
      lockpid=$(h_xvfb_pid_file "$n") || lockpid=''
      [ -n "$lockpid" ] && S_XVFB_SERVER=$(h_ident "$lockpid" || true)
      h_write_session
      return 0
    fi
    # Another server took this number first, or ours failed: try the next one.
    h_end "$S_XVFB" || true
    S_XVFB='' S_DISPLAY=''
  done
  h_log "no X display could be started"
  return 1
}

h_start_openbox() {
  local home=$h_dir/home
  mkdir -p "$home/.config" "$home/.cache"
  HOME=$home XDG_CONFIG_HOME=$home/.config XDG_CACHE_HOME=$home/.cache \
    XDG_DATA_HOME=$home/.local/share \
    timeout -k 5 "$h_lifetime" openbox --sm-disable </dev/null >"$h_dir/openbox.log" 2>&1 &
  S_OPENBOX=$(h_ident $!) || S_OPENBOX="$!:0"
  h_write_session
  h_wait_for 15 "openbox" "$S_OPENBOX" h_wm_running
}

h_wm_running() {
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

h_prefix_booted() {
  [ -f "$BRIMLO_WINE_PREFIX/.brimlo-booted" ] &&
    [ "$(cat "$BRIMLO_WINE_PREFIX/.brimlo-booted")" = "$BRIMLO_WINE_ARCH" ]
}

# Boots the prefix once; the stamp is written last, so a boot cut short is redone from scratch.
# Booting without an mshtml override keeps the file associations (.txt, .html) that
# FindExecutable needs.
h_boot_prefix() {
  exec 9>"$h_dir/boot.lock"
  flock -w 600 9 || {
    h_log "another boot of $BRIMLO_WINE_PREFIX does not finish"
    return 1
  }
  if h_prefix_booted; then
    exec 9>&-
    return 0
  fi
  h_log "booting Wine prefix $BRIMLO_WINE_PREFIX ($BRIMLO_WINE_ARCH); this takes a while once"
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  case $BRIMLO_WINE_PREFIX in
    */wineprefix) rm -rf "$BRIMLO_WINE_PREFIX" ;;
    *) [ -d "$BRIMLO_WINE_PREFIX" ] && {
      h_log "refusing to remove half-booted $BRIMLO_WINE_PREFIX (not named wineprefix)"
      exec 9>&-
      return 1
    } ;;
  esac
  mkdir -p "$(dirname "$BRIMLO_WINE_PREFIX")"
  local ok=0
  (unset WINEDLLOVERRIDES && timeout -k 10 300 "$h_wine" wineboot -i) >"$h_dir/boot.log" 2>&1 || ok=$?
  timeout 120 wineserver -w >/dev/null 2>&1 || true
  if [ $ok -ne 0 ] || [ ! -f "$BRIMLO_WINE_PREFIX/system.reg" ]; then
    h_log "wineboot failed (status $ok); see $h_dir/boot.log"
    timeout 30 wineserver -k >/dev/null 2>&1 || true
    exec 9>&-
    return 1
  fi
  printf '%s\n' "$BRIMLO_WINE_ARCH" >"$BRIMLO_WINE_PREFIX/.brimlo-booted"
  exec 9>&-
}

# Once per prefix, on a display: Wine finishes setting up a new prefix's desktop during its first
# windows, and until then a window cannot be maximised. The keeper's warm-up does that work now.
h_warm_up() {
  local stamp=$BRIMLO_WINE_PREFIX/.brimlo-warm
  [ -f "$stamp" ] && return 0
  local ok=0
  timeout -k 5 60 "$h_wine" "$BRIMLO_TOOL" keeper --warm-up </dev/null >"$h_dir/warm-up.log" 2>&1 || ok=$?
  timeout 60 wineserver -w >/dev/null 2>&1 || true
  if [ $ok -ne 0 ]; then
    h_log "warm-up window failed (status $ok); the first test may be slow to size windows"
    return 0
  fi
  touch "$stamp"
}

h_start_keeper() {
  : "${BRIMLO_TOOL:?BRIMLO_TOOL is not set}"
  if [ ! -f "$BRIMLO_TOOL" ]; then
    h_log "$BRIMLO_TOOL is missing: build brimlo_tool first"
    return 1
  fi
  timeout -k 5 "$h_lifetime" "$h_wine" "$BRIMLO_TOOL" keeper </dev/null >"$h_dir/keeper.log" 2>&1 &
  S_KEEPER=$(h_ident $!) || S_KEEPER="$!:0"
  h_write_session
  h_wait_for 120 "keeper" "$S_KEEPER" grep -q '^ready' "$h_dir/keeper.log"
}

h_show_logs() {
  local f
  for f in xvfb openbox boot warm-up keeper; do
    [ -s "$h_dir/$f.log" ] || continue
    echo "--- $h_dir/$f.log (last lines)" >&2
    tail -n 15 "$h_dir/$f.log" >&2
  done
}

h_start_failed() {
  h_log "start failed; ending what it started"
  h_show_logs
  S_PREFIX=$BRIMLO_WINE_PREFIX
  h_end_state || true
  rm -f "$BRIMLO_HARNESS_SESSION" "$BRIMLO_HARNESS_SESSION".tmp.*
}

h_start() {
  h_config
  local tool
  for tool in Xvfb xdpyinfo xprop openbox wineserver timeout flock; do
    command -v "$tool" >/dev/null || {
      h_log "$tool is not installed (scripts/setup installs it)"
      return 1
    }
  done
  if [ "$BRIMLO_WINE_ARCH" = win32 ] && [ "$("$h_wine" --brimlo-arch)" != win32 ]; then
    h_log "this build's programs are 32-bit, and $("$h_wine" --brimlo-why); use a 64-bit build (windows-x64)"
    return 1
  fi
  mkdir -p "$h_dir"
  if [ -e "$BRIMLO_HARNESS_SESSION" ]; then
    # Left by a run that ended without stopping: end whatever of it still runs.
    if h_read_session "$BRIMLO_HARNESS_SESSION"; then
      h_log "ending the earlier session"
      [ -n "$S_PREFIX" ] || S_PREFIX=$BRIMLO_WINE_PREFIX
      h_end_state || true
    fi
    rm -f "$BRIMLO_HARNESS_SESSION"
  fi

  rm -f "$h_dir"/{xvfb,openbox,boot,warm-up,keeper}.log
  h_reset_state
  trap 'h_start_failed' EXIT
  trap 'exit 130' INT TERM HUP
  h_start_xvfb
  export DISPLAY=$S_DISPLAY
  h_start_openbox
  export WINEPREFIX=$BRIMLO_WINE_PREFIX WINEARCH=$BRIMLO_WINE_ARCH WINEDEBUG=-all
  export LANG=C.UTF-8 LC_ALL=C.UTF-8
  unset WINEDLLOVERRIDES
  h_boot_prefix
  # A Wine server left from a crashed run would keep that run's display for its desktop.
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  h_warm_up
  h_start_keeper
  S_STATE=ready
  h_write_session
  trap - EXIT INT TERM HUP
  h_log "session ready: display $S_DISPLAY, prefix $BRIMLO_WINE_PREFIX ($BRIMLO_WINE_ARCH)"
}

# ---------------------------------------------------------------------------------------------
# Running a program.

h_run() {
  h_config
  if [ $# -lt 1 ]; then
    h_log "usage: wine-run <program.exe> [args...]"
    return 2
  fi
  local limit=${BRIMLO_WINE_TIMEOUT:-120}
  if h_session_live; then
    # shellcheck disable=SC1090
    . "$BRIMLO_HARNESS_SESSION"
  elif [ -n "$S_XVFB" ] && h_alive "$S_XVFB"; then
    h_log "the test session is broken (its keeper or window manager ended); run harness start"
    return 125
  else
    # Without a session (listing a test program's cases, say) the program runs without a
    # display: windows and message boxes fail there.
    h_log "no test session running: $1 runs without a display"
    mkdir -p "$h_dir"
    export WINEPREFIX=$BRIMLO_WINE_PREFIX WINEARCH=$BRIMLO_WINE_ARCH WINEDEBUG=-all
    export LANG=C.UTF-8 LC_ALL=C.UTF-8
    unset DISPLAY WINEDLLOVERRIDES
    h_prefix_booted || h_boot_prefix || return 125
  fi
  # The program gets its time limit from this script, which takes a screenshot before ending
  # it (a forgotten dialog shows there); timeout is the backstop should this script be killed.
  local -a limiter=(timeout -k 10 "$((limit + 30))")
  # Reading a terminal from timeout's own process group would stop the program.
  [ -t 0 ] && limiter=(timeout --foreground -k 10 "$((limit + 30))")
  "${limiter[@]}" "$h_wine" "$@" <&0 &
  local child=$!
  sleep "$limit" &
  local timer=$!
  trap 'kill -TERM "$child" 2>/dev/null' TERM INT HUP
  local timed_out=false
  while kill -0 "$child" 2>/dev/null; do
    if ! kill -0 "$timer" 2>/dev/null; then
      timed_out=true
      h_timeout_screenshot "$1"
      kill -TERM "$child" 2>/dev/null || true
      wait "$child" || true
      break
    fi
    wait -n "$child" "$timer" 2>/dev/null || true
  done
  kill "$timer" 2>/dev/null || true
  wait "$timer" 2>/dev/null || true
  local rc=0
  wait "$child" || rc=$?
  trap - TERM INT HUP
  if $timed_out; then
    h_log "$1 did not end within $limit s (BRIMLO_WINE_TIMEOUT); ended it"
    return 124
  fi
  return $rc
}

h_timeout_screenshot() {
  [ -n "${DISPLAY:-}" ] && [ -n "${BRIMLO_ARTIFACTS:-}" ] && command -v import >/dev/null || return 0
  mkdir -p "$BRIMLO_ARTIFACTS"
  local shot
  shot="$BRIMLO_ARTIFACTS/timeout-$(basename "$1" .exe)-$(date +%H%M%S).png"
  timeout 20 import -window root "$shot" 2>/dev/null && h_log "the screen when time ran out: $shot"
  return 0
}

h_main() {
  set -euo pipefail
  local cmd=${1:-}
  [ $# -gt 0 ] && shift
  case $cmd in
    start) h_start ;;
    stop) h_stop ;;
    run) h_run "$@" ;;
    *)
      echo "usage: harness.sh start|stop|run <program.exe> [args...]" >&2
      return 2
      ;;
  esac
}

# Sourcing the file (as scripts/run does) only defines the functions.
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  h_main "$@"
fi
