#!/usr/bin/env bash
# Builds the Debian package from a configured build tree and has lintian
# check it against Debian's policy: any error or warning fails.
# Usage: check-lintian.sh BUILD_DIR
set -euo pipefail
build_dir=$1

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
deb=$(bash "$(dirname "$0")/build-deb.sh" "$build_dir" "$out")
# Informational tags are shown too, so that the log tells the whole verdict.
lintian --fail-on error,warning --display-info "$deb"
