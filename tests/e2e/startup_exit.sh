#!/usr/bin/env bash
# brimlo.exe starts with its window, Esc ends it with status 1, and the window's place is kept
# for the next start: what the user sees on every single use of the program. The table's form:
# see lib.sh.

# shellcheck disable=SC1091
. "$(dirname "$0")/lib.sh"

pos='Software\Brimlo\Form1\Pos'
# What an earlier run stored must not pass for what this run stores.
no_place() { brimlo_delete_settings "$pos"; }
placed() { brimlo_set_setting "$pos" Top 1500 && brimlo_set_setting "$pos" Left 2000; }

# Pixels and twips differ by a factor of 15: a place stored in pixels lands far off.
run_cases <<'EOF2'
'first start' 'text:Brimlo start-up test' txt@Target setup=no_place shot=first-start rect window=txt stored
'second start where the settings say' 'text:Brimlo start-up test' txt@Target setup=placed shot=second-start rect=2000,1500 window=txt stored=2000,1500
EOF2
