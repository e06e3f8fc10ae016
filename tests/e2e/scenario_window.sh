#!/usr/bin/env bash
# The window itself: it starts on top of the others and the always-on-top picture and F5 switch
# that (remembered in the settings), a directory the user typed survives F5, and the directory
# field shows what it thinks of the typed directory: red with the new-folder button for a missing
# one, which the button then creates, and the warning state for C:\. Then at 96, 120 and 144 DPI:
# sized below its minimum the window shows its snapped size, widened it shows no picture store,
# "Save as --> .URL" stays after F5 and turns white with the text field's focus. The table's
# form: see lib.sh.
# shellcheck disable=SC2034,SC2154  # the rows use kept; work and the like are lib.sh's

# shellcheck disable=SC1091
. "$(dirname "$0")/lib.sh"

ontop='Software\Brimlo\AlwaysOnTop'
# The window opens in its design size, far above the minimum; stored off, the start puts it on
# top all the same.
fresh() { brimlo_delete_settings 'Software\Brimlo\Form1\Pos' && brimlo_set_setting "$ontop" OnTop False; }
desktop='HKCU\Control Panel\Desktop'
dpi_before=$(timeout 60 "$BRIMLO_WINE" reg query "$desktop" /v LogPixels </dev/null 2>/dev/null | tr -d '\r' | awk '$1 == "LogPixels" { print $3 }') || true
old_dpi() {
  if [ -n "$dpi_before" ]; then brimlo_reg add "$desktop" /v LogPixels /t REG_DWORD /d $((dpi_before)) /f; else
    brimlo_reg delete "$desktop" /v LogPixels /f
  fi
}
for dpi in 96 120 144; do
  eval "dpi$dpi() { dpi=$dpi && undo+=(old_dpi) && brimlo_reg add '$desktop' /v LogPixels /t REG_DWORD /d $dpi /f; }"
done
kept() { mkdir "$work/Kept"; }

info() { brimlo_wininfo "$version*"; }
# child <awk condition>: "left top width height" on the screen of the first visible control that
# meets it ($3 class, $4 text, $6..$9 its place and size in the client area).
child() {
  info | awk -F'\t' '$1 == "client" { cx = $2; cy = $3 }
    $1 == "child" && $5 == 1 && ('"$1"') { print cx + $6, cy + $7, $8, $9, $4; exit }'
}
# The directory field lies at 8,8 and the new-folder button, 25 px square, in its row.
field() { child '$3 == "Edit" && $6 - 8 <= 3 && 8 - $6 <= 3 && $7 - 8 <= 3 && 8 - $7 <= 3'; }
new_folder() { [ "$([ -n "$(child '$8 == 25 && $9 == 25 && $7 >= 3 && $7 <= 7')" ] && echo 1 || echo 0)" = "$1" ]; }
# pixel <left> <top>: RRGGBB of that screen pixel.
pixel() { timeout 20 convert "$(brimlo_screenshot pixel)" -format "%[hex:p{$1,$2}]" info: | cut -c1-6; }

