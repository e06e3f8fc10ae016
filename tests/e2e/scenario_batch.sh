#!/usr/bin/env bash
# Batch runs (-b): the clipboard is saved without any window, under the given name or the
# directory's, with the stored date and time options; a run that cannot save says so and turns
# into an ordinary window instead of losing the content silently.

# shellcheck disable=SC1091
. "$(dirname "$0")/lib.sh"

version='Brimlo  v. 0.6'
work=$BRIMLO_WORK/Shots
mkdir -p "$work"
settings='Software\Brimlo\Settings'
option_names=(AddDateTxt AddTimeTxt OpenFileTxt AddDateJPG AddTimeJPG OpenFileJPG)

# shot <name>: keeps the screen as $BRIMLO_ARTIFACTS/batch-<name>.png.
shot() {
  mkdir -p "$BRIMLO_ARTIFACTS"
  timeout 20 import -window root "$BRIMLO_ARTIFACTS/batch-$1.png" || fail "no screenshot batch-$1"
}

# --- Stored options: known values for the run, the user's own back afterwards ------------------
declare -A saved_options=()
for name in "${option_names[@]}"; do
  if value=$(brimlo_setting "$settings" "$name" 2>/dev/null); then
    saved_options[$name]=$(tr -d '\r' <<<"$value")
  fi
done

restore_options() {
  local name
  for name in "${option_names[@]}"; do
    if [ -n "${saved_options[$name]+set}" ]; then
      brimlo_set_setting "$settings" "$name" "${saved_options[$name]}" || note "could not restore $name"
    else
      timeout 60 "$BRIMLO_WINE" reg delete "HKCU\\$settings" /v "$name" /f </dev/null >/dev/null 2>&1 || true
    fi
  done
}

finish() {
  local rc=$?
  set +e
  restore_options
  (exit "$rc")
  brimlo_cleanup
}
trap finish EXIT

# A file the program would open afterwards, or a prefix, must not get in the way of a plain save.
for name in "${option_names[@]}"; do brimlo_set_setting "$settings" "$name" 0; done

hex() { od -An -tx1 -v "$1" | tr -s ' \n' ' ' | sed 's/^ //; s/ $//'; }

# batch_run <seconds> <arguments...>: runs brimlo.exe in the work directory to its end, watching
# that no window of it shows meanwhile; sets BRIMLO_STATUS.
batch_run() {
  local limit=$1 end
  shift
  brimlo_start "$work" "$@"
  end=$(($(_brimlo_ms) + limit * 1000))
  while _brimlo_running; do
    if xdotool search --onlyvisible --name '^Brimlo  v' >/dev/null 2>&1; then
      shot "window-$BRIMLO_RUNS"
      fail "batch run '$*' shows a window"
    fi
    [ "$(_brimlo_ms)" -lt "$end" ] || fail "batch run '$*' still runs after $limit s"
    sleep 0.05
  done
  brimlo_wait_exit 5 || fail "batch run '$*' did not end"
}

# --- -b Name with plain text: Name.TXT, the text and a line end, nothing shown -----------------
note "-b Notes with plain text"
brimlo_xclip_text 'abc'
batch_run 30 -b Notes
expect_eq "$BRIMLO_STATUS" 0 "exit status of '-b Notes'"
[ -f "$work/Notes.TXT" ] || fail "'-b Notes' wrote no Notes.TXT (directory: $(ls "$work"))"
expect_eq "$(hex "$work/Notes.TXT")" '61 62 63 0d 0a' "bytes of Notes.TXT"
shot text

# --- -b alone with a picture: <directory>_Screenshot.JPG of the picture's size -----------------
note "-b with a bitmap"
timeout 30 convert -size 320x200 gradient:blue-yellow "bmp3:$BRIMLO_WORK/gradient.bmp"
brimlo_xclip image/bmp "$BRIMLO_WORK/gradient.bmp"
batch_run 30 -b
expect_eq "$BRIMLO_STATUS" 0 "exit status of '-b' with a bitmap"
jpg=$work/Shots_Screenshot.JPG
[ -f "$jpg" ] || fail "'-b' wrote no Shots_Screenshot.JPG (directory: $(ls "$work"))"
expect_eq "$(timeout 20 identify -format '%m %wx%h' "$jpg" 2>&1)" 'JPEG 320x200' \
  "Shots_Screenshot.JPG as decoded"
shot picture

