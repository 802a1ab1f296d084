#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that every file lands
# where it should, that the installed tool runs from there, and that the
# desktop entry and the metadata pass their validators (where installed).
# usage: check_install.sh BUILD_DIR
set -euo pipefail
build="$1"
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
prefix="$root/prefix"

cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(
    bin/moonbite
    bin/moonbite-cli
    bin/moonbite-tray
    etc/xdg/autostart/moonbite-tray.desktop
    share/applications/app.moonbite.Moonbite.desktop
    share/metainfo/app.moonbite.Moonbite.metainfo.xml
    share/man/man1/moonbite-cli.1
    share/moonbite/places.tsv.gz
    share/doc/moonbite/copyright
    share/icons/hicolor/scalable/apps/moonbite.svg
)
for size in 16 22 24 32 48 64 128 256; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/moonbite.png")
done
for f in "${expected[@]}"; do
    [ -f "$prefix/$f" ] || { echo "missing after install: $f"; exit 1; }
done
[ -x "$prefix/bin/moonbite" ] && [ -x "$prefix/bin/moonbite-cli" ] && [ -x "$prefix/bin/moonbite-tray" ] || { echo "programs not executable"; exit 1; }

# The installed tool runs on its own, away from the build folder.
out="$(cd "$root" && env -i HOME="$root" PATH=/usr/bin:/bin "$prefix/bin/moonbite-cli" day \
        --lat 33:52S --lon 151:13E --tz 10 --date 2000-01-21 --json)"
grep -q '"moonrise": "07:13 PM"' <<<"$out" || { echo "installed moonbite-cli gave: $out"; exit 1; }

# The list of places is found beside the installed programs, wherever the prefix.
kw="$(cd "$root" && env -i HOME="$root" PATH=/usr/bin:/bin "$prefix/bin/moonbite-cli" day \
        --place "Key West" --date 2027-01-20 --json)"
grep -q '"sunrise": "07:13 AM"' <<<"$kw" ||
    { echo "installed moonbite-cli --place gave: $kw"; exit 1; }
grep -q "GeoNames (geonames.org), CC BY 4.0" "$prefix/share/doc/moonbite/copyright" ||
    { echo "the copyright file does not credit GeoNames"; exit 1; }

# The tool links no Qt library; the commands that need Qt find their module
# in the installed module folder.
if ldd "$prefix/bin/moonbite-cli" | grep -qi 'libQt'; then
    echo "installed moonbite-cli links Qt:"; ldd "$prefix/bin/moonbite-cli"; exit 1
fi
module="$(find "$prefix" -name moonbite-cli-qt.so)"
[ -n "$module" ] || { echo "missing after install: moonbite-cli-qt.so"; exit 1; }
(cd "$root" && env -i HOME="$root" PATH=/usr/bin:/bin "$prefix/bin/moonbite-cli" month \
    --lat 33:52S --lon 151:13E --tz 10 --year 2000 --month 1 --pdf "$root/page.pdf" >/dev/null)
[ "$(head -c 5 "$root/page.pdf")" = "%PDF-" ] || { echo "installed moonbite-cli wrote no PDF"; exit 1; }
mkdir "$root/journal"
jout="$(env -i HOME="$root" PATH=/usr/bin:/bin "$prefix/bin/moonbite-cli" journal --tz 10 \
        --folder "$root/journal" --json)"
grep -q '"entries"' <<<"$jout" || { echo "installed journal listing gave: $jout"; exit 1; }
tz="$(env -i HOME="$root" PATH=/usr/bin:/bin "$prefix/bin/moonbite-cli" day --lat 33:52S \
        --lon 151:13E --tz-name Australia/Sydney --date 2027-07-15 --json)"
grep -q '"utc_offset": 10' <<<"$tz" || { echo "installed moonbite-cli --tz-name gave: $tz"; exit 1; }
[ -n "$(find "$prefix" -name moonbite-cli-ics.so)" ] || { echo "missing after install: moonbite-cli-ics.so"; exit 1; }
ics="$(env -i HOME="$root" PATH=/usr/bin:/bin "$prefix/bin/moonbite-cli" ics --lat 33:52S \
        --lon 151:13E --tz 10 --from 2027-06-01 --days 2)"
grep -q "BEGIN:VCALENDAR" <<<"$ics" || { echo "installed moonbite-cli ics gave: $ics"; exit 1; }

# Without a display the installed program says so in one line.
msg="$(env -i HOME="$root" PATH=/usr/bin:/bin "$prefix/bin/moonbite" 2>&1 || true)"
[ "$(wc -l <<<"$msg")" -eq 1 ] && grep -q "no display" <<<"$msg" || { echo "moonbite said: $msg"; exit 1; }

# A display named but not there: still one line, status 1, never an abort.
status=0
msg="$(env -i HOME="$root" PATH=/usr/bin:/bin DISPLAY=:97 "$prefix/bin/moonbite" 2>&1)" || status=$?
[ "$status" -eq 1 ] && [ "$(wc -l <<<"$msg")" -eq 1 ] ||
    { echo "moonbite with DISPLAY=:97 gave status $status: $msg"; exit 1; }

# Each program answers --version in one line and --help, status 0, without a display.
for program in moonbite moonbite-cli moonbite-tray; do
    v="$(env -i HOME="$root" PATH=/usr/bin:/bin "$prefix/bin/$program" --version)" ||
        { echo "$program --version failed"; exit 1; }
    [ "$v" = "$program $(sed -n 's/.*Moonbite \([0-9.]*\)".*/\1/p' "$prefix/share/man/man1/moonbite-cli.1")" ] ||
        { echo "$program --version said: $v"; exit 1; }
    env -i HOME="$root" PATH=/usr/bin:/bin "$prefix/bin/$program" --help | grep -qi "usage\|options" ||
        { echo "$program --help said nothing useful"; exit 1; }
done

# The installed companion lists its options, and at a login without a saved
# location it leaves at once, quietly.
"$prefix/bin/moonbite-tray" --help | grep -q -- "--once" || { echo "moonbite-tray --help lacks --once"; exit 1; }
tray="$(cd "$root" && env -i HOME="$root" PATH=/usr/bin:/bin "$prefix/bin/moonbite-tray" 2>&1)" ||
    { echo "moonbite-tray failed: $tray"; exit 1; }
[ -z "$tray" ] || { echo "moonbite-tray without a location said: $tray"; exit 1; }

# The man page formats.
if command -v man >/dev/null; then
    man -l "$prefix/share/man/man1/moonbite-cli.1" 2>/dev/null | grep -q "EXIT STATUS" ||
        { echo "man page does not format"; exit 1; }
fi
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/app.moonbite.Moonbite.desktop"
    desktop-file-validate "$prefix/etc/xdg/autostart/moonbite-tray.desktop"
fi
# The metadata's id, its launchable and the desktop entry's name are one id.
launchable="$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' \
    "$prefix/share/metainfo/app.moonbite.Moonbite.metainfo.xml")"
[ "$launchable" = "app.moonbite.Moonbite.desktop" ] && [ -f "$prefix/share/applications/$launchable" ] ||
    { echo "the metadata launches \"$launchable\", which is not the installed desktop entry"; exit 1; }
grep -q "<project_license>GPL-3.0-or-later</project_license>" \
    "$prefix/share/metainfo/app.moonbite.Moonbite.metainfo.xml" || { echo "metadata licence"; exit 1; }
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$prefix/share/metainfo/app.moonbite.Moonbite.metainfo.xml" >/dev/null
fi
echo "install tree complete"
