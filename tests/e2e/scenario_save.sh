#!/usr/bin/env bash
# Saving from the window the way a user does: Alt+S writes the proposed text file, an existing
# file is replaced only after "Yes", a web address becomes an Internet shortcut with one click,
# formatted text turns into plain text with "-> TXT", a directory that does not exist gets a
# stop message instead of a silent loss, and "Open file" and "Web" start a program that lives
# under a path with blanks with exactly the file or the address, also where the drive's root
# cannot be written.

# shellcheck disable=SC1091
. "$(dirname "$0")/lib.sh"

title_prefix='Brimlo  v. 0.6'
text_caption="$title_prefix - Save Clipboard Text (.txt)"
rtf_caption="$title_prefix - Save Formated Clipboard Text (.rtf)"

# The proposed name is "<folder>_Text": the folder is named for it, and no date or time prefix
# left by an earlier run may change it.
folder=Notes
dir=$BRIMLO_WORK/$folder
mkdir -p "$dir"
for value in AddDateTxt AddTimeTxt OpenFileTxt; do
  brimlo_set_setting 'Software\Brimlo\Settings' "$value" 0
done

dir_windows=$(brimlo_windows_path "$dir")

# expect_file <file> <printf format of the expected bytes> <what>
expect_file() {
  local expected=$BRIMLO_WORK/expected
  # shellcheck disable=SC2059
  printf "$2" >"$expected"
  [ -f "$1" ] || fail "$3: $(basename "$1") was not written (have: $(find "$dir" -mindepth 1 -printf '%f ')))"
  cmp -s "$1" "$expected" ||
    fail "$3: $(basename "$1") holds $(od -An -c "$1" | tr -s ' \n' ' '), expected $(od -An -c "$expected" | tr -s ' \n' ' ')"
}

# start_with <caption>: starts brimlo.exe in the folder and waits for the window of that mode.
start_with() {
  brimlo_start "$dir"
  window=$(brimlo_find_window "^$(brimlo_literal "$1")\$" 30) ||
    fail "no window '$1' (shown: $(xdotool search --onlyvisible --name '^Brimlo' getwindowname %@ 2>/dev/null | tr '\n' '|'))"
}

expect_exit() {
  brimlo_wait_exit 15 || fail "$2: brimlo.exe still runs 15 s later"
  expect_eq "$BRIMLO_STATUS" "$1" "$2: exit status"
}

# expect_running <what>: the window is still there a second later, with its caption.
expect_running() {
  if brimlo_wait_exit 1; then
    fail "$1: brimlo.exe ended (status $BRIMLO_STATUS) instead of keeping its window"
  fi
  expect_eq "$(brimlo_window_name "$window")" "$2" "$1: caption"
}

