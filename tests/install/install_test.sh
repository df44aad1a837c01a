#!/usr/bin/env bash
# Installs the current build into a scratch DESTDIR with `cmake --install` and
# checks what lands there: the two programs and slmtool's drawing plugin in
# lib/<multiarch>/slmpanel (and nothing else: no libraries, headers, tests or
# benchmarks), that they run from there, the menu entry, the AppStream
# metadata, the icon in each size and the manual pages.
#
# usage: install_test.sh BUILD_DIR APP_ID
set -uo pipefail

build=$1
app_id=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! DESTDIR="$scratch" cmake --install "$build" --prefix /usr >"$scratch/install.log" 2>&1; then
  cat "$scratch/install.log"
  echo "FAIL: cmake --install"
  exit 1
fi
root=$scratch/usr
plugin_dir=$(sed -n 's/^SLM_PLUGIN_INSTALL_DIR:[A-Z]*=//p' "$build/CMakeCache.txt")

# Exactly what is meant to be installed.
expected=(
  bin/slmpanel
  bin/slmtool
  "$plugin_dir/libslmtool-draw.so"
  share/applications/slmpanel.desktop
  "share/metainfo/$app_id.metainfo.xml"
  share/icons/hicolor/scalable/apps/slmpanel.svg
  share/man/man1/slmpanel.1
  share/man/man1/slmtool.1
)
for n in 16 32 48 64 128 256; do
  expected+=("share/icons/hicolor/${n}x${n}/apps/slmpanel.png")
done
actual=$(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort)
wanted=$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)
if [ "$actual" != "$wanted" ]; then
  fail "installed files differ from the expected list:"
  diff <(echo "$wanted") <(echo "$actual") | sed 's/^/  /'
fi
if [ -n "$(find "$scratch" -mindepth 1 -maxdepth 1 ! -name usr ! -name install.log)" ]; then
  fail "files installed outside the prefix"
fi

# The programs run from where they were installed.
for p in slmpanel slmtool; do
  [ -x "$root/bin/$p" ] || fail "bin/$p is not an executable"
done
if ! out=$("$root/bin/slmtool" --help 2>&1) || ! grep -q 'usage: slmtool' <<<"$out"; then
  fail "installed slmtool --help: $out"
fi
# slmtool's meter commands need nothing else; drawing finds the plugin.
out=$("$root/bin/slmtool" memory 2>&1)
grep -q -- "--port is required" <<<"$out" || fail "installed slmtool memory: $out"
printf 'plain\r\n1\t2024/05/01 10:00:00\t65.3\t\r\n' >"$scratch/list.dlgr"
if ! out=$(env -u SLMTOOL_PLUGIN_PATH "$root/bin/slmtool" plot "$scratch/list.dlgr" \
  -o "$scratch/list.png" 2>&1) || [ ! -s "$scratch/list.png" ]; then
  fail "installed slmtool plot: $out"
fi
if ! out=$(QT_QPA_PLATFORM=offscreen "$root/bin/slmpanel" --help 2>&1) || ! grep -q -- '--demo' <<<"$out"; then
  fail "installed slmpanel --help: $out"
fi

# The menu entry: valid, and naming the installed program and icon.
desktop=$root/share/applications/slmpanel.desktop
if [ -f "$desktop" ]; then
  # It exits 0 on warnings and hints, so any output fails too.
  out=$(desktop-file-validate "$desktop" 2>&1)
  [ $? -eq 0 ] && [ -z "$out" ] || fail "desktop-file-validate: $out"
  exec_line=$(sed -n 's/^Exec=//p' "$desktop")
  [ -x "$root/bin/${exec_line%% *}" ] || fail "Exec=$exec_line is not an installed program"
  icon=$(sed -n 's/^Icon=//p' "$desktop")
  [ -f "$root/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "Icon=$icon is not installed"
fi

# The AppStream metadata: valid, named after its id, launching the menu entry.
metainfo=$root/share/metainfo/$app_id.metainfo.xml
if [ -f "$metainfo" ]; then
  out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || fail "appstreamcli validate: $out"
  grep -q "<id>$app_id</id>" "$metainfo" || fail "metainfo id is not $app_id"
  grep -q '<launchable type="desktop-id">slmpanel.desktop</launchable>' "$metainfo" ||
    fail "metainfo does not launch slmpanel.desktop"
fi

# The icons: PNGs of the size their folder names.
for n in 16 32 48 64 128 256; do
  png=$root/share/icons/hicolor/${n}x${n}/apps/slmpanel.png
  [ -f "$png" ] || continue
  magic=$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')
  [ "$magic" = 89504e470d0a1a0a ] || fail "$png is not a PNG"
  # The IHDR chunk: width and height, big-endian, from byte 16.
  w=$((16#$(od -An -tx1 -j16 -N4 "$png" | tr -d ' \n')))
  h=$((16#$(od -An -tx1 -j20 -N4 "$png" | tr -d ' \n')))
  [ "$w" = "$n" ] && [ "$h" = "$n" ] || fail "$png is ${w}x$h, not ${n}x$n"
done
svg=$root/share/icons/hicolor/scalable/apps/slmpanel.svg
[ -f "$svg" ] && ! grep -q '<svg' "$svg" && fail "$svg is not an SVG"

# The manual pages render without warnings and name their program.
for p in slmpanel slmtool; do
  page=$root/share/man/man1/$p.1
  [ -f "$page" ] || continue
  if ! text=$(LC_ALL=C.UTF-8 groff -man -Tutf8 -P-cbou -ww "$page" 2>"$scratch/groff.err"); then
    fail "groff failed on $p.1"
  fi
  [ -s "$scratch/groff.err" ] && fail "groff warns on $p.1: $(cat "$scratch/groff.err")"
  grep -q "^NAME" <<<"$text" || fail "$p.1 has no NAME section"
  grep -q "^ *$p " <<<"$text" || fail "$p.1 does not name $p"
done

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "installation checks passed"
