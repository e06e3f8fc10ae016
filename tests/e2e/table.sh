# shellcheck shell=bash
# Sourced by a scenario after lib.sh: runs its table of cases, one line a case in shell words
# (quoted as in bash; "$T" is the case's directory Target as the program sees it, "$W" the work
# directory, both ending without a separator):
#
#   <case> <clipboard> <run> <step>...
#
# clipboard  set from a Windows program: text:<text> | seq:<bytes> (the numbers 1, 2, ... a line,
#            cut there) | rtf:<text> | rtf-big:<bytes> (formatted paragraphs) | bitmap:<w>x<h>
#            | files:<path>,... (below the work directory); offered from the X side:
#            x-text:<text> | x:<target>:<file>; or - (as it is)
# run        a command line (starting with "-"), run in Target exactly as typed;
#            or <mode>@<directory>: the window started there, in that mode (txt, rtf, jpg, copy);
#            @<directory>: started there, nothing awaited
# steps, in order; the first that fails ends the case (it is reported, the next case runs):
#   setup=<function>   before the clipboard is set (in the scenario; undo+=(...) to undo it)
#   ask=<target>       the overwrite question names the target; answered Yes
#   told=<target>      "The file was not saved:" naming the target; answered OK
#   why=<regex>        the last message's reason (after the file name) matches
#   says=<text>        the last message holds the text;  never=<regex>: it does not match
#   help               the help box shows; answered OK
#   window=<mode>[+text][:<s>]  the window shows in that mode (+text: showing the clipboard's
#                      text); Esc ends it with status 1 (within s seconds of the step)
#   silent             the run shows nothing and ends by itself with status 0
#   key=<keys>         keys typed in the window (xdotool names)
#   box=<title>=<button>  that box shows and is answered (says/never look at its lines, joined by |)
#   wait=<title>       that box shows (left open)
#   type=<directory>   typed into the directory field (below the work directory)
#   shot=<name>        a screenshot kept under that name (<name>.png: that file's name); it is
#                      the file for fx=
#   shows=<class regex>=<text regex>  a visible control of the window matches (within 5 s)
#   click=<text regex> a click on the visible button of that text
#   panel=<RRGGBB>     the screenshot shows the top panel in that colour
#   rect[=<Left>,<Top>]  the window's place and size (frame included) are measured; with a place in
#                      twips: it is there (3 pixels) and as large as the last measured (2 pixels)
#   stored[=<Left>,<Top>]  the stored place and size are whole numbers of twips, 15 to the measured
#                      pixel (30 twips); with a place: the stored place is that one (30 twips)
#   status=<n>         the run ends (15 s) with that status
#   held=<TXT|RTF|JPG> another program holds the clipboard (2 s) while the run starts: the run
#                      saves the real content or says it could not read it, keeping the window
#   file=<path>        the file exists (path below the work directory); then:
#     holds=<printf format>  its bytes;  holds-text: the clipboard's text and CR LF;
#     same=<path>            the same bytes as that file;  holds-rtf: RTF holding the clipboard's text
#     jpeg=<w>x<h>           a JPEG of that size;  quadrants: with the red, green, blue and white
#                            quadrants of brimlo-tool's bitmap
#     fx=<convert operators>=<output>  what ImageMagick's convert says about the picture
#   stamped=<name>     Target holds one file, HH-MM-SS_YY.MM.DD_<name> of the run's time; it is
#                      the file for holds= and the like
#   stop-icon          the open box "Brimlo" shows the red stop icon
#   absent=<path>      no such file (an absolute path or below the work directory);  list=<dir>=<name>|...: exactly these names in the directory
#   unset=<HKCU subkey>=<value>  that setting is not stored
#   kept[=clip]        the clipboard is as before the run, and (without =clip) so is Target
#
# Each case starts with an empty Target. BRIMLO_CASES (a regex) runs only the cases it matches.

version='Brimlo  v. 0.6'
declare -A caption=([txt]="$version - Save Clipboard Text (.txt)"
  [rtf]="$version - Save Formated Clipboard Text (.rtf)"
  [jpg]="$version - Save Graphic (.JPG)" [copy]="$version - Copy Files..")
# Any window of the program: its main window, a message, a question, the help.
ours='^(Brimlo|Overwrite file\?|Brimlo -> .*|Brimlo  v.*|Sorry - no supported format!)$'
W=$(brimlo_windows_path "$BRIMLO_WORK")
T=$W\\Target
work=$BRIMLO_WORK/Target

results=() failed=0 case_name='' case_ok=true undo=() said='' current='' shown='' window=''

problem() {
  echo "FAIL [$case_name]: $*" >&2
  if $case_ok; then
    case_ok=false
    brimlo_screenshot "$(tr -c 'A-Za-z0-9' '-' <<<"$case_name")" >/dev/null 2>&1 || true
  fi
  return 1
}

