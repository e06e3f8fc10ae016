#!/usr/bin/env bash
# Bad input, end to end: names the file system refuses, targets that cannot be replaced, a
# clipboard another program holds, very large content, names and text beyond the ANSI code page,
# an empty text, a file list with a missing file, a name ending in a separator.
#
# Every case checks both halves of a safe failure: nothing is lost (the clipboard is as before,
# an old target byte for byte as before, no stray file) and the user is told (a message naming
# the file, or a save that really holds the content). The cases run on after a failed one; the
# summary at the end lists each case's result.

# shellcheck disable=SC1091
. "$(dirname "$0")/lib.sh"

version='Brimlo  v. 0.6'
text_caption="$version - Save Clipboard Text (.txt)"
rtf_caption="$version - Save Formated Clipboard Text (.rtf)"
picture_caption="$version - Save Graphic (.JPG)"
copy_caption="$version - Copy Files.."
settings='Software\Brimlo\Settings'
option_names=(AddDateTxt AddTimeTxt OpenFileTxt AddDateJPG AddTimeJPG OpenFileJPG)

# No date or time prefix may change the names the cases expect, and no file may be opened; the
# user's own options come back at the end.
for name in "${option_names[@]}"; do
  brimlo_keep_settings "$settings $name"
  brimlo_set_setting "$settings" "$name" 0
done

# The directory every run starts in.
work=$BRIMLO_WORK/Target
mkdir -p "$work"
work_win=$(brimlo_windows_path "$work")

# --- Results ------------------------------------------------------------------------------------
results=()
failed=0
case_name=''
case_ok=true

begin_case() {
  case_name=$1
  case_ok=true
  note "case: $case_name"
}

# problem <text>: the current case failed; the script goes on with the next one.
problem() {
  echo "FAIL [$case_name]: $*" >&2
  if $case_ok; then
    case_ok=false
    brimlo_screenshot "$(tr -c 'A-Za-z0-9' '-' <<<"$case_name")" >/dev/null 2>&1 || true
  fi
}

end_case() {
  if _brimlo_running; then
    problem "brimlo.exe still runs at the end of the case"
    brimlo_kill
  fi
  if $case_ok; then
    results+=("passed  $case_name")
  else
    results+=("FAILED  $case_name")
    failed=$((failed + 1))
  fi
}

# --- Observing a run ----------------------------------------------------------------------------

# batch <arguments>: starts brimlo.exe in the work directory with exactly this command line
# (brimlo-tool runline passes it on unchanged, UTF-8 and double quotes included).
batch() {
  printf '%s' "$1" >"$BRIMLO_WORK/line.txt"
  brimlo_start_exe "$work" "$BRIMLO_TOOL" runline "$BRIMLO_EXE" "@$BRIMLO_WORK/line.txt"
}

# outcome <seconds> <regex>: waits until a visible window whose name matches shows (sets shown
# to its name, returns 0) or the program ends (returns 1, BRIMLO_STATUS set); 2 after the time.
# It sets variables, so it must not run in a subshell.
shown=''
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

# Any window of the program: its main window, the failure message, a question, the help.
ours='^(Brimlo|Overwrite file\?|Brimlo -> .*|Brimlo  v.*|Sorry - no supported format!)$'