# --- -b Shot with a PNG alone, as a Linux screenshot tool offers it: Shot.JPG of its size -------
note "-b Shot with a PNG"
timeout 30 convert -size 333x222 xc:none -fill '#D03020' -draw 'rectangle 0,0 165,221' \
  "png32:$BRIMLO_WORK/half.png"
brimlo_xclip image/png "$BRIMLO_WORK/half.png"
batch_run 30 -b Shot
expect_eq "$BRIMLO_STATUS" 0 "exit status of '-b Shot' with a PNG"
jpg=$work/Shot.JPG
[ -f "$jpg" ] || fail "'-b Shot' wrote no Shot.JPG (directory: $(ls "$work"))"
expect_eq "$(timeout 20 identify -format '%m %wx%h' "$jpg" 2>&1)" 'JPEG 333x222' "Shot.JPG as decoded"
# The opaque left half stays red; the transparent right half comes out white, not black.
red=$(timeout 20 convert "$jpg" -crop 120x180+20+20 +repage -format '%[fx:mean.r > 0.7 && mean.g < 0.3]' info:)
white=$(timeout 20 convert "$jpg" -crop 120x180+200+20 +repage -colorspace gray -format '%[fx:minima > 0.94]' info:)
expect_eq "$red $white" '1 1' "Shot.JPG: red left half, white right half"

# --- -b Name with formatted text: Name.RTF ----------------------------------------------------
note "-b MyDumps with RTF and text"
printf '%s' '{\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}}\f0\fs24 Dumped \i words\i0\par}' \
  >"$BRIMLO_WORK/dump.rtf"
brimlo_end_xclips
brimlo_clip rtf "$BRIMLO_WORK/dump.rtf" 'Dumped words'
brimlo_wait_formats 'Rich Text Format' CF_UNICODETEXT
batch_run 30 -b MyDumps
expect_eq "$BRIMLO_STATUS" 0 "exit status of '-b MyDumps'"
[ -f "$work/MyDumps.RTF" ] || fail "'-b MyDumps' wrote no MyDumps.RTF (directory: $(ls "$work"))"
expect_eq "$(head -c 5 "$work/MyDumps.RTF")" '{\rtf' "start of MyDumps.RTF"
grep -q 'Dumped' "$work/MyDumps.RTF" || fail "MyDumps.RTF does not hold the copied words"
[ ! -e "$work/MyDumps.TXT" ] || fail "'-b MyDumps' with RTF also wrote MyDumps.TXT"

# --- -b Name with 50 MB of formatted text: the clipboard's document as it stands --------------
# The rich edit control fails inside itself on documents of tens of megabytes; a batch run never
# gives it one.
note "-b Big with 50 MB of RTF"
big=$BRIMLO_WORK/big.rtf
{
  printf '%s' '{\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}}\f0\fs24 '
  yes 'Large \b formatted\b0  text, one paragraph of many.\par' | head -c 52428800 || true
  printf '}'
} >"$big"
brimlo_clip rtf "$big" 'Large formatted text'
brimlo_wait_formats 'Rich Text Format' CF_UNICODETEXT
started=$(_brimlo_ms)
batch_run 60 -b Big
note "50 MB of RTF: status $BRIMLO_STATUS after $(($(_brimlo_ms) - started)) ms"
expect_eq "$BRIMLO_STATUS" 0 "exit status of '-b Big' with 50 MB of RTF"
cmp -s "$big" "$work/Big.RTF" || fail "Big.RTF is not the clipboard's RTF byte for byte"
rm -f "$big" "$work/Big.RTF"

# --- Text the ANSI code page cannot hold: UTF-8 with a byte-order mark -------------------------
note "-b Greek with Greek text"
greek='Καλημέρα κόσμε'
brimlo_xclip_text "$greek"
batch_run 30 -b Greek
expect_eq "$BRIMLO_STATUS" 0 "exit status of '-b Greek'"
[ -f "$work/Greek.TXT" ] || fail "'-b Greek' wrote no Greek.TXT (directory: $(ls "$work"))"
printf '\xEF\xBB\xBF%s\r\n' "$greek" >"$BRIMLO_WORK/greek.expected"
expect_eq "$(hex "$work/Greek.TXT")" "$(hex "$BRIMLO_WORK/greek.expected")" "bytes of Greek.TXT"

