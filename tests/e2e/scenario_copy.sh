#!/usr/bin/env bash
# Copying the files copied in Explorer into a directory the user types: Alt+C copies them all,
# an existing file is replaced only after "Yes" and kept after "No", and either way the copy
# ends with status 0.

# shellcheck disable=SC1091
. "$(dirname "$0")/lib.sh"

title_prefix='Brimlo  v. 0.6'
copy_caption="$title_prefix - Copy Files.."


# Three files with contents of their own; the second name already exists in the target.
src=$BRIMLO_WORK/source
mkdir -p "$src"
printf 'first file\r\n' >"$src/alpha.txt"
printf 'second \001\002\377 bytes' >"$src/beta.dat"
printf 'third file, %s\n' "$(seq 1 200 | tr '\n' ' ')" >"$src/gamma.log"
names=(alpha.txt beta.dat gamma.log)
existing=beta.dat

start_copy() {
  brimlo_start "$BRIMLO_WORK"
  window=$(brimlo_find_window "^$(brimlo_literal "$copy_caption")\$" 30) ||
    fail "no window '$copy_caption' for a file list"
}

expect_exit() {
  brimlo_wait_exit 15 || fail "$2: brimlo.exe still runs 15 s later"
  expect_eq "$BRIMLO_STATUS" "$1" "$2: exit status"
}

# type_target <directory>: the user selects the directory field's text, types the directory
# and leaves the field with Tab.
type_target() {
  local row left top width height
  # wininfo writes a backslash as two.
  local shown
  shown=$(brimlo_windows_path "$BRIMLO_WORK")\\
  row=$(brimlo_wininfo "$title_prefix*" | WANTED=${shown//\\/\\\\} awk -F'\t' '
    $1 == "client" { cx = $2; cy = $3 }
    $1 == "child" && $4 == ENVIRON["WANTED"] && $5 == 1 { print cx + $6, cy + $7, $8, $9; exit }')
  read -r left top width height <<<"$row"
  [ -n "${height:-}" ] || fail "no directory field showing the current directory"
  timeout 10 xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
  timeout 10 xdotool mousemove $((left + width / 2)) $((top + height / 2)) click 1
  timeout 10 xdotool key --clearmodifiers Home shift+End
  timeout 10 xdotool type --delay 5 "$(brimlo_windows_path "$1")"
  timeout 10 xdotool key Tab
}

# box_answer <title> <button> <what>: the box's text without carriage returns.
box_answer() {
  local text
  text=$(brimlo_answer_box "$1" "$2" 10000) || fail "$3: no box '$1' appeared"
  tr -d '\r' <<<"$text"
}

# expect_overwrite_text <box text> <target directory> <what>
expect_overwrite_text() {
  expect_eq "$(sed -n 1p <<<"$1")" "File already exists!" "$3: overwrite question"
  expect_eq "$(sed -n 3p <<<"$1")" "$(brimlo_windows_path "$2/$existing")" "$3: file the question names"
}

# expect_same <file> <expected file> <what>
expect_same() {
  [ -f "$1" ] || fail "$3: $(basename "$1") is not in the target"
  cmp -s "$1" "$2" || fail "$3: $(basename "$1") does not hold the expected bytes"
}

source_list=()
for name in "${names[@]}"; do source_list+=("$src/$name"); done
brimlo_clip files "${source_list[@]}"

# --- Yes to the one existing file, No to "Allow all?": everything is copied ------------------
target=$BRIMLO_WORK/target-yes
mkdir -p "$target"
printf 'other bytes in the target' >"$target/$existing"
start_copy
type_target "$target"
brimlo_screenshot list >/dev/null
brimlo_key "$window" alt+c
brimlo_wait_box "Overwrite?" 10000 >/dev/null || fail "Alt+C over an existing file asks nothing"
brimlo_screenshot overwrite-question >/dev/null
asked=$(box_answer "Overwrite?" yes "overwrite accepted")
expect_overwrite_text "$asked" "$target" "overwrite accepted"
box_answer "Allow all?" no "overwrite accepted" >/dev/null
expect_exit 0 "copy with the overwrite accepted"
for name in "${names[@]}"; do
  expect_same "$target/$name" "$src/$name" "copy with the overwrite accepted"
done
expect_eq "$(find "$target" -mindepth 1 | wc -l)" "${#names[@]}" "files in the target after the copy"

# --- No to the existing file: it stays, the others are copied --------------------------------
target=$BRIMLO_WORK/target-no
mkdir -p "$target"
printf 'other bytes in the target' >"$target/$existing"
cp "$target/$existing" "$BRIMLO_WORK/kept"
start_copy
type_target "$target"
brimlo_screenshot declined-target >/dev/null
brimlo_key "$window" alt+c
asked=$(box_answer "Overwrite?" no "overwrite declined")
expect_overwrite_text "$asked" "$target" "overwrite declined"
if ! brimlo_wait_exit 15; then
  brimlo_screenshot declined-stuck >/dev/null
  if brimlo_wait_box "Allow all?" 100 >/dev/null 2>&1; then
    fail "overwrite declined: 'Allow all?' is asked although nothing was allowed"
  fi
  fail "overwrite declined: brimlo.exe still runs 15 s later"
fi
expect_eq "$BRIMLO_STATUS" 0 "copy with the overwrite declined: exit status"
expect_same "$target/$existing" "$BRIMLO_WORK/kept" "overwrite declined (the existing file)"
for name in "${names[@]}"; do
  [ "$name" = "$existing" ] && continue
  expect_same "$target/$name" "$src/$name" "copy with the overwrite declined"
done

note "passed"
