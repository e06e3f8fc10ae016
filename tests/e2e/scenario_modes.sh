#!/usr/bin/env bash
# What the window offers for each kind of clipboard content: plain text, formatted text, a
# picture (a bitmap, or a PNG alone as Linux programs offer it) and a file list each get their own
# mode and caption; content Brimlo cannot save is refused with a box and status 2. The
# screenshots modes-*.png are the README's pictures. The table's form: see lib.sh.

# shellcheck disable=SC1091
. "$(dirname "$0")/lib.sh"

gradient() { timeout 30 convert -size 320x200 gradient:blue-yellow "bmp3:$BRIMLO_WORK/gradient.bmp"; }
# Opaque red on the left half, transparent on the right, as a screenshot tool's PNG.
half_png() {
  timeout 30 convert -size 333x222 xc:none -fill '#D03020' -draw 'rectangle 0,0 165,221' \
    "png32:$BRIMLO_WORK/half.png"
}
broken_png() { printf '\x89PNG\r\n\x1a\nnothing more' >"$BRIMLO_WORK/broken.png"; }
copied_files() {
  mkdir -p "$BRIMLO_WORK/copied" && : >"$BRIMLO_WORK/files.uri"
  for f in alpha beta gamma; do
    echo "content of $f" >"$BRIMLO_WORK/copied/$f.txt"
    printf 'file://%s\r\n' "$BRIMLO_WORK/copied/$f.txt" >>"$BRIMLO_WORK/files.uri"
  done
}
# One entry of the converted file list, up to the file's name (used by the rows).
# shellcheck disable=SC2034,SC1003
entry='[A-Z]:(\\\\[^\\]+)*\\\\'

# The panel's colour tells the modes apart at a glance. A list box shows no text to other programs: "-> TXT" turns the list into the text preview, one
# entry a line, which shows what the list held. The PNG's preview covers a good part of the screen
# with its red.
run_cases <<'EOF'
'plain text' 'x-text:Plain words for the text mode' txt@Target shot=modes-text.png panel=E0E0E0 shows='^Edit$=^Plain words for the text mode' shows='^Edit$=Target_Text\.TXT$' shows='^Button$=^&Save as Text$' window=txt
'formatted text' 'rtf:Some bold words' rtf@Target shot=modes-rtf.png panel=E0E0E0 shows='^(RICHEDIT|RichEdit)=Some bold words' shows='^Button$=^-> TXT$' shows='^Edit$=Target_Text\.RTF$' shows='^Button$=^&Save as RTF$' window=rtf
'formatted text as plain text' 'rtf:Some bold words' rtf@Target click='^-> TXT$' shows='^Edit$=^Some bold words' shows='^Edit$=Target_Text\.TXT$' shows='^Button$=^&Save as Text$' window=txt
'picture' x:image/bmp:gradient.bmp jpg@Target setup=gradient shot=modes-picture.png panel=C0BFFF shows='^Edit$=Target_Screenshot\.JPG$' window=jpg
'file list' x:text/uri-list:files.uri copy@Target setup=copied_files shot=modes-files.png panel=B8CEC9 shows='^ListBox$=' click='^-> TXT$' shows='^Edit$=^'"$entry"'alpha\.txt\\r\\n'"$entry"'beta\.txt\\r\\n'"$entry"'gamma\.txt(\\r\\n)?$' shows='^Button$=^&Save as Text$' window=txt
'PNG picture' x:image/png:half.png jpg@Target setup=half_png shows='^Edit$=Target_Screenshot\.JPG$' shot=png fx='-fuzz 10% -fill black +opaque #D03020 -fill white -opaque #D03020 -format %[fx:mean>0.019]=1' window=jpg
'refused content' x:image/png:broken.png @Target setup=broken_png wait='Sorry - no supported format!' shot=modes-refused.png box='Sorry - no supported format!=ok' why="^The current clipboard-Format:  'PNG'  is not supported!\\|\$" status=2 kept
EOF