# told <target> <reason regex>: answers the failure message, which must name the target and
# give a reason.
told() {
  local text line
  if ! text=$(brimlo_answer_box Brimlo ok 10000); then
    problem "no failure message"
    return 1
  fi
  text=$(tr -d '\r' <<<"$text")
  line=${text//$'\n'/ | }
  [ "$(sed -n 1p <<<"$text")" = 'The file was not saved:' ] ||
    problem "the message '$line' is not the failure message"
  local named
  named=$(sed -n 3p <<<"$text")
  [ "$named" = "$1" ] || problem "the message names '$named', not '$1'"
  sed -n '5,$p' <<<"$text" | grep -qE -- "$2" ||
    problem "the message's reason in '$line' does not match /$2/"
}

# keeps_window <caption> [text shown]: after a failed save the window is there in that mode,
# still showing the text; Esc ends it with status 1.
keeps_window() {
  local window info
  if ! window=$(brimlo_find_window "^$(brimlo_literal "$1")\$" 15); then
    problem "no window '$1' after the failure (shown: $(xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | tr '\n' '|'))"
    return 1
  fi
  if [ -n "${2:-}" ]; then
    info=$(brimlo_wininfo "$1")
    grep -qP "^child\t\d+\tEdit\t\Q$2\E\t1\t" <<<"$info" ||
      problem "the window does not show the text that was not saved"
  fi
  brimlo_key "$window" Escape
  if ! brimlo_wait_exit 15; then
    problem "brimlo.exe still runs 15 s after Esc"
    return 1
  fi
  [ "$BRIMLO_STATUS" = 1 ] || problem "exit status after the failure and Esc: $BRIMLO_STATUS, expected 1"
}

# silent_save <seconds>: the batch run ends by itself with status 0 and shows nothing.
silent_save() {
  local rc=0
  outcome "$1" "$ours" || rc=$?
  case $rc in
    0)
      problem "the batch run shows '$shown'"
      [ "$shown" = Brimlo ] && note "it says: $(brimlo_answer_box Brimlo ok 2000 | tr -d '\r' | tr '\n' '|')"
      return 1
      ;;
    2)
      problem "the batch run still runs after $1 s"
      return 1
      ;;
  esac
  [ "$BRIMLO_STATUS" = 0 ] || {
    problem "exit status $BRIMLO_STATUS, expected 0"
    return 1
  }
}

# start_holder <seconds> <output> <tool> <arguments...>: starts a Windows helper that holds
# something for a while (ended by the harness if need be); holder_pid is its PID.
holder_pid=''
start_holder() {
  local seconds=$1 output=$2
  shift 2
  timeout -k 5 "$seconds" "$BRIMLO_WINE" "$@" </dev/null >"$output" 2>&1 &
  holder_pid=$!
  BRIMLO_STARTED+=("$holder_pid")
}

# holding <output>: waits up to 5 s until the helper says it holds what it should.
holding() {
  local i
  for ((i = 0; i < 200; i++)); do
    grep -q held "$1" 2>/dev/null && return 0
    sleep 0.025
  done
  return 1
}

# --- What must be kept --------------------------------------------------------------------------

# clip_state: the formats on the clipboard and a digest of each content the program reads.
clip_state() {
  local formats
  formats=$(brimlo_clip_formats | cut -f2 | sort)
  printf 'formats: %s\n' "${formats//$'\n'/ }"
  if grep -qx CF_BITMAP <<<"$formats"; then brimlo_tool clip get bitmap | tr -d '\r'; fi
  if grep -qx CF_HDROP <<<"$formats"; then brimlo_tool clip get files | tr -d '\r'; fi
  if grep -qx 'Rich Text Format' <<<"$formats"; then brimlo_tool clip get rtf | sha256sum; fi
  if grep -qx CF_UNICODETEXT <<<"$formats"; then brimlo_tool clip get text | sha256sum; fi
}

# listing <directory>: the names in it on one line.
listing() { find "$1" -mindepth 1 -maxdepth 1 -printf '%f\n' | LC_ALL=C sort | tr '\n' '|'; }

# tree_state <directory>: every entry with its type, mode and size, and every file's digest.
tree_state() {
  (
    cd "$1" || exit 1
    find . -mindepth 1 -printf '%y %m %s %p\n' | LC_ALL=C sort
    find . -type f -exec sha256sum {} + | LC_ALL=C sort
  )
}

# set_text <text or @file>: the text on the clipboard, set from a Windows program. Now and then the
# clipboard reads empty right after the set (Wine settling after the previous case's program
# ended); the set is then made again, so a case starts from the content it names.
set_text() {
  local _
  for _ in 1 2 3; do
    brimlo_clip unicode "$1" || return 1
    brimlo_clip_formats | cut -f2 | grep -qx CF_UNICODETEXT && return 0
    sleep 0.2
  done
  return 1
}

clip_before=''
tree_before=''
remember() {
  clip_before=$(clip_state)
  tree_before=$(tree_state "$work")
}

