#!/usr/bin/env bash
# Bad input, end to end: names the file system refuses, targets that cannot be replaced, a
# clipboard another program holds, very large content, names and text beyond the ANSI code page,
# an empty text, file lists that cannot be copied whole, a name ending in a separator.
#
# Every case checks both halves of a safe failure: nothing is lost (the clipboard as before, an
# old target byte for byte as before, no stray file) and the user is told (a message naming the
# file, or a save that really holds the content). The table's form: see lib.sh.
# shellcheck disable=SC2034,SC2154  # the rows use long and kept; work is lib.sh's

# shellcheck disable=SC1091
. "$(dirname "$0")/lib.sh"

# No date or time prefix may change the names the cases expect, and no file may be opened.
for name in AddDateTxt AddTimeTxt OpenFileTxt AddDateJPG AddTimeJPG OpenFileJPG; do
  brimlo_set_setting 'Software\Brimlo\Settings' "$name" 0
done

# --- Setups the cases name (undo+=() what must not outlive the case) ----------------------------
# shellcheck disable=SC2059  # the old bytes are a format
taken() { mkdir "$work/Taken.TXT"; }
sub() { mkdir "$work/Sub"; }
# old <bytes> <file>: an old file of the user's, its bytes kept as old to compare with.
old() { printf "$1" | tee "$BRIMLO_WORK/old" >"$2"; }
read_only() { old 'the old file\r\n\001\002\377 with bytes\r\n' "$work/ReadOnly.TXT" && chmod a-w "$work/ReadOnly.TXT"; }
# Open in an editor or a virus scanner (no sharing at all).
held_open() {
  old 'the old file, open in an editor\r\n' "$work/Open.TXT" && start_holder 60 holdfile "$work/Open.TXT" 30000 &&
    undo+=("_brimlo_end $holder_pid")
}
sources() {
  rm -rf "$BRIMLO_WORK/copied" && mkdir -p "$BRIMLO_WORK/source" "$BRIMLO_WORK/copied"
  printf 'first file\r\n' >"$BRIMLO_WORK/source/alpha.txt"
  printf 'third \001\002\377 bytes' >"$BRIMLO_WORK/source/gamma.dat"
}
big_source() {
  mkdir -p "$BRIMLO_WORK/big" && [ -f "$BRIMLO_WORK/big/old.bin" ] || head -c $((2500 * 1024)) /dev/urandom >"$BRIMLO_WORK/big/old.bin"
  cp "$BRIMLO_WORK/big/old.bin" "$BRIMLO_WORK/big/new.bin"
}
# A 3 MB volume holding a 1.5 MB old.bin; the 2.5 MB sources do not fit.
full_volume() {
  big_source && mkdir -p "$BRIMLO_WORK/volume" && mount -t tmpfs -o size=3m tmpfs "$BRIMLO_WORK/volume" ||
    problem "a small volume could not be mounted here (mount -t tmpfs needs root)" || return
  undo+=("umount '$BRIMLO_WORK/volume' || umount -l '$BRIMLO_WORK/volume'")
  head -c $((1500 * 1024)) /dev/urandom | tee "$BRIMLO_WORK/old" >"$BRIMLO_WORK/volume/old.bin"
}
read_only_copy() {
  big_source && mkdir -p "$BRIMLO_WORK/readonly" && chmod -f u+w "$BRIMLO_WORK/readonly/old.bin"
  printf 'old and protected' >"$BRIMLO_WORK/readonly/old.bin" && chmod a-w "$BRIMLO_WORK/readonly/old.bin"
}
folder() {
  mkdir -p "$BRIMLO_WORK/big/Photos" "$BRIMLO_WORK/folder" && printf 'a picture' >"$BRIMLO_WORK/big/Photos/p.jpg"
  printf 'the user file named Photos' >"$BRIMLO_WORK/folder/Photos"
}