# outcome <seconds> <regex>: 0 once a window of that name shows (its name in shown), 1 when the
# program ended first (BRIMLO_STATUS set), 2 after the time. Not in a subshell: it sets shown.
outcome() {
  local end=$(($(_brimlo_ms) + $1 * 1000)) ids
  shown=''
  while :; do
    ids=$(xdotool search --onlyvisible --name "$2" 2>/dev/null || true)
    if [ -n "$ids" ]; then
      shown=$(xdotool getwindowname "${ids%%$'\n'*}")
      return 0
    fi
    if ! _brimlo_running; then
      brimlo_wait_exit 5
      return 1
    fi
    [ "$(_brimlo_ms)" -lt "$end" ] || return 2
    sleep 0.05
  done
}

shown_now() { xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | tr '\n' '|'; }

# A box of that title must be the next thing shown.
expect_box() {
  local rc=0
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
  local out=$BRIMLO_WORK/holder$((${#BRIMLO_STARTED[@]})).out i
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
  local formats
  formats=$(brimlo_clip_formats | cut -f2 | sort)
  printf 'formats: %s\n' "${formats//$'\n'/ }"
  if grep -qx CF_BITMAP <<<"$formats"; then brimlo_tool clip get bitmap | tr -d '\r'; fi
  if grep -qx CF_HDROP <<<"$formats"; then brimlo_tool clip get files | tr -d '\r'; fi
  if grep -qx 'Rich Text Format' <<<"$formats"; then brimlo_tool clip get rtf | sha256sum; fi
  if grep -qx CF_UNICODETEXT <<<"$formats"; then brimlo_tool clip get text | sha256sum; fi
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

set_clip() {
  local kind=${1%%:*} arg=${1#*:} file=$BRIMLO_WORK/clip.txt _
  [[ $kind == x* ]] || brimlo_end_xclips
  case $kind in
    -) return 0 ;;
    x-text)
      printf '%s' "$arg" >"$file"
      brimlo_xclip UTF8_STRING "$file"
      return
      ;;
    x)
      brimlo_xclip "${arg%%:*}" "$BRIMLO_WORK/${arg#*:}"
      return
      ;;
    text) printf '%s' "$arg" >"$file" ;;
    # seq ends by SIGPIPE once head has its bytes.
    seq)
      (seq 1 $((arg / 4)) | head -c "$arg" >"$file") || true
      [ "$(stat -c %s "$file")" = "$arg" ] || return 1
      ;;
    rtf)
      printf '%s' "$arg" >"$file"
      printf '{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 %s\\par}' "$arg" >"$BRIMLO_WORK/clip.rtf"
      brimlo_clip rtf "$BRIMLO_WORK/clip.rtf" "@$file" && brimlo_wait_formats 'Rich Text Format' CF_UNICODETEXT
      return
      ;;
    rtf-big)
      printf 'Large formatted text' >"$file"
      {
        printf '%s' '{\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}}\f0\fs24 '
        yes 'Large \b formatted\b0  text, one paragraph of many.\par' | head -c "$arg" || true
        printf '}'
      } >"$BRIMLO_WORK/clip.rtf"
      brimlo_clip rtf "$BRIMLO_WORK/clip.rtf" "@$file" && brimlo_wait_formats 'Rich Text Format' CF_UNICODETEXT
      return
      ;;
    bitmap)
      clip_size=$arg
      brimlo_clip bitmap "${arg%x*}" "${arg#*x}"
      return
      ;;
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
  if [[ $1 == -* ]]; then
    # brimlo-tool runline passes the command line on unchanged, UTF-8 and double quotes included.
    printf '%s' "$1" >"$BRIMLO_WORK/line.txt"
    brimlo_start_exe "$work" "$BRIMLO_TOOL" runline "$BRIMLO_EXE" "@$BRIMLO_WORK/line.txt"
  else
    brimlo_start "$BRIMLO_WORK/${1#*@}"
    [ -z "${1%@*}" ] && return
    window=$(brimlo_find_window "^$(brimlo_literal "${caption[${1%@*}]}")\$" 30) ||
      problem "no window '${caption[${1%@*}]}'"
  fi
}

# --- Steps: step_<name> <argument>; non-zero when the case failed. ------------------------------

step_ask() {
  expect_box 'Overwrite file?' || return
  local asked
  asked=$(brimlo_answer_box 'Overwrite file?' yes 5000 | tr -d '\r')
  [ "$(sed -n 3p <<<"$asked")" = "$1" ] ||
    problem "the overwrite question names '$(sed -n 3p <<<"$asked")', not '$1'"
}

step_told() {
  expect_box Brimlo || return
  local text
  text=$(brimlo_answer_box Brimlo ok 10000 | tr -d '\r') || problem "no failure message" || return
  said=$(sed -n '5,$p' <<<"$text" | tr '\n' '|')
  [ "$(sed -n 1p <<<"$text")" = 'The file was not saved:' ] ||
    problem "the message '${text//$'\n'/|}' is not the failure message" || return
  [ "$(sed -n 3p <<<"$text")" = "$1" ] || problem "the message names '$(sed -n 3p <<<"$text")', not '$1'"
}

