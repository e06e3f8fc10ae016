#!/usr/bin/env bash
# Saving from the window the way a user does: Alt+S writes the proposed text file, an existing
# file is replaced only after "Yes", a web address becomes an Internet shortcut with one click,
# formatted text turns into plain text with "-> TXT", a directory that does not exist gets a stop
# message instead of a silent loss, and "Open file" and "Web" start a program that lives under a
# path with blanks with exactly the file or the address, also where the drive's root cannot be
# written. The everyday use: a screenshot saved with Alt+S under "<time>_<date>_<folder>_Screenshot.JPG"
# with the date and time options on, the program ending at once without storing where its window
# was. Files copied in Explorer copied into a typed directory with Alt+C: an existing file is
# replaced only after "Yes" and kept after "No" (nothing more is asked then), status 0 either way.
# The table's form: see lib.sh.
# shellcheck disable=SC2034,SC2154  # the rows use older; work and the like are lib.sh's

# shellcheck disable=SC1091
. "$(dirname "$0")/lib.sh"

for value in AddDateTxt AddTimeTxt OpenFileTxt OpenFileJPG; do
  brimlo_set_setting 'Software\Brimlo\Settings' "$value" 0
done
pos='Software\Brimlo\Form1\Pos'
date_and_time() {
  brimlo_set_setting 'Software\Brimlo\Settings' AddDateJPG 1 && brimlo_set_setting 'Software\Brimlo\Settings' AddTimeJPG 1 &&
    brimlo_delete_settings "$pos"
}
# Three files with contents of their own; the second name already exists in the target.
sources() {
  mkdir -p "$BRIMLO_WORK/source" "$work/$1"
  printf 'first file\r\n' >"$BRIMLO_WORK/source/alpha.txt"
  printf 'second \001\002\377 bytes' >"$BRIMLO_WORK/source/beta.dat"
  printf 'third file, %s\n' "$(seq 1 200 | tr '\n' ' ')" >"$BRIMLO_WORK/source/gamma.log"
  printf 'other bytes in the target' | tee "$BRIMLO_WORK/kept" >"$work/$1/beta.dat"
}
yes_target() { sources yes; }
no_target() { sources no; }
older() { printf 'older content\n' | tee "$BRIMLO_WORK/older" >"$work/Target_Text.TXT"; }
formatted() {
  printf '%s' '{\rtf1\ansi\deff0{\fonttbl{\f0\fswiss Arial;}}\f0\fs20 Plain {\b bold} and {\i italic}}' >"$BRIMLO_WORK/clip.rtf"
  rtf_clip 'Plain bold and italic'
}

# A stand-in viewer in "C:\Program Files\Stand In" opens .txt and .html files. A planted
# C:\Program.exe is what Windows runs for the unquoted path (Wine quotes an unquoted path it has
# found, so only the plant shows that fault). The drive's root is then closed to writing, as it is
# for a standard user on Windows (made immutable: the tests run as root, whom file modes do not
# stop), and a file of the user's holds the name of the browser lookup's page in the temporary
# directory. Brimlo runs from drive C: as installed, so the root closed is that of its own drive.
c=$WINEPREFIX/drive_c
stand_in=$c/Program\ Files/Stand\ In
viewer='C:\Program Files\Stand In\viewer.exe'
reg_sz() { timeout 60 "$BRIMLO_WINE" reg query "$1" /ve </dev/null 2>/dev/null | tr -d '\r' | awk '$2 == "REG_SZ" { print $3 }'; }
viewer() {
  local ext
  temp=$(timeout 60 "$BRIMLO_WINE" cmd /c echo %TEMP% </dev/null | tr -d '\r')
  temp=$(timeout 60 "$BRIMLO_WINE" winepath -u "$temp" </dev/null | tr -d '\r')
  [ -d "$temp" ] || problem "no temporary directory at '$temp'" || return
  mkdir -p "$stand_in"
  undo+=("rm -rf '$c/Program.exe' '$stand_in' '$temp/WexX00001.html'; brimlo_reg delete 'HKCR\BrimloStandIn' /f")
  for ext in .txt .html; do undo+=("brimlo_reg add 'HKCR\\$ext' /ve /d '$(reg_sz "HKCR\\$ext")' /f"); done
  brimlo_reg add 'HKCR\BrimloStandIn\shell\open\command' /ve /d "\"$viewer\" \"%1\"" /f &&
    brimlo_reg add 'HKCR\.txt' /ve /d BrimloStandIn /f && brimlo_reg add 'HKCR\.html' /ve /d BrimloStandIn /f &&
    cp "$BRIMLO_TOOL" "$stand_in/viewer.exe" && cp "$BRIMLO_TOOL" "$c/Program.exe" &&
    cp "$BRIMLO_EXE" "$stand_in/Brimlo.exe" && printf 'mine\n' >"$temp/WexX00001.html" || return
  undo+=("BRIMLO_EXE='$BRIMLO_EXE'" "chattr -i '$c'")
  BRIMLO_EXE=$stand_in/Brimlo.exe
  chattr +i "$c" && ! touch "$c/brimlo-probe" 2>/dev/null || problem "the drive's root is still writable"
}
opened() { viewer && brimlo_set_setting 'Software\Brimlo\Settings' OpenFileTxt 1 || return
  undo+=("brimlo_set_setting 'Software\Brimlo\Settings' OpenFileTxt 0"); }

