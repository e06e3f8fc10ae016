#!/usr/bin/env bash
# Each verb of brimlo-tool the end-to-end tests rely on, checked against a stand-in (its probe
# verb) with known answers: a helper that misreads a box, loses clipboard data or garbles text
# would make the program's own tests pass or fail for the wrong reason.

# shellcheck disable=SC1091
. "$(dirname "$0")/../e2e/lib.sh"
set +e

failures=0
check() {
  local what=$1
  shift
  if "$@"; then
    echo "ok   $what"
  else
    echo "FAIL $what"
    failures=$((failures + 1))
  fi
}
same() {
  [ "$1" = "$2" ] && return 0
  printf '     expected: %q\n     got:      %q\n' "$2" "$1"
  return 1
}
utf8_file() {
  local file
  file=$(mktemp "$BRIMLO_WORK/text.XXXXXX")
  printf '%s' "$1" >"$file"
  echo "$file"
}
tool=$BRIMLO_TOOL

# --- wine-run passes the program's exit status on, and ends a program that runs too long -------
for status in 0 1 2 7 255; do
  "$BRIMLO_WINE_RUN" "$tool" probe exit "$status"
  check "wine-run returns exit status $status" same "$?" "$status"
done

shots=$BRIMLO_WORK/shots
began=$(date +%s)
BRIMLO_WINE_TIMEOUT=3 BRIMLO_ARTIFACTS=$shots "$BRIMLO_WINE_RUN" "$tool" probe sleep 600017 2>/dev/null
rc=$?
took=$(($(date +%s) - began))
check "wine-run reports a program out of time as 124" same "$rc" 124
check "wine-run ends it soon after its limit (took ${took}s)" test "$took" -le 12
check "the program out of time is gone" \
  bash -c '! grep -qas "sleep.[6]00017" /proc/[0-9]*/cmdline'
check "wine-run keeps a screenshot of that moment" compgen -G "$shots/timeout-brimlo-tool-*.png"

# --- boxes: finds a box by title, reads its text, presses the asked button -----------------------
text=$'Datei überschreiben?\nC:\\Temp\\a.txt'
while read -r buttons answer expected; do
  brimlo_start_exe "$BRIMLO_WORK" "$tool" probe box "Probe box" "@$(utf8_file "$text")" "$buttons"
  shown=$(brimlo_answer_box "Probe box" "$answer")
  check "boxes answer $answer ($buttons): exit 0" same "$?" 0
  check "boxes answer $answer ($buttons): prints the text" same "$shown" "$text"
  brimlo_wait_exit 10
  check "boxes answer $answer ($buttons): the box returns $expected" same "$BRIMLO_STATUS" "$expected"
done <<'EOF'
yesnocancel yes 6
yesnocancel no 7
yesnocancel cancel 2
okcancel ok 1
okcancel cancel 2
ok ok 1
EOF

brimlo_start_exe "$BRIMLO_WORK" "$tool" probe box "Probe box" "Only OK" ok
brimlo_answer_box "Probe box" yes >/dev/null 2>&1
check "boxes answer: a button the box lacks is an error (3)" same "$?" 3
shown=$(brimlo_wait_box "Probe box")
check "boxes wait: the box is still there and shows its text" same "$shown" "Only OK"
brimlo_answer_box "Probe box" ok >/dev/null
brimlo_wait_exit 10
check "boxes answer ok after all" same "$BRIMLO_STATUS" 1

began=$(date +%s%N)
brimlo_wait_box "No such box" 500 >/dev/null 2>&1
rc=$?
took=$((($(date +%s%N) - began) / 1000000))
check "boxes wait: a missing box is exit 1" same "$rc" 1
check "boxes wait: gives up after its timeout (${took} ms)" test "$took" -lt 5000

# --- clip: content set by one program is there for the next, in the expected formats ------------
# Each case: what | clip arguments | the formats then on the clipboard | what to read back | the
# variable holding the expected content.
rtf=$(utf8_file '{\rtf1\ansi{\fonttbl{\f0 Arial;}}\f0 Fett: {\b fett}\par}')
touch "$BRIMLO_WORK/a.txt" "$BRIMLO_WORK/b c.txt"
win_work="Z:${BRIMLO_WORK//\//\\}"
wide_text='Ελληνικά ✓ 中文'
rtf_text=$(cat "$rtf")
plain_text='Fett: fett'
bitmap_40=$'40\t20\tFF0000\t00FF00\t0000FF\tFFFFFF'
bitmap_7=$'7\t3\tFF0000\t00FF00\t0000FF\tFFFFFF'
file_list="$win_work\\a.txt"$'\n'"$win_work\\b c.txt"
text_forms='CF_LOCALE CF_OEMTEXT CF_TEXT CF_UNICODETEXT'
while IFS='|' read -r what args formats get expected; do
  eval "set -- $args"
  brimlo_clip "$@"
  check "clip $what: exit 0" same "$?" 0
  have=$(brimlo_clip_formats | cut -f2 | sort | paste -sd' ' -)
  check "clip $what: formats" same "$have" "$formats"
  if [ -n "$get" ]; then
    got=$(brimlo_tool clip get "$get")
    check "clip $what: read back by another program" same "$got" "${!expected}"
  fi
