#!/usr/bin/env bash
# A click on "Update": brimlo.exe fetches the updater from its server when it is not next to the
# program, starts it with the newest version's address and the program's own path, and ends at
# once with status 1 (nothing was saved) without storing its window position. An updater already
# there is started as it is. When the download fails (the server has no updater or is not there)
# the user is told, nothing of the download is left (an Update.exe made of an error page would be
# started for ever after), and the window stays.
# The table's form: see lib.sh.
#
# Needs a test build of brimlo.exe whose server is a loopback address (BRIMLO_SERVER); brimlo-tool
# acts as the updater under the name Update.exe. Exits 77 (skipped) for any other server.
# shellcheck disable=SC2034  # the rows use pos and the messages

# shellcheck disable=SC1091
. "$(dirname "$0")/lib.sh"

if ! [[ ${BRIMLO_SERVER:-} =~ ^http://127\.0\.0\.1:([0-9]+)/*$ ]]; then
  note "skipped: brimlo.exe talks to '${BRIMLO_SERVER:-}', not to a loopback test server"
  exit 77
fi
port=${BASH_REMATCH[1]}
pos='Software\Brimlo\Form1\Pos'
# The program runs from a folder of its own, started from another one: the updater goes next to it.
app=$BRIMLO_WORK/app site=$BRIMLO_WORK/site log=$BRIMLO_WORK/server.log
a=$(brimlo_windows_path "$app")
mkdir -p "$app" "$site/BrimloSite"
cp "$BRIMLO_EXE" "$app/Brimlo.exe"
BRIMLO_EXE=$app/Brimlo.exe
brimlo_delete_settings "$pos"

# A server of the directory site on the port until the case ends.
serve() {
  rm -f "$app/Update.exe" "$app/run.txt"
  python3 -m http.server --bind 127.0.0.1 --directory "$site" "$port" </dev/null >"$log" 2>&1 &
  BRIMLO_STARTED+=($!) && undo+=("_brimlo_end $!")
  for _ in {1..100}; do
    python3 -c "import urllib.request as u; u.urlopen('http://127.0.0.1:$port/', timeout=2)" 2>/dev/null && return
    sleep 0.1
  done
  problem "the test server does not answer on port $port"
}
served() { cp "$BRIMLO_TOOL" "$site/Update.exe" && serve; }
# Nothing to download: only the updater next to the program can start.
present() { no_updater && cp "$BRIMLO_TOOL" "$app/Update.exe"; }
no_updater() { rm -f "$site/Update.exe" && serve; }
no_server() { rm -f "$app/Update.exe"; }
# updater: the stand-in updater ran with a line it can split at the markers (nothing quoted, no
# blank after a marker) in the program's folder.
step_updater() {
  local i lines
  for ((i = 0; i < 300; i++)); do [ -f "$app/run.txt" ] && break; sleep 0.05; done
  lines=$(tr -d '\r' <"$app/run.txt" 2>/dev/null | head -n 2)
  [ "$lines" = "$a\\Update.exe [URL]http://127.0.0.1:$port/BrimloSite/Brimlo.exe [PATH]$a\\Brimlo.exe"$'\n'"$a" ] ||
    problem "the updater ran with '$lines'" || return
  cmp -s "$app/Update.exe" "$BRIMLO_TOOL" || problem "Update.exe next to the program is not the served one"
}

# Wine's download takes an error page for a success: that updater then does not start.
lost="^$(re "$a\\Update.exe||")"
run_cases <<'EOF'
'updater missing' 'text:Brimlo update test' txt@ setup=served click='^Update$' status=1 updater unset="$pos=Left"
'updater present' 'text:Brimlo update test' txt@ setup=present click='^Update$' status=1 updater unset="$pos=Left"
'no updater on the server' 'text:Brimlo update test' txt@ setup=no_updater click='^Update$' box=Brimlo=ok why="${lost}(Download Fehlgeschlagen / Download failed|Das Update konnte nicht gestartet werden / The updater could not be started)\\|$" list=app=Brimlo.exe window=txt
'no server' 'text:Brimlo update test' txt@ setup=no_server click='^Update$' box=Brimlo=ok why="${lost}Download Fehlgeschlagen / Download failed\\|$" list=app=Brimlo.exe window=txt
EOF
