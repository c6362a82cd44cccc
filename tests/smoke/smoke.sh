#!/usr/bin/env bash
# Real-display smoke test: starts the real program under Xvfb in a fresh folder, lets the first
# run finish, finds the hub by its title, checks the files the first run made byte for byte and
# ends the program through the hub's end corner.
#
#   smoke.sh portable EXECUTABLE   a copy of the program in a fresh folder marked portable keeps
#                                  its catalogue there
#   smoke.sh installed BUILD_DIR   cmake --install into a fresh prefix: the catalogue goes to the
#                                  per-user data folder, even though the prefix can be written
#   smoke.sh prefix PREFIX         the same for a copy installed already, e.g. the Debian
#                                  package unpacked with dpkg -x (PREFIX is then ROOT/usr)
# Exit 77 (skipped) when Xvfb or xdotool is missing.
set -euo pipefail

mode=${1:?portable|installed|prefix}
target=${2:?executable or build folder}

for tool in xvfb-run xdotool cmp; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
if [ -z "${VX_SMOKE_INNER:-}" ]; then
  export VX_SMOKE_INNER=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; [ -f "$work/log" ] && sed 's/^/  program: /' "$work/log" >&2; exit 1; }

export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime
unset XDG_DATA_HOME XDG_CONFIG_HOME
mkdir -p "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"

case $mode in
portable)
  mkdir "$work/app"
  cp "$target" "$work/app/vexloutil"
  touch "$work/app/portable"
  exe=$work/app/vexloutil
  catalogue=$work/app
  ;;
installed | prefix)
  if [ "$mode" = installed ]; then
    prefix=$work/prefix
    cmake --install "$target" --prefix "$prefix" >/dev/null
  else
    prefix=$(cd "$target" && pwd)
  fi
  for f in bin/vexloutil share/applications/vexloutil.desktop \
    share/icons/hicolor/scalable/apps/vexloutil.svg share/icons/hicolor/48x48/apps/vexloutil.png \
    share/man/man1/vexloutil.1.gz; do
    [ -f "$prefix/$f" ] || fail "the install lacks $f"
  done
  exe=$prefix/bin/vexloutil
  catalogue=$HOME/.local/share/Vexloutil
  ;;
*) fail "unknown mode $mode" ;;
esac

(cd "$work" && exec "$exe") >"$work/log" 2>&1 &
pid=$!

# The first run narrates its steps for about 11 seconds, then shows the hub.
hub=
for _ in $(seq 600); do
  kill -0 "$pid" 2>/dev/null || fail "the program ended during the first run"
  hub=$(xdotool search --onlyvisible --name '^Vexloutil$' 2>/dev/null | head -1 || true)
  [ -n "$hub" ] && break
  sleep 0.1
done
[ -n "$hub" ] || fail "no window titled Vexloutil after 60 s"
echo "hub window: $hub"

printf '[info]\r\nruns=1\r\n[dir]\r\nmade=bin\r\n[file]\r\nmade=boolist.lst\r\n[export]\r\npath=\r\n' >"$work/settings"
printf '\r\n' >"$work/index"
cmp "$work/settings" "$catalogue/vx.log" || fail "vx.log differs from the first run's 76 bytes"
[ "$(stat -c %s "$catalogue/vx.log")" -eq 76 ] || fail "vx.log is not 76 bytes"
[ -d "$catalogue/bin" ] || fail "no bin folder"
cmp "$work/index" "$catalogue/bin/bootlist.lst" || fail "the index is not one empty line"
[ "$(ls -A "$catalogue/bin")" = bootlist.lst ] || fail "bin holds more than the index: $(ls -A "$catalogue/bin")"
if [ "$mode" != portable ]; then
  [ "$(ls -A "$prefix/bin")" = vexloutil ] || fail "the installed copy wrote beside itself: $(ls -A "$prefix/bin")"
else
  [ "$(ls -A "$catalogue" | tr '\n' ' ')" = "bin portable vexloutil vx.log " ] ||
    fail "unexpected files beside the program: $(ls -A "$catalogue")"
fi

# End the program as a user does: the hub's top-right corner (10320, 0, 255 x 375 twips).
eval "$(xdotool getwindowgeometry --shell "$hub")"
xdotool mousemove $((X + 10440 / 15)) $((Y + 180 / 15)) click 1
for _ in $(seq 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the end corner did not end the program"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "the program exited with status $status"
echo "smoke ($mode): ok"
