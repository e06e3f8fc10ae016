# shellcheck shell=bash
# Sourced by the end-to-end scripts: runs brimlo.exe in the shared Wine test session and drives
# it from outside, the way a user would, with the helper program from tests/tools.
#
# Environment (brimlo_e2e_test sets it): BRIMLO_SESSION (session file), BRIMLO_EXE,
# BRIMLO_TOOL (brimlo-tool.exe, the helper program), BRIMLO_ARTIFACTS (screenshots),
# BRIMLO_WORK (this script's scratch directory, emptied here).
#
# Sourcing it loads the session and installs an EXIT trap that ends every program and xclip this
# script started (and nothing else), keeping a screenshot when the script fails.

set -euo pipefail

E2E_NAME=$(basename "$0" .sh)
BRIMLO_STARTED=()
BRIMLO_XCLIPS=()
BRIMLO_RUNS=0
BRIMLO_PID=''
BRIMLO_STATUS=''
# The longest any program started here may run before it is ended as stuck.
BRIMLO_RUN_LIMIT=${BRIMLO_RUN_LIMIT:-120}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

note() { echo "-- $*" >&2; }

# expect_eq <actual> <expected> <what>
expect_eq() {
  [ "$1" = "$2" ] || fail "$3: expected '$2', got '$1'"
}

_brimlo_ms() { echo $(($(date +%s%N) / 1000000)); }

brimlo_load_session() {
  : "${BRIMLO_SESSION:?run this script through ctest (brimlo_e2e_test sets BRIMLO_SESSION)}"
  [ -f "$BRIMLO_SESSION" ] || fail "no test session at $BRIMLO_SESSION (harness_start did not run)"
  # shellcheck disable=SC1090
  . "$BRIMLO_SESSION"
  [ "${BRIMLO_SESSION_STATE:-}" = ready ] || fail "the test session is not ready"
  kill -0 "${BRIMLO_KEEPER%%:*}" 2>/dev/null || fail "the session's clipboard keeper is not running"
  DISPLAY=$DISPLAY timeout 5 xdpyinfo >/dev/null 2>&1 || fail "the session's display $DISPLAY is gone"
}

# ---------------------------------------------------------------------------------------------
# Helper programs.

# brimlo_tool <verb> [args...]: runs brimlo-tool.exe (tests/tools) in the session.
brimlo_tool() {
  timeout -k 5 "${BRIMLO_TOOL_TIMEOUT:-60}" "$BRIMLO_WINE" "$BRIMLO_TOOL" "$@" </dev/null
}

# ---------------------------------------------------------------------------------------------
# brimlo.exe.

# brimlo_start <working directory> [arguments...]: starts brimlo.exe in the background; its
# output goes to $BRIMLO_WORK/run<n>.log.
brimlo_start() {
  [ -f "$BRIMLO_EXE" ] || fail "brimlo.exe is not built (BRIMLO_EXE='$BRIMLO_EXE')"
  brimlo_start_exe "$1" "$BRIMLO_EXE" "${@:2}"
}

# brimlo_start_exe <working directory> <program.exe> [arguments...]: the same for any program.
brimlo_start_exe() {
  local dir=$1 exe=$2
  shift 2
  BRIMLO_RUNS=$((BRIMLO_RUNS + 1))
  BRIMLO_LOG=$BRIMLO_WORK/run$BRIMLO_RUNS.log
  (cd "$dir" && exec timeout -k 5 "$BRIMLO_RUN_LIMIT" "$BRIMLO_WINE" "$exe" "$@") \
    </dev/null >"$BRIMLO_LOG" 2>&1 &
  BRIMLO_PID=$!
  BRIMLO_STARTED+=("$BRIMLO_PID")
  BRIMLO_STATUS=''
}

_brimlo_running() { [ -n "$BRIMLO_PID" ] && kill -0 "$BRIMLO_PID" 2>/dev/null; }

# brimlo_wait_exit [seconds]: waits for the last started program to end and sets
# BRIMLO_STATUS to its exit status; fails when it is still running after the time.
brimlo_wait_exit() {
  local end=$(($(_brimlo_ms) + ${1:-15} * 1000))
  while _brimlo_running; do
    [ "$(_brimlo_ms)" -lt "$end" ] || return 1
    sleep 0.05
  done
  BRIMLO_STATUS=0
  wait "$BRIMLO_PID" || BRIMLO_STATUS=$?
  return 0
}