done <<EOF
unicode|unicode @$(utf8_file "$wide_text")|$text_forms|text|wide_text
rtf with text|rtf '$rtf' '@$(utf8_file "$plain_text")'|$text_forms Rich Text Format|rtf|rtf_text
rtf with text, the text|rtf '$rtf' '@$(utf8_file "$plain_text")'|$text_forms Rich Text Format|text|plain_text
bitmap|bitmap 40 20|CF_BITMAP CF_DIB CF_DIBV5|bitmap|bitmap_40
odd-sized bitmap|bitmap 7 3|CF_BITMAP CF_DIB CF_DIBV5|bitmap|bitmap_7
files|files '$BRIMLO_WORK/a.txt' '$BRIMLO_WORK/b c.txt'|CF_HDROP|files|file_list
empty|empty|||
EOF

brimlo_clip unicode "still here"
sleep 2
check "clip: content outlives its program by 2 s (the keeper holds it)" \
  same "$(brimlo_tool clip get text)" "still here"
check "clip: the X side sees Windows text as UTF-8" \
  same "$(xclip -o -selection clipboard)" "still here"

hold_log=$BRIMLO_WORK/hold.log
brimlo_start_exe "$BRIMLO_WORK" "$tool" clip hold 4000
holder=$BRIMLO_PID
ready=false
for _ in $(seq 100); do
  grep -qs held "$BRIMLO_LOG" && ready=true && break
  sleep 0.05
done
cp "$BRIMLO_LOG" "$hold_log"
check "clip hold: takes the clipboard" $ready
brimlo_clip unicode "while held" 2>/dev/null
check "clip hold: another program cannot set content meanwhile" same "$?" 1
BRIMLO_PID=$holder brimlo_wait_exit 10
brimlo_clip unicode "after hold"
check "clip hold: the clipboard is free again afterwards" \
  same "$(brimlo_tool clip get text)" "after hold"

# --- The X side's offers reach Windows programs in Wine's formats ---------------------------------
convert -size 20x10 xc:red xc:lime +append \( -size 20x10 xc:blue xc:white +append \) -append \
  -type truecolor "BMP3:$BRIMLO_WORK/pattern.bmp"
printf 'file://%s/a.txt\r\nfile://%s/b%%20c.txt\r\n' "$BRIMLO_WORK" "$BRIMLO_WORK" >"$BRIMLO_WORK/uris"
x_text='Grüße aus X'
while IFS='|' read -r target file get expected; do
  brimlo_xclip "$target" "$file"
  got=$(brimlo_tool clip get "$get")
  check "xclip $target: read by a Windows program" same "$got" "${!expected}"
done <<EOF
UTF8_STRING|$(utf8_file "$x_text")|text|x_text
text/rtf|$rtf|rtf|rtf_text
image/bmp|$BRIMLO_WORK/pattern.bmp|bitmap|bitmap_40
text/uri-list|$BRIMLO_WORK/uris|files|file_list
EOF
brimlo_end_xclips

# --- regget / regset: settings with any characters ---------------------------------------------
key='Software\Brimlo test\Tools'
brimlo_delete_settings "$key"
while IFS='|' read -r name value; do
  brimlo_set_setting "$key" "$name" "$value"
  check "regset $name: exit 0" same "$?" 0
  check "regget $name: reads it back" same "$(brimlo_setting "$key" "$name")" "$value"
done <<'EOF'
Top|1500
Path|C:\Program Files\Brimlo Test
Größe|Übergröße äöü ß
Chinese|中文路径
Empty|
EOF
brimlo_setting "$key" Missing >/dev/null 2>&1
check "regget: a missing value is exit 1" same "$?" 1
brimlo_setting 'Software\Brimlo test\No such key' Top >/dev/null 2>&1
check "regget: a missing key is exit 1" same "$?" 1
timeout 60 "$BRIMLO_WINE" reg add "HKCU\\$key" /v Count /t REG_DWORD /d 5 /f </dev/null >/dev/null 2>&1
brimlo_setting "$key" Count >/dev/null 2>&1
check "regget: a number value is not text (exit 3)" same "$?" 3
brimlo_delete_settings 'Software\Brimlo test'

# --- wininfo: the window and its controls as the user sees them ---------------------------------
for topmost in 0 1; do
  extra=()
  [ "$topmost" = 1 ] && extra=(topmost)
  brimlo_start_exe "$BRIMLO_WORK" "$tool" probe window "Probe window" "${extra[@]}"
  brimlo_find_window '^Probe window$' 20 >/dev/null
  check "the probe window shows (topmost $topmost)" same "$?" 0
  info=$(brimlo_wininfo "Probe window")
  check "wininfo: topmost flag $topmost" same "$(grep '^topmost' <<<"$info")" "topmost	$topmost"
  if [ "$topmost" = 0 ]; then
    check "wininfo: client area on the screen" same "$(grep '^client' <<<"$info")" \
      "client	50	60	400	300"
    check "wininfo: every control, nested ones in top-level client pixels" \
      same "$(grep '^child' <<<"$info")" "$(
        cat <<'EOF'
child	1	Button	Go	1	10	10	80	25	101
child	1	Edit	hello\tworld	1	10	40	200	22	102
child	1	Static	secret	0	10	70	100	20	103
child	1	Static		1	200	100	150	100	104
child	2	Button	Inner	1	210	120	60	30	105
EOF
      )"
    check "wininfo: a title prefix with * finds the window" \
      same "$(brimlo_wininfo "Probe*" | head -n 1)" "title	Probe window"
  fi
  # The keys the end-to-end tests type reach the window: Esc ends the probe with status 27.
  id=$(brimlo_find_window '^Probe window$' 5)
  brimlo_key "$id" Escape
  brimlo_wait_exit 10
  check "xdotool's Esc reaches the window (topmost $topmost)" same "$BRIMLO_STATUS" 27
  brimlo_kill
done
brimlo_tool wininfo "No such window" >/dev/null 2>&1
check "wininfo: a missing window is exit 1" same "$?" 1

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
