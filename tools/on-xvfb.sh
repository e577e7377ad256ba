#!/usr/bin/env bash
# Runs a command on a private virtual X display: on-xvfb.sh COMMAND [ARGUMENTS...]
#
# The server picks a free display number itself (-displayfd), so commands
# started side by side never pick the same one, and this script returns only
# once its server has ended (xvfb-run leaves it ending in the background while
# the next test already looks for a free number). A server that fails to
# start, or ends before the command does, is reported with what it printed.
set -euo pipefail

if [ $# -eq 0 ]; then
    echo "usage: $0 COMMAND [ARGUMENTS...]" >&2
    exit 2
fi

scratch=$(mktemp -d -t on-xvfb.XXXXXX)
server=
end_server() {
    if [ -n "$server" ]; then
        kill "$server" 2>/dev/null || true
        wait "$server" 2>/dev/null || true
    fi
    rm -rf "$scratch"
}
trap end_server EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# One cookie: the server accepts it whatever display number it ends up on.
cookie=$(mcookie)
touch "$scratch/server" "$scratch/client"
xauth -q -f "$scratch/server" add :0 . "$cookie"

mkfifo "$scratch/display"
Xvfb -displayfd 3 -auth "$scratch/server" -nolisten tcp -screen 0 1280x1024x24 \
    3>"$scratch/display" 2>"$scratch/server.log" &
server=$!
number=
read -r number <"$scratch/display" || true
if [ -z "$number" ]; then
    echo "$0: the virtual display did not start:" >&2
    cat "$scratch/server.log" >&2
    exit 1
fi
xauth -q -f "$scratch/client" add ":$number" . "$cookie"

status=0
DISPLAY=":$number" XAUTHORITY="$scratch/client" "$@" || status=$?
if ! kill -0 "$server" 2>/dev/null; then
    echo "$0: the virtual display :$number ended before the command did:" >&2
    cat "$scratch/server.log" >&2
    [ "$status" -ne 0 ] || status=1
fi
exit "$status"
