# shellcheck shell=bash
# Sourced by the end-to-end scripts: runs brimlo.exe in the shared Wine test session (its file is
# BRIMLO_SESSION) and drives it from outside like a user, with brimlo-tool.exe (BRIMLO_TOOL).
# BRIMLO_WORK is the script's scratch directory, emptied here; screenshots go to BRIMLO_ARTIFACTS.
# The settings under HKCU\Software\Brimlo come back as they were, and whatever a script or case
# set up (programs, X offers, mounts, undo+=(...) commands) is released on every way out.
#
# A scenario is a table of cases, one a line in shell words (quoted as in bash; "$T" is the case's
# directory Target as the program sees it, "$W" the work directory, both without a final separator):
#
#   <case> <clipboard> <run> <step>...
#
# clipboard  set from a Windows program: text:<text> | seq:<bytes> (the numbers 1, 2, ... a line,
#            cut there) | rtf:<text> | rtf-big:<bytes> (formatted paragraphs) | bitmap:<w>x<h>
#            | files:<path>,... (below the work directory); offered from the X side:
#            x-text:<text> | x:<target>:<file>; or - (as it is)
# run        <mode>@<directory>: the window started there (below the work directory), in that mode
#            (txt, rtf, jpg, copy); @<directory>: started there, nothing awaited; anything else:
#            a command line, run in Target exactly as typed
# steps, in order; the first that fails ends the case (it is reported, the next case runs):
#   setup=<function>   before the clipboard is set (in the scenario; undo+=(...) to undo it)
#   ask=<target>       the overwrite question names the target; answered Yes
#   told=<target>      "The file was not saved:" naming the target; answered OK
#   box=<title>=<button>  that box shows and is answered;  wait=<title>: that box shows
#   why=<regex>, says=<text>, never=<regex>  the last box's text (told: its reason after the file
#                      name; lines joined by |) matches, holds the text, does not match
#   help               the help box shows; answered OK
#   window=<mode>[+text][:<s>]  the window shows in that mode (+text: showing the clipboard's
#                      text); Esc ends it with status 1 (within s seconds of the step)
#   silent             the run shows nothing and ends by itself with status 0
#   status=<n>         the run ends (15 s) with that status
#   key=<keys>         keys typed in the window (xdotool names)
#   type=<directory>   typed into the directory field (one with a drive as it stands, else below
#                      the work directory), then Tab
#   click=<text regex> a click on the visible control of that text
#   shows=<class regex>=<text regex>  a visible control of the window matches (within 5 s)
#   shot=<name>        a screenshot kept under that name (<name>.png: that file's name)
#   panel=<RRGGBB>     the screenshot shows the top panel in that colour
#   rect[=<Left>,<Top>]  the window's place and size (frame included) are measured; with a place in
#                      twips: it is there (3 pixels) and as large as the last measured (2 pixels)
#   stored[=<Left>,<Top>]  the stored place and size are whole numbers of twips, 15 to the measured
#                      pixel (30 twips); with a place: the stored place is that one (30 twips)
#   held=<TXT|RTF|JPG> another program holds the clipboard (2 s) while the run starts: the run
#                      saves the real content or says it could not read it, keeping the window
#   file=<path>        the file exists (below the work directory, or absolute);  stamped=<name>:
#                      Target holds one file, HH-MM-SS_YY.MM.DD_<name> of the run's time; then:
#     holds=<printf format>  its bytes;  holds-text: the clipboard's text and CR LF;
#     same=<path>            the same bytes as that file;  holds-rtf: RTF holding the clipboard's text
#     jpeg=<w>x<h>           a JPEG of that size;  quadrants: with the red, green, blue and white
#                            quadrants of brimlo-tool's bitmap
#     fx=<convert operators>=<output>  what ImageMagick's convert says about it (or the screenshot)
#   stop-icon          the open box "Brimlo" shows the red stop icon
#   absent=<path>      no such file;  list=<dir>=<name>|...: exactly these names in the directory
#   unset=<HKCU subkey>=<value>  that setting is not stored
#   kept[=clip]        the clipboard is as before the run, and (without =clip) so is Target
# A scenario may add steps of its own (step_<name>). BRIMLO_CASES (a regex) runs only the cases it
# matches. Each case starts with an empty Target.

set -euo pipefail
E2E_NAME=$(basename "$0" .sh)
BRIMLO_STARTED=() BRIMLO_XCLIPS=() BRIMLO_RUNS=0 BRIMLO_PID='' BRIMLO_STATUS='' undo=()

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
note() { echo "-- $*" >&2; }
expect_eq() { [ "$1" = "$2" ] || fail "$3: expected '$2', got '$1'"; }
_brimlo_ms() { echo $(($(date +%s%N) / 1000000)); }
# poll <tries> <command...>: the command every 0.2 s until it succeeds.
poll() { local i; for ((i = 0; i < $1; i++)); do "${@:2}" && return; sleep 0.2; done; return 1; }
brimlo_tool() { timeout -k 5 60 "$BRIMLO_WINE" "$BRIMLO_TOOL" "$@" </dev/null; }
brimlo_reg() { timeout 60 "$BRIMLO_WINE" reg "$@" </dev/null >/dev/null 2>&1; }

