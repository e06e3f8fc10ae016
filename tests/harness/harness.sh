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
# Set by the generated wrappers (harness, wine-run): BRIMLO_HARNESS_SESSION (the session file; its
# directory holds the logs), BRIMLO_WINE_PREFIX, BRIMLO_WINE_ARCH (win32 or win64), BRIMLO_TOOL
# (brimlo-tool.exe, whose keeper verb holds the clipboard), BRIMLO_ARTIFACTS (a screenshot of a
# program that runs out of time). Tuning: BRIMLO_WINE_TIMEOUT (run, seconds, default 120),
# BRIMLO_SESSION_LIFETIME (seconds the session's processes live at most, default 7200).

h_log() { printf 'harness: %s\n' "$*" >&2; }

# Wine is started only through winebin/wine, which picks the loader for the prefix. Its directory
# goes first on PATH, so the Wine tools that call `wine-stable` by name use it too.
h_winebin=$(cd "$(dirname "${BASH_SOURCE[0]}")/winebin" && pwd)
h_wine=$h_winebin/wine

# A process is recorded as "pid:starttime": the start time (clock ticks since boot) pins the PID
# to one process, so one the system has since given to another program is never ended.
h_fields() {
  local stat
  stat=$(cat "/proc/${1%%:*}/stat" 2>/dev/null) && [ -n "$stat" ] && read -r -a f <<<"${stat##*) }"
}
h_ident() { h_fields "$1" && echo "$1:${f[19]}"; }
h_alive() {
  local -a f
  [[ ${1:-} =~ ^[0-9]+:[0-9]+$ ]] && h_fields "$1" && [ "${f[19]}" = "${1#*:}" ] && [[ ${f[0]} != [ZX] ]]
}

# Ends one recorded process; the session's processes run under `timeout`, which leads its own
# process group, so the group (the server, window manager or Wine program) goes too.
h_end() {
  local pid=${1%%:*} sig i
  for sig in TERM KILL; do
    h_alive "$1" || return 0
    kill -"$sig" -- "$pid" "-$pid" 2>/dev/null
    for ((i = 0; i < 50; i++)); do
      h_alive "$1" || return 0
      sleep 0.1
    done
  done
  h_log "process $pid does not end"
  return 1
}

h_config() {
  : "${BRIMLO_HARNESS_SESSION:?}" "${BRIMLO_WINE_PREFIX:?}"
  BRIMLO_WINE_ARCH=${BRIMLO_WINE_ARCH:-win32}
  h_dir=$(dirname "$BRIMLO_HARNESS_SESSION")
  case ":$PATH:" in *":$h_winebin:"*) ;; *) export PATH=$h_winebin:$PATH ;; esac
}

# The session file: shell assignments a script can source.
h_write_session() {
  {
    printf 'BRIMLO_SESSION_STATE=%q S_XVFB=%q S_SERVER=%q S_OPENBOX=%q S_KEEPER=%q\n' \
      "$S_STATE" "$S_XVFB" "$S_SERVER" "$S_OPENBOX" "$S_KEEPER"
    printf 'export DISPLAY=%q WINEPREFIX=%q WINEARCH=%q BRIMLO_WINE=%q\n' \
      "$S_DISPLAY" "$BRIMLO_WINE_PREFIX" "$BRIMLO_WINE_ARCH" "$h_wine"
    echo 'export WINEDEBUG=-all LANG=C.UTF-8 LC_ALL=C.UTF-8; unset WINEDLLOVERRIDES'
    # shellcheck disable=SC2016
    printf 'case ":$PATH:" in *":%s:"*) ;; *) export PATH="%s:$PATH" ;; esac\n' "$h_winebin" "$h_winebin"
  } >"$BRIMLO_HARNESS_SESSION.tmp" && mv -f "$BRIMLO_HARNESS_SESSION.tmp" "$BRIMLO_HARNESS_SESSION"
}

