#!/usr/bin/env bash
# Copying the files copied in Explorer into a directory the user types: Alt+C copies them all,
# an existing file is replaced only after "Yes" and kept after "No" (nothing more is asked then),
# and either way the copy ends with status 0. The table's form: see lib.sh.

# shellcheck disable=SC1091
. "$(dirname "$0")/lib.sh"

# Three files with contents of their own; the second name already exists in the target.
sources() {
  local dir=$BRIMLO_WORK/$1
  rm -rf "$dir"
  mkdir -p "$BRIMLO_WORK/source" "$dir"
  printf 'first file\r\n' >"$BRIMLO_WORK/source/alpha.txt"
  printf 'second \001\002\377 bytes' >"$BRIMLO_WORK/source/beta.dat"
  printf 'third file, %s\n' "$(seq 1 200 | tr '\n' ' ')" >"$BRIMLO_WORK/source/gamma.log"
  printf 'other bytes in the target' | tee "$BRIMLO_WORK/kept" >"$dir/beta.dat"
}
yes_target() { sources target-yes; }
no_target() { sources target-no; }

run_cases <<'EOF'
'overwrite accepted' files:source/alpha.txt,source/beta.dat,source/gamma.log copy@ setup=yes_target type=target-yes shot=list key=alt+c wait=Overwrite? shot=overwrite-question box=Overwrite?=yes says="File already exists!||$W\target-yes\beta.dat|" box='Allow all?=no' status=0 file=target-yes/alpha.txt same=source/alpha.txt file=target-yes/beta.dat same=source/beta.dat file=target-yes/gamma.log same=source/gamma.log list='target-yes=alpha.txt|beta.dat|gamma.log'
'overwrite declined' files:source/alpha.txt,source/beta.dat,source/gamma.log copy@ setup=no_target type=target-no shot=declined-target key=alt+c box=Overwrite?=no says="File already exists!||$W\target-no\beta.dat|" status=0 file=target-no/beta.dat same=kept file=target-no/alpha.txt same=source/alpha.txt file=target-no/gamma.log same=source/gamma.log list='target-no=alpha.txt|beta.dat|gamma.log'
EOF
