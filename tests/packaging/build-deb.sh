#!/usr/bin/env bash
# Builds the Debian package from a configured build tree into OUT_DIR and
# prints its path; fails unless CPack makes exactly one package.
# Usage: build-deb.sh BUILD_DIR OUT_DIR
set -euo pipefail
build_dir=$1
out=$2

if ! cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log" >&2
  exit 1
fi
debs=("$out"/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "FAIL: expected one package, cpack made: ${debs[*]}" >&2
  exit 1
fi
echo "${debs[0]}"