# Ends what a session file names: the prefix's Wine programs first (the keeper among them), then
# the window manager and the X server; removes the server's lock if it was killed too hard to.
h_end_session() {
  local ok=0 n
  S_XVFB='' S_SERVER='' S_OPENBOX='' S_KEEPER='' DISPLAY=''
  # shellcheck disable=SC1090
  [ -f "$1" ] && . "$1" 2>/dev/null
  [ -d "$BRIMLO_WINE_PREFIX" ] && WINEPREFIX=$BRIMLO_WINE_PREFIX timeout 30 wineserver -k >/dev/null 2>&1
  h_end "$S_KEEPER" || ok=1
  h_end "$S_OPENBOX" || ok=1
  h_end "$S_XVFB" || ok=1
  n=${DISPLAY#:}
  if [[ $n =~ ^[0-9]+$ && -n $S_SERVER ]] && ! h_alive "$S_SERVER" &&
    [ "$(tr -d ' \n' 2>/dev/null <"/tmp/.X$n-lock")" = "${S_SERVER%%:*}" ]; then
    rm -f "/tmp/.X$n-lock" "/tmp/.X11-unix/X$n"
  fi
  rm -f "$1"
  return $ok
}

h_stop() {
  h_config
  h_end_session "$BRIMLO_HARNESS_SESSION" && h_log "session ended" && return
  h_log "session ended, but some processes remain"
  return 1
}

# h_wait_for <seconds> <what> <process or ""> <command...>: polls the command every 0.1 s; gives
# up early when the process has ended.
h_wait_for() {
  local i
  for ((i = 0; i < $1 * 10; i++)); do
    "${@:4}" >/dev/null 2>&1 && return 0
    [ -z "$3" ] || h_alive "$3" || break
    sleep 0.1
  done
  h_log "$2 is not ready"
  return 1
}

h_start_xvfb() {
  # Build trees start their search at different numbers, so two of them starting at the same
  # time rarely race for one display.
  local n base
  base=$(($(cksum <<<"$h_dir" | cut -d' ' -f1) % 400 + 100))
  for ((n = base; n < base + 200; n++)); do
    [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ] || continue
    timeout -k 5 "$h_lifetime" Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset </dev/null >"$h_dir/xvfb.log" 2>&1 &
    S_XVFB=$(h_ident $!) || S_XVFB=$!:0
    S_DISPLAY=:$n
    h_write_session
    if h_wait_for 15 "X server :$n" "$S_XVFB" env DISPLAY=":$n" timeout 5 xdpyinfo; then
      S_SERVER=$(h_ident "$(tr -d ' \n' <"/tmp/.X$n-lock")") || S_SERVER=''
      return 0
    fi
    # Another server took this number first, or ours failed: try the next one.
    h_end "$S_XVFB"
  done
  return 1
}

# Boots the prefix once; the stamp is written last, so a boot cut short is redone from scratch.
# Booting without an mshtml override keeps the file associations (.txt, .html) that
# FindExecutable needs.
h_boot_prefix() {
  local stamp=$BRIMLO_WINE_PREFIX/.brimlo-booted ok=0
  exec 9>"$h_dir/boot.lock"
  flock -w 600 9 || return 1
  if [ "$(cat "$stamp" 2>/dev/null)" != "$BRIMLO_WINE_ARCH" ]; then
    h_log "booting Wine prefix $BRIMLO_WINE_PREFIX ($BRIMLO_WINE_ARCH); this takes a while once"
    timeout 30 wineserver -k >/dev/null 2>&1
    [[ $BRIMLO_WINE_PREFIX == */wineprefix ]] || [ ! -d "$BRIMLO_WINE_PREFIX" ] || {
      h_log "refusing to remove half-booted $BRIMLO_WINE_PREFIX (not named wineprefix)"
      return 1
    }
    rm -rf "$BRIMLO_WINE_PREFIX" && mkdir -p "$(dirname "$BRIMLO_WINE_PREFIX")"
    (unset WINEDLLOVERRIDES && timeout -k 10 300 "$h_wine" wineboot -i) >"$h_dir/boot.log" 2>&1 || ok=$?
    timeout 120 wineserver -w >/dev/null 2>&1
    [ $ok = 0 ] && [ -f "$BRIMLO_WINE_PREFIX/system.reg" ] || {
      h_log "wineboot failed (status $ok); see $h_dir/boot.log"
      return 1
    }
    echo "$BRIMLO_WINE_ARCH" >"$stamp"
  fi
  exec 9>&-
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
  # One left by a run that ended without stopping: whatever of it still runs ends.
  h_end_session "$BRIMLO_HARNESS_SESSION"
  h_lifetime=${BRIMLO_SESSION_LIFETIME:-7200}
  S_STATE=starting S_DISPLAY='' S_XVFB='' S_SERVER='' S_OPENBOX='' S_KEEPER=''
  trap 'h_log "start failed"; tail -n 15 "$h_dir"/*.log >&2; h_end_session "$BRIMLO_HARNESS_SESSION"' EXIT
  trap 'exit 130' INT TERM HUP
  h_start_xvfb || return 1
  export DISPLAY=$S_DISPLAY WINEPREFIX=$BRIMLO_WINE_PREFIX WINEARCH=$BRIMLO_WINE_ARCH WINEDEBUG=-all
  export LANG=C.UTF-8 LC_ALL=C.UTF-8
  unset WINEDLLOVERRIDES
  local home=$h_dir/home
  mkdir -p "$home/.config" "$home/.cache"
  HOME=$home XDG_CONFIG_HOME=$home/.config XDG_CACHE_HOME=$home/.cache XDG_DATA_HOME=$home/.local/share \
    timeout -k 5 "$h_lifetime" openbox --sm-disable </dev/null >"$h_dir/openbox.log" 2>&1 &
  S_OPENBOX=$(h_ident $!) || S_OPENBOX=$!:0
  h_write_session
  h_wait_for 15 openbox "$S_OPENBOX" sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' || return 1
  h_boot_prefix || return 1
  # A Wine server left from a crashed run would keep that run's display for its desktop.
  timeout 30 wineserver -k >/dev/null 2>&1
  # Once per prefix: Wine finishes setting up a new prefix's desktop during its first windows, and
  # until then a window cannot be maximised; the keeper's warm-up does that work now.
  if [ ! -f "$BRIMLO_WINE_PREFIX/.brimlo-warm" ]; then
    timeout -k 5 60 "$h_wine" "$BRIMLO_TOOL" keeper --warm-up </dev/null >"$h_dir/warm-up.log" 2>&1 &&
      touch "$BRIMLO_WINE_PREFIX/.brimlo-warm"
    timeout 60 wineserver -w >/dev/null 2>&1
  fi
  timeout -k 5 "$h_lifetime" "$h_wine" "$BRIMLO_TOOL" keeper </dev/null >"$h_dir/keeper.log" 2>&1 &
  S_KEEPER=$(h_ident $!) || S_KEEPER=$!:0
  h_write_session
  h_wait_for 120 keeper "$S_KEEPER" grep -q '^ready' "$h_dir/keeper.log" || return 1
  S_STATE=ready
  h_write_session
  trap - EXIT INT TERM HUP
  h_log "session ready: display $S_DISPLAY, prefix $BRIMLO_WINE_PREFIX ($BRIMLO_WINE_ARCH)"
}

h_run() {
  h_config
  local limit=${BRIMLO_WINE_TIMEOUT:-120} child end=$((SECONDS + ${BRIMLO_WINE_TIMEOUT:-120}))
  if [ -f "$BRIMLO_HARNESS_SESSION" ]; then
    # shellcheck disable=SC1090
    . "$BRIMLO_HARNESS_SESSION"
    [ "$BRIMLO_SESSION_STATE" = ready ] && h_alive "$S_KEEPER" && h_alive "$S_OPENBOX" || {
      h_log "the test session is broken (its keeper or window manager ended); run harness start"
      return 125
    }
  else
    # Without a session (listing a test program's cases, say) the program runs without a display.
    h_log "no test session running: $1 runs without a display"
    mkdir -p "$h_dir"
    export WINEPREFIX=$BRIMLO_WINE_PREFIX WINEARCH=$BRIMLO_WINE_ARCH WINEDEBUG=-all LANG=C.UTF-8 LC_ALL=C.UTF-8
    unset DISPLAY WINEDLLOVERRIDES
    h_boot_prefix || return 125
  fi
  # The time limit is kept here, which takes a screenshot before ending the program (a forgotten
  # dialog shows there); timeout is the backstop. Reading a terminal from timeout's own process
  # group would stop the program.
  if [ -t 0 ]; then timeout --foreground -k 10 $((limit + 30)) "$h_wine" "$@" & else
    timeout -k 10 $((limit + 30)) "$h_wine" "$@" <&0 &
  fi
  child=$!
  trap 'kill -TERM "$child" 2>/dev/null' TERM INT HUP
  while kill -0 "$child" 2>/dev/null && ((SECONDS < end)); do sleep 0.1; done
  if kill -0 "$child" 2>/dev/null; then
    mkdir -p "$BRIMLO_ARTIFACTS"
    local shot
    shot=$BRIMLO_ARTIFACTS/timeout-$(basename "$1" .exe)-$(date +%H%M%S).png
    [ -n "${DISPLAY:-}" ] && timeout 20 import -window root "$shot" 2>/dev/null && h_log "the screen when time ran out: $shot"
    kill -TERM "$child"
    wait "$child"
    h_log "$1 did not end within $limit s (BRIMLO_WINE_TIMEOUT); ended it"
    return 124
  fi
  wait "$child"
}

# Sourcing the file (as scripts/run does) only defines the functions.
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -uo pipefail
  case ${1:-} in
    start | stop) "h_$1" ;;
    run) h_run "${@:2}" ;;
    *)
      echo "usage: harness.sh start|stop|run <program.exe> [args...]" >&2
      exit 2
      ;;
  esac
fi
