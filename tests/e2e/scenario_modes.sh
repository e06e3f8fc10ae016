#!/usr/bin/env bash
# What the window offers for each kind of clipboard content: plain text, formatted text, a
# picture (a bitmap, or a PNG alone as Linux programs offer it) and a file list each get their own
# mode and caption; content Brimlo cannot save is refused with a box and status 2.

# shellcheck disable=SC1091
. "$(dirname "$0")/lib.sh"

version='Brimlo  v. 0.6'
work=$BRIMLO_WORK/Modes
mkdir -p "$work"

# shot <name>: keeps the screen as $BRIMLO_ARTIFACTS/modes-<name>.png.
shot() {
  mkdir -p "$BRIMLO_ARTIFACTS"
  timeout 20 import -window root "$BRIMLO_ARTIFACTS/modes-$1.png" || fail "no screenshot modes-$1"
}

# open_mode <expected caption>: starts brimlo.exe in the work directory and waits for its window
# to carry the caption; sets window and info (the wininfo listing of the window).
open_mode() {
  local expected=$1 end title=''
  brimlo_start "$work"
  window=$(brimlo_find_window '^Brimlo  v' 30) || fail "no window with a caption 'Brimlo  v...'"
  # The caption is set before the window shows; a short poll covers a late repaint of the title.
  end=$(($(_brimlo_ms) + 3000))
  while :; do
    title=$(brimlo_window_name "$window")
    [ "$title" = "$expected" ] && break
    [ "$(_brimlo_ms)" -lt "$end" ] || break
    sleep 0.05
  done
  expect_eq "$title" "$expected" "window caption"
  info=$(brimlo_wininfo "$expected") || fail "wininfo does not find '$expected'"
}

# visible_child <class regex> <text regex>: prints the first visible control line that matches.
visible_child() {
  awk -F'\t' -v cls="$1" -v txt="$2" \
    '$1 == "child" && $3 ~ cls && $4 ~ txt && $5 == 1 { print; exit }' <<<"$info"
}

# field <n> <line>: one tab-separated field of a wininfo line.
field() { cut -f"$1" <<<"$2"; }

expect_visible() {
  [ -n "$(visible_child "$1" "$2")" ] || fail "$3 is not shown (controls:
$(grep -P '\t1\t' <<<"$info" | cut -f3-5))"
}

# The proposed file name; the date and time prefixes depend on the stored options.
name_field() { field 4 "$(visible_child '^Edit$' "$1")"; }

exit_with_escape() {
  brimlo_key "$window" Escape
  brimlo_wait_exit 15 || fail "brimlo.exe still runs 15 s after Esc"
  expect_eq "$BRIMLO_STATUS" 1 "exit status after Esc"
}

# --- Plain text --------------------------------------------------------------------------------
note "plain text"
brimlo_xclip_text 'Plain words for the text mode'
open_mode "$version - Save Clipboard Text (.txt)"
shot text
expect_visible '^Edit$' '^Plain words for the text mode' "the text preview"
[ -n "$(name_field 'Modes_Text\.TXT$')" ] || fail "text mode: no name field proposing Modes_Text.TXT"
exit_with_escape

# --- Formatted text (RTF together with plain text) ---------------------------------------------
note "formatted text"
printf '%s' '{\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}}\f0\fs24 Some \b bold\b0  words\par}' \
  >"$BRIMLO_WORK/words.rtf"
brimlo_end_xclips
brimlo_clip rtf "$BRIMLO_WORK/words.rtf" 'Some bold words'
brimlo_wait_formats 'Rich Text Format' CF_UNICODETEXT
open_mode "$version - Save Formated Clipboard Text (.rtf)"
shot rtf
expect_visible '^RICHEDIT|^RichEdit' 'Some bold words' "the formatted preview"
expect_visible '^Button$' '^-> TXT$' "the '-> TXT' button"
[ -n "$(name_field 'Modes_Text\.RTF$')" ] || fail "RTF mode: no name field proposing Modes_Text.RTF"
exit_with_escape

# --- Picture -----------------------------------------------------------------------------------
note "picture"
timeout 30 convert -size 320x200 gradient:blue-yellow "bmp3:$BRIMLO_WORK/gradient.bmp"
brimlo_xclip image/bmp "$BRIMLO_WORK/gradient.bmp"
open_mode "$version - Save Graphic (.JPG)"
shot picture
[ -n "$(name_field 'Modes_Screenshot\.JPG$')" ] ||
  fail "picture mode: no name field proposing Modes_Screenshot.JPG"