# kept [directory changes allowed]: the clipboard is as it was, and so is the work directory
# (nothing written, nothing left behind, an old file unchanged).
kept() {
  local now
  now=$(clip_state)
  [ "$now" = "$clip_before" ] ||
    problem "the clipboard changed: before '${clip_before//$'\n'/ | }', after '${now//$'\n'/ | }'"
  if [ "${1:-}" != changes ]; then
    now=$(tree_state "$work")
    [ "$now" = "$tree_before" ] ||
      problem "the work directory changed: $(diff <(echo "$tree_before") <(echo "$now") | grep '^[<>]' | tr '\n' '|')"
  fi
}

# --- Case shapes --------------------------------------------------------------------------------

# refused <case> <question: no|yes> <batch name> <target the message names> <reason regex>
#         [copy of the old target]
# A save that cannot happen: with the text on the clipboard, "-b <name>" asks whether to replace
# an existing file (answered Yes) when the shape says so, then says the file was not saved,
# naming it, and turns into the window with the text still there. An old target must still
# match its copy byte for byte.
refused() {
  local label=$1 asks=$2 name=$3 target=$4 reason=$5 old=${6:-} rc=0
  begin_case "$label"
  set_text "$clip_text" || problem "brimlo-tool clip could not set the text"
  remember
  batch "-b $name"
  outcome 20 "$ours" || rc=$?
  if [ "$shown" = 'Overwrite file?' ]; then
    if [ "$asks" = no ]; then problem "asks to overwrite although no file '$target' exists"; fi
    local asked
    asked=$(brimlo_answer_box 'Overwrite file?' yes 5000 | tr -d '\r')
    [ "$(sed -n 3p <<<"$asked")" = "$target" ] ||
      problem "the overwrite question names '$(sed -n 3p <<<"$asked")', not '$target'"
    rc=0
    outcome 20 "$ours" || rc=$?
  elif [ "$asks" = yes ]; then
    problem "no overwrite question for the existing '$target'"
  fi
  if [ "$rc" = 1 ]; then
    problem "nothing shown: the run ended with status $BRIMLO_STATUS"
  elif [ "$rc" = 2 ]; then
    problem "nothing shown within 20 s"
  elif [ "$shown" != Brimlo ]; then
    problem "shows '$shown' instead of the failure message"
    brimlo_kill
  elif told "$target" "$reason"; then
    # A "?" anywhere on the command line also asks for the help box.
    if [[ $name == *\?* ]]; then
      if outcome 10 '^Brimlo -> '; then
        brimlo_answer_box "$shown" ok 5000 >/dev/null || problem "the help box could not be answered"
      else
        problem "no help box for a command line with '?'"
      fi
    fi
    keeps_window "$text_caption" "$clip_text"
  fi
  kept
  if [ -n "$old" ]; then
    cmp -s "$work/$name.TXT" "$old" || problem "the old $name.TXT is not as it was"
  fi
  end_case
}

# saved <case> <batch name> <text> <printf format of the file's expected bytes>
# Content that must arrive whole: "-b <name>" writes <name>.TXT silently with exactly these bytes.
saved() {
  local label=$1 name=$2 file=$work/$2.TXT
  begin_case "$label"
  printf '%s' "$3" >"$BRIMLO_WORK/clip.txt"
  set_text "@$BRIMLO_WORK/clip.txt" || problem "brimlo-tool clip could not set the text"
  # shellcheck disable=SC2059
  printf "$4" >"$BRIMLO_WORK/expected"
  remember
  batch "-b $name"
  if silent_save 20; then
    if [ ! -f "$file" ]; then
      problem "no file '$(basename "$file")' (directory: $(listing "$work"))"
    elif ! cmp -s "$file" "$BRIMLO_WORK/expected"; then
      problem "$(basename "$file") holds $(od -An -tx1 "$file" | head -c 300 | tr -s ' \n' ' '), expected $(od -An -tx1 "$BRIMLO_WORK/expected" | tr -s ' \n' ' ')"
    fi
  fi
  kept changes
  # The directory made for the refused cases stays; nothing else may be there.
  [ "$(find "$work" -mindepth 1 -maxdepth 1 ! -name Taken.TXT -printf '%f\n')" = "$name.TXT" ] ||
    problem "other files appeared: $(listing "$work")"
  rm -f "$file"
  end_case
}