# brimlo_start_exe <working directory> <program.exe> [arguments...]: starts it in the background
# (log: $BRIMLO_WORK/run<n>.log) under a time limit; brimlo_start: brimlo.exe.
brimlo_start_exe() {
  BRIMLO_RUNS=$((BRIMLO_RUNS + 1))
  BRIMLO_LOG=$BRIMLO_WORK/run$BRIMLO_RUNS.log
  (cd "$1" && exec timeout -k 5 120 "$BRIMLO_WINE" "${@:2}") </dev/null >"$BRIMLO_LOG" 2>&1 &
  BRIMLO_PID=$!
  BRIMLO_STARTED+=("$BRIMLO_PID")
  BRIMLO_STATUS=''
}
brimlo_start() { brimlo_start_exe "$1" "$BRIMLO_EXE" "${@:2}"; }
_brimlo_running() { [ -n "$BRIMLO_PID" ] && kill -0 "$BRIMLO_PID" 2>/dev/null; }

# brimlo_wait_exit [seconds]: waits for the last started program to end (BRIMLO_STATUS: its
# status); fails when it still runs after the time.
brimlo_wait_exit() {
  local end=$(($(_brimlo_ms) + ${1:-15} * 1000))
  while _brimlo_running; do
    [ "$(_brimlo_ms)" -lt "$end" ] || return 1
    sleep 0.05
  done
  BRIMLO_STATUS=0
  wait "$BRIMLO_PID" || BRIMLO_STATUS=$?
}

# outcome <seconds> <regex>: 0 once a visible window of that name shows (its id in found, its
# name in shown), 1 when the program ended first (BRIMLO_STATUS set), 2 after the time.
outcome() {
  local end=$(($(_brimlo_ms) + $1 * 1000)) ids
  shown='' found=''
  while :; do
    ids=$(xdotool search --onlyvisible --name "$2" 2>/dev/null || true)
    if [ -n "$ids" ]; then
      found=${ids%%$'\n'*}
      shown=$(xdotool getwindowname "$found")
      return 0
    fi
    if [ -n "$BRIMLO_PID" ] && ! _brimlo_running; then
      brimlo_wait_exit 5
      return 1
    fi
    [ "$(_brimlo_ms)" -lt "$end" ] || return 2
    sleep 0.05
  done
}
# brimlo_find_window <regex> [seconds]: prints the id of the first visible window of that name.
brimlo_find_window() { outcome "${2:-30}" "$1" && echo "$found"; }

brimlo_windows_path() { printf 'Z:%s' "${1//\//\\}"; }
# re <text>: a regular expression matching the text.
re() { sed 's/[].*^$()+?{}|[\\]/\\&/g' <<<"$1"; }

# brimlo_screenshot <name>: the whole screen, once it has stopped changing (a window just shown
# paints its controls a moment later), as $BRIMLO_ARTIFACTS/<script>-<name>.png (or <name> when it
# ends in .png); prints the file's path.
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

# brimlo_key <X window id> <key>...: focuses the window and types the keys (xdotool names).
brimlo_key() {
  timeout 10 xdotool windowfocus --sync "$1" || fail "window $1 does not take the focus"
  timeout 10 xdotool key "${@:2}"
}
brimlo_answer_box() { brimlo_tool boxes answer "$@"; } # <title> <yes|no|ok> <ms>
brimlo_wininfo() { brimlo_tool wininfo "$1" | tr -d '\r'; }
brimlo_setting() { brimlo_tool regget "$1" "$2"; }
# brimlo_set_setting <subkey> <value> <text>: stores any text, whatever the Unix locale.
brimlo_set_setting() {
  printf '%s' "$3" >"$BRIMLO_WORK/setting"
  brimlo_tool regset "$1" "$2" "@$BRIMLO_WORK/setting"
}
brimlo_delete_settings() {
  brimlo_reg delete "HKCU\\$1" /f || true
  ! brimlo_reg query "HKCU\\$1" || fail "HKCU\\$1 could not be removed"
}
brimlo_clip() { brimlo_tool clip "$@"; }
brimlo_clip_formats() { brimlo_tool clip formats | tr -d '\r'; }

# _brimlo_formats_arrive <xclip pid or ''> <name>...: waits (5 s) until every named format is on
# the clipboard (those there: BRIMLO_FORMATS); gives up early when that xclip has ended.
_brimlo_formats_arrive() {
  local offer=$1 end=$(($(_brimlo_ms) + 5000)) name missing
  shift
  while :; do
    BRIMLO_FORMATS=$(brimlo_clip_formats | cut -f2) missing=''
    for name in "$@"; do grep -qxF "$name" <<<"$BRIMLO_FORMATS" || missing=1; done
    [ -z "$missing" ] && return 0
    [ -n "$offer" ] && ! _brimlo_is_child "$offer" && return 1
    [ "$(_brimlo_ms)" -lt "$end" ] || return 1
    sleep 0.05
  done
}

