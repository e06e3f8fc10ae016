#!/usr/bin/env bash
# The everyday use: a screenshot on the clipboard, Brimlo started in the folder it belongs in,
# with the date and time options on. The window proposes "<time>_<date>_<folder>_Screenshot.JPG"
# in that folder, Alt+S writes the JPEG and the program ends at once with status 0, without
# storing where its window was.

# shellcheck disable=SC1091
. "$(dirname "$0")/lib.sh"

caption='^Brimlo  v\. 0\.6 - Save Graphic \(\.JPG\)$'
settings='Software\Brimlo\Settings'
pos='Software\Brimlo\Form1\Pos'
work=$BRIMLO_WORK/Shots
mkdir -p "$work"

# --- Settings this script changes are put back as they were --------------------------------------
brimlo_keep_settings "$settings AddDateJPG" "$settings AddTimeJPG" "$settings OpenFileJPG" \
  "$pos Height" "$pos Width" "$pos Top" "$pos Left"

# field <column> <class> <left> <top>: a column (4 text, 5 visible) of the control of that class
# whose client rectangle starts there (+-3 px).
field() {
  awk -F'\t' -v col="$1" -v cls="$2" -v l="$3" -v t="$4" '
    function near(a, b) { return a - b <= 3 && b - a <= 3 }
    $1 == "child" && $3 == cls && near($6, l) && near($7, t) { print $col; exit }' <<<"$info"
}
# wininfo shows a backslash as two.
unescape() { echo "${1//\\\\/\\}"; }

# pixel <image> <x> <y>: "R G B" of one pixel, 0-255.
pixel() {
  convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- |
    sed -n '2s/.*(\([0-9.]*\),\([0-9.]*\),\([0-9.]*\).*/\1 \2 \3/p' | awk '{ printf "%d %d %d\n", $1, $2, $3 }'
}
# expect_colour <image> <x> <y> <R G B> <what>: within 40 per channel, for JPEG's losses.
expect_colour() {
  local got want c
  read -r -a got <<<"$(pixel "$1" "$2" "$3")"
  read -r -a want <<<"$4"
  [ "${#got[@]}" -eq 3 ] || fail "$5: no pixel at $2,$3"
  for c in 0 1 2; do
    local d=$((got[c] - want[c]))
    [ "${d#-}" -le 40 ] || fail "$5: pixel $2,$3 is ${got[*]}, expected about $4"
  done
}

# --- A 640 x 480 picture, date and time on, no window position stored -----------------------------
brimlo_set_setting "$settings" AddDateJPG 1
brimlo_set_setting "$settings" AddTimeJPG 1
# The saved picture would otherwise open in a viewer.
brimlo_set_setting "$settings" OpenFileJPG 0
brimlo_delete_settings "$pos"
brimlo_clip bitmap 640 480
brimlo_wait_formats CF_BITMAP

started=$(date +%s)
brimlo_start "$work"
window=$(brimlo_find_window "$caption" 30) || fail "no picture-mode window '$caption'"
shown=$(date +%s)
title=$(brimlo_window_name "$window")
info=$(brimlo_wininfo "$title") || fail "wininfo does not find '$title'"
brimlo_screenshot picture-mode >/dev/null

# Picture mode: the save button is the JPEG one.
[ "$(awk -F'\t' '$1 == "child" && $4 == "&Save as JPEG" { print $5 }' <<<"$info")" = 1 ] ||
  fail "the window shows no visible '&Save as JPEG' button"

# The directory field (120,120 twips) holds the work directory, the name field (120,480) the name.
path=$(unescape "$(field 4 Edit 8 8)")
name=$(field 4 Edit 8 32)
expected_path=$(timeout 30 winepath -w "$work" </dev/null 2>/dev/null | tr -d '\r')\\
expect_eq "$path" "$expected_path" "directory field"
note "name field: '$name'"
# The clock is read while the program starts: anything from a little before the start until
# the window showed.
matched=''
for ((t = started - 3; t <= (shown > started + 3 ? shown : started + 3); t++)); do
  candidate=$(date -d "@$t" +%H-%M-%S_%y.%m.%d)_Shots_Screenshot.JPG
  [ "$name" = "$candidate" ] && matched=$candidate
done
[ -n "$matched" ] || fail "name field '$name' is not HH-MM-SS_YY.MM.DD_Shots_Screenshot.JPG of the start time $(date -d "@$started" +%T)"

# --- Alt+S saves and ends -------------------------------------------------------------------------
brimlo_key "$window" alt+s
brimlo_wait_exit 15 || fail "brimlo.exe still runs 15 s after Alt+S"
expect_eq "$BRIMLO_STATUS" 0 "exit status after saving the picture"
saved_file=$work/$name
[ -f "$saved_file" ] || fail "no $name in the work directory (has: $(ls "$work"))"
expect_eq "$(find "$work" -mindepth 1 | wc -l)" 1 "files in the work directory (no temporary left)"
expect_eq "$(identify -format '%m %w %h' "$saved_file")" "JPEG 640 480" "saved picture"
# The clipboard picture's quadrants: red, green / blue, white; a picture upside down, mirrored
# or with its colour channels swapped shows here.
expect_colour "$saved_file" 160 120 "255 0 0" "top left of the saved picture"
expect_colour "$saved_file" 480 120 "0 255 0" "top right of the saved picture"
expect_colour "$saved_file" 160 360 "0 0 255" "bottom left of the saved picture"
expect_colour "$saved_file" 480 360 "255 255 255" "bottom right of the saved picture"
cp "$saved_file" "$BRIMLO_ARTIFACTS/$E2E_NAME-saved.jpg"

# The picture saver ends without storing the window position.
for value in Height Width Top Left; do
  if stored=$(brimlo_setting "$pos" "$value" 2>/dev/null); then
    fail "Form1\\Pos\\$value was stored ('${stored//$'\r'/}') by a run that saved a picture"
  fi
done
note "passed"
