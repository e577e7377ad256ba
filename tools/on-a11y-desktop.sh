#!/usr/bin/env bash
# Runs a command on a desktop that a screen reader watches: a private session
# bus with the accessibility bus (AT-SPI) running on it, and a private virtual
# display (tools/on-xvfb.sh). Qt's bridge to the accessibility bus is switched
# on as a screen reader switches it on, so the command's windows serve their
# accessibility tree on that bus and send their events there.
#
#   tools/on-a11y-desktop.sh COMMAND [ARGUMENTS...]
#
# The session bus, and with it the accessibility bus and its registry, ends
# with the command.
set -euo pipefail

if [ $# -eq 0 ]; then
    echo "usage: $0 COMMAND [ARGUMENTS...]" >&2
    exit 2
fi

if [ -z "${QUILL_A11Y_BUS:-}" ]; then
    export QUILL_A11Y_BUS=1
    # The bus daemons' own chatter (services started, limits) is left out.
    exec dbus-run-session -- "$0" "$@" 2> >(grep -v -e '^dbus-daemon\[' -e '^SpiRegistry daemon' >&2)
fi

# Started on demand: asking for its address starts the accessibility bus.
if ! dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null; then
    echo "$0: the accessibility bus (at-spi2-core) did not start" >&2
    exit 1
fi
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export QT_QPA_PLATFORM=xcb
exec bash "$(dirname "$0")/on-xvfb.sh" "$@"
