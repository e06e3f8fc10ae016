#!/usr/bin/env bash
# The everyday use: a screenshot on the clipboard, Brimlo started in the folder it belongs in,
# with the date and time options on. The window proposes "<time>_<date>_<folder>_Screenshot.JPG"
# in that folder, Alt+S writes the JPEG and the program ends at once with status 0, without
# storing where its window was. The table's form: see lib.sh.

# shellcheck disable=SC1091
. "$(dirname "$0")/lib.sh"

settings='Software\Brimlo\Settings'
pos='Software\Brimlo\Form1\Pos'
# The saved picture would otherwise open in a viewer.
date_and_time() {
  brimlo_set_setting "$settings" AddDateJPG 1 && brimlo_set_setting "$settings" AddTimeJPG 1 &&
    brimlo_set_setting "$settings" OpenFileJPG 0 && brimlo_delete_settings "$pos"
}

# The quadrants show a picture upside down, mirrored or with its colour channels swapped.
run_cases <<'EOF'
'picture saved with Alt+S' bitmap:640x480 jpg@Target setup=date_and_time shot=picture-mode key=alt+s status=0 stamped=Target_Screenshot.JPG jpeg=640x480 quadrants unset="$pos=Height" unset="$pos=Width" unset="$pos=Top" unset="$pos=Left"
EOF