# brimlo_find_window <regex> [seconds]: prints the X window id of the first visible window
# whose name matches; fails when none appears in time or the program ends first.
brimlo_find_window() {
  local pattern=$1 end=$(($(_brimlo_ms) + ${2:-30} * 1000)) ids
  while :; do
    ids=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null || true)
    if [ -n "$ids" ]; then
      echo "${ids%%$'\n'*}"
      return 0
    fi
    if [ -n "$BRIMLO_PID" ] && ! _brimlo_running; then
      note "the program ended before a window '$pattern' showed"
      return 1
    fi
    [ "$(_brimlo_ms)" -lt "$end" ] || return 1
    sleep 0.05
  done
}

# brimlo_window_name <X window id>
# brimlo_literal <text>: the text as a pattern for xdotool's window search.
brimlo_literal() {
  local s=${1//./\\.}
  s=${s//(/\\(}
  printf '%s' "${s//)/\\)}"
}

# brimlo_windows_path <path>: a Linux path as the program sees it (drive Z:).
brimlo_windows_path() { printf 'Z:%s' "${1//\//\\}"; }

brimlo_window_name() { xdotool getwindowname "$1"; }

# brimlo_screenshot <name>: keeps the whole screen as $BRIMLO_ARTIFACTS/<script>-<name>.png (or
# <name> itself when it ends in .png) once it has stopped changing (a window just shown paints its
# controls a moment later); prints the file's path.
brimlo_screenshot() {
  mkdir -p "$BRIMLO_ARTIFACTS"
  local file=$BRIMLO_ARTIFACTS/$E2E_NAME-$1.png tmp=$BRIMLO_WORK/.shot i
  [[ $1 != *.png ]] || file=$BRIMLO_ARTIFACTS/$1
  timeout 20 import -window root "$tmp.0.png"
  for ((i = 0; i < 20; i++)); do
    sleep 0.15
    timeout 20 import -window root "$tmp.1.png"
    cmp -s "$tmp.0.png" "$tmp.1.png" && break
    mv -f "$tmp.1.png" "$tmp.0.png"
  done
  mv -f "$tmp.0.png" "$file"
  rm -f "$tmp.1.png"
  echo "$file"
}

# brimlo_key <X window id> <key>...: focuses the window and types the keys (xdotool names:
# Escape, Return, F5, alt+s, ...).
brimlo_key() {
  local id=$1
  shift
  timeout 10 xdotool windowfocus --sync "$id" || fail "window $id does not take the focus"
  timeout 10 xdotool key "$@"
}

# brimlo_wait_box <title> [timeout_ms]: prints the text of the message box with that title.
brimlo_wait_box() { brimlo_tool boxes wait "$@"; }

# brimlo_answer_box <title> <yes|no|cancel|ok> [timeout_ms]: prints the box's text and presses
# the button.
brimlo_answer_box() { brimlo_tool boxes answer "$@"; }

# brimlo_wininfo <title | prefix*>: the window and its controls as brimlo-tool wininfo lists them.
brimlo_wininfo() { brimlo_tool wininfo "$1" | tr -d '\r'; }

# brimlo_window_rect <title | prefix*>: "left top width height" of the window, frame included,
# in screen pixels as the program sees them.
brimlo_window_rect() {
  brimlo_wininfo "$1" | awk -F'\t' '$1 == "window" { print $2, $3, $4, $5 }'
}

# ---------------------------------------------------------------------------------------------
# Settings (HKEY_CURRENT_USER).

# brimlo_setting <subkey> <value>: prints the stored text; fails when it is missing.
brimlo_setting() { brimlo_tool regget "$1" "$2"; }

# brimlo_set_setting <subkey> <value> <text>: stores any text, whatever the Unix locale.
brimlo_set_setting() {
  local file
  file=$(mktemp "$BRIMLO_WORK/setting.XXXXXX")
  printf '%s' "$3" >"$file"
  brimlo_tool regset "$1" "$2" "@$file"
  rm -f "$file"
}

# brimlo_keep_settings "<subkey> <value>"...: notes these settings as they are now; the script's
# end puts them back (one that did not exist is removed again), however the script ends.
declare -A BRIMLO_KEPT=()
brimlo_keep_settings() {
  local value
  for value in "$@"; do
    BRIMLO_KEPT[$value]=$(brimlo_setting "${value% *}" "${value##* }" 2>/dev/null | tr -d '\r') ||
      BRIMLO_KEPT[$value]='<none>'
  done
}

_brimlo_restore_settings() {
  local value
  for value in "${!BRIMLO_KEPT[@]}"; do
    if [ "${BRIMLO_KEPT[$value]}" = '<none>' ]; then
      timeout 60 "$BRIMLO_WINE" reg delete "HKCU\\${value% *}" /v "${value##* }" /f </dev/null >/dev/null 2>&1
    else
      brimlo_set_setting "${value% *}" "${value##* }" "${BRIMLO_KEPT[$value]}"
    fi
  done
}

# brimlo_delete_settings <subkey>: removes the key and everything under it (ASCII names).
brimlo_delete_settings() {
  timeout 60 "$BRIMLO_WINE" reg delete "HKCU\\$1" /f </dev/null >/dev/null 2>&1 || true
  if timeout 60 "$BRIMLO_WINE" reg query "HKCU\\$1" </dev/null >/dev/null 2>&1; then
    fail "HKCU\\$1 could not be removed"
  fi
}

# ---------------------------------------------------------------------------------------------
# Clipboard.

# brimlo_clip <clip arguments>: sets content from a Windows program (see brimlo-tool clip's usage);
# it stays while the session's keeper runs.
brimlo_clip() { brimlo_tool clip "$@"; }

# brimlo_clip_formats: the formats on the clipboard, "number<TAB>name" per line.
brimlo_clip_formats() { brimlo_tool clip formats | tr -d '\r'; }

# _brimlo_formats_arrive <pid or ''> <name>...: waits (5 s) until every named format is on the
# clipboard; gives up early when the xclip with that pid has ended. The formats that were there
# are in BRIMLO_FORMATS, the missing ones in BRIMLO_MISSING.
_brimlo_formats_arrive() {
  local offer=$1 end=$(($(_brimlo_ms) + 5000)) name
  shift
  while :; do
    BRIMLO_FORMATS=$(brimlo_clip_formats | cut -f2)
    BRIMLO_MISSING=''
    for name in "$@"; do
      grep -qxF "$name" <<<"$BRIMLO_FORMATS" || BRIMLO_MISSING="$BRIMLO_MISSING $name"
    done
    [ -z "$BRIMLO_MISSING" ] && return 0
    [ -n "$offer" ] && ! _brimlo_is_child "$offer" && return 1
    [ "$(_brimlo_ms)" -ge "$end" ] && return 1
    sleep 0.05
  done
}

# brimlo_wait_formats <name>...: waits (5 s) until every named format is on the clipboard.
brimlo_wait_formats() {
  _brimlo_formats_arrive '' "$@" ||
    fail "clipboard formats missing:$BRIMLO_MISSING (have: ${BRIMLO_FORMATS//$'\n'/, })"
}

# brimlo_xclip <target> <file> [windows format]: offers the file's bytes on the X clipboard as
# one target (UTF8_STRING, text/rtf, image/bmp, text/uri-list, ...), the way a Linux program
# would, and waits until Windows programs see it in the matching format (CF_UNICODETEXT,
# "Rich Text Format", CF_BITMAP, CF_HDROP; or the one given). Ends any earlier offer of this
# script.
brimlo_xclip() {
  local target=$1 file=$2 format=${3:-}
  if [ -z "$format" ]; then
    case $target in
      UTF8_STRING | STRING | TEXT | text/plain*) format=CF_UNICODETEXT ;;
      text/rtf | text/richtext) format='Rich Text Format' ;;
      image/bmp) format=CF_BITMAP ;;
      image/png) format=PNG ;;
      text/uri-list) format=CF_HDROP ;;
    esac
  fi
  brimlo_end_xclips
  # Wine takes the X clipboard over a moment after a change: from an empty clipboard the
  # expected format appearing shows that the new offer has arrived. When Wine's takeover of the
  # emptied clipboard comes after xclip started, xclip loses the X clipboard and ends: offer again.
  brimlo_clip empty
  local pid
  for _ in 1 2 3; do
    xclip -quiet -selection clipboard -t "$target" -i "$file" </dev/null >/dev/null 2>&1 &
    pid=$!
    BRIMLO_XCLIPS=("$pid")
    [ -z "$format" ] && return 0
    _brimlo_formats_arrive "$pid" "$format" && return 0
    _brimlo_is_child "$pid" && break
  done
  local ended=''
  _brimlo_is_child "$pid" || ended='; the X offer has ended each time'
  fail "clipboard format $format missing after offering $target (have: ${BRIMLO_FORMATS//$'\n'/, })$ended"
}

