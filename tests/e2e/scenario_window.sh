#!/usr/bin/env bash
# The window itself: it starts on top of the others and the always-on-top picture and F5 switch
# that (remembered in the settings), a directory the user typed survives F5, and the directory
# field shows what it thinks of the typed directory: red with the new-folder button for a missing
# one, which the button then creates, and the warning state for C:\. Then at 96, 120 and 144 DPI:
# sized below its minimum the window shows its snapped size, widened it shows no picture store,
# "Save as --> .URL" stays after F5 and turns white with the text field's focus.

# wait_info evaluates its conditions itself, reading $want there.
# shellcheck disable=SC1091,SC2016,SC2034
. "$(dirname "$0")/lib.sh"

caption='^Brimlo .* - Save Clipboard Text \(\.txt\)$'
ontop_key='Software\Brimlo\AlwaysOnTop'
# The directory field's colours (RRGGBB): red when the directory is not usable, the text panel's
# grey when it is.
red=C00000
text_panel=E0E0E0
# shellcheck disable=SC1003 # a Windows path, not a quote
missing_dir='C:\BrimloNoSuchDir\'
missing_unix=$WINEPREFIX/drive_c/BrimloNoSuchDir

# --- Settings this script changes are put back as they were --------------------------------------
pos='Software\Brimlo\Form1\Pos'
brimlo_keep_settings "$ontop_key OnTop" "$pos Height" "$pos Width" "$pos Top" "$pos Left"
# The screen's DPI, as it was.
dpi_key='HKCU\Control Panel\Desktop'
dpi_before=$(timeout 60 "$BRIMLO_WINE" reg query "$dpi_key" /v LogPixels </dev/null 2>/dev/null |
  awk '$1 == "LogPixels" { print $3 }' | tr -d '\r') || true
set_dpi() {
  timeout 60 "$BRIMLO_WINE" reg add "$dpi_key" /v LogPixels /t REG_DWORD /d "$1" /f \
    </dev/null >/dev/null 2>&1 || fail "cannot set LogPixels to $1"
}
window_cleanup() {
  local rc=$?
  if [ -n "$dpi_before" ]; then
    set_dpi $((dpi_before))
  else
    timeout 60 "$BRIMLO_WINE" reg delete "$dpi_key" /v LogPixels /f </dev/null >/dev/null 2>&1
  fi
  rm -rf "$missing_unix"
  (exit "$rc")
  brimlo_cleanup
}
trap window_cleanup EXIT

# --- Reading the window ---------------------------------------------------------------------------

# info: the current wininfo listing of the window (into $info).
info() { info=$(brimlo_wininfo "$title") || fail "wininfo does not find '$title'"; }

# field <column> <class> <left> <top>: a column of the control of that class whose client
# rectangle starts there (+-3 px): 4 text, 5 visible, 6 left, 7 top, 8 width, 9 height.
field() {
  awk -F'\t' -v col="$1" -v cls="$2" -v l="$3" -v t="$4" '
    function near(a, b) { return a - b <= 3 && b - a <= 3 }
    $1 == "child" && $3 == cls && near($6, l) && near($7, t) { print $col; exit }' <<<"$info"
}

# wininfo shows a backslash as two.
unescape() { echo "${1//\\\\/\\}"; }

# The directory field lies at 120,120 twips and the new-folder button in the same row, 25 px
# square, at the right of the panel.
path_text() { unescape "$(field 4 Edit 8 8)"; }
add_dir_row() {
  awk -F'\t' '$1 == "child" && $8 == 25 && $9 == 25 && $7 >= 3 && $7 <= 7' <<<"$info"
}

# pixel <png> <x> <y>: RRGGBB of a screen pixel.
pixel() {
  convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | awk 'NR == 2 { sub("#", "", $3); print substr($3, 1, 6) }'
}

# path_colour <screenshot>: the directory field's background, right of its text and left of the
# new-folder button.
path_colour() {
  local l t w h
  l=$(field 6 Edit 8 8) t=$(field 7 Edit 8 8) w=$(field 8 Edit 8 8) h=$(field 9 Edit 8 8)
  pixel "$1" $((client_left + l + w * 2 / 3)) $((client_top + t + h / 2))
}

# wait_info <seconds> <condition>: re-reads the window until the shell condition holds.
wait_info() {
  local end=$(($(_brimlo_ms) + $1 * 1000))
  while :; do
    info
    eval "$2" && return 0
    [ "$(_brimlo_ms)" -lt "$end" ] || return 1
    sleep 0.1
  done
}

window_size() { awk -F'\t' '$1 == "window" { print $4, $5 }' <<<"$info"; }
topmost_flag() { awk -F'\t' '$1 == "topmost" { print $2 }' <<<"$info"; }
x_above() {
  timeout 5 xprop -id "$window" _NET_WM_STATE 2>/dev/null | grep -q _NET_WM_STATE_ABOVE && echo 1 || echo 0
}
stored_ontop() { brimlo_setting "$ontop_key" OnTop | tr -d '\r'; }