# brimlo_xclip <target> <file>: offers the file's bytes on the X clipboard as one target, the way
# a Linux program would, and waits until Windows programs see it in the matching format.
brimlo_xclip() {
  local format pid
  case $1 in
    UTF8_STRING) format=CF_UNICODETEXT ;;
    image/bmp) format=CF_BITMAP ;;
    image/png) format=PNG ;;
    text/uri-list) format=CF_HDROP ;;
    *) fail "no Windows format known for $1" ;;
  esac
  brimlo_end_xclips
  # Wine takes the X clipboard over a moment after a change: from an empty clipboard the expected
  # format appearing shows that the new offer has arrived. When Wine's takeover of the emptied
  # clipboard comes after xclip started, xclip loses the X clipboard and ends: offer again.
  brimlo_clip empty
  for _ in 1 2 3; do
    xclip -quiet -selection clipboard -t "$1" -i "$2" </dev/null >/dev/null 2>&1 &
    pid=$!
    BRIMLO_XCLIPS=("$pid")
    _brimlo_formats_arrive "$pid" "$format" && return 0
    _brimlo_is_child "$pid" && break
  done
  fail "clipboard format $format missing after offering $1 (have: ${BRIMLO_FORMATS//$'\n'/, })"
}

brimlo_end_xclips() {
  local pid
  for pid in "${BRIMLO_XCLIPS[@]}"; do _brimlo_end "$pid"; done
  BRIMLO_XCLIPS=()
}

# Only a process whose parent is this shell counts as ours: a PID that has ended and been given
# to another program is left alone.
_brimlo_is_child() {
  local stat f
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  read -r -a f <<<"${stat##*) }"
  [ "${f[1]}" = "$$" ] && [ "${f[0]}" != Z ]
}