# held_clipboard <case> <caption> <extension> <checker> <clip arguments...>
# Another program has the clipboard open (a viewer, a remote desktop client) for two seconds
# while "-b Held" runs. Either the run saves the real content (the checker says whether the file
# holds it), or it says that nothing was saved. A file with other content counted as saved
# would lose the user's data without a word.
held_clipboard() {
  local label=$1 caption=$2 extension=$3 checker=$4 holder rc=0 target
  shift 4
  begin_case "$label"
  brimlo_clip "$@" || problem "brimlo-tool clip could not set the content"
  remember
  start_holder 30 "$BRIMLO_WORK/hold.out" "$BRIMLO_TOOL" clip hold 2000
  holder=$holder_pid
  holding "$BRIMLO_WORK/hold.out" || problem "brimlo-tool clip hold did not take the clipboard"
  batch "-b Held"
  outcome 20 "$ours" || rc=$?
  target=$(ls "$work"/Held.* 2>/dev/null || true)
  if [ "$rc" = 0 ]; then
    if [ "$shown" = Brimlo ]; then
      told "$work_win\\Held.$extension" 'clipboard could not be read' && keeps_window "$caption"
    else
      problem "shows '$shown' instead of saving or saying that nothing was saved"
      brimlo_kill
    fi
    target=$(ls "$work"/Held.* 2>/dev/null || true)
    [ -z "$target" ] || problem "a failed save left $(basename "$target")"
  elif [ "$rc" = 2 ]; then
    problem "neither saved nor said anything within 20 s"
  elif [ "$BRIMLO_STATUS" != 0 ]; then
    problem "the run ended with status $BRIMLO_STATUS and said nothing"
  elif [ -z "$target" ]; then
    problem "status 0, but no file was written"
  elif ! "$checker" "$target"; then
    problem "status 0 (saved, nothing said), but $(basename "$target") holds $(od -An -c "$target" | head -c 240 | tr -s ' \n' ' ') instead of the clipboard's content"
  fi
  wait "$holder" 2>/dev/null || true
  kept changes
  rm -f "$work"/Held.*
  end_case
}

holds_words() { cmp -s "$1" <(printf 'precious words\r\n'); }
holds_rtf_words() { [ "$(head -c 5 "$1")" = '{\rtf' ] && grep -q 'Precious' "$1"; }
holds_picture() { [ "$(timeout 20 identify -format '%m %wx%h' "$1" 2>&1)" = 'JPEG 64x48' ]; }

# =================================================================================================
# Names and targets the file system refuses. The text stays on the clipboard for all of them.
clip_text='kept, not lost'
long_name=Long$(printf '%0296d' 0)
mkdir -p "$work/Taken.TXT"

#       case                        question  batch name              target named in the message    reason
refused 'name with ?'               no    'a?b'                   "$work_win\\a?b.TXT"           'Invalid name'
refused 'name with *'               no    'a*b'                   "$work_win\\a*b.TXT"           'Invalid name'
refused 'name with <'               no    'a<b'                   "$work_win\\a<b.TXT"           'Invalid name'
refused 'name with >'               no    'a>b'                   "$work_win\\a>b.TXT"           'Invalid name'
refused 'name with |'               no    'a|b'                   "$work_win\\a|b.TXT"           'Invalid name'
refused 'name with "'               no    'a"b'                   "$work_win\\a\"b.TXT"          'Invalid name'
# Beyond what the file system takes (255 bytes a name); the reason is the platform's own.
refused 'name of 300 characters'    no    "$long_name"            "$work_win\\$long_name.TXT"    '.'
refused 'drive that does not exist' no    'Q:\Notes'              'Q:\Notes.TXT'                 '.'
refused 'directory that is missing' no    "$work_win\\nosuch\\x"  "$work_win\\nosuch\\x.TXT"     'not found'
refused 'directory with the name'   no    'Taken'                 "$work_win\\Taken.TXT"         'Access denied'
# Device names, whatever extension follows, open the device instead of a file.
refused 'device name CON'           no    'CON'                   "$work_win\\CON.TXT"           'Invalid name'
refused 'device name NUL'           no    'NUL'                   "$work_win\\NUL.TXT"           'Invalid name'
refused 'device name COM1'          no    'COM1'                  "$work_win\\COM1.TXT"          'Invalid name'

