#!/usr/bin/env bash
# xvfb-run-ready.sh <command> [arguments...]
#
# Runs a command against a private Xvfb server that is known to accept
# connections, then stops the server. Exits with the command's exit code, or 125
# when no server could be started.
#
# Xvfb picks a free display itself (-displayfd, guarded by its lock files, so
# parallel runs never share one) and writes the number only once it accepts
# connections: the command never meets a server that is still starting, or a
# server that is not its own, however busy the machine is. -noreset: by
# default the server resets when its last client leaves and drops whoever
# connects meanwhile, and SDL opens a probing connection and closes it just
# before its real one.
#
# XVFB_READY_TIMEOUT: seconds to wait for the server (default 60).
# XVFB_RESET=1: without -noreset, for a test of a display that resets
# whenever its last client leaves (this script never connects to it).
set -u

if [ $# -eq 0 ]; then
  echo "usage: xvfb-run-ready.sh <command> [arguments...]" >&2
  exit 2
fi

TIMEOUT=${XVFB_READY_TIMEOUT:-60}
WORK=$(mktemp -d "${TMPDIR:-/tmp}/xvfb-ready.XXXXXX") || exit 125
SERVER_PID=""
WATCHER_PID=""

stop_server() {
  if [ -n "$WATCHER_PID" ]; then
    kill "$WATCHER_PID" 2>/dev/null
    wait "$WATCHER_PID" 2>/dev/null
    WATCHER_PID=""
  fi
  if [ -n "$SERVER_PID" ]; then
    kill "$SERVER_PID" 2>/dev/null
    # Bounded: a server that ignores TERM for five seconds is killed.
    for _ in $(seq 50); do
      kill -0 "$SERVER_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL "$SERVER_PID" 2>/dev/null
    wait "$SERVER_PID" 2>/dev/null
    SERVER_PID=""
  fi
  rm -rf "$WORK"
}
trap stop_server EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

mkfifo "$WORK/displayfd" || exit 125
# Held open for reading and writing here, so neither side's open blocks.
exec 4<>"$WORK/displayfd"
NORESET=-noreset
[ "${XVFB_RESET:-0}" = 1 ] && NORESET=""
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp $NORESET 3>"$WORK/displayfd" 4<&- >"$WORK/xvfb.log" 2>&1 &
SERVER_PID=$!
# Should this script be killed outright (a test timeout), the server follows
# within a second instead of staying behind.
(
  trap - TERM
  while kill -0 $$ 2>/dev/null; do sleep 1; done
  kill "$SERVER_PID" 2>/dev/null
  rm -rf "$WORK"
) </dev/null >/dev/null 2>&1 4<&- &
WATCHER_PID=$!

# Waits a second at a time, so a server that died is noticed at once.
DISPLAY_NUMBER=""
for _ in $(seq "$TIMEOUT"); do
  read -r -t 1 -u 4 DISPLAY_NUMBER && break
  DISPLAY_NUMBER=""
  kill -0 "$SERVER_PID" 2>/dev/null || break
done
exec 4<&-
case "$DISPLAY_NUMBER" in
  '' | *[!0-9]*)
    echo "xvfb-run-ready: Xvfb did not report a display within $TIMEOUT s; its output:" >&2
    cat "$WORK/xvfb.log" >&2
    exit 125
    ;;
esac

DISPLAY=":$DISPLAY_NUMBER" "$@"
STATUS=$?
exit "$STATUS"