# Each program runs under timeout, which leads its own process group: ending the group ends the
# Wine process too.
_brimlo_end() {
  local i
  _brimlo_is_child "$1" || return 0
  kill -TERM -- "-$1" 2>/dev/null || kill -TERM "$1" 2>/dev/null || true
  for ((i = 0; i < 50; i++)); do
    _brimlo_is_child "$1" || break
    sleep 0.1
  done
  kill -KILL -- "-$1" 2>/dev/null || kill -KILL "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}

# undo+=(...) commands run last first, each once.
run_undo() {
  while ((${#undo[@]})); do
    eval "${undo[-1]}" || true
    unset 'undo[-1]'
  done
}

# Any volume mounted below the work directory, the deepest first (left by a run that was killed,
# it would keep the next run from clearing the directory).
unmount_below() {
  [ -d "$1" ] || return 0
  awk -v d="$(cd "$1" && pwd -P)/" 'index($2 "/", d) == 1 { print $2 }' /proc/self/mounts |
    sort -r | while read -r dir; do umount "$dir" || umount -l "$dir"; done
}

brimlo_cleanup() {
  local rc=$? pid log
  set +e
  if [ "$rc" -ne 0 ]; then
    note "screen at the failure: $(brimlo_screenshot failure 2>/dev/null)"
    for log in "$BRIMLO_WORK"/run*.log; do
      [ -s "$log" ] && note "$(basename "$log"):" && tail -n 20 "$log" >&2
    done
  fi
  for pid in "${BRIMLO_STARTED[@]}"; do _brimlo_end "$pid"; done
  brimlo_end_xclips
  run_undo
  # After the programs are gone, so that none of them stores anything over it.
  brimlo_reg delete 'HKCU\Software\Brimlo' /f
  [ ! -s "$BRIMLO_WORK/settings.reg" ] || brimlo_reg import "$BRIMLO_WORK/settings.reg"
  unmount_below "$BRIMLO_WORK"
  exit "$rc"
}

: "${BRIMLO_SESSION:?run this script through ctest (brimlo_e2e_test sets it)}" "${BRIMLO_TOOL:?}"
: "${BRIMLO_EXE:=}" "${BRIMLO_ARTIFACTS:=${TMPDIR:-/tmp}/brimlo-artifacts}" "${BRIMLO_WORK:?}"
unmount_below "$BRIMLO_WORK"
rm -rf "$BRIMLO_WORK"
mkdir -p "$BRIMLO_WORK"
# shellcheck disable=SC1090
. "$BRIMLO_SESSION"
[ "${BRIMLO_SESSION_STATE:-}" = ready ] || fail "the test session is not ready"
trap brimlo_cleanup EXIT
trap 'exit 130' INT TERM HUP
brimlo_reg export 'HKCU\Software\Brimlo' "$(brimlo_windows_path "$BRIMLO_WORK/settings.reg")" /y ||
  rm -f "$BRIMLO_WORK/settings.reg"

# --- The table ------------------------------------------------------------------------------------

version='Brimlo  v. 0.6'
declare -A caption=([txt]="$version - Save Clipboard Text (.txt)"
  [rtf]="$version - Save Formated Clipboard Text (.rtf)"
  [jpg]="$version - Save Graphic (.JPG)" [copy]="$version - Copy Files..")
# Any window of the program: its main window, a message, a question, the help.
ours='^(Brimlo|Overwrite file\?|Brimlo -> .*|Brimlo  v.*|Sorry - no supported format!)$'
W=$(brimlo_windows_path "$BRIMLO_WORK")
T=$W\\Target
work=$BRIMLO_WORK/Target
results=() failed=0 case_name='' case_ok=true said='' current='' window=''

problem() {
  echo "FAIL [$case_name]: $*" >&2
  if $case_ok; then
    case_ok=false
    brimlo_screenshot "$(tr -c 'A-Za-z0-9' '-' <<<"$case_name")" >/dev/null 2>&1 || true
  fi
  return 1
}

shown_now() { xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | tr '\n' '|'; }

# A box of that title must be the next thing shown (once the window shows: shows).
expect_box() {
  local rc=0
  if xdotool search --onlyvisible --name "^$(re "$version")" >/dev/null 2>&1; then
    brimlo_tool boxes wait "$1" 20000 >/dev/null || problem "no box '$1' (shown: $(shown_now))"
    return
  fi
  outcome 20 "$ours" || rc=$?
  case $rc in
    1) problem "nothing shown: the run ended with status $BRIMLO_STATUS" ;;
    2) problem "nothing shown within 20 s" ;;
    *) [ "$shown" = "$1" ] || problem "shows '$shown' instead of '$1'" ;;
  esac
}

# start_holder <seconds> <tool arguments...>: a helper that holds something for a while and
# prints "held" once it does; waits for that (5 s).
start_holder() {
  local out=$BRIMLO_WORK/holder${#BRIMLO_STARTED[@]}.out i
  timeout -k 5 "$1" "$BRIMLO_WINE" "$BRIMLO_TOOL" "${@:2}" </dev/null >"$out" 2>&1 &
  holder_pid=$!
  BRIMLO_STARTED+=("$holder_pid")
  for ((i = 0; i < 200; i++)); do
    grep -q held "$out" 2>/dev/null && return 0
    sleep 0.025
  done
  problem "brimlo-tool $2 did not hold: $(cat "$out")"
}

# The formats on the clipboard and a digest of each content the program reads.
clip_state() {
  local formats f
  formats=$(brimlo_clip_formats | cut -f2 | sort)
  printf 'formats: %s\n' "${formats//$'\n'/ }"
  for f in CF_BITMAP:bitmap CF_HDROP:files 'Rich Text Format:rtf' CF_UNICODETEXT:text; do
    grep -qx "${f%:*}" <<<"$formats" && brimlo_tool clip get "${f##*:}" | sha256sum
  done
  return 0
}

# Every entry with its type, mode and size, and every file's digest.
tree_state() {
  (
    cd "$work" || exit 1
    find . -mindepth 1 -printf '%y %m %s %p\n' | LC_ALL=C sort
    find . -type f -exec sha256sum {} + | LC_ALL=C sort
  )
}

listing() { find "$1" -mindepth 1 -maxdepth 1 -printf '%f\n' | LC_ALL=C sort | tr '\n' '|'; }

# rtf_clip <text>: the document in clip.rtf with that text beside it.
rtf_clip() {
  printf '%s' "$1" >"$BRIMLO_WORK/clip.txt"
  brimlo_clip rtf "$BRIMLO_WORK/clip.rtf" "@$BRIMLO_WORK/clip.txt" &&
    _brimlo_formats_arrive '' 'Rich Text Format' CF_UNICODETEXT
}

set_clip() {
  local kind=${1%%:*} arg=${1#*:} file=$BRIMLO_WORK/clip.txt head='{\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}}\f0\fs24 ' _
  [[ $kind == x* ]] || brimlo_end_xclips
  case $kind in
    -) return 0 ;;
    x-text) printf '%s' "$arg" >"$file" && brimlo_xclip UTF8_STRING "$file"; return ;;
    x) brimlo_xclip "${arg%%:*}" "$BRIMLO_WORK/${arg#*:}"; return ;;
    text) printf '%s' "$arg" >"$file" ;;
    # seq ends by SIGPIPE once head has its bytes.
    seq) (seq 1 $((arg / 4)) | head -c "$arg" >"$file") || true ;;
    rtf) printf '%s%s\\par}' "$head" "$arg" >"$BRIMLO_WORK/clip.rtf" && rtf_clip "$arg"; return ;;
    rtf-big)
      { printf '%s' "$head" && (yes 'Large \b formatted\b0  text, one paragraph of many.\par' | head -c "$arg" || true) && printf '}'; } >"$BRIMLO_WORK/clip.rtf"
      rtf_clip 'Large formatted text'
      return
      ;;
    bitmap) clip_size=$arg && brimlo_clip bitmap "${arg%x*}" "${arg#*x}"; return ;;
    files)
      local -a paths
      IFS=, read -r -a paths <<<"$arg"
      brimlo_clip files "${paths[@]/#/$BRIMLO_WORK/}"
      return
      ;;
    *) fail "unknown clipboard '$1'" ;;
  esac
  # Now and then the clipboard reads empty right after the set (Wine settling after the previous
  # case's program ended); the set is then made again.
  for _ in 1 2 3; do
    brimlo_clip unicode "@$file" || return 1
    brimlo_clip_formats | cut -f2 | grep -qx CF_UNICODETEXT && return 0
    sleep 0.2
  done
  return 1
}