# --- An old target that cannot be replaced: after "Yes" it must stay byte for byte -------------
printf 'the old file\r\n\001\002\377 with bytes\r\n' >"$work/ReadOnly.TXT"
cp "$work/ReadOnly.TXT" "$BRIMLO_WORK/old-readonly"
chmod a-w "$work/ReadOnly.TXT"
refused 'read-only target' yes 'ReadOnly' "$work_win\\ReadOnly.TXT" 'Access denied' \
  "$BRIMLO_WORK/old-readonly"
chmod u+w "$work/ReadOnly.TXT"
rm -f "$work/ReadOnly.TXT"

printf 'the old file, open in an editor\r\n' >"$work/Open.TXT"
cp "$work/Open.TXT" "$BRIMLO_WORK/old-open"
start_holder 60 "$BRIMLO_WORK/holdfile.out" "$BRIMLO_TOOL" holdfile "$work/Open.TXT" 30000
file_holder=$holder_pid
holding "$BRIMLO_WORK/holdfile.out" || fail "brimlo-tool holdfile did not open the file: $(cat "$BRIMLO_WORK/holdfile.out")"
# Ended after the case: the holder would keep the file for 30 s.
refused 'target held open' yes 'Open' "$work_win\\Open.TXT" 'denied|used by another' \
  "$BRIMLO_WORK/old-open"
_brimlo_end "$file_holder"
wait "$file_holder" 2>/dev/null || true
rm -f "$work/Open.TXT"

# --- A name ending in a separator ---------------------------------------------------------------
# It names only the directory: the text lands there under the default name (the folder name of
# the directory the program started in), never in a file with no name (".TXT").
begin_case 'name ending in \ (existing directory)'
set_text "$clip_text" || problem "brimlo-tool clip could not set the text"
mkdir -p "$work/Sub"
remember
batch "-b $work_win\\Sub\\"
if silent_save 20; then
  if [ "$(listing "$work/Sub")" != 'Target_Text.TXT|' ]; then
    problem "Sub holds '$(listing "$work/Sub")', expected Target_Text.TXT"
  elif ! cmp -s "$work/Sub/Target_Text.TXT" <(printf '%s\r\n' "$clip_text"); then
    problem "Target_Text.TXT does not hold the text"
  fi
fi
kept changes
rm -rf "$work/Sub"
end_case

# A relative directory that does not exist, given with its separator: a message, nothing made.
refused 'name ending in \ (missing directory)' no "Gone\\" 'Gone\Target_Text.TXT' 'not found'

# =================================================================================================
# Content that must arrive whole: names and text beyond the ANSI code page (1252), an empty text.
#     case                       batch name      clipboard text             expected bytes
saved 'text that fits ANSI'      'Notiz'         'Café à 5 €'               'Caf\351 \340 5 \200\r\n'
saved 'Greek name and text'      'Σημειώσεις'    'Καλημέρα κόσμε'           '\357\273\277Καλημέρα κόσμε\r\n'
saved 'CJK name and text'        '剪贴板メモ'    '日本語のテキスト、中文'   '\357\273\277日本語のテキスト、中文\r\n'
saved 'emoji name and text'      '📋Clip'        'ok 🙂 done'               '\357\273\277ok \360\237\231\202 done\r\n'
# One character beyond the code page sends the whole text to UTF-8, "é" included.
saved 'ANSI and Greek mixed'     'Mixed'         'é and α'                  '\357\273\277\303\251 and \316\261\r\n'
saved 'empty text'               'Empty'         ''                         '\r\n'

# --- 100 MB of text -----------------------------------------------------------------------------
begin_case 'text of 100 MB'
big=$BRIMLO_WORK/big.txt
# seq ends by SIGPIPE once head has its 100 MiB.
seq 1 20000000 | head -c 104857600 >"$big" || true
[ "$(stat -c %s "$big")" = 104857600 ] || fail "could not make 100 MiB of text"
expected_sum=$( (cat "$big" && printf '\r\n') | sha256sum | cut -d' ' -f1)
brimlo_clip unicode "@$big" || problem "brimlo-tool clip could not set 100 MB of text"
remember
started=$(_brimlo_ms)
batch '-b Huge'
if silent_save 45; then
  note "100 MB saved in $(($(_brimlo_ms) - started)) ms"
  if [ ! -f "$work/Huge.TXT" ]; then
    problem "no Huge.TXT"
  else
    expect_size=104857602
    size=$(stat -c %s "$work/Huge.TXT")
    [ "$size" = "$expect_size" ] || problem "Huge.TXT has $size bytes, expected $expect_size"
    [ "$(sha256sum <"$work/Huge.TXT" | cut -d' ' -f1)" = "$expected_sum" ] ||
      problem "Huge.TXT does not hold the text and one CR LF"
  fi