# viewer=<regex>: the stand-in was started with arguments (its own path first) that, joined by |,
# match.
step_viewer() {
  local i report=$stand_in/run.txt args
  for ((i = 0; i < 200; i++)); do [ -f "$report" ] && break; sleep 0.05; done
  args=$(tr -d '\r' <"$report" 2>/dev/null | tail -n +3 | tr '\n' '|')
  rm -f "$report"
  [[ $args =~ $1 ]] || problem "the viewer got '$args', not /$1/"
}
# The browser lookup leaves the user's file of its page's name as it was, and nothing of its own.
step_lookup-clean() {
  [ "$(cat "$temp/WexX00001.html")" = mine ] || problem "the user's $temp/WexX00001.html was changed" || return
  rm -f "$temp/WexX00001.html"
  [ -z "$(find "$temp" -maxdepth 1 \( -name 'WexX*' -o -name 'zzzzzzzTemp_*' -o -name 'RunFileTmp*' \))" ] ||
    problem "lookup files left behind in $temp"
}

# The viewer's arguments, its own path first, joined by | (regular expressions).
opened_file="^$(re "$viewer|$T\\Target_Text.TXT|")\$"
homepage="^$(re "$viewer|")https?://[^|]*/BrimloSite\\|\$"

run_cases <<'EOF'
# "é" and "€" fit the ANSI code page (1252): they must arrive as single bytes.
'text saved with Alt+S' text:$'Caf\u00e9 price: 5 \u20ac\r\nsecond line' txt@Target shot=1-text key=alt+s status=0 file=Target/Target_Text.TXT holds='Caf\351 price: 5 \200\r\nsecond line\r\n' list=Target=Target_Text.TXT
# "No" keeps the file and the window (nothing half-saved left), a second Alt+S and "Yes" replace it.
'overwrite declined, then accepted' 'text:newer content' txt@Target setup=older key=alt+s wait='Overwrite file?' shot=2-overwrite-question box='Overwrite file?=no' says="File already exists:||$T\Target_Text.TXT||Overwrite?|" file=Target/Target_Text.TXT same=older list=Target=Target_Text.TXT key=alt+s box='Overwrite file?=yes' status=0 holds='newer content\r\n' list=Target=Target_Text.TXT
'web address as a shortcut' text:https://example.org/x txt@Target shot=3-url click='^Save as --> \.URL$' status=0 file=Target/Target_Text.url holds='[InternetShortcut]\r\nURL=https://example.org/x\r\n' list=Target=Target_Text.url
'formatted text as plain text' - rtf@Target setup=formatted shot=4-rtf click='^-> TXT$' shows='^Button$=^&Save as Text$' key=alt+s status=0 file=Target/Target_Text.TXT holds='Plain bold and italic\r\n' list=Target=Target_Text.TXT
'directory that does not exist' 'text:kept in the window' txt@Target type=Target/not-there key=alt+s wait=Brimlo stop-icon told="$T\not-there\Target_Text.TXT" window=txt absent=Target/not-there kept
'saved file opened in its program' 'text:opened in its program' txt@Target setup=opened key=alt+s status=0 viewer="$opened_file"
# The viewer is a console program: Wine may give it a console window that takes the focus.
'Web opens the homepage' 'text:opened in its program' txt@Target setup=viewer click='^Web$' viewer="$homepage" lookup-clean window=txt
# The quadrants show a picture upside down, mirrored or with its colour channels swapped.
'picture saved with Alt+S' bitmap:640x480 jpg@Target setup=date_and_time shot=picture-mode key=alt+s status=0 stamped=Target_Screenshot.JPG jpeg=640x480 quadrants unset="$pos=Height" unset="$pos=Width" unset="$pos=Top" unset="$pos=Left"
'copy: overwrite accepted' files:source/alpha.txt,source/beta.dat,source/gamma.log copy@ setup=yes_target type=Target/yes shot=list key=alt+c wait=Overwrite? shot=overwrite-question box=Overwrite?=yes says="File already exists!||$T\yes\beta.dat|" box='Allow all?=no' status=0 file=Target/yes/alpha.txt same=source/alpha.txt file=Target/yes/beta.dat same=source/beta.dat file=Target/yes/gamma.log same=source/gamma.log list='Target/yes=alpha.txt|beta.dat|gamma.log'
'copy: overwrite declined' files:source/alpha.txt,source/beta.dat,source/gamma.log copy@ setup=no_target type=Target/no shot=declined-target key=alt+c box=Overwrite?=no says="File already exists!||$T\no\beta.dat|" status=0 file=Target/no/beta.dat same=kept file=Target/no/alpha.txt same=source/alpha.txt file=Target/no/gamma.log same=source/gamma.log list='Target/no=alpha.txt|beta.dat|gamma.log'
EOF