# control <text>: "left top width height visible" of the child window showing that text, in
# screen pixels. wininfo writes a backslash as two.
control() {
  brimlo_wininfo "$title_prefix*" | WANTED=${1//\\/\\\\} awk -F'\t' '
    $1 == "client" { cx = $2; cy = $3 }
    $1 == "child" && $4 == ENVIRON["WANTED"] { print cx + $6, cy + $7, $8, $9, $5; exit }'
}

# click_control <text>: clicks the centre of that control as the user would.
click_control() {
  local left top width height visible
  read -r left top width height visible <<<"$(control "$1")"
  [ -n "${visible:-}" ] || fail "the window has no control '$1'"
  [ "$visible" = 1 ] || fail "the control '$1' is hidden"
  timeout 10 xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
  timeout 10 xdotool mousemove $((left + width / 2)) $((top + height / 2)) click 1
}

# box_answer <title> <button> <what>: the box's text without carriage returns.
box_answer() {
  local text
  text=$(brimlo_answer_box "$1" "$2" 10000) || fail "$3: no box '$1' appeared"
  tr -d '\r' <<<"$text"
}

# red_pixels <X window id>: how many pixels of the window are clearly red.
red_pixels() {
  local shot=$BRIMLO_WORK/box.png
  timeout 20 import -window "$1" "$shot"
  convert "$shot" +repage -fx 'r>0.6&&g<0.35&&b<0.35' -format '%[fx:int(mean*w*h+0.5)]' info:
}

# --- 1: plain text, Alt+S --------------------------------------------------------------------
target=$dir/${folder}_Text.TXT
# "é" and "€" fit the ANSI code page (1252): they must arrive as single bytes.
brimlo_clip unicode $'Caf\u00e9 price: 5 \u20ac\r\nsecond line'
start_with "$text_caption"
brimlo_screenshot 1-text >/dev/null
brimlo_key "$window" alt+s
expect_exit 0 "text saved with Alt+S"
expect_file "$target" 'Caf\351 price: 5 \200\r\nsecond line\r\n' "text saved with Alt+S"

# --- 2: the target exists: No keeps it, Yes replaces it --------------------------------------
printf 'older content\n' >"$target"
cp "$target" "$BRIMLO_WORK/older"
brimlo_clip unicode 'newer content'
start_with "$text_caption"
brimlo_key "$window" alt+s
brimlo_wait_box "Overwrite file?" 10000 >/dev/null || fail "Alt+S on an existing file asks nothing"
brimlo_screenshot 2-overwrite-question >/dev/null
asked=$(box_answer "Overwrite file?" no "overwrite declined")
expect_eq "$asked" "File already exists:

$(brimlo_windows_path "$target")

Overwrite?" "overwrite question"
cmp -s "$target" "$BRIMLO_WORK/older" || fail "overwrite declined: the existing file was changed"
expect_running "overwrite declined" "$text_caption"
[ -z "$(find "$dir" -name '*.brimlo~')" ] || fail "overwrite declined: a half-saved file is left"
brimlo_screenshot 2-declined >/dev/null
brimlo_key "$window" alt+s
box_answer "Overwrite file?" yes "overwrite accepted" >/dev/null
expect_exit 0 "overwrite accepted"
expect_file "$target" 'newer content\r\n' "overwrite accepted"

# --- 3: a web address, "Save as --> .URL" ---------------------------------------------------
rm -f "$dir"/*
brimlo_clip unicode 'https://example.org/x'
start_with "$text_caption"
read -r left top width height visible <<<"$(control 'Save as --> .URL')"
expect_eq "${visible:-}" 1 "shortcut button shown for a web address"
brimlo_screenshot 3-url >/dev/null
click_control 'Save as --> .URL'
expect_exit 0 "shortcut saved"
expect_file "$dir/${folder}_Text.url" '[InternetShortcut]\r\nURL=https://example.org/x\r\n' \
  "shortcut saved"
[ ! -e "$target" ] || fail "shortcut saved: a .TXT was written as well"

# --- 4: formatted text, "-> TXT", Alt+S ------------------------------------------------------
rm -f "$dir"/*
rtf=$BRIMLO_WORK/clip.rtf
printf '%s' '{\rtf1\ansi\deff0{\fonttbl{\f0\fswiss Arial;}}\f0\fs20 Plain {\b bold} and {\i italic}}' >"$rtf"
brimlo_clip rtf "$rtf" 'Plain bold and italic'
start_with "$rtf_caption"
brimlo_screenshot 4-rtf >/dev/null
click_control '-> TXT'
end=$(($(date +%s) + 10))
while [ "$(brimlo_window_name "$window")" != "$text_caption" ]; do
  [ "$(date +%s)" -lt "$end" ] ||
    fail "after '-> TXT' the caption is '$(brimlo_window_name "$window")', not '$text_caption'"
  sleep 0.05
done
brimlo_screenshot 4-converted >/dev/null
brimlo_key "$window" alt+s
expect_exit 0 "converted text saved"
[ ! -e "$dir/${folder}_Text.RTF" ] || fail "converted text saved: an .RTF was written"
expect_file "$target" 'Plain bold and italic\r\n' "converted text saved"

# --- 5: a directory that does not exist ------------------------------------------------------
rm -f "$dir"/*
missing=$dir/not-there
brimlo_clip unicode 'kept in the window'
start_with "$text_caption"
read -r left top width height visible <<<"$(control "$dir_windows\\")"
[ "${visible:-}" = 1 ] || fail "no directory field showing '$dir_windows\\'"
timeout 10 xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
timeout 10 xdotool mousemove $((left + width / 2)) $((top + height / 2)) click 1
timeout 10 xdotool key --clearmodifiers Home shift+End
timeout 10 xdotool type --delay 5 "$(brimlo_windows_path "$missing")"
timeout 10 xdotool key Return
brimlo_wait_box Brimlo 10000 >/dev/null || fail "missing directory: no message appeared"
box=$(brimlo_find_window '^Brimlo$' 5) || fail "missing directory: the message has no X window"
brimlo_screenshot 5-missing-directory >/dev/null
# The icon may be drawn a moment after the box shows.
end=$(($(date +%s) + 3))
while red=$(red_pixels "$box") && [ "$red" -lt 150 ] && [ "$(date +%s)" -lt "$end" ]; do
  sleep 0.1
done
told=$(box_answer Brimlo ok "missing directory")
expect_eq "$(sed -n 3p <<<"$told")" "$(brimlo_windows_path "$missing")\\${folder}_Text.TXT" \
  "missing directory: the file the message names"
expect_eq "$(sed -n 1p <<<"$told")" "The file was not saved:" "missing directory: message"
# The stop sign is the one large red thing in such a box (a question mark shows none).
[ "$red" -ge 150 ] || fail "missing directory: the message shows no stop icon ($red red pixels)"
expect_running "missing directory" "$text_caption"
[ ! -e "$missing" ] || fail "missing directory: '$missing' was created"
[ -z "$(ls -A "$dir")" ] || fail "missing directory: files were written: $(ls -A "$dir")"
brimlo_key "$window" Escape
expect_exit 1 "Esc after the failed save"

# --- 6: a stand-in viewer in "C:\Program Files\Stand In" opens .txt and .html files ------------
# A planted C:\Program.exe is what Windows runs for the unquoted path (Wine quotes an unquoted
# path it has found, so only the plant shows that fault). The drive's root is then closed to
# writing, as it is for a standard user on Windows (made immutable: the tests run as root, whom
# file modes do not stop), and a file of the user's holds the name of the browser lookup's page
# in the temporary directory.
stand_in=$WINEPREFIX/drive_c/Program\ Files/Stand\ In
viewer='C:\Program Files\Stand In\viewer.exe'
mkdir -p "$stand_in"
cp "$BRIMLO_TOOL" "$stand_in/viewer.exe"
reg_wine() { timeout 60 "$BRIMLO_WINE" reg "$@" </dev/null 2>/dev/null | tr -d '\r'; }
declare -A types=()
for ext in .txt .html; do
  types[$ext]=$(reg_wine query "HKCR\\$ext" /ve | awk '$2 == "REG_SZ" { print $3 }')
done
temp=$(timeout 60 "$BRIMLO_WINE" cmd /c echo %TEMP% </dev/null | tr -d '\r')
temp=$(timeout 60 "$BRIMLO_WINE" winepath -u "$temp" </dev/null | tr -d '\r')
[ -d "$temp" ] || fail "no temporary directory at '$temp'"
stand_in_cleanup() {
  local rc=$? ext pid
  # The programs end first: one that still runs from the stand-in's folder would outlive it.
  for pid in "${BRIMLO_STARTED[@]}"; do _brimlo_end "$pid"; done
  chattr -i "$WINEPREFIX/drive_c"
  rm -rf "$WINEPREFIX/drive_c/Program.exe" "$stand_in" "$temp/WexX00001.html"
  for ext in "${!types[@]}"; do reg_wine add "HKCR\\$ext" /ve /d "${types[$ext]}" /f >/dev/null; done
  reg_wine delete 'HKCR\BrimloStandIn' /f >/dev/null
  brimlo_set_setting 'Software\Brimlo\Settings' OpenFileTxt 0
  (exit "$rc")
  brimlo_cleanup
}
trap stand_in_cleanup EXIT
reg_wine add 'HKCR\BrimloStandIn\shell\open\command' /ve /d "\"$viewer\" \"%1\"" /f >/dev/null
for ext in .txt .html; do reg_wine add "HKCR\\$ext" /ve /d BrimloStandIn /f >/dev/null; done
printf 'mine\n' >"$temp/WexX00001.html"
cp "$BRIMLO_TOOL" "$WINEPREFIX/drive_c/Program.exe"
# Brimlo runs from drive C: as installed, so the root that is closed is that of its own drive.
cp "$BRIMLO_EXE" "$stand_in/Brimlo.exe"
BRIMLO_EXE=$stand_in/Brimlo.exe
chattr +i "$WINEPREFIX/drive_c"
touch "$WINEPREFIX/drive_c/brimlo-probe" 2>/dev/null && fail "the drive's root is still writable"

# viewer_args: the arguments the stand-in was started with, one a line, once it has written them.
viewer_args() {
  local i report=$stand_in/viewer-args.txt
  for ((i = 0; i < 200; i++)); do [ -f "$report" ] && break; sleep 0.05; done
  tr -d '\r' <"$report" 2>/dev/null
  rm -f "$report"
}

rm -f "$dir"/*
brimlo_set_setting 'Software\Brimlo\Settings' OpenFileTxt 1
brimlo_clip unicode 'opened in its program'
start_with "$text_caption"
brimlo_key "$window" alt+s
expect_exit 0 "text saved and opened"
expect_eq "$(viewer_args)" "$viewer
$dir_windows\\${folder}_Text.TXT" "the program that opens the saved file"

start_with "$text_caption"
click_control Web
args=$(viewer_args)
home=$(sed -n 2p <<<"$args")
[[ $home == http*://*/BrimloSite ]] || fail "Web: the browser got '$home', not the homepage"
expect_eq "$args" "$viewer
$home" "Web: the browser's arguments"
expect_eq "$(cat "$temp/WexX00001.html")" mine "the user's file of the lookup page's name"
rm -f "$temp/WexX00001.html"
leftovers=$(find "$temp" -maxdepth 1 \( -name 'WexX*' -o -name 'zzzzzzzTemp_*' -o -name 'RunFileTmp*' \))
[ -z "$leftovers" ] || fail "lookup files left behind: $leftovers"
# The started viewer is a console program: Wine may give it a console window that takes the
# focus for a moment after the window got it back, and the key then goes there. A second Escape
# goes to the window once more; a window that does not end on Escape fails all the same.
brimlo_key "$window" Escape
if ! brimlo_wait_exit 3; then
  brimlo_key "$window" Escape
  brimlo_wait_exit 15 || fail "Esc after Web: brimlo.exe still runs 15 s later"
fi
expect_eq "$BRIMLO_STATUS" 1 "Esc after Web: exit status"

note "passed"
