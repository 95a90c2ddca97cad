#!/usr/bin/env bash
# Installs Tessavo into a temporary prefix and checks that it is a complete
# desktop program: exactly the files of the table, with their modes and
# contents, a valid desktop file and metainfo, and one id tying them together.
# Usage: check-install.sh BUILD_DIR FILE_TABLE
set -euo pipefail
build_dir=$1
table=$2
app_id=org.tessavo.Tessavo

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

cmake --install "$build_dir" --prefix "$prefix" >/dev/null

while read -r path mode type; do
  file="$prefix/$path"
  if [ ! -f "$file" ]; then
    fail "$path is not installed"
    continue
  fi
  actual_mode=$(stat -c %a "$file")
  [ "$actual_mode" = "$mode" ] || fail "$path has mode $actual_mode, expected $mode"
  actual_type=$(file -b "$file")
  [[ "$actual_type" == *"$type"* ]] || fail "$path is '$actual_type', expected '$type'"
done < <(grep -Ev '^(#|$)' "$table")

# Nothing else may slip in: no test programs, static libraries or headers.
unexpected=$(comm -13 <(grep -Ev '^(#|$)' "$table" | awk '{ print $1 }' | sort) \
  <(cd "$prefix" && find . -type f -printf '%P\n' | sort))
[ -z "$unexpected" ] || fail "installed but not expected: $unexpected"

desktop="$prefix/share/applications/$app_id.desktop"
metainfo="$prefix/share/metainfo/$app_id.metainfo.xml"

# Hints and warnings count too: desktop-file-validate exits 0 on them.
if ! report=$(desktop-file-validate "$desktop" 2>&1) || [ -n "$report" ]; then
  fail "desktop-file-validate: $report"
fi
# Pedantic hints are shown in a failure's report but do not fail by themselves.
report=$(appstreamcli validate --no-net --pedantic --strict "$metainfo" 2>&1) ||
  fail "appstreamcli validate: $report"

# The validators see one file at a time; these references cross files.
desktop_key() { sed -n "s/^$1=//p" "$desktop"; }
exec_name=$(desktop_key Exec)
[ -x "$prefix/bin/$exec_name" ] || fail "Exec=$exec_name is no installed program"
icon=$(desktop_key Icon)
for icon_file in 32x32/apps/$icon.png 64x64/apps/$icon.png 128x128/apps/$icon.png \
  scalable/apps/$icon.svg; do
  [ -f "$prefix/share/icons/hicolor/$icon_file" ] || fail "Icon=$icon has no $icon_file"
done
xml_value() { sed -n "s|.*<$1[^>]*>\(.*\)</$1>.*|\1|p" "$metainfo"; }
[ "$(xml_value id)" = "$app_id" ] || fail "metainfo id is '$(xml_value id)', expected $app_id"
[ "$(xml_value launchable)" = "$app_id.desktop" ] ||
  fail "metainfo launches '$(xml_value launchable)', expected $app_id.desktop"
[ "$(xml_value binary)" = "$exec_name" ] ||
  fail "metainfo provides binary '$(xml_value binary)', the desktop file runs $exec_name"

[ "$failures" -eq 0 ]