# Failures that do not stop the rest of the scenario; reported together at its end.
deferred=()
later() {
  echo "FAIL (continuing): $*" >&2
  deferred+=("$*")
}

# expect_topmost <0|1> <what>: both the program's view (WS_EX_TOPMOST) and the window
# manager's (_NET_WM_STATE_ABOVE) agree with the expectation.
expect_topmost() {
  want=$1
  wait_info 3 '[ "$(topmost_flag)" = "$want" ] && [ "$(x_above)" = "$want" ]' || true
  local flag above
  flag=$(topmost_flag) above=$(x_above)
  note "$2: WS_EX_TOPMOST=$flag, _NET_WM_STATE_ABOVE=$above"
  [ "$flag" = "$1" ] || later "$2: the window's topmost flag (WS_EX_TOPMOST) is $flag, expected $1"
  [ "$above" = "$1" ] || later "$2: _NET_WM_STATE_ABOVE of the X window is $above, expected $1"
}

# type_path <text>: replaces the directory field's text the way a user does.
type_path() {
  local l t
  l=$(field 6 Edit 8 8) t=$(field 7 Edit 8 8)
  [ -n "$l" ] || fail "no directory field at 8,8 in the window"
  timeout 10 xdotool mousemove $((client_left + l + 20)) $((client_top + t + 5)) click 1
  timeout 10 xdotool key End shift+Home BackSpace
  timeout 10 xdotool type --delay 20 "$1"
  want=$1
  wait_info 5 '[ "$(path_text)" = "$want" ]' || fail "the directory field reads '$(path_text)' after typing '$1'"
}

# --- Start ------------------------------------------------------------------------------------------
rm -rf "$missing_unix"
# The window opens in its design size, far above the minimum.
brimlo_delete_settings "$pos"
# Stored off: the start puts the window on top all the same.
brimlo_set_setting "$ontop_key" OnTop False
brimlo_clip unicode "Brimlo window test"
brimlo_start "$BRIMLO_WORK"
window=$(brimlo_find_window "$caption" 30) || fail "no text-mode window"
title=$(brimlo_window_name "$window")
info
read -r client_left client_top _ _ < <(awk -F'\t' '$1 == "client" { print $2, $3, $4, $5 }' <<<"$info")
brimlo_screenshot started >/dev/null

# --- Always on top: on at the start, whatever was stored, and stored as such ----------------------
expect_topmost 1 "after the start"
expect_eq "$(stored_ontop)" True "AlwaysOnTop\\OnTop after the start"

# The picture at the top left of the client area switches it off.
timeout 10 xdotool mousemove $((client_left + 10)) $((client_top + 10))
sleep 0.2 # the picture changes under the pointer first, as the mouse moves over it
timeout 10 xdotool click 1
expect_topmost 0 "after a click on the always-on-top picture"
expect_eq "$(stored_ontop)" False "AlwaysOnTop\\OnTop after the click"
brimlo_screenshot not-on-top >/dev/null

# F5 looks at the clipboard again and puts the window back on top.
timeout 10 xdotool mousemove $((client_left + 300)) $((client_top + 150))
brimlo_key "$window" F5
expect_topmost 1 "after F5"
expect_eq "$(stored_ontop)" True "AlwaysOnTop\\OnTop after F5"
brimlo_screenshot on-top-again >/dev/null

# --- A typed directory survives F5 ----------------------------------------------------------------
mkdir -p "$BRIMLO_WORK/Kept"
kept=$(timeout 30 winepath -w "$BRIMLO_WORK/Kept" </dev/null 2>/dev/null | tr -d '\r')\\
type_path "$kept"
brimlo_key "$window" F5
sleep 0.3
info
expect_eq "$(path_text)" "$kept" "directory field after F5"
brimlo_screenshot typed-path-after-f5 >/dev/null

# --- A missing directory: red, and the new-folder button creates it ------------------------------
type_path "$missing_dir"
wait_info 3 '[ "$(add_dir_row | cut -f5)" = 1 ]' || fail "the new-folder button is not shown for $missing_dir"
shot=$(brimlo_screenshot field-missing)
expect_eq "$(path_colour "$shot")" "$red" "directory field colour for a missing directory"
[ ! -e "$missing_unix" ] || fail "$missing_dir exists before the button was clicked"

read -r bl bt bw bh <<<"$(add_dir_row | awk -F'\t' '{ print $6, $7, $8, $9 }')"
timeout 10 xdotool mousemove $((client_left + bl + bw / 2)) $((client_top + bt + bh / 2))
sleep 0.2
timeout 10 xdotool click 1
end=$(($(_brimlo_ms) + 5000))
until [ -d "$missing_unix" ]; do
  [ "$(_brimlo_ms)" -lt "$end" ] || fail "the new-folder button did not create $missing_dir"
  sleep 0.1