# A source path longer than the system's ordinary limit next to a sibling with a shorter name.
deep=$(printf 'd%.0s' {1..100})/$(printf 'e%.0s' {1..100})
long_path() {
  mkdir -p "$BRIMLO_WORK/$deep" "$BRIMLO_WORK/longcopy"
  printf 'the short sibling' >"$BRIMLO_WORK/$deep/report.txt"
  printf 'the file that was copied' >"$BRIMLO_WORK/$deep/report.txt.old"
  [ "$(printf '%s' "$W/$deep/report.txt.old" | wc -c)" -gt 260 ] || problem "the path is not long enough"
}

long=Long$(printf '%0296d' 0)
kept='kept, not lost'

run_cases <<'EOF'
# A name or target the file system refuses: the message names the file and the reason, the
# window follows with the text still there (and the help box for "?" anywhere on the line).
'name with ?'        "text:$kept"   '-b a?b'  told="$T\a?b.TXT"  why='Invalid name' help window=txt+text kept
'name with *'        "text:$kept"   '-b a*b'  told="$T\a*b.TXT"  why='Invalid name' window=txt+text kept
'name with <'        "text:$kept"   '-b a<b'  told="$T\a<b.TXT"  why='Invalid name' window=txt+text kept
'name with >'        "text:$kept"   '-b a>b'  told="$T\a>b.TXT"  why='Invalid name' window=txt+text kept
'name with |'        "text:$kept"   '-b a|b'  told="$T\a|b.TXT"  why='Invalid name' window=txt+text kept
'name with "'        "text:$kept"   '-b a"b'  told="$T\a\"b.TXT" why='Invalid name' window=txt+text kept
# Beyond 255 bytes a name, a drive that is not there: the reason is the platform's own.
'name of 300 characters'    "text:$kept" "-b $long"   told="$T\\$long.TXT" why=. window=txt+text kept
'drive that does not exist' "text:$kept" '-b Q:\Notes' told='Q:\Notes.TXT' why=. window=txt+text kept
'directory that is missing' "text:$kept" "-b $T\nosuch\x" told="$T\nosuch\x.TXT" why='not found' window=txt+text kept
'directory with the name'   "text:$kept" '-b Taken' setup=taken told="$T\Taken.TXT" why='Access denied' window=txt+text kept
# Device names, whatever extension follows, open the device instead of a file.
'device name CON'  "text:$kept" '-b CON'  told="$T\CON.TXT"  why='Invalid name' window=txt+text kept
'device name NUL'  "text:$kept" '-b NUL'  told="$T\NUL.TXT"  why='Invalid name' window=txt+text kept
'device name COM1' "text:$kept" '-b COM1' told="$T\COM1.TXT" why='Invalid name' window=txt+text kept
# An old target that cannot be replaced stays byte for byte after "Yes".
'read-only target' "text:$kept" '-b ReadOnly' setup=read_only ask="$T\ReadOnly.TXT" told="$T\ReadOnly.TXT" why='Access denied' window=txt+text kept file=Target/ReadOnly.TXT same=old
'target held open' "text:$kept" '-b Open' setup=held_open ask="$T\Open.TXT" told="$T\Open.TXT" why='denied|used by another' window=txt+text kept file=Target/Open.TXT same=old
# A name ending in a separator names the directory: the default name there (the folder name of
# the starting directory), never a file with no name; a missing directory gets the message.
'name ending in \ (existing directory)' "text:$kept" "-b $T\Sub\\" setup=sub silent file=Target/Sub/Target_Text.TXT holds-text list=Target/Sub=Target_Text.TXT kept=clip
'name ending in \ (missing directory)' "text:$kept" '-b Gone\' told='Gone\Target_Text.TXT' why='not found' window=txt+text kept