fi
kept changes
rm -f "$work/Huge.TXT" "$big"
end_case

# The same 100 MB that cannot be saved: after the message the window answers at once (its
# preview shows the start of the text and says so), and Esc ends it.
begin_case 'text of 100 MB that cannot be saved'
remember
batch '-b Gone\Huge'
if outcome 45 "$ours" && [ "$shown" = Brimlo ]; then
  told 'Gone\Huge.TXT' 'not found'
  answered=$(_brimlo_ms)
  if window=$(brimlo_find_window "^$(brimlo_literal "$text_caption")\$" 15); then
    brimlo_key "$window" Escape
    if brimlo_wait_exit 10; then
      took=$(($(_brimlo_ms) - answered))
      note "window shown and ended by Esc ${took} ms after the message"
      [ "$took" -lt 8000 ] || problem "the window took ${took} ms to show and answer Esc"
      [ "$BRIMLO_STATUS" = 1 ] || problem "exit status $BRIMLO_STATUS after Esc, expected 1"
    else
      problem "the window does not answer Esc within 10 s"
    fi
  else
    problem "no window '$text_caption' within 15 s of the message"
  fi
else
  problem "no failure message (shown: '$shown')"
fi
kept
end_case

# --- An 8K picture ------------------------------------------------------------------------------
begin_case 'bitmap 7680x4320'
brimlo_clip bitmap 7680 4320 || problem "brimlo-tool clip could not set the bitmap"
remember
started=$(_brimlo_ms)
batch '-b Poster'
if silent_save 45; then
  note "7680x4320 saved in $(($(_brimlo_ms) - started)) ms"
  jpg=$work/Poster.JPG
  if [ ! -f "$jpg" ]; then
    problem "no Poster.JPG"
  else
    got=$(timeout 30 identify -format '%m %wx%h' "$jpg" 2>&1)
    [ "$got" = 'JPEG 7680x4320' ] || problem "Poster.JPG decodes as '$got'"
    # The quadrants' centres: red, green / blue, white (JPEG moves them a little).
    colours=$(timeout 30 convert "$jpg" -format \
      '%[fx:round(255*p{1920,1080}.r)] %[fx:round(255*p{1920,1080}.g)] %[fx:round(255*p{1920,1080}.b)] %[fx:round(255*p{5760,1080}.r)] %[fx:round(255*p{5760,1080}.g)] %[fx:round(255*p{5760,1080}.b)] %[fx:round(255*p{1920,3240}.r)] %[fx:round(255*p{1920,3240}.g)] %[fx:round(255*p{1920,3240}.b)] %[fx:round(255*p{5760,3240}.r)] %[fx:round(255*p{5760,3240}.g)] %[fx:round(255*p{5760,3240}.b)]' info:)
    read -r -a got_rgb <<<"$colours"
    want_rgb=(255 0 0 0 255 0 0 0 255 255 255 255)
    for i in "${!want_rgb[@]}"; do
      d=$((${got_rgb[$i]:-999} - want_rgb[i]))
      [ "${d#-}" -le 40 ] || {
        problem "Poster.JPG's quadrant colours are '$colours', expected red, green, blue, white"
        break
      }
    done
  fi
fi
kept changes
rm -f "$work/Poster.JPG"
end_case

# =================================================================================================
# A clipboard another program holds open.
printf '%s' '{\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}}\f0\fs24 Precious \i words\i0\par}' >"$BRIMLO_WORK/held.rtf"
#              case                       mode caption        file  file holds it    content
held_clipboard 'clipboard held: text'     "$text_caption"     TXT   holds_words      unicode 'precious words'
held_clipboard 'clipboard held: RTF'      "$rtf_caption"      RTF   holds_rtf_words  rtf "$BRIMLO_WORK/held.rtf" 'Precious words'
held_clipboard 'clipboard held: picture'  "$picture_caption"  JPG   holds_picture    bitmap 64 48

