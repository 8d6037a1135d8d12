#!/usr/bin/env bash
# Runs a command on a real window system of its own: a private X server with a window manager
# (xcb), or a private headless wlroots compositor with a seat (wayland). Every test gets its own
# server, so tests that run in parallel never take focus or a screen from each other.
#
#   tests/session.sh xcb|wayland [--scale S] [--atspi] -- command [args...]
#
# --atspi also starts a private D-Bus session bus and the AT-SPI accessibility bus on it, with
# accessibility switched on as a screen reader switches it on, so the command's widgets reach
# assistive technology the way they do on a desktop.
#
# The command sees QT_QPA_PLATFORM and DISPLAY or WAYLAND_DISPLAY set for that server, and
# RYQT_SESSION naming it. Its exit status is the script's. sway refuses to run as root: as root
# the compositor runs as the unprivileged user RYQT_DISPLAY_USER (default ryqt-display), which
# scripts/deps.sh creates.
set -euo pipefail

platform=${1:?usage: session.sh xcb|wayland [--scale S] -- command}
shift
scale=1
atspi=0
while [ $# -gt 0 ]; do
  case "$1" in
    --scale) scale=$2; shift 2 ;;
    --atspi) atspi=1; shift ;;
    --) shift; break ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || { echo "session.sh: no command" >&2; exit 2; }

size=$(awk -v s="$scale" 'BEGIN { printf "%dx%d", 1280 * s, 1024 * s }')  # 1280 x 1024 logical
work=$(mktemp -d "${TMPDIR:-/tmp}/ryqt-session.XXXXXX")
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# Waits up to 20 s for a condition; fails with a message naming what never came.
await() {
  local what=$1; shift
  for _ in $(seq 200); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "session.sh: $what did not start; its log:" >&2
  cat "$work"/*.log >&2 2>/dev/null || true
  exit 1
}

case "$platform" in
xcb)
  # The X server picks a free display number and writes it to the descriptor it is given.
  exec 3>"$work/display"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  exec 3>&-
  await "Xvfb" test -s "$work/display"
  export DISPLAY=":$(head -n1 "$work/display")"
  unset WAYLAND_DISPLAY
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  pids+=($!)
  # A window manager announces itself on the root window once it manages windows.
  await "openbox" sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
  export QT_QPA_PLATFORM=xcb
  # Scaling on X11 is Qt's own; the server has one resolution.
  if [ "$scale" != 1 ]; then export QT_SCALE_FACTOR=$scale QT_ENABLE_HIGHDPI_SCALING=1; fi
  ;;
wayland)
  runtime="$work/compositor"
  mkdir -m 700 "$runtime"
  run_as=()
  if [ "$(id -u)" -eq 0 ]; then
    user=${RYQT_DISPLAY_USER:-ryqt-display}
    id "$user" >/dev/null 2>&1 || { echo "session.sh: no user $user to run the compositor as (scripts/deps.sh makes it)" >&2; exit 2; }
    chown "$user" "$runtime"
    chmod 711 "$work"
    run_as=(runuser -u "$user" --)
  fi
  # Every window floats at the size its client asks for, as on a stacking desktop; the
  # compositor scales the output itself, as a user's scale setting does.
  cat >"$work/sway.conf" <<EOF
output HEADLESS-1 resolution $size position 0 0 scale $scale
output HEADLESS-1 bg #202020 solid_color
default_border none
default_floating_border none
for_window [app_id=".*"] floating enable
for_window [title=".*"] floating enable
focus_on_window_activation focus
EOF
  chmod 644 "$work/sway.conf"
  "${run_as[@]}" env -i PATH="$PATH" HOME="$runtime" XDG_RUNTIME_DIR="$runtime" \
    WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 WLR_HEADLESS_OUTPUTS=1 \
    sway --config "$work/sway.conf" >"$work/sway.log" 2>&1 &
  pids+=($!)
  await "sway" sh -c "ls '$runtime' | grep -qx 'wayland-[0-9]*'"
  socket=$(ls "$runtime" | grep -x 'wayland-[0-9]*' | head -n1)
  # The client keeps a runtime directory of its own and reaches the compositor by full path.
  mkdir -m 700 "$work/client"
  export XDG_RUNTIME_DIR="$work/client" WAYLAND_DISPLAY="$runtime/$socket"
  unset DISPLAY
  export QT_QPA_PLATFORM=wayland
  # A headless seat has no keyboard, so no window would ever get the keyboard focus and become
  # active. A virtual keyboard (wtype, idle for a day) gives the seat one, as a desktop has.
  wtype -s 86400000 >"$work/wtype.log" 2>&1 &
  pids+=($!)
  await "the virtual keyboard" sh -c 'wayland-info | grep -q "capabilities: keyboard"'
  ;;
*)
  echo "session.sh: unknown platform $platform" >&2; exit 2 ;;
esac

if [ "$atspi" -eq 1 ]; then
  # The session bus, then the accessibility bus launcher on it; setting IsEnabled is what a
  # screen reader does at start, and what makes Qt's bridge connect.
  bus=$(dbus-daemon --session --fork --nopidfile --print-address=1 --print-pid=1)
  export DBUS_SESSION_BUS_ADDRESS=$(echo "$bus" | head -n1)
  pids+=("$(echo "$bus" | sed -n 2p)")
  /usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/atspi.log" 2>&1 &
  pids+=($!)
  await "the accessibility bus" dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.freedesktop.DBus.Properties.Set \
    string:org.a11y.Status string:IsEnabled variant:boolean:true >/dev/null
fi

export RYQT_SESSION=$platform
unset QT_SCALE_FACTOR_ROUNDING_POLICY
"$@" &
child=$!
pids+=("$child")
set +e
wait "$child"
status=$?
set -e
exit "$status"
