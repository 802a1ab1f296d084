#!/bin/sh
# Runs a test program on a private session bus of its own, so it never
# talks to the desktop's. Without dbus-run-session the program is run as it
# is and told why, so its bus tests skip with that reason.
if command -v dbus-run-session >/dev/null 2>&1; then
    exec dbus-run-session -- "$@"
fi
MOONBITE_NO_SESSION_BUS="dbus-run-session is not installed (Debian package dbus-daemon)" exec "$@"