# brimlo_xclip_text <text>: plain text on the X clipboard.
brimlo_xclip_text() {
  local file
  file=$(mktemp "$BRIMLO_WORK/xclip.XXXXXX")
  printf '%s' "$1" >"$file"
  brimlo_xclip UTF8_STRING "$file"
}

brimlo_end_xclips() {
  local pid
  for pid in "${BRIMLO_XCLIPS[@]}"; do
    _brimlo_is_child "$pid" && kill -TERM "$pid" 2>/dev/null || true
  done
  BRIMLO_XCLIPS=()
}

# ---------------------------------------------------------------------------------------------
# Cleanup.

# Only a process whose parent is this shell counts as ours: a PID that has ended and been given
# to another program is left alone.
_brimlo_is_child() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  local -a f
  read -r -a f <<<"${stat##*) }"
  [ "${f[1]}" = "$$" ] && [ "${f[0]}" != Z ]
}

# Each program runs under timeout, which leads its own process group: ending the group ends
# the Wine process too.
_brimlo_end() {
  local pid=$1 i
  _brimlo_is_child "$pid" || return 0
  kill -TERM -- "-$pid" 2>/dev/null || kill -TERM "$pid" 2>/dev/null || true
  for ((i = 0; i < 50; i++)); do
    _brimlo_is_child "$pid" || return 0
    sleep 0.1
  done
  kill -KILL -- "-$pid" 2>/dev/null || kill -KILL "$pid" 2>/dev/null || true
}