step_why() { grep -qE -- "$1" <<<"$said" || problem "the message's reason '$said' does not match /$1/"; }
step_says() { grep -qF -- "$1" <<<"$said" || problem "the message '$said' does not hold '$1'"; }
step_never() { ! grep -qiE -- "$1" <<<"$said" || problem "the message '$said' matches /$1/"; }

step_help() {
  outcome 10 '^Brimlo -> ' || problem "no help box" || return
  brimlo_answer_box "$shown" ok 5000 >/dev/null || problem "the help box could not be answered"
}

step_window() {
  local mode=${1%%[+:]*} limit=${1##*:} started info
  [[ $1 == *:* ]] || limit=''
  started=$(_brimlo_ms)
  window=$(brimlo_find_window "^$(brimlo_literal "${caption[$mode]}")\$" 15) ||
    problem "no window '${caption[$mode]}' (shown: $(shown_now))" || return
  if [[ $1 == *+text* ]]; then
    info=$(brimlo_wininfo "${caption[$mode]}")
    grep -qP "^child\t\d+\tEdit\t\Q$(cat "$BRIMLO_WORK/clip.txt")\E\t1\t" <<<"$info" ||
      problem "the window does not show the text that was not saved" || return
  fi
  brimlo_key "$window" Escape
  brimlo_wait_exit 15 || problem "brimlo.exe still runs 15 s after Esc" || return
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

step_key() { brimlo_key "$window" "$1"; }
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
  local _
  for _ in 1 2 3 4 5 6 7 8 9 10; do
    control "${1%%=*}" "${1#*=}" >/dev/null && return
    sleep 0.3
  done
  problem "no control ${1%%=*} showing /${1#*=}/ (shown: $(brimlo_wininfo "$version*" | awk -F'\t' '$5 == 1 { printf "%s %s|", $3, $4 }'))"
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
  rect=$(brimlo_window_rect "$version*")
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

step_click() {
  local left top width height
  read -r left top width height <<<"$(control '^Button$' "$1")"
  [ -n "${height:-}" ] || problem "no button /$1/" || return
  timeout 10 xdotool mousemove $((left + width / 2)) $((top + height / 2)) click 1
}

step_wait() { brimlo_wait_box "$1" 10000 >/dev/null || problem "no box '$1'"; }

step_box() {
  said=$(brimlo_answer_box "${1%=*}" "${1##*=}" 10000 | tr -d '\r' | tr '\n' '|') ||
    problem "no box '${1%=*}'"
}

# The user clicks the directory field (it shows the starting directory), selects its text,
# types the directory and leaves the field with Tab.
step_type() {
  local row left top width height shown=$BRIMLO_WORK/${run#*@}
  # wininfo writes a backslash as two.
  shown=$(brimlo_windows_path "${shown%/}")\\
  row=$(brimlo_wininfo "$version*" | WANTED=${shown//\\/\\\\} awk -F'\t' '
    $1 == "client" { cx = $2; cy = $3 }
    $1 == "child" && $4 == ENVIRON["WANTED"] && $5 == 1 { print cx + $6, cy + $7, $8, $9; exit }')
  read -r left top width height <<<"$row"
  [ -n "${height:-}" ] || problem "no directory field showing $shown" || return
  timeout 10 xdotool windowactivate --sync "$window" >/dev/null 2>&1
  timeout 10 xdotool mousemove $((left + width / 2)) $((top + height / 2)) click 1
  timeout 10 xdotool key --clearmodifiers Home shift+End
  timeout 10 xdotool type --delay 5 "$(brimlo_windows_path "$BRIMLO_WORK/$1")"
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
  current=$BRIMLO_WORK/$1
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

step_quadrants() {
  local w h got colours want=(255 0 0 0 255 0 0 0 255 255 255 255) i d
  read -r w h <<<"$(timeout 30 identify -format '%w %h' "$current")"
  # The quadrants' centres: red, green / blue, white (JPEG moves them a little).
  local fx='' x y c
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
  case_name=$label case_ok=true undo=() said='' current='' window=''
  note "case: $label"
  started=$(_brimlo_ms)
  rm -rf "$work" && mkdir -p "$work"
  for step in "$@"; do
    [[ $step == setup=* ]] && { "${step#setup=}" || problem "setup ${step#setup=} failed"; }
    [[ $step == held=* ]] && held=1
  done
  if $case_ok; then
    set_clip "$clip" || problem "the clipboard could not be set ($clip)"
    clip_before=$(clip_state)
    tree_before=$(tree_state)
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
    brimlo_kill
  fi
  for ((step = ${#undo[@]} - 1; step >= 0; step--)); do eval "${undo[step]}" || true; done
  local took=$(($(_brimlo_ms) - started))
  if $case_ok; then results+=("passed  $label ($took ms)"); else
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
