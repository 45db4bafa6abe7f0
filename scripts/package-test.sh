#!/usr/bin/env bash
# Builds the Debian package from a finished build folder, checks it with
# lintian and the desktop's validators, unpacks it into a fresh root and runs
# the unpacked program there under a virtual display with a fresh home: the
# main window appears, a lesson voice and a ringing sound, and nothing is
# written under the prefix. Usage: package-test.sh [build folder]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$here/build}" && pwd)"

work="$(mktemp -d)"
xvfb_pid=
app_pid=
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "package test: $*" >&2; exit 1; }

# The package.
cmake --build "$build" --target campanix campanix-render campanix_data icongen_data campanix_package_files > /dev/null
(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" > "$work/cpack.log") ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
deb="$(ls "$work"/out/campanix_*.deb)"
echo "package: $(basename "$deb"), $(du -h "$deb" | cut -f1)"
dpkg-deb -f "$deb" Depends Recommends

# lintian: no errors; the warnings are listed.
lintian --fail-on error --allow-root --tag-display-limit 0 "$deb" | tee "$work/lintian.txt" ||
  fail "lintian reports errors"

# Unpacked into a fresh root, where the program must find its data through
# the relative layout bin/ -> share/campanix/.
root="$work/root"
dpkg-deb -x "$deb" "$root"
usr="$root/usr"
for f in bin/campanix bin/campanix-render share/campanix/Data/desc.kli share/applications/campanix.desktop \
         share/mime/packages/campanix-ringing.xml share/metainfo/campanix.metainfo.xml \
         share/icons/hicolor/scalable/apps/campanix.svg share/icons/hicolor/48x48/apps/campanix.png \
         share/man/man1/campanix.1.gz share/man/man1/campanix-render.1.gz share/doc/campanix/copyright; do
  [ -e "$usr/$f" ] || fail "the package lacks /usr/$f"
done
desktop-file-validate "$usr/share/applications/campanix.desktop" || fail "the desktop entry is not valid"
appstreamcli validate --no-net "$usr/share/metainfo/campanix.metainfo.xml" > /dev/null ||
  fail "the AppStream metadata is not valid"
# The MIME package compiles and claims *.ukl (in a copy: the root stays as unpacked).
mkdir -p "$work/mime/packages"
cp "$usr/share/mime/packages/campanix-ringing.xml" "$work/mime/packages/"
update-mime-database "$work/mime" > /dev/null 2>&1
grep -q 'application/x-campanix-ringing:\*\.ukl' "$work/mime/globs" || fail "the MIME package does not claim *.ukl"

# Everything under the prefix, with sizes and times, before the program runs.
snapshot() { (cd "$root" && find . -printf '%p %s %T@ %m\n' | sort); }
snapshot > "$work/before.txt"

home="$work/home"
mkdir -p "$home"
run_env=(env -i "PATH=/usr/bin:/bin" "HOME=$home" "LANG=C.UTF-8" "XDG_RUNTIME_DIR=$work")
"${run_env[@]}" "$usr/bin/campanix" --version | grep -q '^campanix ' || fail "campanix --version"
"${run_env[@]}" "$usr/bin/campanix-render" --version | grep -q '^campanix-render ' ||
  fail "campanix-render --version"

# A short ringing on every bell, as a user ringing file: bells, groups, name,
# then the encoded body (tempo 200 ms, big, middle and small bells in turn).
ringing="$work/package test.ukl"
printf '111111111111111\r\nbbbbbmmmmmsssss\r\nPackage\r\n%s\r\n' \
  '200_!1^%{1_[}1_{2_!2_[}2_{3_!1^%[}1^%{1_!3_[}3_{4_!4_[}4_{5_!5^%[}5_{1_!1_{2' > "$ringing"

# A virtual display of its own and the sound written to a file.
exec 5> "$work/display"
Xvfb -displayfd 5 -nolisten tcp -screen 0 1280x1024x24 > /dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
display=":$(head -n1 "$work/display")"
[ "$display" != ":" ] || fail "Xvfb did not start"
sound="$work/sound.raw"
app_env=("${run_env[@]}" "DISPLAY=$display" "SDL_AUDIODRIVER=disk" "SDL_DISKAUDIOFILE=$sound")

# Bytes of sound that are not silence, so far.
audible() { [ -f "$sound" ] && tr -d '\000' < "$sound" | wc -c || echo 0; }
wait_window() {
  timeout 60 bash -c "until DISPLAY=$display xdotool search --onlyvisible --name '^Campanix 1.2' 2>/dev/null | head -n1 | grep -q .; do sleep 0.5; done" ||
    fail "the main window did not appear"
  DISPLAY="$display" xdotool search --onlyvisible --name '^Campanix 1.2' | head -n1
}
stop_app() {
  kill -TERM "$app_pid"
  wait "$app_pid" || fail "the program did not end cleanly on SIGTERM"
  app_pid=
}

# First start: the window appears; a lesson opened from the menu speaks.
"${app_env[@]}" "$usr/bin/campanix" > "$work/app1.log" 2>&1 &
app_pid=$!
window="$(wait_window)"
sleep 2
before_voice="$(audible)"
# Alt, then Left to the last menu ("Справка"), down past "Помощь ..." and
# "Работа с программой ..." to "Урок 1" (a click could ring a bell instead).
DISPLAY="$display" xdotool windowfocus --sync "$window"
DISPLAY="$display" xdotool key --window "$window" --delay 300 alt Left Down Down Down Return
sleep 6
[ "$(audible)" -gt "$((before_voice + 10000))" ] || { cat "$work/app1.log"; fail "no lesson voice was heard"; }
stop_app

# Second start with the ringing file: it opens and plays.
rm -f "$sound"
"${app_env[@]}" "$usr/bin/campanix" "$ringing" > "$work/app2.log" 2>&1 &
app_pid=$!
wait_window > /dev/null
sleep 5
[ "$(audible)" -gt 10000 ] || { cat "$work/app2.log"; fail "the ringing was not heard"; }
stop_app

# What the program wrote is in the user's folders, nothing under the prefix.
snapshot > "$work/after.txt"
diff -u "$work/before.txt" "$work/after.txt" || fail "the program wrote under the prefix"
[ -f "$home/.config/campanix/campanix.ini" ] || fail "no settings in ~/.config/campanix"
[ ! -e "$home/.local/share/applications/campanix.desktop" ] || fail "an installed program wrote a per-user association"
echo "package test: passed"
