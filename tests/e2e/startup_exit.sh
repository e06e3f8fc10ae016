#!/usr/bin/env bash
# brimlo.exe starts with its window, Esc ends it with status 1, and the window's place is kept
# for the next start: what the user sees on every single use of the program.

# shellcheck disable=SC1091
. "$(dirname "$0")/lib.sh"

pos='Software\Brimlo\Form1\Pos'
# The caption starts with the program's name; the version and the mode may follow.
caption='^Brimlo( |$)'
twips_per_pixel=15

# What an earlier run stored must not pass for what this run stores.
brimlo_delete_settings "$pos"
brimlo_clip unicode "Brimlo start-up test"

# start_and_measure <screenshot name>: starts brimlo.exe, finds its window and sets left, top,
# width and height (pixels, frame included) from the program's own view of it.
start_and_measure() {
  brimlo_start "$BRIMLO_WORK"
  window=$(brimlo_find_window "$caption" 30) || fail "no window with a caption starting 'Brimlo'"
  title=$(brimlo_window_name "$window")
  note "window '$title'"
  brimlo_screenshot "$1" >/dev/null
  local rect
  rect=$(brimlo_window_rect "$title")
  read -r left top width height <<<"$rect"
  [ -n "${height:-}" ] || fail "wininfo does not describe '$title'"
  note "at $left,$top size ${width}x$height"
}

exit_with_escape() {
  brimlo_key "$window" Escape
  brimlo_wait_exit 15 || fail "brimlo.exe still runs 15 s after Esc"
  expect_eq "$BRIMLO_STATUS" 1 "exit status after Esc"
}

# stored <value>: the position value in twips, which must be a whole number.
stored() {
  local value
  value=$(brimlo_setting "$pos" "$1") || fail "$1 is not stored under HKCU\\$pos"
  [[ $value =~ ^-?[0-9]+$ ]] || fail "$1 is stored as '$value', not as a number"
  echo "$value"
}

# --- First start: the window shows; Esc ends the program and keeps where the window was --------
start_and_measure first-start
exit_with_escape
# Pixels and twips differ by a factor of 15: a position stored in pixels lands far off.
expect_near "$(stored Left)" $((left * twips_per_pixel)) 30 "stored Left (twips)"
expect_near "$(stored Top)" $((top * twips_per_pixel)) 30 "stored Top (twips)"
expect_near "$(stored Width)" $((width * twips_per_pixel)) 30 "stored Width (twips)"
expect_near "$(stored Height)" $((height * twips_per_pixel)) 30 "stored Height (twips)"
first_width=$width
first_height=$height

# --- Second start: the window opens where the settings say ------------------------------------
brimlo_set_setting "$pos" Top 1500
brimlo_set_setting "$pos" Left 2000
start_and_measure second-start
expect_near "$left" $((2000 / twips_per_pixel)) 3 "window left (pixels) after Left=2000"
expect_near "$top" $((1500 / twips_per_pixel)) 3 "window top (pixels) after Top=1500"
expect_near "$width" "$first_width" 2 "window width after a restart"
expect_near "$height" "$first_height" 2 "window height after a restart"
exit_with_escape
expect_near "$(stored Left)" 2000 30 "Left stored again"
expect_near "$(stored Top)" 1500 30 "Top stored again"

note "passed"