# The program's view (WS_EX_TOPMOST) and the window manager's (_NET_WM_STATE_ABOVE) agree, and
# the setting holds it.
topmost() {
  got=$(info | awk -F'\t' '$1 == "topmost" { print $2 }')
  got+=$(timeout 5 xprop -id "$window" _NET_WM_STATE | grep -c _NET_WM_STATE_ABOVE)
  got+=$(brimlo_setting "$ontop" OnTop | tr -d '\r')
  [ "$got" = "$1" ]
}
step_topmost() {
  local want=$1$1False
  [ "$1" = 0 ] || want=11True
  poll 15 topmost "$want" || problem "WS_EX_TOPMOST, _NET_WM_STATE_ABOVE, OnTop: $got, expected $want"
}
# A click on the always-on-top picture at the top left of the client area, the pointer then off it.
step_picture() {
  local cx cy
  read -r cx cy < <(info | awk -F'\t' '$1 == "client" { print $2, $3 }')
  timeout 10 xdotool mousemove $((cx + 10)) $((cy + 10)) sleep 0.2 click 1 sleep 0.2 mousemove $((cx + 300)) $((cy + 150))
}
# field=<text>: the directory field reads that.
field_is() { got=$(field | cut -d' ' -f5-) && [ "${got//\\\\/\\}" = "$1" ]; }
step_field() { poll 25 field_is "$1" || problem "the directory field reads '${got//\\\\/\\}', not '$1'"; }
# colour=<RRGGBB>: the directory field's background (the inside's most frequent colour, as a long
# directory may fill the field with text), the pointer off it.
step_colour() {
  local l t w h got
  read -r l t w h _ <<<"$(field)"
  timeout 10 xdotool mousemove $((l + 300)) $((t + 150))
  got=$(timeout 20 convert "$(brimlo_screenshot pixel)" -crop "$((w - 6))x$((h - 6))+$((l + 3))+$((t + 3))" \
    +repage -format %c histogram:info: | sort -rn | grep -o -m1 '#[0-9A-F]\{6\}' | cut -c2-)
  [ "$got" = "$1" ] || problem "the directory field is #$got, not #$1"
}
# new-folder=<0|1>: the button shows or not; new-folder=click: a click on it.
step_new-folder() {
  # shellcheck disable=SC2046
  if [ "$1" = click ]; then click_at $(child '$8 == 25 && $9 == 25 && $7 >= 3 && $7 <= 7'); else
    poll 15 new_folder "$1" || problem "the new-folder button shows: $((1 - $1)), expected $1"
  fi
}
step_dir() { poll 25 test -d "$BRIMLO_WORK/$1" || problem "no directory $1"; }
# Sized to 300 x 100 the window takes its snapped minimum, 8410 x 3011 twips (the X window as
# well); widened, it shows no frame besides the top panel.
wider() { [ "$(info | awk -F'\t' '$1 == "window" { print $4 }')" -gt "$1" ]; }
size_is() { got=$(info | awk -F'\t' '$1 == "window" { print $4, $5 }') && [ "$got" = "$1" ]; }
step_snapped() {
  local want xw
  want="$(((8410 * dpi + 720) / 1440)) $(((3011 * dpi + 720) / 1440))"
  timeout 10 xdotool windowsize "$window" 300 100
  poll 25 size_is "$want" || problem "$dpi DPI: sized to 300 x 100 the window is $got, expected $want" || return
  xw=$(timeout 5 xdotool getwindowgeometry --shell "$window" | sed -n 's/^WIDTH=//p')
  [ "$xw" -le "${got% *}" ] && [ "$xw" -ge $((${got% *} - 20)) ] || problem "$dpi DPI: the X window is $xw wide, the program's $got" || return
  brimlo_screenshot "minimum-size-$dpi" >/dev/null
  timeout 10 xdotool windowsize "$window" $((1150 * dpi / 96)) $((500 * dpi / 96))
  poll 25 wider "${want% *}" || problem "$dpi DPI: not widened" || return
  [ -z "$(info | awk -F'\t' '$1 == "child" && $3 == "BrimloFrame" && $5 == 1 && $6 != 0')" ] ||
    problem "$dpi DPI: a frame besides the top panel shows"
}
# The shortcut button's face is not white, and turns white when a click gives the text field
# below it the focus.
step_url-face() {
  local l t w h before after
  read -r l t w h _ <<<"$(child '$4 == "Save as --> .URL"')"
  before=$(pixel $((l + 4)) $((t + h / 2)))
  timeout 10 xdotool mousemove $((l + 8)) $((t + h * 3)) click 1
  sleep 0.3
  after=$(pixel $((l + 4)) $((t + h / 2)))
  [ "$after" = FFFFFF ] && [ "$before" != FFFFFF ] || problem "$dpi DPI: the face is $before, then $after with the focus (expected white)"
}

url=https://example.org/brimlo
run_cases <<'EOF'
'always on top: at the start, off by the picture, on by F5' 'text:Brimlo window test' txt@ setup=fresh shot=started topmost=1 picture topmost=0 shot=not-on-top key=F5 topmost=1 window=txt
'typed directory survives F5' 'text:Brimlo window test' txt@Target setup=kept type=Target/Kept/ key=F5 field="$T\Kept\\" window=txt
'missing directory: red, and the new-folder button makes it' 'text:Brimlo window test' txt@Target type=Target/Missing/ new-folder=1 colour=C00000 shot=field-missing new-folder=click dir=Target/Missing new-folder=0 field="$T\Missing\\" colour=E0E0E0 shot=field-valid window=txt
'C:\ is a warning' 'text:Brimlo window test' txt@Target type='c:\' colour=C00000 new-folder=0 shot=field-c-root window=txt
'96 DPI'  "text:$url" txt@ setup=dpi96  snapped key=F5 shows='^Button$=^Save as --> \.URL$' url-face window=txt
'120 DPI' "text:$url" txt@ setup=dpi120 snapped key=F5 shows='^Button$=^Save as --> \.URL$' url-face window=txt
'144 DPI' "text:$url" txt@ setup=dpi144 snapped key=F5 shows='^Button$=^Save as --> \.URL$' url-face window=txt
EOF
