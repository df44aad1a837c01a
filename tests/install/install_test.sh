#!/usr/bin/env bash
# Installs the current build into a scratch DESTDIR with `cmake --install` and
# checks what lands there: the two programs and slmtool's drawing plugin in
# lib/<multiarch>/slmpanel (and nothing else: no libraries, headers, tests or
# benchmarks), that they run from there, the menu entry, the AppStream
# metadata, the icon in each size, the manual pages, and the monitoring
# station's systemd unit, Prometheus config and Grafana dashboard.
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
  "lib/systemd/system/slmtool-monitor@.service"
  share/doc/slmpanel/examples/monitor-example.conf
  share/doc/slmpanel/examples/prometheus.yml
  share/doc/slmpanel/examples/slm-station-dashboard.json
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

# The station's unit, as systemd reads it, starting the installed slmtool.
unit=$root/lib/systemd/system/slmtool-monitor@.service
if [ ! -f "$unit" ]; then
  :
elif ! command -v systemd-analyze >/dev/null; then
  echo "skipped: systemd-analyze verify (no systemd here)"
else
  sed "s|^ExecStart=/usr/bin/slmtool |ExecStart=$root/bin/slmtool |" "$unit" >"$scratch/slmtool-monitor@.service"
  out=$(systemd-analyze verify --man=no "$scratch/slmtool-monitor@.service" 2>&1)
  [ $? -eq 0 ] && [ -z "$out" ] || fail "systemd-analyze verify: $out"
fi

# The dashboard is JSON and queries only the metrics the station serves, in
# PromQL that Prometheus reads (its queries as recording rules for promtool).
examples=$root/share/doc/slmpanel/examples
if [ -f "$examples/slm-station-dashboard.json" ]; then
  # python3 comes with the Qt development packages (libvulkan-dev needs it).
  out=$(python3 - "$examples/slm-station-dashboard.json" "$scratch/rules.yml" 2>&1 <<'EOF'
import json, re, sys
served = set("""slm_level_db slm_leq_db slm_part_leq_db slm_exceedance_level_db
  slm_samples_total slm_samples_written_total slm_gaps_total slm_gap_seconds_total
  slm_events_total slm_meter_losses_total slm_meter_connected slm_in_event
  slm_alarm_active slm_alarms_raised_total slm_writing slm_disk_free_bytes
  slm_disk_reserve_bytes slm_start_time_seconds slm_build_info""".split())
words = set("by without on ignoring group_left group_right and or unless bool offset "
            "sum min max avg group stddev stdvar count count_values bottomk topk quantile".split())
try:
    with open(sys.argv[1]) as f:
        dashboard = json.load(f)
except ValueError as e:
    sys.exit(f"not valid JSON: {e}")
queries = []
def panels(panel_list):
    for p in panel_list:
        queries.extend(t["expr"] for t in p.get("targets", []))
        panels(p.get("panels", []))
panels(dashboard["panels"])
with open(sys.argv[2], "w") as rules:
    rules.write("groups:\n  - name: dashboard\n    rules:\n")
    for i, q in enumerate(queries):
        rules.write(f"      - record: query{i}\n        expr: {json.dumps(q)}\n")
for v in dashboard["templating"]["list"]:
    if v["type"] == "query":
        queries.append(v["query"]["query"] if isinstance(v["query"], dict) else v["query"])
for q in queries:
    # Strings, label matchers, ranges, Grafana's variables and label lists go;
    # what is left are metric names, functions (before "(") and keywords.
    e = re.sub(r'"(\\.|[^"\\])*"|\{[^}]*\}|\[[^]]*\]|\$\{?\w+\}?', " ", q)
    e = re.sub(r"\b(by|without|on|ignoring|group_left|group_right)\s*\([^)]*\)", " ", e)
    e = re.sub(r"label_values\(\s*([\w:]+)\s*,\s*\w+\s*\)", r"\1", e)
    for m in re.finditer(r"(?<![\w.])[A-Za-z_:][\w:]*", e):
        name = m.group()
        if name not in words and not e[m.end():].lstrip().startswith("(") and name not in served:
            print(f"{name} in {q!r} is no metric the station serves")
if not queries:
    print("no queries")
EOF
  )
  [ $? -eq 0 ] && [ -z "$out" ] || fail "slm-station-dashboard.json: $out"
  if command -v promtool >/dev/null && ! out=$(promtool check rules "$scratch/rules.yml" 2>&1); then
    fail "slm-station-dashboard.json: a query is no PromQL: $out"
  fi
fi

# The scrape config, as Prometheus reads it.
if [ ! -f "$examples/prometheus.yml" ]; then
  :
elif ! command -v promtool >/dev/null; then
  echo "skipped: promtool check config (no promtool here: package prometheus)"
elif ! out=$(promtool check config "$examples/prometheus.yml" 2>&1); then
  fail "promtool check config: $out"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "installation checks passed"
