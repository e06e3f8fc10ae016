#!/usr/bin/env bash
# The installer in a new Wine prefix: a silent install, the installed program saves the
# clipboard and registers its Explorer menu entry, a silent uninstall; afterwards nothing of the
# program is left, and the file the user saved in the program's folder is there as it was.

# shellcheck disable=SC1091
. "$(dirname "$0")/../e2e/lib.sh"
: "${BRIMLO_INSTALLER:?}" "${BRIMLO_RELEASE:?}"

# A prefix of this test alone (the shared one keeps what an earlier run left), whose user
# folders and desktop menu entries stay out of the machine's home.
shared=$WINEPREFIX
export WINEPREFIX=$BRIMLO_WORK/prefix HOME=$BRIMLO_WORK/home
export WINEDLLOVERRIDES='winemenubuilder.exe=d;mscoree,mshtml='
mkdir -p "$HOME"
finish() {
  local rc=$?
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  export WINEPREFIX=$shared
  (exit "$rc")
  brimlo_cleanup
}
trap finish EXIT
uninstall='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Brimlo'
menu='Software\Classes\*\shell\Save Clipboard to file.. (Brimlo)'

# key <present|absent> <key>
key() {
  if timeout 60 "$BRIMLO_WINE" reg query "$2" </dev/null >/dev/null 2>&1; then
    [ "$1" = present ]
  else
    [ "$1" = absent ]
  fi || fail "$2 is not $1"
}
entry() {
  timeout 60 "$BRIMLO_WINE" reg query "$uninstall" /v "$1" </dev/null | tr -d '\r' |
    sed -n 's/.*REG_SZ *//p'
}

note "silent install"
timeout 120 "$BRIMLO_WINE" "$BRIMLO_INSTALLER" /S </dev/null || fail "the silent install failed"
expect_eq "$(entry DisplayName) $(entry DisplayVersion)" "Brimlo $BRIMLO_RELEASE" "installed program"
dir=$(realpath "$(timeout 30 "$BRIMLO_WINE" winepath -u "$(entry InstallLocation)" </dev/null)")
expect_eq "$dir" "$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Local/Programs/Brimlo)" "folder"
shortcut=$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/Brimlo.lnk)
[ -f "$shortcut" ] || fail "no Start-menu shortcut"

note "the installed program saves into its own folder and registers its menu entry"
printf 'kept by the user' >"$BRIMLO_WORK/clip.txt"
brimlo_xclip UTF8_STRING "$BRIMLO_WORK/clip.txt"
brimlo_start_exe "$dir" "$dir/brimlo.exe" -b Notes
brimlo_wait_exit 30 || fail "brimlo.exe -b Notes did not end"
expect_eq "$BRIMLO_STATUS" 0 "exit status of brimlo.exe -b Notes"
printf 'kept by the user\r\n' >"$BRIMLO_WORK/Notes.expected"
cmp "$dir/Notes.TXT" "$BRIMLO_WORK/Notes.expected" || fail "Notes.TXT: $(ls "$dir")"
brimlo_start_exe "$HOME" "$dir/brimlo.exe"
window=$(brimlo_find_window "^$(re "Brimlo  v. $BRIMLO_RELEASE") - ") || fail "no window"
# The box's middle left, in screen pixels (the client area's origin plus the box's place in it).
read -r x y < <(brimlo_wininfo 'Brimlo  v.*' | awk -F'\t' '$1 == "client" { x = $2; y = $3 }
  $1 == "child" && $4 == "Add to Context-Menu" { print x + $6 + 6, y + $7 + int($9 / 2) }')
xdotool mousemove "$x" "$y" click 1
for _ in {1..50}; do
  command=$(timeout 60 "$BRIMLO_WINE" reg query "HKCR\\${menu#*Classes\\}\\command" /ve </dev/null |
    tr -d '\r' | sed -n 's/.*REG_SZ *//p') && [ -n "$command" ] && break
  sleep 0.1
done
expect_eq "$command" "\"$(entry InstallLocation)\\brimlo.exe\" %1" "the menu entry's command"
brimlo_key "$window" Escape
brimlo_wait_exit 15 || fail "the window did not close"
# Where the program writes the entry without administrator rights.
timeout 60 "$BRIMLO_WINE" reg add "HKCU\\$menu\\command" /ve /d "$command" /f </dev/null >/dev/null ||
  fail "reg add"
for k in "HKLM\\$menu" "HKCU\\$menu" 'HKCU\Software\Brimlo'; do key present "$k"; done

note "silent uninstall"
# The uninstaller runs on from a copy of itself: the prefix's end is its end.
quiet=$(entry QuietUninstallString)
program=${quiet#\"}
timeout 60 "$BRIMLO_WINE" "${program%%\"*}" "${quiet##*\" }" </dev/null || fail "$quiet failed"
timeout 60 wineserver -w || fail "the uninstaller did not end"
expect_eq "$(ls -A "$dir")" Notes.TXT "left in the program's folder"
cmp "$dir/Notes.TXT" "$BRIMLO_WORK/Notes.expected" || fail "the user's Notes.TXT changed"
[ ! -e "$shortcut" ] || fail "the Start-menu shortcut is left"
for k in "$uninstall" "HKLM\\$menu" "HKCU\\$menu" 'HKCU\Software\Brimlo'; do key absent "$k"; done