# =================================================================================================
# A file list with one file gone since it was copied: the copy says which and why, copies the
# rest, and ends with status 1 (not every file arrived).
begin_case 'file list with a missing file'
src=$BRIMLO_WORK/source
mkdir -p "$src"
printf 'first file\r\n' >"$src/alpha.txt"
printf 'third \001\002\377 bytes' >"$src/gamma.dat"
brimlo_clip files "$src/alpha.txt" "$src/missing.txt" "$src/gamma.dat"
remember
copied=$BRIMLO_WORK/copied
mkdir -p "$copied"
# Started in the target directory, the window proposes it: Alt+C copies there.
brimlo_start "$copied"
if window=$(brimlo_find_window "^$(brimlo_literal "$copy_caption")\$" 30); then
  brimlo_key "$window" alt+c
  if text=$(brimlo_answer_box Brimlo ok 10000); then
    grep -qF "$(brimlo_windows_path "$src/missing.txt")" <<<"$text" ||
      problem "the message '$(tr -d '\r' <<<"$text" | tr '\n' '|')' does not name the missing file"
    note "the message: $(tr -d '\r' <<<"$text" | tr '\n' '|')"
    ! grep -qE '^[0-9]+$' <<<"$(head -n 1 <<<"$text" | tr -d '\r')" ||
      problem "the message gives a bare number, not the reason"
  else
    problem "no message about the missing file"
  fi
  if brimlo_wait_exit 15; then
    [ "$BRIMLO_STATUS" = 1 ] || problem "exit status $BRIMLO_STATUS after the copy, expected 1"
  else
    problem "brimlo.exe still runs 15 s after the copy"
  fi
  for f in alpha.txt gamma.dat; do
    cmp -s "$copied/$f" "$src/$f" || problem "$f was not copied whole"
  done
  [ ! -e "$copied/missing.txt" ] || problem "a missing.txt appeared in the target"
  [ "$(listing "$copied")" = 'alpha.txt|gamma.dat|' ] ||
    problem "the target holds $(listing "$copied")"
else
  problem "no window '$copy_caption'"
fi
kept
end_case

# =================================================================================================
# Copies over an existing file that cannot be replaced: the old file stays whole, the user is
# told, nothing is left behind, and the run ends with status 1.

# copy_into <directory> <expected status> <file>...: the copy window started in the directory,
# Alt+C, "Overwrite?" Yes and "Allow all?" No where asked; said is the failure message's text
# (lines joined by |), empty when none came.
said=''
copy_into() {
  local dir=$1 status=$2 window
  shift 2
  brimlo_clip files "$@"
  said=''
  brimlo_start "$dir"
  if ! window=$(brimlo_find_window "^$(brimlo_literal "$copy_caption")\$" 30); then
    problem "no window '$copy_caption'"
    return 1
  fi
  brimlo_key "$window" alt+c
  if brimlo_wait_box "Overwrite?" 3000 >/dev/null 2>&1; then
    brimlo_answer_box "Overwrite?" yes 5000 >/dev/null || problem "the overwrite question went"
    brimlo_answer_box "Allow all?" no 5000 >/dev/null || problem "no 'Allow all?' question"
  fi
  if [ "$status" != 0 ]; then
    said=$(brimlo_answer_box Brimlo ok 10000 2>/dev/null | tr -d '\r' | tr '\n' '|') ||
      problem "no message about the file that was not copied"
  fi
  if brimlo_wait_exit 15; then
    [ "$BRIMLO_STATUS" = "$status" ] ||
      problem "exit status $BRIMLO_STATUS after the copy, expected $status (said: $said)"
  else
    problem "brimlo.exe still runs 15 s after the copy"
  fi
}

big=$BRIMLO_WORK/big
mkdir -p "$big"
head -c $((2500 * 1024)) /dev/urandom >"$big/old.bin"

