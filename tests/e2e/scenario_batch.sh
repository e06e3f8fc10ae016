#!/usr/bin/env bash
# Batch runs (-b): the clipboard, as a Linux program or a Windows program offers it, is saved
# without any window, under the given name or the directory's, with the stored date and time
# options; a run that cannot save says so and turns into an ordinary window instead of losing
# the content silently. The table's form: see lib.sh.

# shellcheck disable=SC1091,SC2154  # work is lib.sh's
. "$(dirname "$0")/lib.sh"

# A file the program would open afterwards, or a prefix, must not get in the way of a plain save.
settings='Software\Brimlo\Settings'
for name in AddDateTxt AddTimeTxt OpenFileTxt AddDateJPG AddTimeJPG OpenFileJPG; do
  brimlo_set_setting "$settings" "$name" 0
done

gradient() { timeout 30 convert -size 320x200 gradient:blue-yellow "bmp3:$BRIMLO_WORK/gradient.bmp"; }
# Opaque red on the left half, transparent on the right, as a screenshot tool's PNG.
half_png() {
  timeout 30 convert -size 333x222 xc:none -fill '#D03020' -draw 'rectangle 0,0 165,221' \
    "png32:$BRIMLO_WORK/half.png"
}
date_and_time() {
  brimlo_set_setting "$settings" AddDateTxt 1 && brimlo_set_setting "$settings" AddTimeTxt 1
  undo+=("brimlo_set_setting '$settings' AddDateTxt 0; brimlo_set_setting '$settings' AddTimeTxt 0")
}
photo() { printf 'the photo' >"$work/Photo.JPG"; }
no_directory() { [ ! -e "$WINEPREFIX/drive_c/nosuchdir" ] || problem "C:\\nosuchdir exists before the run"; }

run_cases <<'EOF'
'-b Notes with plain text' x-text:abc '-b Notes' silent file=Target/Notes.TXT holds='abc\r\n' list=Target=Notes.TXT shot=text
# Without a name: <directory>_Screenshot.JPG of the picture's size.
'-b with a bitmap' x:image/bmp:gradient.bmp '-b' setup=gradient silent file=Target/Target_Screenshot.JPG jpeg=320x200 list=Target=Target_Screenshot.JPG shot=picture
# The opaque left half stays red; the transparent right half comes out white, not black.
'-b Shot with a PNG alone' x:image/png:half.png '-b Shot' setup=half_png silent file=Target/Shot.JPG jpeg=333x222 fx='-crop 120x180+20+20 +repage -format %[fx:mean.r>0.7&&mean.g<0.3]=1' fx='-crop 120x180+200+20 +repage -colorspace gray -format %[fx:minima>0.94]=1'
# An extension given in any letter case is the file's own, never followed by a second one.
'-b Shot.JPG with a bitmap' bitmap:64x48 '-b Shot.JPG' silent list=Target=Shot.JPG
'-b Notes.Txt with text' text:abc '-b Notes.Txt' silent file=Target/Notes.Txt holds='abc\r\n' list=Target=Notes.Txt
# The context menu's entry starts the program with the clicked file's path: its name and directory.
'context menu on Photo.JPG' bitmap:64x48 "$T\Photo.JPG" setup=photo shows='^Edit$=^Photo\.JPG$' key=alt+s ask="$T\Photo.JPG" status=0 file=Target/Photo.JPG jpeg=64x48 list=Target=Photo.JPG
'-b MyDumps with formatted text' 'rtf:Dumped words' '-b MyDumps' silent file=Target/MyDumps.RTF holds-rtf list=Target=MyDumps.RTF
# The rich edit control fails inside itself on documents of tens of megabytes; a batch run never
# gives it one: the clipboard's document as it stands.
'-b Big with 50 MB of formatted text' rtf-big:52428800 '-b Big' silent file=Target/Big.RTF same=clip.rtf
'-b Greek with Greek text' 'x-text:Καλημέρα κόσμε' '-b Greek' silent file=Target/Greek.TXT holds='\357\273\277Καλημέρα κόσμε\r\n'
# HH-MM-SS_YY.MM.DD_P.TXT of the run's time, and no P.TXT.
'-b P with the date and time options' x-text:stamped '-b P' setup=date_and_time silent stamped=P.TXT holds='stamped\r\n'
# A stop box naming the file, nothing made, then the window with the text.
'-b into a missing directory' 'x-text:kept, not lost' '-b C:\nosuchdir\x' setup=no_directory wait=Brimlo stop-icon told='C:\nosuchdir\x.TXT' window=txt+text absent="$WINEPREFIX/drive_c/nosuchdir" kept
EOF
