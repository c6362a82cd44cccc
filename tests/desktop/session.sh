# Sourced by the desktop suite: an X server with a window manager, the program under it, and
# ways to drive it with real input and to read what the X server shows.
# shellcheck shell=bash

work=$(mktemp -d)
xvfb_pid= wm_pid= app_pid= drag_pid=
shots=${VX_DESKTOP_SHOTS:-$PWD/desktop-failures}

stop_session() {
  # A drag source may be stopped, deaf to anything but KILL.
  [ -n "$drag_pid" ] && kill -KILL "$drag_pid" 2>/dev/null || true
  for p in "$app_pid" "$wm_pid" "$xvfb_pid"; do
    [ -n "$p" ] && kill "$p" 2>/dev/null || true
  done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap stop_session EXIT

# fail MESSAGE: a screenshot of the whole screen goes to $shots/<test>.png.
fail() {
  echo "FAIL: $*" >&2
  mkdir -p "$shots"
  import -display "$DISPLAY" -window root "$shots/${test_name:-desktop}.png" 2>/dev/null &&
    echo "  screenshot: $shots/${test_name:-desktop}.png" >&2
  [ -f "$work/log" ] && sed 's/^/  program: /' "$work/log" >&2
  echo "  windows:" >&2
  list_windows | sed 's/^/    /' >&2
  exit 1
}

# start_x WIDTH HEIGHT [WM]: an X server with a free display number and a window manager on it.
# A fresh machine's first start can stall (cold disk, font caches being built): each attempt
# gets 20 s, and a stalled X server and window manager are replaced, up to three times.
start_x() {
  local attempt
  for attempt in 1 2 3; do
    try_start_x "$@" && return
    echo "attempt $attempt: the X server or the window manager did not start" >&2
    sed 's/^/  xvfb: /' "$work/xvfb.log" >&2 2>/dev/null || true
    sed 's/^/  wm: /' "$work/wm.log" >&2 2>/dev/null || true
    for p in "$wm_pid" "$xvfb_pid"; do
      [ -n "$p" ] && kill "$p" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    wm_pid='' xvfb_pid=''
  done
  echo "the window manager did not start" >&2
  exit 1
}

try_start_x() {
  local width=$1 height=$2 wm=${3:-openbox}
  local fifo=$work/display
  rm -f "$fifo" "$work/wm.log"
  mkfifo "$fifo"
  Xvfb -displayfd 6 -screen 0 "${width}x${height}x24" -nolisten tcp 6>"$fifo" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  local number
  read -r -t 20 number <"$fifo" || return 1
  export DISPLAY=:$number
  case $wm in
  openbox) openbox --sm-disable >"$work/wm.log" 2>&1 & ;;
  none) return 0 ;;
  esac
  wm_pid=$!
  for _ in $(seq 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
    kill -0 "$wm_pid" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# A catalogue of its own, in the per-user data folder of a fresh home.
export HOME=$work/home XDG_DATA_HOME=$work/home/.local/share XDG_RUNTIME_DIR=$work/runtime
unset XDG_CONFIG_HOME QT_QPA_PLATFORM
mkdir -p "$HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"
catalogue=$XDG_DATA_HOME/Vexloutil

# seed_catalogue: a catalogue past its first run, with an empty index.
seed_catalogue() {
  mkdir -p "$catalogue/bin"
  printf '[info]\r\nruns=1\r\n[dir]\r\nmade=bin\r\n[file]\r\nmade=boolist.lst\r\n[export]\r\npath=%s\r\n' \
    "${1:-}" >"$catalogue/vx.log"
  printf '\r\n' >"$catalogue/bin/bootlist.lst"
}

# start_app: the program, waiting until its hub shows (up to 60 s: a fresh machine's first start
# may build font caches).
start_app() {
  "$VX_EXE" >"$work/log" 2>&1 &
  app_pid=$!
  local shows=0
  for _ in $(seq 600); do
    hub=$(window_of main)
    [ -n "$hub" ] && viewable "$hub" && { shows=1; break; }
    kill -0 "$app_pid" 2>/dev/null || fail "the program ended"
    sleep 0.1
  done
  [ "$shows" = 1 ] || fail "the hub did not show within 60 s"
  wait_until "the hub did not get the keyboard when it first showed" is_active main
  settle
}

# The program's top-level X windows, by the names the program gives them (WM_WINDOW_ROLE).
window_of() {
  local id
  for id in $(xdotool search --pid "$app_pid" 2>/dev/null); do
    if xprop -id "$id" WM_WINDOW_ROLE 2>/dev/null | grep -q "= \"$1\"$"; then
      echo "$id"
      return
    fi
  done
}

viewable() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

# geometry ID: sets X Y W H (the window's own area, in root coordinates).
geometry() {
  local info
  info=$(xwininfo -id "$1") || fail "no window $1"
  X=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$info")
  Y=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$info")
  W=$(awk '/Width:/ {print $NF}' <<<"$info")
  H=$(awk '/Height:/ {print $NF}' <<<"$info")
}

active_window() { xdotool getactivewindow 2>/dev/null || true; }

# The top-level client windows of the program that are on screen, bottom to top.
stacking() {
  local id
  for id in $(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g'); do
    xprop -id "$id" _NET_WM_PID 2>/dev/null | grep -q "= $app_pid$" || continue
    viewable "$id" && echo "$(printf '0x%x' "$id")"
  done
}

role_of() { xprop -id "$1" WM_WINDOW_ROLE 2>/dev/null | sed -n 's/.*= "\(.*\)"$/\1/p'; }

list_windows() {
  local id
  for id in $(xdotool search --pid "$app_pid" 2>/dev/null); do
    local role
    role=$(role_of "$id")
    [ -n "$role" ] || continue
    geometry "$id" 2>/dev/null
    echo "$role $(viewable "$id" && echo shown || echo hidden) ${X},${Y} ${W}x${H}"
  done
}

# Lets the program and the window manager catch up with what was sent.
settle() { sleep "${1:-0.3}"; }

# wait_until WHAT COMMAND...: polls the command for up to 10 s (a busy machine is slow to
# answer); fails saying WHAT did not happen.
wait_until() {
  local what=$1
  shift
  for _ in $(seq 100); do
    "$@" && return
    sleep 0.1
  done
  fail "$what"
}

shown() { local id; id=$(window_of "$1"); [ -n "$id" ] && viewable "$id"; }
gone() { ! shown "$1"; }
is_active() { local a; a=$(active_window); [ -n "$a" ] && [ "$(role_of "$a")" = "$1" ]; }

key() { xdotool key --delay 60 "$@"; settle; }
type_text() { xdotool type --delay 20 "$1"; settle 0.2; }

# click ID LEFT TOP: a click at a point of a window given in twips (15 a pixel).
click() {
  geometry "$1"
  xdotool mousemove $((X + $2 / 15)) $((Y + $3 / 15))
  sleep 0.1
  xdotool click 1
  settle
}

expect_active() {
  local want=$1 got
  got=$(active_window)
  [ -n "$got" ] && [ "$(role_of "$got")" = "$want" ] || fail "${2:-} the active window is '$(role_of "$got")', not $want"
}

# The window of role $1 is on screen and above every other window of the program.
expect_on_top() {
  local top
  top=$(stacking | tail -1)
  [ "$(role_of "$top")" = "$1" ] || fail "${2:-} the top window is '$(role_of "$top")', not $1"
}

index_lines() { tr -d '\r' <"$catalogue/bin/bootlist.lst"; }