begin_case 'copy over a file on a full volume'
volume=$BRIMLO_WORK/volume
mkdir -p "$volume"
if mount -t tmpfs -o size=3m tmpfs "$volume" 2>/dev/null; then
  head -c $((1500 * 1024)) /dev/urandom >"$volume/old.bin"
  cp "$volume/old.bin" "$BRIMLO_WORK/old-kept"
  copy_into "$volume" 1 "$big/old.bin"
  grep -qF "$(brimlo_windows_path "$big/old.bin")" <<<"$said" ||
    problem "the message '$said' does not name the file"
  note "the message: $said"
  cmp -s "$volume/old.bin" "$BRIMLO_WORK/old-kept" || problem "the old file changed"
  [ "$(listing "$volume")" = 'old.bin|' ] || problem "the volume holds $(listing "$volume")"
  # A new file that does not fit arrives whole or not at all: no part of it under its name.
  cp "$big/old.bin" "$big/new.bin"
  copy_into "$volume" 1 "$big/new.bin"
  note "the message: $said"
  # Nobody cancelled: the message gives the real reason, not the shell's "cancelled".
  ! grep -qi 'cancel' <<<"$said" || problem "the message '$said' blames a cancel"
  [ "$(listing "$volume")" = 'old.bin|' ] || problem "after a new file: the volume holds $(listing "$volume")"
  umount "$volume" || umount -l "$volume"
else
  problem "a small volume could not be mounted here (mount -t tmpfs needs root)"
fi
end_case

begin_case 'copy over a read-only file'
ro=$BRIMLO_WORK/readonly
mkdir -p "$ro"
printf 'old and protected' >"$ro/old.bin"
chmod a-w "$ro/old.bin"
copy_into "$ro" 1 "$big/old.bin"
note "the message: $said"
[ "$(cat "$ro/old.bin")" = 'old and protected' ] || problem "the read-only file changed"
[ "$(listing "$ro")" = 'old.bin|' ] || problem "the directory holds $(listing "$ro")"
chmod u+w "$ro/old.bin"
end_case

# A folder in the list where the target holds a file of its name: nothing is asked, the file
# stays, the message names the folder.
begin_case 'folder over a file of its name'
fold=$BRIMLO_WORK/folder-target
mkdir -p "$fold" "$big/Photos"
printf 'a picture' >"$big/Photos/p.jpg"
printf 'the user file named Photos' >"$fold/Photos"
copy_into "$fold" 1 "$big/Photos"
note "the message: $said"
grep -qF "$(brimlo_windows_path "$big/Photos")" <<<"$said" || problem "the message '$said' does not name the folder"
[ "$(cat "$fold/Photos")" = 'the user file named Photos' ] || problem "the file Photos changed"
[ "$(listing "$fold")" = 'Photos|' ] || problem "the directory holds $(listing "$fold")"
end_case

# A source whose path is longer than the system's ordinary limit: it is copied whole or reported;
# never is its sibling with the shorter name copied in its place.
begin_case 'copy of a source with a path over 259 characters'
deep=$BRIMLO_WORK/$(printf 'd%.0s' {1..100})/$(printf 'e%.0s' {1..100})
mkdir -p "$deep"
printf 'the short sibling' >"$deep/report.txt"
printf 'the file that was copied' >"$deep/report.txt.old"
long_dest=$BRIMLO_WORK/longcopy
mkdir -p "$long_dest"
[ "$(brimlo_windows_path "$deep/report.txt.old" | wc -c)" -gt 260 ] || problem "the path is not long enough"
brimlo_clip files "$deep/report.txt.old"
brimlo_start "$long_dest"
if window=$(brimlo_find_window "^$(brimlo_literal "$copy_caption")\$" 30); then
  brimlo_key "$window" alt+c
  brimlo_wait_exit 15 || problem "brimlo.exe still runs 15 s after the copy"
  if [ "${BRIMLO_STATUS:-}" = 0 ]; then
    cmp -s "$long_dest/report.txt.old" "$deep/report.txt.old" || problem "report.txt.old was not copied whole"
  else
    problem "the long path was not copied (status ${BRIMLO_STATUS:-none})"
  fi
  [ ! -e "$long_dest/report.txt" ] || problem "the sibling report.txt was copied in its place"
else
  problem "no window '$copy_caption'"
fi
end_case

# =================================================================================================
echo "---- bad input: ${#results[@]} cases, $failed failed" >&2
printf '  %s\n' "${results[@]}" >&2
[ "$failed" = 0 ] || fail "$failed of ${#results[@]} cases failed"
note "passed"
