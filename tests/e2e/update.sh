#!/usr/bin/env bash
# A click on "Update": brimlo.exe fetches the updater from its server when it is not next to the
# program, starts it with the newest version's address and the program's own path, and ends at
# once with status 1 (nothing was saved) without storing its window position. An updater
# already there is started as it is. When the download fails (the server has no updater, or there
# is no server) the user is told, nothing of the download is left, and the window stays.
#
# Needs a test build of brimlo.exe whose server is a loopback address
# (-DBRIMLO_SERVER=http://127.0.0.1:<port>, passed on as BRIMLO_SERVER) and the stand-in updater
# (BRIMLO_FAKE_UPDATER, or brimlo-tool.exe, which acts as one under the name Update.exe). Exits 77
# (skipped) for a build with any other server.

# shellcheck disable=SC1091
. "$(dirname "$0")/lib.sh"

if ! [[ ${BRIMLO_SERVER:-} =~ ^http://127\.0\.0\.1:([0-9]+)/*$ ]]; then
  note "skipped: brimlo.exe talks to '${BRIMLO_SERVER:-}', not to a loopback test server"
  exit 77
fi
port=${BASH_REMATCH[1]}
server=http://127.0.0.1:$port
fake_updater=${BRIMLO_FAKE_UPDATER:-$BRIMLO_TOOL}
[ -f "$fake_updater" ] || fail "no stand-in updater at $fake_updater (build brimlo_tool)"

pos='Software\Brimlo\Form1\Pos'
caption='^Brimlo( |$)'

# The program runs from a folder of its own: the updater is downloaded next to it.
app=$BRIMLO_WORK/app
site=$BRIMLO_WORK/site
mkdir -p "$app" "$site/BrimloSite"
cp "$BRIMLO_EXE" "$app/Brimlo.exe"
cp "$fake_updater" "$site/Update.exe"
report=$app/updater-run.txt

windows_path() { printf 'Z:%s' "${1//\//\\}"; }
app_windows=$(windows_path "$app")

# --- The loopback server ----------------------------------------------------------------------
server_pid=''
server_log=$BRIMLO_WORK/server.log

start_server() {
  python3 -m http.server --bind 127.0.0.1 --directory "$site" "$port" \
    </dev/null >>"$server_log" 2>&1 &
  server_pid=$!
  # lib.sh ends it with the programs should the script stop early.
  BRIMLO_STARTED+=("$server_pid")
  local i
  for ((i = 0; i < 100; i++)); do
    python3 -c "import urllib.request as u; u.urlopen('$server/', timeout=2)" 2>/dev/null &&
      return 0
    kill -0 "$server_pid" 2>/dev/null || fail "the test server did not start on port $port: $(tail -n 3 "$server_log")"
    sleep 0.1
  done
  fail "the test server does not answer on port $port"
}

stop_server() {
  [ -n "$server_pid" ] || return 0
  kill -TERM "$server_pid" 2>/dev/null || true
  wait "$server_pid" 2>/dev/null || true
  server_pid=''
}
updater_requests() { grep -c '"GET /Update.exe ' "$server_log" || true; }

# --- Steps --------------------------------------------------------------------------------------

# click_update: starts brimlo.exe and clicks its "Update" link the way the user does.
click_update() {
  # Started from another working directory than the program's own.
  brimlo_start_exe "$BRIMLO_WORK" "$app/Brimlo.exe"
  local window title info
  window=$(brimlo_find_window "$caption" 30) || fail "no window with a caption starting 'Brimlo'"
  title=$(brimlo_window_name "$window")
  info=$(brimlo_wininfo "$title")
  local client link
  client=$(awk -F'\t' '$1 == "client" { print $2, $3 }' <<<"$info")
  link=$(awk -F'\t' '$1 == "child" && $4 == "Update" && $5 == 1 { print $6, $7, $8, $9; exit }' <<<"$info")
  [ -n "$link" ] || fail "no visible 'Update' link in '$title'"
  local cx cy lx ly lw lh
  read -r cx cy <<<"$client"
  read -r lx ly lw lh <<<"$link"
  timeout 10 xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
  # From elsewhere: a move onto where the pointer already is would never report its end.
  timeout 10 xdotool mousemove 0 0
  timeout 10 xdotool mousemove --sync $((cx + lx + lw / 2)) $((cy + ly + lh / 2)) click 1 ||
    fail "the pointer did not reach the 'Update' link"
}

# wait_for_report: the stand-in updater's report, once it has written it.
wait_for_report() {
  local i
  for ((i = 0; i < 300; i++)); do
    if [ -f "$report" ]; then
      tr -d '\r' <"$report"
      return 0
    fi
    sleep 0.05
  done
  return 1
}

expect_updater_started() {
  brimlo_wait_exit 20 || fail "brimlo.exe still runs 20 s after the click on Update"
  expect_eq "$BRIMLO_STATUS" 1 "exit status after starting the updater (nothing was saved)"
  local lines
  lines=$(wait_for_report) || fail "the updater was not started"
  # Nothing quoted, no blank after a marker: the updater splits the line at the markers.
  expect_eq "$(sed -n 1p <<<"$lines")" \
    "$app_windows\\Update.exe [URL]$server/BrimloSite/Brimlo.exe [PATH]$app_windows\\Brimlo.exe" \
    "the updater's command line"
  expect_eq "$(sed -n 2p <<<"$lines")" "$app_windows" "the updater's current directory"
  cmp -s "$app/Update.exe" "$fake_updater" || fail "Update.exe next to the program is not the served updater"
  # The updater takes over at once: the window's place is not stored on this way out.
  if brimlo_setting "$pos" Left >/dev/null 2>&1; then
    fail "the window position was stored although the program ended for the update"
  fi
}

brimlo_delete_settings "$pos"
brimlo_clip unicode "Brimlo update test"
start_server

# --- No updater yet: it is downloaded, started, and the program ends ---------------------------
note "updater missing"
click_update
expect_updater_started
expect_eq "$(updater_requests)" 1 "downloads of Update.exe"

# --- Updater present: it is started as it is, nothing is downloaded ----------------------------
note "updater present"
rm -f "$report"
click_update
expect_updater_started
expect_eq "$(updater_requests)" 1 "downloads of Update.exe (none more)"

# serve_broken_off: a server that announces the updater but breaks the connection off half-way.
serve_broken_off() {
  python3 - "$port" <<'EOF' </dev/null >>"$server_log" 2>&1 &
import http.server, sys
class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        self.send_response(200)
        self.send_header('Content-Length', '100000')
        self.end_headers()
        self.wfile.write(b'MZ' + b'x' * 1998)
        self.close_connection = True
http.server.HTTPServer(('127.0.0.1', int(sys.argv[1])), Handler).serve_forever()
EOF
  server_pid=$!
  BRIMLO_STARTED+=("$server_pid")
  sleep 1
}

# --- The download fails: the server has no updater (its error page is no program), breaks off
# half-way, or is not there. The user is told, nothing of the download stays (an Update.exe made
# of half a download or an error page would be started for ever after), the window stays -------
for why in 'no updater on the server' 'broken off' 'no server'; do
  note "$why"
  rm -f "$report" "$app/Update.exe" "$site/Update.exe"
  [ "$why" = 'no updater on the server' ] || stop_server
  [ "$why" = 'broken off' ] && serve_broken_off
  click_update
  text=$(brimlo_answer_box Brimlo ok 20000 | tr -d '\r') || fail "$why: no message box after the failed download"
  failed='Download Fehlgeschlagen / Download failed'
  # Wine's download takes an error page for a success: that updater then does not start.
  [ "$why" = 'no updater on the server' ] && [[ $text == *'could not be started' ]] &&
    failed='Das Update konnte nicht gestartet werden / The updater could not be started'
  expect_eq "$text" "$app_windows\\Update.exe

$failed" "$why: the message after the failed download"
  window=$(brimlo_find_window "$caption" 5) || fail "$why: the window is gone after the failed download"
  expect_eq "$(ls "$app")" Brimlo.exe "$why: the program's directory after the failed download"
  brimlo_key "$window" Escape
  brimlo_wait_exit 15 || fail "$why: brimlo.exe does not end on Esc after the failed download"
  expect_eq "$BRIMLO_STATUS" 1 "$why: exit status after Esc"
done

note "passed"