# --- Stored date and time options: HH-MM-SS_YY.MM.DD_Name.TXT of the run's time ---------------
note "-b P with Add Date and Add Time stored"
brimlo_set_setting "$settings" AddDateTxt 1
brimlo_set_setting "$settings" AddTimeTxt 1
brimlo_xclip_text 'stamped'
started=$(date +%s)
batch_run 30 -b P
ended=$(date +%s)
expect_eq "$BRIMLO_STATUS" 0 "exit status of '-b P' with date and time"
pattern='^([0-9]{2})-([0-9]{2})-([0-9]{2})_([0-9]{2})\.([0-9]{2})\.([0-9]{2})_P\.TXT$'
stamped_files=()
for f in "$work"/*_P.TXT; do
  if [[ $(basename "$f") =~ $pattern ]]; then stamped_files+=("$(basename "$f")"); fi
done
if [ "${#stamped_files[@]}" -ne 1 ]; then
  fail "'-b P' wrote not exactly one HH-MM-SS_YY.MM.DD_P.TXT (directory: $(echo "$work"/*))"
fi
stamped=${stamped_files[0]}
[[ $stamped =~ $pattern ]]
m=("${BASH_REMATCH[@]}")
stamp=$(date -d "20${m[4]}-${m[5]}-${m[6]} ${m[1]}:${m[2]}:${m[3]}" +%s 2>/dev/null) ||
  fail "'$stamped' does not name a valid date and time"
if [ "$stamp" -lt $((started - 2)) ] || [ "$stamp" -gt $((ended + 2)) ]; then
  fail "'$stamped' is not the run's time ($(date -d "@$started" '+%H-%M-%S_%y.%m.%d') to $(date -d "@$ended" '+%H-%M-%S_%y.%m.%d'))"
fi
expect_eq "$(hex "$work/$stamped")" '73 74 61 6d 70 65 64 0d 0a' "bytes of $stamped"
[ ! -e "$work/P.TXT" ] || fail "'-b P' with date and time also wrote P.TXT"
brimlo_set_setting "$settings" AddDateTxt 0
brimlo_set_setting "$settings" AddTimeTxt 0

# --- A target directory that does not exist: a stop box, nothing saved, then the window --------
note "-b into a missing directory"
missing="$WINEPREFIX/drive_c/nosuchdir"
[ ! -e "$missing" ] || fail "$missing exists before the run"
brimlo_xclip_text 'kept, not lost'
before=$(ls -A "$work")
brimlo_start "$work" -b 'C:\nosuchdir\x'
# The box has the program's name as its title.
box_text=$(brimlo_wait_box Brimlo 30000 | tr -d '\r') || fail "no message box after a failed batch save"
box_text_line=${box_text//$'\n'/ | }
grep -qF 'C:\nosuchdir\x.TXT' <<<"$box_text" || fail "the box does not name the target: '$box_text_line'"
box_info=$(brimlo_wininfo Brimlo)
# The stop icon is red; the question and information icons of the other boxes are not.
icon=$(awk -F'\t' '$1 == "child" && $3 == "Static" && $4 == "" && $5 == 1 && $8 >= 16 && $8 <= 64 { print $6, $7, $8, $9; exit }' <<<"$box_info")
[ -n "$icon" ] || fail "the failure box shows no icon"
read -r ix iy iw ih <<<"$icon"
read -r bx by <<<"$(awk -F'\t' '$1 == "client" { print $2, $3 }' <<<"$box_info")"
shot missing-dir-box
red=$(timeout 20 convert "$BRIMLO_ARTIFACTS/batch-missing-dir-box.png" \
  -crop "${iw}x${ih}+$((bx + ix))+$((by + iy))" +repage -fx 'r > 0.6 && g < 0.35 && b < 0.35' \
  -format '%[fx:round(mean*1000)]' info:)
[ "$red" -ge 100 ] || fail "the failure box shows no stop icon (red share of the icon ${red}/1000)"
brimlo_answer_box Brimlo ok 5000 >/dev/null || fail "the failure box could not be answered"
[ ! -e "$missing" ] || fail "the failed save created $missing"
expect_eq "$(ls -A "$work")" "$before" "work directory after the failed save"
text_caption="$version - Save Clipboard Text (.txt)"
window=$(brimlo_find_window '^Brimlo  v' 15) || fail "no window after the failed batch save"
expect_eq "$(brimlo_window_name "$window")" "$text_caption" "window caption after the failed save"
shot missing-dir-window
info=$(brimlo_wininfo "$text_caption")
grep -qP '^child\t\d+\tEdit\tkept, not lost\t1\t' <<<"$info" ||
  fail "the window does not show the text that was not saved"
brimlo_key "$window" Escape
brimlo_wait_exit 15 || fail "brimlo.exe still runs 15 s after Esc"
expect_eq "$BRIMLO_STATUS" 1 "exit status after the failed save and Esc"

note "passed"