start_run() {
  run_started=$(date +%s)
  if [[ ! $1 =~ ^[a-z]*@ ]]; then
    # brimlo-tool runline passes the command line on unchanged, UTF-8 and double quotes included.
    printf '%s' "$1" >"$BRIMLO_WORK/line.txt"
    brimlo_start_exe "$work" "$BRIMLO_TOOL" runline "$BRIMLO_EXE" "@$BRIMLO_WORK/line.txt"
  else
    brimlo_start "$BRIMLO_WORK/${1#*@}"
    [ -z "${1%@*}" ] || window=$(brimlo_find_window "^$(re "${caption[${1%@*}]}")\$" 30) ||
      problem "no window '${caption[${1%@*}]}'"
  fi
}

# --- Steps: step_<name> <argument>; non-zero when the case failed. ------------------------------

# box_lines <title> <button>: answers the box; its lines in box_text, joined by | in said.
box_lines() {
  box_text=$(brimlo_answer_box "$1" "$2" 20000 | tr -d '\r') || problem "no box '$1'" || return
  said=$(tr '\n' '|' <<<"$box_text")
}

step_ask() {
  expect_box 'Overwrite file?' && box_lines 'Overwrite file?' yes || return
  [ "$(sed -n 3p <<<"$box_text")" = "$1" ] ||
    problem "the overwrite question names '$(sed -n 3p <<<"$box_text")', not '$1'"
}

step_told() {
  expect_box Brimlo && box_lines Brimlo ok || return
  said=$(sed -n '5,$p' <<<"$box_text" | tr '\n' '|')
  [ "$(sed -n 1p <<<"$box_text")" = 'The file was not saved:' ] ||
    problem "the message '${box_text//$'\n'/|}' is not the failure message" || return
  [ "$(sed -n 3p <<<"$box_text")" = "$1" ] || problem "the message names '$(sed -n 3p <<<"$box_text")', not '$1'"
}

step_why() { grep -qE -- "$1" <<<"$said" || problem "the message's reason '$said' does not match /$1/"; }
step_says() { grep -qF -- "$1" <<<"$said" || problem "the message '$said' does not hold '$1'"; }
step_never() { ! grep -qiE -- "$1" <<<"$said" || problem "the message '$said' matches /$1/"; }
step_box() { box_lines "${1%=*}" "${1##*=}"; }
step_wait() { brimlo_tool boxes wait "$1" 10000 >/dev/null || problem "no box '$1'"; }

step_help() {
  outcome 10 '^Brimlo -> ' || problem "no help box" || return
  brimlo_answer_box "$shown" ok 5000 >/dev/null || problem "the help box could not be answered"
}

step_window() {
  local mode=${1%%[+:]*} limit=${1##*:} started i
  [[ $1 == *:* ]] || limit=''
  started=$(_brimlo_ms)
  window=$(brimlo_find_window "^$(re "${caption[$mode]}")\$" 15) ||
    problem "no window '${caption[$mode]}' (shown: $(shown_now))" || return
  if [[ $1 == *+text* ]]; then
    brimlo_wininfo "${caption[$mode]}" | grep -qP "^child\t\d+\tEdit\t\Q$(cat "$BRIMLO_WORK/clip.txt")\E\t1\t" ||
      problem "the window does not show the text that was not saved" || return
  fi
  # A program the window started (a console program under Wine) may keep the activation: X focus
  # alone does not make a Wine window active again, the window manager's activation does (as the
  # user's click on it would). Esc again until the window ends; one that does not end on Esc
  # fails all the same.
  for ((i = 0; i < 8; i++)); do
    ((i == 0)) || timeout 10 xdotool windowactivate --sync "$window" 2>/dev/null
    timeout 10 xdotool windowfocus --sync "$window" key Escape 2>/dev/null
    brimlo_wait_exit 2 && break
  done
  ! _brimlo_running || problem "brimlo.exe still runs 16 s after Esc" || return
  [ "$BRIMLO_STATUS" = 1 ] || problem "exit status after Esc: $BRIMLO_STATUS, expected 1" || return
  local took=$(($(_brimlo_ms) - started))
  [ -z "$limit" ] || [ "$took" -lt $((limit * 1000)) ] || problem "the window took $took ms to show and end"
}

step_silent() {
  local rc=0
  outcome 45 "$ours" || rc=$?
  case $rc in
    0)
      [ "$shown" = Brimlo ] && note "it says: $(brimlo_answer_box Brimlo ok 2000 | tr -d '\r' | tr '\n' '|')"
      problem "the run shows '$shown'"
      ;;
    2) problem "the run still runs after 45 s" ;;
    *) [ "$BRIMLO_STATUS" = 0 ] || problem "exit status $BRIMLO_STATUS, expected 0" ;;
  esac
}

