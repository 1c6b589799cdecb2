#!/usr/bin/env bash
# The installation: `cmake --install` into a staging folder puts every file in its standard
# place, the desktop entry and the software centre description validate, the library file type
# resolves for library files (by name and by contents) once the MIME database is updated, the
# installed program starts with a library of its own in
# the user's data folder (never beside /usr/bin) and closes by its keyboard mnemonic, and
# `cpack -G DEB` packages the same files.
#   install_test.sh BUILD_DIR SOURCE_DIR WORKDIR MIME_QUERY
set -euo pipefail
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ]; then
  # A desktop has a session bus; without one the program waits seconds for one to be started.
  exec dbus-run-session -- "$0" "$@"
fi
build=$(cd "$1" && pwd) source_dir=$(cd "$2" && pwd) work=$3 mime_query=$4
here="$(cd "$(dirname "$0")" && pwd)"
rm -rf "$work" && mkdir -p "$work"
work=$(cd "$work" && pwd)
root="$work/root"

fail() { echo "FAILED: $*" >&2; exit 1; }
for tool in xdotool Xvfb desktop-file-validate dpkg-deb appstreamcli update-mime-database; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/bootstrap.sh installs it)"
done

echo "-- cmake --install into $root"
DESTDIR="$root" cmake --install "$build" --prefix /usr >"$work/install.log" || { cat "$work/install.log"; fail "cmake --install"; }
expected_files="usr/bin/fmtool
usr/bin/varrow
usr/share/applications/varrow.desktop
usr/share/icons/hicolor/scalable/apps/varrow.svg
usr/share/metainfo/org.varrow.Varrow.metainfo.xml
usr/share/mime/packages/varrow-library.xml
usr/share/varrow/OrlaFuelModels.FFM"
installed=$(cd "$root" && find . -type f | sed 's|^\./||' | sort)
[ "$installed" = "$expected_files" ] || fail "installed files:
$installed
expected:
$expected_files"
for exe in usr/bin/varrow usr/bin/fmtool; do
  [ -x "$root/$exe" ] || fail "$exe is not executable"
done
cmp "$root/usr/share/varrow/OrlaFuelModels.FFM" "$source_dir/src/library/OrlaFuelModels.FFM" ||
  fail "the installed default library differs from the shipped one"
[ "$("$root/usr/bin/fmtool" table "$root/usr/share/varrow/OrlaFuelModels.FFM" | wc -l)" = 54 ] ||
  fail "the installed fmtool does not read the 53 models of the installed default library"

desktop="$root/usr/share/applications/varrow.desktop"
desktop-file-validate "$desktop" || fail "the desktop entry does not validate"
grep -qx 'Exec=varrow' "$desktop" || fail "the desktop entry does not start varrow"
grep -qx 'Icon=varrow' "$desktop" || fail "the desktop entry does not name the varrow icon"

echo "-- the library file type and the software centre description"
library_type=application/x-varrow-library
grep -qx "MimeType=$library_type;" "$desktop" || fail "the desktop entry does not open the library file type"
metainfo="$root/usr/share/metainfo/org.varrow.Varrow.metainfo.xml"
appstreamcli validate --no-net "$metainfo" || fail "the AppStream description does not validate"
# What software centres match it with: the desktop entry installed beside it, the file type it
# opens, and a release for the version being installed.
launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
[ -f "$root/usr/share/applications/$launchable" ] || fail "the AppStream description launches '$launchable', which is not installed"
grep -q "<mediatype>$library_type</mediatype>" "$metainfo" || fail "the AppStream description does not name the library file type"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")
grep -q "<release version=\"$version\"" "$metainfo" || fail "the AppStream description has no release $version"
# The MIME database of a desktop (the system's types and ours), as a package's trigger makes it.
xdg="$work/xdg"
mkdir -p "$xdg/mime/packages"
cp "$root"/usr/share/mime/packages/*.xml "$xdg/mime/packages/"
update-mime-database "$xdg/mime" 2>/dev/null || fail "update-mime-database refuses the library file type"
mkdir -p "$work/files"
cp "$source_dir/src/library/OrlaFuelModels.FFM" "$work/files/colleague.FFM"
cp "$source_dir/src/library/OrlaFuelModels.FFM" "$work/files/renamed"
printf '"[FuelModelSet:Grass,Count:0]"\r\n"[End]"\r\n' >"$work/files/small.ffm"
printf 'Notes on the season\n' >"$work/files/notes.txt"
types=$(cd "$work/files" && XDG_DATA_DIRS="$xdg:/usr/share" "$mime_query" colleague.FFM renamed small.ffm notes.txt)
expected_types="$library_type $library_type text
application/octet-stream $library_type text
$library_type $library_type text
text/plain text/plain text"
[ "$types" = "$expected_types" ] || fail "file types (by name, by contents, a kind of text) of colleague.FFM, renamed, small.ffm, notes.txt:
$types
expected:
$expected_types"

echo "-- starting the installed program from its desktop entry"
source "$here/display.sh"
start_display "$work"
home="$work/home"
mkdir -p "$home"
export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
  XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
# As a desktop menu does: the entry's command, found on the PATH of the installation.
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
PATH="$root/usr/bin:$PATH" $exec_line >"$work/program.log" 2>&1 &
program=$!
add_cleanup_pid "$program"
window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Manage Orla Fuel Models, Version - ' | head -n 1) ||
  fail "the installed program's window did not appear; its output: $(cat "$work/program.log")"
library="$XDG_DATA_HOME/Varrow/OrlaFuelModels.FFM"
[ -f "$library" ] || fail "no library in the user's data folder ($library)"
cmp "$library" "$root/usr/share/varrow/OrlaFuelModels.FFM" || fail "the user's library is not the shipped one"
[ ! -e "$root/usr/bin/OrlaFuelModels.FFM" ] || fail "the installed program wrote its library beside itself"

xdotool windowfocus --sync "$window"
xdotool key --delay 50 alt+o
for _ in $(seq 100); do
  kill -0 "$program" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$program" 2>/dev/null && fail "Alt+O (Close) did not end the installed program"
wait "$program" || fail "the installed program ended with status $?"
cmp "$library" "$root/usr/share/varrow/OrlaFuelModels.FFM" || fail "closing changed the unchanged library"

echo "-- cpack -G DEB"
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log"; fail "cpack -G DEB"; }
deb=$(ls "$work"/package/varrow_*.deb) || fail "cpack made no .deb"
packaged=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||' | sort)
[ "$packaged" = "$expected_files" ] || fail "the package holds:
$packaged"
depends=$(dpkg-deb -f "$deb" Depends)
case "$depends" in
  *libqt6widgets6*) ;;
  *) fail "the package does not depend on the Qt widgets library: $depends" ;;
esac
echo "-- the installation passed"
