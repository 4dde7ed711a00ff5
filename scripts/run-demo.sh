#!/usr/bin/env bash
# Opens the console on the demo program folder (demo/, theme "Default") with a private settings
# store under build/ (or $KESTA_BUILD_DIR), so that no real settings are touched. With a display
# the console opens there and this script waits for it to end (QUIT, or the exit request printed).
# Without one it runs on a virtual display, saves a screenshot to build/demo.png and ends it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${KESTA_BUILD_DIR:-$root/build}
bin=$build/bin
console=$bin/kesta-security
for tool in "$console" "$bin/kesta-store" "$bin/kesta-screen-grab"; do
    [ -x "$tool" ] || { echo "build first (make build): $tool is missing" >&2; exit 1; }
done

export XDG_CONFIG_HOME=$build/demo-config
# A runtime folder of its own keeps the demo from meeting a console the user already runs; the
# user's sound server is still the one it plays through.
if [ -z "${PULSE_SERVER:-}" ] && [ -S "${XDG_RUNTIME_DIR:-/nonexistent}/pulse/native" ]; then
    export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native
fi
export XDG_RUNTIME_DIR=$build/demo-runtime
mkdir -p "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

store_set() { "$bin/kesta-store" set "$@"; }
store_set Default ProgramDir "$root/demo"
store_set Default ThemeDir '\Themes\Default\'
store_set General Running False

request_exit() { "$bin/kesta-store" request-exit; }

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    echo "console open; end it with: XDG_CONFIG_HOME=$XDG_CONFIG_HOME $bin/kesta-store request-exit"
    exec "$console"
fi

command -v Xvfb >/dev/null || { echo "no display and no Xvfb (make deps installs it)" >&2; exit 1; }
display=:$(( 90 + RANDOM % 400 ))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
console_pid=
cleanup() {
    [ -n "$console_pid" ] && kill "$console_pid" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=$display QT_QPA_PLATFORM=xcb
for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.1
done

"$console" &
console_pid=$!
# Laid out well within this: the demo theme builds in a fraction of a second.
sleep "${KESTA_DEMO_SETTLE:-4}"
if ! kill -0 "$console_pid" 2>/dev/null; then
    wait "$console_pid" || true
    console_pid=
    echo "the console ended before its screenshot" >&2
    exit 1
fi
"$bin/kesta-screen-grab" "$build/demo.png"
echo "screenshot: $build/demo.png"

request_exit
for _ in $(seq 40); do
    kill -0 "$console_pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$console_pid" 2>/dev/null; then
    echo "the console did not end on the exit request" >&2
    exit 1
fi
wait "$console_pid" || true
console_pid=