# Content that must arrive whole: ANSI where it fits, else UTF-8 with a byte-order mark (one
# character beyond the code page sends the whole text to UTF-8); an empty text is one line end.
'text that fits ANSI'  'text:Café à 5 €'        '-b Notiz'      silent file=Target/Notiz.TXT holds='Caf\351 \340 5 \200\r\n' list=Target=Notiz.TXT kept=clip
'Greek name and text'  'text:Καλημέρα κόσμε'     '-b Σημειώσεις' silent file=Target/Σημειώσεις.TXT holds='\357\273\277Καλημέρα κόσμε\r\n' list=Target=Σημειώσεις.TXT kept=clip
'CJK name and text'    'text:日本語のテキスト、中文' '-b 剪贴板メモ' silent file=Target/剪贴板メモ.TXT holds='\357\273\277日本語のテキスト、中文\r\n' list=Target=剪贴板メモ.TXT kept=clip
'emoji name and text'  'text:ok 🙂 done'          '-b 📋Clip'     silent file=Target/📋Clip.TXT holds='\357\273\277ok \360\237\231\202 done\r\n' list=Target=📋Clip.TXT kept=clip
'ANSI and Greek mixed' 'text:é and α'            '-b Mixed'      silent file=Target/Mixed.TXT holds='\357\273\277\303\251 and \316\261\r\n' list=Target=Mixed.TXT kept=clip
'empty text'           text:                     '-b Empty'      silent file=Target/Empty.TXT holds='\r\n' list=Target=Empty.TXT kept=clip
'text of 100 MB'       seq:104857600             '-b Huge'       silent file=Target/Huge.TXT holds-text kept=clip
# The same text unsaved: after the message the window answers at once (its preview shows the
# start of the text and says so).
'text of 100 MB that cannot be saved' - '-b Gone\Huge' told='Gone\Huge.TXT' why='not found' window=txt:8 kept
'bitmap 7680x4320'     bitmap:7680x4320          '-b Poster'     silent file=Target/Poster.JPG jpeg=7680x4320 quadrants kept=clip

# Another program holds the clipboard open while the run starts.
'clipboard held: text'    'text:precious words' '-b Held' held=TXT kept=clip
'clipboard held: RTF'     'rtf:Precious words'  '-b Held' held=RTF kept=clip
'clipboard held: picture' bitmap:64x48          '-b Held' held=JPG kept=clip

# File lists that cannot be copied whole: the message names the file and why (never a bare
# number, never "cancelled"), the rest arrives whole, an old file stays, nothing is left behind,
# status 1. A folder over a file of its name asks nothing.
'file list with a missing file' files:source/alpha.txt,source/missing.txt,source/gamma.dat copy@copied setup=sources key=alt+c box=Brimlo=ok says="$W\source\missing.txt" never='^[0-9]+(\||$)' status=1 file=copied/alpha.txt same=source/alpha.txt file=copied/gamma.dat same=source/gamma.dat list='copied=alpha.txt|gamma.dat' kept
'copy over a file on a full volume' files:big/old.bin copy@volume setup=full_volume key=alt+c box=Overwrite?=yes box='Allow all?=no' box=Brimlo=ok says="$W\big\old.bin" status=1 file=volume/old.bin same=old list=volume=old.bin
'new file that does not fit on a full volume' files:big/new.bin copy@volume setup=full_volume key=alt+c box=Brimlo=ok never=cancel status=1 list=volume=old.bin
'copy over a read-only file' files:big/old.bin copy@readonly setup=read_only_copy key=alt+c box=Overwrite?=yes box='Allow all?=no' box=Brimlo=ok status=1 file=readonly/old.bin holds='old and protected' list=readonly=old.bin
'folder over a file of its name' files:big/Photos copy@folder setup=folder key=alt+c box=Brimlo=ok says="$W\big\Photos" status=1 file=folder/Photos holds='the user file named Photos' list=folder=Photos
# Copied whole under its own name, never its shorter sibling in its place.
'copy of a source with a path over 259 characters' "files:$deep/report.txt.old" copy@longcopy setup=long_path key=alt+c status=0 file=longcopy/report.txt.old same="$deep/report.txt.old" absent=longcopy/report.txt
EOF