# brimlo_kill: ends the last started program (a test that wants it gone without its exit).
brimlo_kill() {
  [ -n "$BRIMLO_PID" ] && _brimlo_end "$BRIMLO_PID"
  wait "$BRIMLO_PID" 2>/dev/null || true
}

# A volume mounted below the work directory (a case's small full disk) is released on every way
# out; one left behind by a run that was killed would make the next run unable to clear it.
_brimlo_unmount_below() {
  local dir
  [ -d "$1" ] || return 0
  while read -r dir; do
    umount "$dir" 2>/dev/null || umount -l "$dir" 2>/dev/null || true
  done < <(awk -v d="$(cd "$1" && pwd -P)/" 'index($2 "/", d) == 1 { print $2 }' /proc/self/mounts | sort -r)
}

brimlo_cleanup() {
  local rc=$?
  set +e
  if [ "$rc" -ne 0 ]; then
    [ -n "${DISPLAY:-}" ] && note "screen at the failure: $(brimlo_screenshot failure 2>/dev/null)"
    local log
    for log in "$BRIMLO_WORK"/run*.log; do
      [ -s "$log" ] && note "$(basename "$log"):" && tail -n 20 "$log" >&2
    done
  fi
  local pid
  for pid in "${BRIMLO_STARTED[@]}"; do _brimlo_end "$pid"; done
  brimlo_end_xclips
  # After the programs are gone, so that none of them stores anything over it.
  _brimlo_restore_settings
  _brimlo_unmount_below "$BRIMLO_WORK"
  exit "$rc"
}

# ---------------------------------------------------------------------------------------------

: "${BRIMLO_EXE:=}"
: "${BRIMLO_TOOL:?run this script through ctest (brimlo_e2e_test sets BRIMLO_TOOL)}"
: "${BRIMLO_ARTIFACTS:=${TMPDIR:-/tmp}/brimlo-artifacts}"
if [ -n "${BRIMLO_WORK:-}" ]; then
  _brimlo_unmount_below "$BRIMLO_WORK"
  rm -rf "$BRIMLO_WORK"
  mkdir -p "$BRIMLO_WORK"
else
  BRIMLO_WORK=$(mktemp -d)
fi
brimlo_load_session
trap brimlo_cleanup EXIT
trap 'exit 130' INT TERM HUP