step_key() {
  [ -n "$window" ] || window=$(brimlo_find_window "^$(re "$version")" 30) || problem "no window" || return
  brimlo_key "$window" "$1"
}
step_shot() { current=$(brimlo_screenshot "$1"); }

# control <class regex> <text regex>: "left top width height" on the screen of the first visible
# control of the window that matches (wininfo writes a backslash as two, a line break as \r\n).
control() {
  brimlo_wininfo "$version*" | CLS=$1 TXT=$2 awk -F'\t' '
    $1 == "client" { cx = $2; cy = $3 }
    $1 == "child" && $3 ~ ENVIRON["CLS"] && $4 ~ ENVIRON["TXT"] && $5 == 1 { print cx + $6, cy + $7, $8, $9; found = 1; exit }
    END { exit !found }'
}

step_shows() {
  poll 15 control "${1%%=*}" "${1#*=}" >/dev/null || problem "no control ${1%%=*} showing /${1#*=}/ (shown: $(brimlo_wininfo "$version*" | awk -F'\t' '$5 == 1 { printf "%s %s|", $3, $4 }'))"
}

step_panel() {
  local left top width height got
  read -r left top width height <<<"$(control '^BrimloFrame$' '')"
  [ -n "${height:-}" ] || problem "no panel" || return
  got=$(timeout 20 convert "$current" -format "%[hex:p{$((left + 4)),$((top + height - 6))}]" info:)
  [[ $got == "$1"* ]] || problem "the panel is #$got, not #$1"
}

near() {
  local d=$(($1 - $2))
  [ "${d#-}" -le "$3" ] || problem "$4: $1, expected $2 (+-$3)"
}