done
wait_info 3 '[ "$(add_dir_row | cut -f5)" = 0 ]' || fail "the new-folder button stays after creating the directory"
# Move the pointer off the field, so the screenshot shows its resting colour.
timeout 10 xdotool mousemove $((client_left + 300)) $((client_top + 150))
sleep 0.2
shot=$(brimlo_screenshot field-valid)
expect_eq "$(path_text)" "$missing_dir" "directory field after creating it"
expect_eq "$(path_colour "$shot")" "$text_panel" "directory field colour for a created directory"

# --- C:\ is a warning, with no new-folder button ---------------------------------------------------
# shellcheck disable=SC1003
type_path 'c:\'
sleep 0.3
shot=$(brimlo_screenshot field-c-root)
info
expect_eq "$(add_dir_row | cut -f5)" 0 "new-folder button for c:\\"
expect_eq "$(path_colour "$shot")" "$red" "directory field colour for c:\\"

brimlo_key "$window" Escape
brimlo_wait_exit 15 || fail "brimlo.exe still runs 15 s after Esc"
expect_eq "$BRIMLO_STATUS" 1 "exit status after Esc"

# --- At every DPI ---------------------------------------------------------------------------------
# button <caption> <column>: a column of the visible-or-not button with that caption.
button() { awk -F'\t' -v text="$1" -v col="$2" '$1 == "child" && $4 == text { print $col; exit }' <<<"$info"; }
# The smallest accepted size, 8300 x 3000 twips, and the snapped one, 8410 x 3011, in pixels.
px() { echo $((($1 * $2 + 720) / 1440)); }
url=https://example.org/brimlo
brimlo_clip unicode "$url"
for dpi in 96 120 144; do
  set_dpi "$dpi"
  brimlo_start "$BRIMLO_WORK"
  window=$(brimlo_find_window "$caption" 30) || fail "no text-mode window at $dpi DPI"
  title=$(brimlo_window_name "$window")

  timeout 10 xdotool windowsize "$window" 300 100
  want="$(px 8410 "$dpi") $(px 3011 "$dpi")"
  wait_info 5 '[ "$(window_size)" = "$want" ]' ||
    later "$dpi DPI: sized to 300 x 100 the window is $(window_size), expected the snapped $want"
  sleep 0.3
  info
  note "$dpi DPI: sized to 300 x 100: $(window_size)"
  read -r width height <<<"$(window_size)"
  read -r xw xh < <(timeout 5 xdotool getwindowgeometry --shell "$window" |
    awk -F= '$1 == "WIDTH" { w = $2 } $1 == "HEIGHT" { h = $2 } END { print w, h }')
  if [ "$xw" -gt "$width" ] || [ "$xw" -lt $((width - 20)) ]; then
    later "$dpi DPI: the X window is $xw wide where the program sees $width"
  fi
  brimlo_screenshot "minimum-size-$dpi" >/dev/null

  # Widened, the window shows no picture store beside the preview.
  timeout 10 xdotool windowsize "$window" $((1150 * dpi / 96)) $((500 * dpi / 96))
  wait_info 5 '[ "$(window_size | cut -d" " -f1)" -gt "$width" ]' || later "$dpi DPI: not widened"
  stores=$(awk -F'\t' '$1 == "child" && $3 == "BrimloFrame" && $5 == 1 && $6 != 0' <<<"$info")
  [ -z "$stores" ] || later "$dpi DPI: a frame besides the top panel shows: $stores"

  # F5 finds the same address: the shortcut button stays.
  brimlo_key "$window" F5
  sleep 0.3
  info
  [ "$(button 'Save as --> .URL' 5)" = 1 ] || later "$dpi DPI: no \"Save as --> .URL\" after F5"
  read -r client_left client_top _ _ < <(awk -F'\t' '$1 == "client" { print $2, $3, $4, $5 }' <<<"$info")
  read -r bl bt _ bh <<<"$(button 'Save as --> .URL' 6) $(button 'Save as --> .URL' 7) \
    $(button 'Save as --> .URL' 8) $(button 'Save as --> .URL' 9)"
  face() { pixel "$1" $((client_left + bl + 4)) $((client_top + bt + bh / 2)); }
  before=$(face "$(brimlo_screenshot "url-button-$dpi")")
  # A click into the text field below the button gives it the focus: both turn white.
  timeout 10 xdotool mousemove $((client_left + bl + 8)) $((client_top + bt + bh * 3)) click 1
  sleep 0.3
  after=$(face "$(brimlo_screenshot "url-button-focus-$dpi")")
  note "$dpi DPI: \"Save as --> .URL\" face $before, with the text field's focus $after"
  if [ "$after" != FFFFFF ] || [ "$before" = FFFFFF ]; then
    later "$dpi DPI: the shortcut button's face is $before, then $after with the focus (expected white)"
  fi

  brimlo_key "$window" Escape
  brimlo_wait_exit 15 || fail "brimlo.exe still runs 15 s after Esc at $dpi DPI"
done

[ "${#deferred[@]}" -eq 0 ] || fail "${#deferred[@]} check(s) failed: $(printf '%s; ' "${deferred[@]}")"
note "passed"