exit_with_escape

# --- File list ---------------------------------------------------------------------------------
note "file list"
files=$BRIMLO_WORK/copied
mkdir -p "$files"
uris=$BRIMLO_WORK/files.uri
: >"$uris"
for f in alpha.txt beta.txt gamma.txt; do
  echo "content of $f" >"$files/$f"
  printf 'file://%s\r\n' "$files/$f" >>"$uris"
done
brimlo_xclip text/uri-list "$uris"
open_mode "$version - Copy Files.."
shot files
expect_visible '^ListBox$' '' "the file list"
# A list box shows no text to other programs: "-> TXT" turns the list into the text preview, one
# entry a line, which shows what the list held.
convert_btn=$(visible_child '^Button$' '^-> TXT$')
[ -n "$convert_btn" ] || fail "file-list mode: no '-> TXT' button"
read -r cx cy _ <<<"$(awk -F'\t' '$1 == "client" { print $2, $3 }' <<<"$info")"
bx=$((cx + $(field 6 "$convert_btn") + $(field 8 "$convert_btn") / 2))
by=$((cy + $(field 7 "$convert_btn") + $(field 9 "$convert_btn") / 2))
timeout 10 xdotool mousemove "$bx" "$by" click 1
text_caption="$version - Save Clipboard Text (.txt)"
end=$(($(_brimlo_ms) + 5000))
until [ "$(brimlo_window_name "$window")" = "$text_caption" ]; do
  [ "$(_brimlo_ms)" -lt "$end" ] || fail "'-> TXT' did not turn the file list into text"
  sleep 0.05
done
info=$(brimlo_wininfo "$text_caption")
list=$(field 4 "$(visible_child '^Edit$' 'alpha')")
[ -n "$list" ] || fail "file-list mode: the converted list is not shown"
# wininfo writes line breaks as \r\n and backslashes doubled.
list=${list//\\r\\n/$'\n'}
list=${list//\\\\/\\}
mapfile -t entries < <(printf '%s' "$list" | sed '/^$/d')
expect_eq "${#entries[@]}" 3 "entries in the file list (list: ${entries[*]})"
for f in alpha.txt beta.txt gamma.txt; do
  grep -qE "\\\\$f\$" <<<"$list" || fail "file list: no entry for $f (list: ${entries[*]})"
done
exit_with_escape

# --- A picture offered only as PNG (a Linux screenshot) ---------------------------------------
note "PNG picture"
timeout 30 convert -size 333x222 xc:none -fill '#D03020' -draw 'rectangle 0,0 165,221' \
  "png32:$BRIMLO_WORK/half.png"
brimlo_xclip image/png "$BRIMLO_WORK/half.png"
open_mode "$version - Save Graphic (.JPG)"
# Kept once the preview has painted.
png_shot=$(brimlo_screenshot png)
[ -n "$(name_field 'Modes_Screenshot\.JPG$')" ] ||
  fail "PNG picture: no name field proposing Modes_Screenshot.JPG"
# The preview shows the picture: its red covers a good part of the screen.
red=$(timeout 20 convert "$png_shot" -fuzz 10% -fill black +opaque '#D03020' \
  -fill white -opaque '#D03020' -format '%[fx:round(mean*1000)]' info:)
[ "$red" -ge 20 ] || fail "PNG picture: the preview does not show it (red share ${red}/1000)"
exit_with_escape

# --- Refused content: a PNG that cannot be decoded ---------------------------------------------
note "refused content"
printf '\x89PNG\r\n\x1a\nnothing more' >"$BRIMLO_WORK/broken.png"
brimlo_xclip image/png "$BRIMLO_WORK/broken.png"
brimlo_start "$work"
box_title='Sorry - no supported format!'
brimlo_wait_box "$box_title" 30000 >/dev/null || fail "no box '$box_title'"
shot refused
box_text=$(brimlo_answer_box "$box_title" ok 5000 | tr -d '\r') || fail "the box could not be answered"
expect_eq "$box_text" "The current clipboard-Format:  'PNG'  is not supported!" "refusal text"
brimlo_wait_exit 15 || fail "brimlo.exe still runs 15 s after the refusal box"
expect_eq "$BRIMLO_STATUS" 2 "exit status for refused content"
if xdotool search --onlyvisible --name '^Brimlo  v' >/dev/null 2>&1; then
  fail "a Brimlo window is still shown after the refusal"
fi
[ -z "$(ls -A "$work")" ] || fail "the refused run wrote into $work: $(ls -A "$work")"

note "passed"
