#!/usr/bin/env bash
# Builds the Debian package from a configured build tree and checks that it
# holds exactly the files of the table, owned by root with their modes, and
# that its control fields are filled, above all Depends from dpkg-shlibdeps
# and the packages named beside them, and that its changelog is current.
# Usage: check-deb.sh BUILD_DIR FILE_TABLE VERSION
set -euo pipefail
build_dir=$1
table=$2
version=$3

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

deb=$(bash "$(dirname "$0")/build-deb.sh" "$build_dir" "$out")

declare -A listed
while read -r permissions owner _ _ _ path _; do
  listed[$path]="$permissions $owner"
done < <(dpkg-deb --contents "$deb")

permissions_of() {
  case $1 in
    755) echo -rwxr-xr-x ;;
    644) echo -rw-r--r-- ;;
  esac
}
expected=()
while read -r path mode _; do
  expected+=("./usr/$path")
  want="$(permissions_of "$mode") root/root"
  got=${listed[./usr/$path]:-}
  if [ -z "$got" ]; then
    fail "the package lacks /usr/$path"
  elif [ "$got" != "$want" ]; then
    fail "/usr/$path is '$got', expected '$want'"
  fi
done < <(grep -Ev '^(#|$)' "$table")

for path in "${!listed[@]}"; do
  [[ ${listed[$path]} == -* ]] || continue
  [[ " ${expected[*]} " == *" $path "* ]] || fail "the package holds unexpected $path"
done

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', expected $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] ||
  fail "Architecture is '$(field Architecture)'"
[ "$(field Section)" = utils ] || fail "Section is '$(field Section)', expected utils"
for name in Maintainer Description; do
  [ -n "$(field $name)" ] || fail "$name is empty"
done
# The program links these directly; a Depends without them was not computed.
depends=$(field Depends)
alternatives=${depends//|/,}
depended_on=$(sed 's/^ *//; s/[ :(].*//' <<<"${alternatives//,/$'\n'}")
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
  grep -qx "$library\(t64\)\?" <<<"$depended_on" || fail "Depends lacks $library: '$depends'"
done

# Qt only recommends its translations, and the fonts are no library.
for package in fonts-liberation2 qt6-translations-l10n; do
  grep -qx "$package" <<<"$depended_on" || fail "Depends lacks $package: '$depends'"
done

# A new version without a changelog entry would ship the old entry as news.
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/tessavo/changelog.gz | gzip -d >"$out/changelog"
newest=$(dpkg-parsechangelog -l "$out/changelog" -S Version)
[ "$newest" = "$version" ] || fail "the changelog's newest entry is $newest, expected $version"

[ "$failures" -eq 0 ]