step_rect() {
  local was
  read -r -a was <<<"${rect:-}"
  rect=$(brimlo_wininfo "$version*" | awk -F'\t' '$1 == "window" { print $2, $3, $4, $5 }')
  read -r left top width height <<<"$rect"
  [ -n "${height:-}" ] || problem "wininfo does not describe the window" || return
  [ -n "${1:-}" ] || return 0
  near "$left" $((${1%,*} / 15)) 3 "window left" && near "$top" $((${1#*,} / 15)) 3 "window top" &&
    near "$width" "${was[2]:-0}" 2 "window width" && near "$height" "${was[3]:-0}" 2 "window height"
}

step_stored() {
  local name value i=0 px
  read -r -a px <<<"$rect"
  [ -z "${1:-}" ] || px=("${1%,*}" "${1#*,}" "${px[@]:2}")
  for name in Left Top Width Height; do
    value=$(brimlo_setting 'Software\Brimlo\Form1\Pos' "$name" | tr -d '\r')
    [[ $value =~ ^-?[0-9]+$ ]] || problem "$name is stored as '$value'" || return
    ((i < 2)) && [ -n "${1:-}" ] || px[i]=$((px[i] * 15))
    near "$value" "${px[i]}" 30 "stored $name (twips)" || return
    i=$((i + 1))
  done
}

# click_at <left> <top> <width> <height>: a click in the middle.
click_at() {
  [ -n "${4:-}" ] || problem "nothing to click" || return
  timeout 10 xdotool windowactivate --sync "$window" >/dev/null 2>&1
  timeout 10 xdotool mousemove 0 0 mousemove $(($1 + $3 / 2)) $(($2 + $4 / 2)) click 1
}

# shellcheck disable=SC2046
step_click() { click_at $(control '' "$1") || problem "no control /$1/"; }

# The user clicks the directory field (it shows the starting directory), selects its text, types
# the directory (one with a drive as it stands, else below the work directory) and leaves with Tab.
step_type() {
  local start text=$1
  start=$(brimlo_windows_path "$BRIMLO_WORK/${run#*@}")
  start=${start%\\}\\
  [[ $1 == *:* ]] || text=$(brimlo_windows_path "$BRIMLO_WORK/$1")
  # shellcheck disable=SC2046
  click_at $(control '^Edit$' "^$(re "${start//\\/\\\\}")\$") ||
    problem "no directory field showing $start" || return
  timeout 10 xdotool key --clearmodifiers Home shift+End
  timeout 10 xdotool type --delay 5 "$text"
  timeout 10 xdotool key Tab
}

step_status() {
  brimlo_wait_exit 15 || problem "brimlo.exe still runs 15 s later (shown: $(shown_now))" || return
  [ "$BRIMLO_STATUS" = "$1" ] || problem "exit status $BRIMLO_STATUS, expected $1 (said: $said)"
}

step_held() {
  local rc=0 target
  outcome 20 "$ours" || rc=$?
  target=$(ls "$work"/Held.* 2>/dev/null || true)
  if [ "$rc" = 0 ]; then
    step_told "$T\\Held.$1" && step_why 'clipboard could not be read' &&
      step_window "$(tr '[:upper:]' '[:lower:]' <<<"$1")" || return
    target=$(ls "$work"/Held.* 2>/dev/null || true)
    [ -z "$target" ] || problem "a failed save left $(basename "$target")"
  elif [ "$rc" = 2 ]; then
    problem "neither saved nor said anything within 20 s"
  elif [ "$BRIMLO_STATUS" != 0 ]; then
    problem "the run ended with status $BRIMLO_STATUS and said nothing"
  elif [ -z "$target" ]; then
    problem "status 0, but no file was written"
  else
    current=$target
    case $1 in
      TXT) step_holds-text ;;
      RTF) step_holds-rtf ;;
      JPG) step_jpeg "$clip_size" && step_quadrants ;;
    esac
  fi
}

step_file() {
  current=$1
  [[ $1 == /* ]] || current=$BRIMLO_WORK/$1
  [ -f "$current" ] || problem "no file $1 (there: $(listing "$(dirname "$current")"))"
}

step_holds() {
  # shellcheck disable=SC2059
  cmp -s "$current" <(printf "$1") ||
    problem "$(basename "$current") holds $(od -An -tx1 "$current" | head -c 300 | tr -s ' \n' ' '), expected $(printf "$1" | od -An -tx1 | tr -s ' \n' ' ')"
}

step_holds-text() {
  cmp -s "$current" <(cat "$BRIMLO_WORK/clip.txt" && printf '\r\n') ||
    problem "$(basename "$current") ($(stat -c %s "$current") bytes) does not hold the text and one CR LF"
}

step_same() { cmp -s "$current" "$BRIMLO_WORK/$1" || problem "$(basename "$current") is not the same as $1"; }

step_holds-rtf() {
  { [ "$(head -c 5 "$current")" = '{\rtf' ] && grep -qF "$(cat "$BRIMLO_WORK/clip.txt")" "$current"; } ||
    problem "$(basename "$current") does not hold the formatted text"
}

step_jpeg() {
  local got
  got=$(timeout 30 identify -format '%m %wx%h' "$current" 2>&1)
  [ "$got" = "JPEG $1" ] || problem "$(basename "$current") decodes as '$got'"
}

step_fx() {
  local got
  # shellcheck disable=SC2086  # the operators are words
  got=$(timeout 30 convert "$current" ${1%=*} info: 2>&1)
  [ "$got" = "${1##*=}" ] || problem "$(basename "$current"): convert ${1%=*} gives '$got', expected '${1##*=}'"
}

# The quadrants' centres: red, green / blue, white (JPEG moves them a little); a picture upside
# down, mirrored or with its colour channels swapped fails.
step_quadrants() {
  local w h got colours want=(255 0 0 0 255 0 0 0 255 255 255 255) i d fx='' x y c
  read -r w h <<<"$(timeout 30 identify -format '%w %h' "$current")"
  for y in $((h / 4)) $((h * 3 / 4)); do
    for x in $((w / 4)) $((w * 3 / 4)); do
      for c in r g b; do fx+="%[fx:round(255*p{$x,$y}.$c)] "; done
    done
  done
  colours=$(timeout 30 convert "$current" -format "$fx" info:)
  read -r -a got <<<"$colours"
  for i in "${!want[@]}"; do
    d=$((${got[$i]:-999} - want[i]))
    [ "${d#-}" -le 40 ] || problem "the quadrant colours are '$colours', expected red, green, blue, white" || return
  done
}

step_unset() { ! brimlo_setting "${1%=*}" "${1##*=}" >/dev/null 2>&1 || problem "${1%=*}\\${1##*=} is stored"; }

step_absent() {
  local path=$1
  [[ $path == /* ]] || path=$BRIMLO_WORK/$path
  [ ! -e "$path" ] || problem "$1 is there"
}

step_stamped() {
  local names m stamp pattern="^([0-9]{2})-([0-9]{2})-([0-9]{2})_([0-9]{2})\.([0-9]{2})\.([0-9]{2})_${1//./[.]}\$"
  names=$(listing "$work")
  [[ ${names%|} =~ $pattern ]] || problem "Target holds '$names', not one HH-MM-SS_YY.MM.DD_$1" || return
  m=("${BASH_REMATCH[@]}")
  stamp=$(date -d "20${m[4]}-${m[5]}-${m[6]} ${m[1]}:${m[2]}:${m[3]}" +%s 2>/dev/null) ||
    problem "'${m[0]}' does not name a valid date and time" || return
  [ "$stamp" -ge $((run_started - 2)) ] && [ "$stamp" -le $(($(date +%s) + 2)) ] ||
    problem "'${m[0]}' is not the run's time ($(date -d "@$run_started" '+%H-%M-%S_%y.%m.%d'))" || return
  current=$work/${m[0]}
}

# The stop icon is red; the question and information icons of the other boxes are not.
step_stop-icon() {
  local info icon ix iy iw ih bx by red shot
  info=$(brimlo_wininfo Brimlo)
  icon=$(awk -F'\t' '$1 == "child" && $3 == "Static" && $4 == "" && $5 == 1 && $8 >= 16 && $8 <= 64 { print $6, $7, $8, $9; exit }' <<<"$info")
  [ -n "$icon" ] || problem "the box shows no icon" || return
  read -r ix iy iw ih <<<"$icon"
  read -r bx by <<<"$(awk -F'\t' '$1 == "client" { print $2, $3 }' <<<"$info")"
  shot=$(brimlo_screenshot stop-box)
  red=$(timeout 20 convert "$shot" -crop "${iw}x${ih}+$((bx + ix))+$((by + iy))" +repage \
    -fx 'r > 0.6 && g < 0.35 && b < 0.35' -format '%[fx:round(mean*1000)]' info:)
  [ "${red:-0}" -ge 100 ] || problem "the box shows no stop icon (red share of the icon ${red}/1000)"
}

step_list() {
  local now want
  now=$(listing "$BRIMLO_WORK/${1%%=*}")
  want=$(tr '|' '\n' <<<"${1#*=}" | LC_ALL=C sort | tr '\n' '|')
  [ "$now" = "$want" ] || problem "${1%%=*} holds '$now', expected '$want'"
}

step_kept() {
  local now
  now=$(clip_state)
  [ "$now" = "$clip_before" ] ||
    problem "the clipboard changed: before '${clip_before//$'\n'/ | }', after '${now//$'\n'/ | }'" || return
  [ "${1:-}" = clip ] && return
  now=$(tree_state)
  [ "$now" = "$tree_before" ] ||
    problem "Target changed: $(diff <(echo "$tree_before") <(echo "$now") | grep '^[<>]' | tr '\n' '|')"
}

# --- Running ------------------------------------------------------------------------------------

run_case() {
  local label=$1 clip=$2 run=$3 step verb started held=''
  shift 3
  case_name=$label case_ok=true said='' current='' window=''
  note "case: $label"
  started=$(_brimlo_ms)
  rm -rf "$work" && mkdir -p "$work"
  for step in "$@"; do
    [[ $step == setup=* ]] && { "${step#setup=}" || problem "setup ${step#setup=} failed"; }
    [[ $step == held=* ]] && held=1
  done
  if $case_ok; then
    set_clip "$clip" || problem "the clipboard could not be set ($clip)"
    [[ " $* " != *" kept"* ]] || clip_before=$(clip_state) tree_before=$(tree_state)
  fi
  # The holder lets the clipboard go after 2 s and ends.
  $case_ok && [ -n "$held" ] && start_holder 30 clip hold 2000
  $case_ok && start_run "$run"
  for step in "$@"; do
    $case_ok || break
    verb=${step%%=*}
    [ "$verb" = setup ] && continue
    declare -F "step_$verb" >/dev/null || fail "unknown step '$step' in case '$label'"
    if [[ $step == *=* ]]; then "step_$verb" "${step#*=}"; else "step_$verb"; fi
  done
  if _brimlo_running; then
    problem "brimlo.exe still runs at the end of the case"
    _brimlo_end "$BRIMLO_PID"
  fi
  run_undo
  if $case_ok; then results+=("passed  $label ($(($(_brimlo_ms) - started)) ms)"); else
    results+=("FAILED  $label")
    failed=$((failed + 1))
  fi
}

# run_cases: the table from stdin. A failing command is a failed case, not the script's end.
run_cases() {
  set +e
  local line
  local -a lines row
  mapfile -t lines
  for line in "${lines[@]}"; do
    [[ $line =~ ^[[:space:]]*(#|$) ]] && continue
    eval "row=($line)"
    [[ ${row[0]} =~ ${BRIMLO_CASES:-.} ]] || continue
    run_case "${row[@]}"
  done
  echo "---- $E2E_NAME: ${#results[@]} cases, $failed failed" >&2
  printf '  %s\n' "${results[@]}" >&2
  [ "$failed" = 0 ] || fail "$failed of ${#results[@]} cases failed"
  note "passed"
}
